// Reading a small file the player keeps (the settings, the records) for a parser that must
// know whether it saw all of it: a file read only in part, or not at all, is never written
// back, or what the game did not see would be lost.
#pragma once

#include <cstddef>
#include <string>

enum class TSmallFileState {
  Missing,     // no such file: a first run
  Whole,       // read to its end
  Cut,         // larger than the limit: the first limit bytes and one more were read
  Unreadable,  // it is there but cannot be read (a folder, its mode, an I/O error)
};

struct TSmallFile {
  TSmallFileState State = TSmallFileState::Missing;
  std::string Bytes;
  std::string Problem;  // Unreadable: why, in a few words
};

// Reads at most `limit` + 1 bytes of `path`. Never throws.
TSmallFile ReadSmallFile(const std::string& path, size_t limit);
