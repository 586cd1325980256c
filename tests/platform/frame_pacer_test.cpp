// The frame loop's pace on a clock of the test's own: a frame lasts the period whatever its
// work, the first from its showing, a frame that overran starts the next period from its own
// end, and a long stop (a pause) is followed by frames at the same steady pace, not a burst.
#include <gtest/gtest.h>

#include <vector>

#include "platform/frame_pacer.h"

namespace {

constexpr uint64_t Period = TFramePacer::PeriodUs;

// Runs frames of the given work after their showing, each shown 1 ms after it starts, on a
// clock that starts at 1 s; returns when each frame's wait ended, as the next frame's start.
std::vector<uint64_t> WaitsEnded(const std::vector<uint64_t>& workUs) {
  TFramePacer pacer;
  uint64_t now = 1'000'000;
  std::vector<uint64_t> ends;
  for (uint64_t work : workUs) {
    now += 1'000;
    pacer.Shown(now);
    now += work;
    now += pacer.WaitUs(now);
    ends.push_back(now);
  }
  return ends;
}

}  // namespace

TEST(FramePacer, AFrameLastsThePeriodWhateverItsWork) {
  const std::vector<uint64_t> ends = WaitsEnded({3'000, 0, 48'000, 12'345, 48'999, 1});
  for (size_t i = 1; i < ends.size(); ++i)
    EXPECT_EQ(ends[i] - ends[i - 1], Period) << "frame " << i;
  EXPECT_EQ(ends[0], 1'000'000 + 1'000 + Period)
      << "the first frame lasts a period from its showing";
}

TEST(FramePacer, AFrameThatOverranStartsTheNextPeriodFromItsOwnEnd) {
  const std::vector<uint64_t> ends = WaitsEnded({1'000, 70'000, 10'000, 10'000});
  EXPECT_EQ(ends[1] - ends[0], 71'000u) << "no wait after the overrun";
  EXPECT_EQ(ends[2] - ends[1], Period);
  EXPECT_EQ(ends[3] - ends[2], Period);
}

TEST(FramePacer, AfterALongStopTheFramesKeepThePaceWithoutCatchingUp) {
  const std::vector<uint64_t> ends = WaitsEnded({1'000, 1'000, 10'000'000, 2'000, 2'000, 2'000});
  EXPECT_EQ(ends[2] - ends[1], 10'001'000u);
  for (size_t i = 3; i < ends.size(); ++i)
    EXPECT_EQ(ends[i] - ends[i - 1], Period) << "frame " << i;
}

TEST(FramePacer, TheFrameAfterAPauseLastsAWholePeriodFromItsEnd) {
  TFramePacer pacer;
  pacer.Shown(1'000'000);
  pacer.Resumed(9'000'000);
  EXPECT_EQ(pacer.WaitUs(9'000'000), Period);
  EXPECT_EQ(pacer.WaitUs(9'000'000 + Period + 5'000), Period - 5'000);
}
