// The game's one pseudo-random generator: MT19937, seeded when the game scene is set up.
#pragma once

#include <cstdint>

void SeedRandom(uint32_t seed);
// A uniform integer from 0 to n - 1: the high 32 bits of one output times n.
uint32_t Random(uint32_t n);
