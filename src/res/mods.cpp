// The mod folders and the layers of an archive.
#include "res/mods.h"

#include <filesystem>
#include <system_error>

#include "res/packfile.h"

namespace fs = std::filesystem;

namespace {
std::vector<std::string> Folders;
}

void SetModFolders(const std::vector<std::string>& folders) {
  Folders.clear();
  for (const std::string& folder : folders) {
    std::error_code error;
    const fs::path absolute = fs::absolute(folder, error);
    Folders.push_back(error ? folder : absolute.lexically_normal().string());
  }
}

const std::vector<std::string>& ModFolders() {
  return Folders;
}

std::vector<std::string> ArchiveLayerPaths(std::string_view name) {
  const std::string disk = PackfileDiskName(name);
  std::vector<std::string> paths;
  if (disk.find_first_of("/\\") == std::string::npos)
    for (auto folder = Folders.rbegin(); folder != Folders.rend(); ++folder)
      paths.push_back((fs::path(*folder) / disk).string());
  paths.push_back(disk);
  return paths;
}

std::string ModFolderFault(const std::string& folder) {
  std::error_code error;
  if (!fs::is_directory(folder, error)) return folder + " is not a folder";
  const fs::path absolute = fs::absolute(folder, error);
  bool holdsOne = false;
  for (const char* archive : ModArchives) {
    // By its whole path, which is one file whatever the data directory and the mods are.
    const std::string path = (absolute / archive).string();
    if (!fs::exists(path, error)) continue;
    const uint8_t slot = PackfileOpen(path);
    if (slot > PackfileSlotCount)
      return (fs::path(folder) / archive).string() + ": " + PackfileErrorText(slot);
    PackfileClose(slot);
    holdsOne = true;
  }
  if (holdsOne) return {};
  std::string names;
  for (const char* archive : ModArchives)
    names += (names.empty() ? "" : ", ") + std::string(archive);
  return folder + " holds none of " + names + ": it is no mod";
}
