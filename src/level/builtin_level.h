// The game's own level, built into the program from assets/levels/game.level.
#pragma once

#include <string_view>

// The file's bytes as the source tree has them.
std::string_view BuiltinLevelText();
