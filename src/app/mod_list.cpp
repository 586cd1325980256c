// The listing of the mods found, and the names of --mod.
#include "app/mod_list.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>

#include "level/level_source.h"
#include "res/mods.h"

namespace fs = std::filesystem;

namespace {

std::string ArchiveLine(const TModListing& mod) {
  std::string names;
  size_t files = 0;
  for (const TModArchive& archive : mod.Archives) {
    names += (names.empty() ? "" : ", ") + archive.Name;
    files += archive.Files;
  }
  return names + " (" + std::to_string(files) + (files == 1 ? " file)" : " files)");
}

std::string LevelLine(const TModListing& mod) {
  const TLevelChoice level = ModLevel(mod.Folder);
  if (!level.Fault.empty()) return "cannot be played: " + level.Fault;
  if (level.Text.empty()) return "none of its own";
  return level.Level.Name;
}

std::string Described(const TModListing& mod, bool shadowed) {
  std::string text = mod.Name + "  " + mod.Folder + "\n";
  if (!mod.Fault.empty()) return text + "  cannot be used: " + mod.Fault + "\n";
  text += "  archives  " + ArchiveLine(mod) + "\n";
  text += "  level     " + LevelLine(mod) + "\n";
  if (shadowed) text += "  ('--mod " + mod.Name + "' plays the one of that name above)\n";
  return text;
}

}  // namespace

int ListMods(const std::vector<std::string>& places) {
  const std::vector<TModListing> mods = FindMods(places);
  std::set<std::string> named;
  std::string text;
  for (const TModListing& mod : mods)
    text += Described(mod, !named.insert(mod.Name).second);
  text += mods.empty() ? "No mods found. " : "\nPlay one with 'quibbet --mod NAME'. ";
  text += "Mods are looked for in:\n";
  for (const std::string& place : places)
    text += "  " + place + "\n";
  std::fputs(text.c_str(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

std::string ResolveModNames(std::vector<std::string>& mods,
                            const std::vector<std::string>& places) {
  for (std::string& mod : mods) {
    std::error_code error;
    if (fs::is_directory(mod, error)) continue;
    // A path that leads nowhere stays a path, and the run says so.
    if (mod.find_first_of("/\\") != std::string::npos) continue;
    const std::vector<TModListing> found = FindMods(places);
    const auto named = std::find_if(found.begin(), found.end(),
                                    [&](const TModListing& m) { return m.Name == mod; });
    if (named == found.end())
      return "--mod " + mod + " is no folder, and no mod has that name ('quibbet --mods' " +
             "lists them)";
    mod = named->Folder;
  }
  return {};
}
