#include "game/random.h"

#include <random>

namespace {
std::mt19937 Generator;
}

void SeedRandom(uint32_t seed) {
  Generator.seed(seed);
}

uint32_t Random(uint32_t n) {
  return static_cast<uint32_t>((static_cast<uint64_t>(Generator()) * n) >> 32);
}
