// Where the level of a run comes from: a level file named on the command line, else
// game.level in LEVELS.MPK (a mod's laid over the game's), else the game's own level. And
// the checks that need the game's data: pictures and texts a level names must be there.
#pragma once

#include <string>
#include <vector>

#include "level/level.h"

constexpr const char* LevelArchive = "LEVELS";
constexpr const char* LevelMember = "game.level";

struct TLevelChoice {
  TLevel Level;
  std::string Text;       // the file as written, which --print-level prints
  bool FromFile = false;  // named on the command line: a fault is the user's, not the data's
  std::string Fault;      // "WHERE:LINE: reason" when the level cannot be played
  std::vector<std::string> Warnings;  // "WHERE:LINE: warning: reason"
};

// The level of a run whose data directory and mods are set; `levelFile` empty: none named.
TLevelChoice ChooseLevel(const std::string& levelFile);
