// The mod folders and the layers of an archive.
#include "res/mods.h"

#include <algorithm>
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

namespace {

// What `folder` holds, each archive opened by its whole path, which is one file whatever the
// data directory and the mods are; the fault of the first archive that is none.
TModListing InspectModFolder(const std::string& folder) {
  TModListing mod;
  mod.Folder = folder;
  std::error_code error;
  const fs::path absolute = fs::absolute(folder, error);
  mod.Name = absolute.lexically_normal().filename().string();
  for (const char* archive : ModArchives) {
    const std::string path = (absolute / archive).string();
    if (!fs::exists(path, error)) continue;
    const uint8_t slot = PackfileOpen(path);
    if (slot > PackfileSlotCount) {
      mod.Fault = (fs::path(folder) / archive).string() + ": " + PackfileErrorText(slot);
      return mod;
    }
    mod.Archives.push_back({archive, PackfileObject(slot)->Entries.size()});
    PackfileClose(slot);
  }
  return mod;
}

}  // namespace

std::string ModFolderFault(const std::string& folder) {
  std::error_code error;
  if (!fs::is_directory(folder, error)) return folder + " is not a folder";
  const TModListing mod = InspectModFolder(folder);
  if (!mod.Fault.empty() || !mod.Archives.empty()) return mod.Fault;
  std::string names;
  for (const char* archive : ModArchives)
    names += (names.empty() ? "" : ", ") + std::string(archive);
  return folder + " holds none of " + names + ": it is no mod";
}

std::vector<TModListing> FindMods(const std::vector<std::string>& places) {
  std::vector<TModListing> mods;
  for (const std::string& place : places) {
    std::error_code error;
    std::vector<std::string> folders;
    for (fs::directory_iterator entry(place, error), end; !error && entry != end;
         entry.increment(error)) {
      std::error_code kind;
      if (entry->is_directory(kind)) folders.push_back(entry->path().string());
    }
    std::sort(folders.begin(), folders.end());
    for (const std::string& folder : folders) {
      TModListing mod = InspectModFolder(folder);
      if (!mod.Archives.empty() || !mod.Fault.empty()) mods.push_back(std::move(mod));
    }
  }
  return mods;
}
