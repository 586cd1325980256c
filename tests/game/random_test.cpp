// The game's random numbers: MT19937, and Random(n) as the high half of one output times n.
#include "game/random.h"

#include <gtest/gtest.h>

#include <random>

TEST(Random, IsTheHighHalfOfOneOutputTimesN) {
  SeedRandom(5489);
  std::mt19937 reference(5489);
  EXPECT_EQ(Random(1000), (uint64_t{reference()} * 1000) >> 32);
  EXPECT_EQ(Random(1), 0u);
  reference();
  EXPECT_EQ(Random(0xFFFFFFFFu), (uint64_t{reference()} * 0xFFFFFFFFu) >> 32);
  EXPECT_EQ(Random(395), (uint64_t{reference()} * 395) >> 32) << "one output per draw";
}

TEST(Random, FollowsTheStandardGenerator) {
  // MT19937's first output for seed 5489 is 3499211612; times 2^32 - 1 over 2^32 is one less.
  SeedRandom(5489);
  EXPECT_EQ(Random(0xFFFFFFFFu), 3'499'211'611u);
  SeedRandom(5489);
  for (int i = 0; i < 9999; ++i)
    Random(2);
  // The 10000th output of the default-seeded generator, as the C++ standard gives it.
  EXPECT_EQ(Random(0xFFFFFFFFu), 4'123'659'995u - 1);
}
