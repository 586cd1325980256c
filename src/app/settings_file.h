// settings.ini: the player's settings kept between runs, as a line-oriented INI file that a
// player can edit by hand. Reading never fails (a bad entry keeps its value and is reported
// once, by file and line). The game edits the file rather than writing it anew: a change
// rewrites only the values that changed, every other byte (comments, blank lines, unknown
// keys, a value it could not read) stays, and the file is replaced whole or not at all.
//
//   [display]                 sections and keys as FormatSettings writes them, in any case
//   full-screen = yes         yes/no, true/false, on/off or 1/0
//   # a comment               '#' or ';' starts a comment, on a line of its own or after
//   scale = 2  ; a comment    a value; blank lines are ignored
//   [controls]
//   up = Up W                 key names separated by blanks (platform/key_names.h)
//
// A key given twice keeps its last value. Entries under a section that is not ours are
// skipped after one report on its header.
#pragma once

#include <bitset>
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

struct TLoadedSettings {
  TPlayerSettings Settings;
  // Missing, or read to its end: only then may the game edit it, or what it did not read
  // would be lost.
  bool Whole = true;
};

// The settings in the file at `path`. A missing file is a first run: the defaults, without a
// warning. A file that cannot be read gives the defaults and one warning "PATH: ...".
TLoadedSettings LoadSettings(const std::string& path, std::vector<std::string>& warnings);

// The whole file for these settings, every key with a comment above it saying what it is.
std::string FormatSettings(const TPlayerSettings& settings);

// The file's entries, one a setting the player can change in the game, as a set.
constexpr size_t SettingsEntryCount = 17;
using TSettingsEntries = std::bitset<SettingsEntryCount>;

// The entries whose values differ between `a` and `b`.
TSettingsEntries DifferingEntries(const TPlayerSettings& a, const TPlayerSettings& b);

// `text`, a settings file, with `entries` set to their values in `settings` and every other
// byte as it was: a value is written where the reader takes it from (the last line that sets
// it), a missing key is added after the last line of its section, a missing section at the
// end, with the file's own line ends.
std::string EditSettings(std::string_view text, const TPlayerSettings& settings,
                         TSettingsEntries entries);

// Reads the file at `path` afresh, edits `entries` into it and writes it back through the
// whole-file writer (res/whole_file_writer), making the folders on the way; a missing file
// starts as FormatSettings of the defaults. False with a one-line reason in `error` when the
// file cannot be read whole or written; `path` then still holds what it held before.
// Never throws.
bool SaveSettingsEdits(const std::string& path, const TPlayerSettings& settings,
                       TSettingsEntries entries, std::string& error);
