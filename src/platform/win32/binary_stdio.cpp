// Every Windows program of ours reads and writes bytes as they are, as on other systems: the
// C runtime's text mode would turn "\n" into "\r\n" on the standard streams and in files,
// which corrupts `mpk cat` and makes listings and summaries differ from the Linux build's.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>

namespace {

struct TBinaryStdio {
  TBinaryStdio() {
    _fmode = _O_BINARY;
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
  }
};

// Set before main() runs; it is linked into each program directly, so nothing needs to name it.
const TBinaryStdio BinaryStdio;

}  // namespace
