// What a run reports about itself: each scene that ran with its frames and how it ended.
// Written as the JSON summary of --summary.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// How a game went, as the game scene tells it: for its summary line and the player's records.
struct TGameFigures {
  std::string Ending;  // none, won, lost or space (given up)
  int PlayerHealth = 0;
  std::optional<int> BossHealth;  // none before she came
  uint32_t CrossesFired = 0;
  uint32_t Hits = 0;                   // crosses that struck an enemy or the boss
  std::optional<uint32_t> BossFrames;  // from her arrival to her fall or the game's ending
};

struct TSceneRecord {
  std::string Name;
  uint64_t Frames = 0;
  std::string End;  // finished, escape, closed, max-frames, or fatal
  // Further members the scene adds, as (key, JSON value) in order.
  std::vector<std::pair<std::string, std::string>> Extra;
  std::optional<TGameFigures> Game;  // the game scene's, also among Extra
};

struct TRunReport {
  int ExitCode = 0;
  uint64_t Frames = 0;           // frames presented since start, across scenes
  std::optional<uint32_t> Seed;  // the game's seed; none when no game was set up
  std::vector<TSceneRecord> Scenes;
  std::string Level;    // the name of the level played; not part of the summary
  std::string Problem;  // why the run could not start (exit code 2), as stderr said it
};

// The game scene's record, the one with figures; null when no game scene reported any.
const TSceneRecord* GameSceneOf(const TRunReport& report);

std::string SummaryJson(const TRunReport& report);
// Writes SummaryJson and a line break to `path`, "-" meaning standard output; false with one
// line on stderr when it cannot. A plain write, not a kept file: the path may be a pipe.
bool WriteSummary(const std::string& path, const TRunReport& report);
// Quotes and escapes a string for JSON.
std::string JsonString(const std::string& text);
// A number, or null for none.
template <typename T>
std::string JsonNumber(const std::optional<T>& value) {
  return value ? std::to_string(*value) : "null";
}
