// One read with plain C stdio and std::filesystem, the same on Linux, Windows and in the
// browser's file system.
#include "res/small_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

TSmallFile ReadSmallFile(const std::string& path, size_t limit) {
  TSmallFile file;
  try {
    std::error_code looked;
    if (fs::status(path, looked).type() == fs::file_type::not_found) return file;
    file.State = TSmallFileState::Unreadable;
    errno = 0;
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (stream == nullptr) {
      file.Problem = std::generic_category().message(errno != 0 ? errno : EIO);
      return file;
    }
    // One byte over the limit tells a file larger than the limit from one of exactly it.
    file.Bytes.resize(limit + 1);
    errno = 0;
    file.Bytes.resize(std::fread(file.Bytes.data(), 1, file.Bytes.size(), stream));
    const int failure = std::ferror(stream) != 0 ? (errno != 0 ? errno : EIO) : 0;
    std::fclose(stream);
    if (failure != 0) {
      file.Bytes.clear();
      file.Problem = std::generic_category().message(failure);
      return file;
    }
    file.State = file.Bytes.size() > limit ? TSmallFileState::Cut : TSmallFileState::Whole;
  } catch (const std::exception& e) {  // memory, or a path the file system cannot represent
    file.State = TSmallFileState::Unreadable;
    file.Bytes.clear();
    file.Problem = e.what();
  }
  return file;
}
