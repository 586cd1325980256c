// settings.ini: the player's settings kept between runs, as a line-oriented INI file that a
// player can edit by hand. Reading never fails (a bad entry keeps its value and is reported
// once, by file and line); writing replaces the whole file or leaves it as it was.
//
//   [display]                 sections and keys as SaveSettings writes them, in any case
//   full-screen = yes         yes/no, true/false, on/off or 1/0
//   # a comment               '#' or ';' starts a comment, on a line of its own or after
//   scale = 2  ; a comment    a value; blank lines are ignored
//   [controls]
//   up = Up W                 key names separated by blanks (platform/key_names.h)
//
// A key given twice keeps its last value. Entries under a section that is not ours are
// skipped after one report on its header.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/player_settings.h"
#include "res/player_folders.h"

// settings.ini in the player's configuration folder; "" when no such folder is known.
std::string DefaultSettingsPath(const TPlayerFolders& folders);

// Larger files are read up to their last whole line within this size, and reported.
constexpr size_t MaxSettingsFileSize = 64 * 1024;

// The settings a text gives, starting from the defaults. Each entry that cannot be used adds
// one line "NAME:LINE: what is wrong" to `warnings`, NAME being `fileName`.
TPlayerSettings ParseSettings(std::string_view text, const std::string& fileName,
                              std::vector<std::string>& warnings);

// The settings in the file at `path`. A missing file is a first run: the defaults, without a
// warning. A file that cannot be read gives the defaults and one warning "PATH: ...".
TPlayerSettings LoadSettings(const std::string& path, std::vector<std::string>& warnings);

// The whole file for these settings, every key with a comment above it saying what it is.
std::string FormatSettings(const TPlayerSettings& settings);

// Writes FormatSettings as `path` through the whole-file writer (res/whole_file_writer),
// creating the folders on the way. False with a one-line reason in `error` when that cannot
// be done; `path` then still holds what it held before. Never throws.
bool SaveSettings(const std::string& path, const TPlayerSettings& settings, std::string& error);
