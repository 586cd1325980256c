// Settings of this run that scenes read: chosen on the command line, fixed afterwards.
#pragma once

#include <cstdint>
#include <optional>

struct TSettings {
  std::optional<uint32_t> Seed;      // the game's random seed; unset: from the tick counter
  std::optional<uint32_t> SeedUsed;  // what the game scene seeded with, for the summary
};

extern TSettings Settings;
