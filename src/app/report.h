// What a run reports about itself: each scene that ran with its frames and how it ended.
// Written as the JSON summary of --summary.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct TSceneRecord {
  std::string Name;
  uint64_t Frames = 0;
  std::string End;  // finished, escape, closed, max-frames, or fatal
  // Further members the scene adds, as (key, JSON value) in order.
  std::vector<std::pair<std::string, std::string>> Extra;
};

struct TRunReport {
  int ExitCode = 0;
  uint64_t Frames = 0;           // frames presented since start, across scenes
  std::optional<uint32_t> Seed;  // the game's seed; none when no game was set up
  std::vector<TSceneRecord> Scenes;
};

std::string SummaryJson(const TRunReport& report);
// Writes SummaryJson and a line break to `path`, "-" meaning standard output; false with one
// line on stderr when it cannot. A plain write, not a kept file: the path may be a pipe.
bool WriteSummary(const std::string& path, const TRunReport& report);
// Quotes and escapes a string for JSON.
std::string JsonString(const std::string& text);
