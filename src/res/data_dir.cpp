// The data directory, empty for the working directory.
#include "res/data_dir.h"

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
