// The data directory, empty for the working directory, and read-only opening of data files.
#include "res/data_dir.h"

#include <sys/stat.h>

#include <filesystem>

namespace {
std::string Dir;
}

void SetDataDirectory(std::string dir) {
  Dir = std::move(dir);
}
const std::string& DataDirectory() {
  return Dir;
}

std::string DataPath(std::string_view name) {
  const std::filesystem::path path(name);
  if (Dir.empty() || path.is_absolute()) return std::string(name);
  return (std::filesystem::path(Dir) / path).string();
}

TFileHandle OpenDataFile(std::string_view name, uint64_t& size) {
  size = 0;
  const std::string path = DataPath(name);
  TFileHandle file(std::fopen(path.c_str(), "rb"));
  if (!file) return nullptr;
  struct stat info {};
  if (fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0)
    return nullptr;
  size = static_cast<uint64_t>(info.st_size);
  return file;
}
