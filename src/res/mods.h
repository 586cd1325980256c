// Mods: folders of archives laid over the game's data. An archive is read from each mod's
// file of its name and from the data directory's together; a member is taken from the last
// mod that holds it, else from the game's own archive, so a mod ships only what it changes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

constexpr size_t MaxMods = 8;

// The archives a mod may hold, by the names the game opens them with.
constexpr const char* ModArchives[] = {"SPRITES.MPK", "FONTS.MPK", "TEXTS.MPK", "SOUNDS.MPK",
                                       "LEVELS.MPK"};

// Lays `folders` over the data directory, the last on top; an empty list takes them away.
// Relative folders are taken from the working directory, whatever the data directory is.
void SetModFolders(const std::vector<std::string>& folders);
const std::vector<std::string>& ModFolders();

// The files the archive `name` is read from, the topmost first, as OpenDataFile takes them:
// each mod's file of that name, then the data directory's. A name with a folder in it is
// one file, mods or not.
std::vector<std::string> ArchiveLayerPaths(std::string_view name);

// Why `folder` cannot be used as a mod; empty when it can. A mod holds at least one of the
// archives above, and every one it holds is an archive.
std::string ModFolderFault(const std::string& folder);
