// The command line: what the player, a test or a recording asks of this run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TOptions {
  std::string DataDir;  // archives are looked up here; empty: the working directory
  bool Window = false;
  int Scale = 1;
  bool Headless = false;
  bool Turbo = false;
  std::optional<uint32_t> Seed;
  std::string InputFile;
  uint64_t MaxFrames = 0;  // 0: no limit
  std::string RecordDir;
  uint64_t RecordEvery = 1;
  std::vector<uint64_t> RecordFrames;
  std::string SummaryFile;  // "-" is stdout
  bool Autoplay = false;    // the built-in pilot plays the game
};

enum class TOptionsResult {
  Run,      // go on with the options
  Done,     // --help or --version answered
  BadUsage  // message printed; exit with 2
};

TOptionsResult ParseOptions(int argc, const char* const* argv, TOptions& options);
