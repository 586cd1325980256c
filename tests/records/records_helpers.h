// A game for the records' tests, as plain data.
#pragma once

#include "records/game_record.h"

inline TGameRecord Game(TGameEnd end, int health, uint64_t frames) {
  TGameRecord game;
  game.When = "2026-05-01T14:03:22";
  game.End = end;
  game.Seed = 17;
  game.Frames = frames;
  game.Health = health;
  game.CrossesFired = 131;
  game.Hits = 77;
  game.Level = BuiltInLevel;
  return game;
}
