// The data search path: a player runs the game from anywhere without --data.
#include "app/data_search.h"

#include <filesystem>
#include <system_error>

#ifndef QUIBBET_INSTALLED_DATA_DIR
#define QUIBBET_INSTALLED_DATA_DIR "/usr/local/share/quibbet"
#endif

namespace fs = std::filesystem;

namespace {

bool HoldsArchives(const fs::path& dir) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(dir.empty() ? "." : dir, error)) {
    std::string name = entry.path().filename().string();
    for (char& c : name)
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name == "SPRITES.MPK") return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> DataSearchPath(const std::string& programPath) {
  std::vector<std::string> path{""};
  std::error_code error;
  // The running program's own file, wherever it was started from; argv[0] as a fallback.
  fs::path program = fs::read_symlink("/proc/self/exe", error);
  if (error) program = fs::canonical(fs::path(programPath), error);
  if (!error) {
    const fs::path dir = program.parent_path();
    path.push_back((dir / "data").string());                // build tree: build/src/data
    path.push_back((dir.parent_path() / "data").string());  // build tree: build/data
    path.push_back((dir.parent_path() / "share" / "quibbet").string());  // installed prefix
  }
  path.push_back(QUIBBET_INSTALLED_DATA_DIR);
  return path;
}

std::string FindDataDirectory(const std::string& programPath) {
  for (const std::string& dir : DataSearchPath(programPath))
    if (HoldsArchives(dir)) return dir;
  return "";
}
