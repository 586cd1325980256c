// The level in force, and the game's own level parsed from the program's copy of its file.
#include "level/level_in_force.h"

#include <cassert>
#include <optional>

#include "level/builtin_level.h"

namespace {
std::optional<TLevel> InForce;
}

const TLevel& BuiltinLevel() {
  static const TLevel builtin = [] {
    TLevelNote error;
    std::optional<TLevel> level = ParseLevel(BuiltinLevelText(), error);
    assert(level && "assets/levels/game.level is a level: tests/level reads it");
    return level ? std::move(*level) : TLevel{};
  }();
  return builtin;
}

const TLevel& LevelInForce() {
  return InForce ? *InForce : BuiltinLevel();
}

void SetLevelInForce(TLevel level) {
  InForce = std::move(level);
}

void ResetLevelInForce() {
  InForce.reset();
}
