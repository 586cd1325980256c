// Where the game's archives are: the folder given with --data, or the first folder of the
// search path that holds all three. The search reads its inputs from one record so that
// tests give their own environment.
#pragma once

#include <string>
#include <vector>

// What the search path is made from.
struct TDataSearchInputs {
  std::string ProgramDir;   // folder of the running program; empty when unknown
  std::string XdgDataHome;  // $XDG_DATA_HOME; empty when unset
  std::string XdgDataDirs;  // $XDG_DATA_DIRS; empty when unset
  std::string Home;         // $HOME; empty when unset
};

// The running program's inputs: its own file (symbolic links resolved) and the environment.
TDataSearchInputs DataSearchInputsOfThisProgram(const std::string& argv0);

// The folders searched, in order, "" standing for the working directory:
//   the working directory;
//   $XDG_DATA_HOME/quibbet, or ~/.local/share/quibbet;
//   the installed data folder relative to the program (and, for a program in a build
//   tree, the build's data folder);
//   DIR/quibbet for each DIR of $XDG_DATA_DIRS, or of /usr/local/share:/usr/share.
// Relative XDG entries are ignored, as the XDG base directory rules ask; repeats are dropped.
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
