// Where the game's archives are when no --data folder is given.
#pragma once

#include <string>
#include <vector>

// The folders searched, in order: the working directory, the data folder beside the
// program (a build tree), the installed data folder.
std::vector<std::string> DataSearchPath(const std::string& programPath);

// The first folder of the search path that holds SPRITES.MPK (any letter case), or the
// working directory ("") when none does, so that the missing archive is reported there.
std::string FindDataDirectory(const std::string& programPath);
