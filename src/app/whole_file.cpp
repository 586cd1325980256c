// The temporary file, every write checked and forced to the disk, and the rename.
#include "app/whole_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string LastError() {
  return std::generic_category().message(errno);
}

// The file's bytes on the disk before the rename makes them the settings: a power cut
// must not leave an empty settings.ini where a good one was.
bool SyncToDisk(std::FILE* file) {
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;
#else
  return fsync(fileno(file)) == 0;
#endif
}

}  // namespace

bool WriteFileWhole(const std::string& path, const std::string& text, std::string& error) {
  const fs::path target(path);
  std::error_code code;
  fs::path file = target;
  if (fs::is_symlink(target, code)) {
    const fs::path real = fs::canonical(target, code);
    if (!code) file = real;
  }
  const fs::path folder = file.parent_path();
  if (!folder.empty() && !fs::create_directories(folder, code) && code) {
    error = "cannot create the folder " + folder.string() + ": " + code.message();
    return false;
  }
  fs::path part = file;
  part += ".part";
  std::FILE* out = std::fopen(part.string().c_str(), "wb");
  if (out == nullptr) {
    error = "cannot write " + part.string() + ": " + LastError();
    return false;
  }
  bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size() &&
                 std::fflush(out) == 0 && SyncToDisk(out);
  if (!written) error = "cannot write " + part.string() + ": " + LastError();
  if (std::fclose(out) != 0 && written) {
    error = "cannot write " + part.string() + ": " + LastError();
    written = false;
  }
  if (written) {
    fs::rename(part, file, code);
    if (!code) return true;
    error = "cannot replace " + file.string() + ": " + code.message();
  }
  fs::remove(part, code);
  return false;
}
