// Where the game's archives are: the folder given with --data, or the first folder of the
// search path that holds all three. The search reads its inputs from one record so that
// tests give their own environment.
#pragma once

#include <string>
#include <vector>

#include "res/player_folders.h"

// What the search path is made from.
struct TDataSearchInputs {
  std::string ProgramDir;  // folder of the running program; empty when unknown
  TPlayerFolders Folders;  // the player's data folder and the system's
};

// The running program's inputs: its own file (symbolic links resolved) and the player's
// folders of this process.
TDataSearchInputs DataSearchInputsOfThisProgram(const std::string& argv0);

// The folders searched, in order, "" standing for the working directory:
//   the working directory;
//   the player's data folder ($XDG_DATA_HOME/quibbet, or ~/.local/share/quibbet);
//   the installed data folder relative to the program (and, for a program in a build
//   tree, the build's data folder);
//   the system's data folders (DIR/quibbet for each DIR of $XDG_DATA_DIRS, or of
//   /usr/local/share:/usr/share).
// Repeats are dropped.
std::vector<std::string> DataSearchPath(const TDataSearchInputs& inputs);

// SPRITES.MPK, FONTS.MPK and TEXTS.MPK are all regular files in `dir` ("": working directory).
bool HoldsArchives(const std::string& dir);

struct TDataSearch {
  std::string Dir;                    // what SetDataDirectory gets
  bool Found = false;                 // Dir holds the archives
  std::vector<std::string> Searched;  // every folder looked at, in order
};

// With a --data folder, that folder alone; otherwise the first folder of the search path
// that holds the archives, or the working directory (where the missing archive is then
// reported) when none does.
TDataSearch FindGameData(const std::string& dataOption, const TDataSearchInputs& inputs);

// For standard error after a run that found no archives: every place searched, one a line.
std::string DescribeSearch(const TDataSearch& search);
