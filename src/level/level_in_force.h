// The level this run plays, program-wide: the game world plays it and the sound bank loads
// its music. A run sets it before anything is loaded and resets it when it ends.
#pragma once

#include "level/level.h"

// The game's own level, read once from the program (level/builtin_level.h).
const TLevel& BuiltinLevel();

const TLevel& LevelInForce();
void SetLevelInForce(TLevel level);
// Back to the game's own level; tests call it between cases.
void ResetLevelInForce();
