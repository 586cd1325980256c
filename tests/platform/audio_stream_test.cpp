// The road to a sound device, on a simulated clock: a device that plays at its own pace is
// fed without running dry and without the delay growing, a pause is told from a late frame,
// and a virtual-clock run's samples arrive exactly as made.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/audio_stream.h"

namespace {

constexpr size_t DeviceFrames = 512;

struct TClocks {
  double DeviceRate = AudioRate;  // frames the device plays per second
  double FrameMs = 50;            // a game frame's length
  double JitterMs = 0;            // each frame comes up to this much later or earlier
};

struct TOutcome {
  uint64_t SilentAfterStart = 0;  // device frames of silence once the sound was going
  TAudioStreamStats Stats;
};

// Runs the game and the device side by side for `seconds`, with pauses of the game from
// `pauseFrom` for `pauseMs`. The game's samples are one level, so silence shows as zeros.
TOutcome Simulate(const TClocks& clocks, double seconds, double pauseFrom = -1,
                  double pauseMs = 0) {
  TAudioStream stream(false);
  std::mt19937 random(5);
  std::uniform_real_distribution<double> jitter(-clocks.JitterMs, clocks.JitterMs);
  const std::vector<int16_t> frame(2 * AudioFrameLength, 1000);
  std::vector<int16_t> out(2 * DeviceFrames);
  TOutcome outcome;
  double push = 0, pull = 0;
  bool pauseTaken = pauseFrom < 0;
  while (push < seconds * 1000) {
    if (pull < push) {
      stream.Pull(out.data(), DeviceFrames, static_cast<uint64_t>(pull * 1000));
      // The sound may stop with the game's pause and start again a little after it.
      const bool paused = pauseFrom >= 0 && pull >= pauseFrom && pull < pauseFrom + pauseMs + 200;
      for (size_t i = 0; i < DeviceFrames; ++i)
        if (out[2 * i] == 0 && !paused && pull > 1000) ++outcome.SilentAfterStart;
      pull += DeviceFrames * 1000.0 / clocks.DeviceRate;
      continue;
    }
    stream.Push(frame.data(), AudioFrameLength, static_cast<uint64_t>(push * 1000));
    push += clocks.FrameMs + jitter(random);
    if (!pauseTaken && push >= pauseFrom) {
      pauseTaken = true;
      push += pauseMs;
    }
  }
  outcome.Stats = stream.Stats();
  return outcome;
}

}  // namespace

TEST(AudioStream, RealTimeFollowsADriftingDeviceWithoutRunningDryOrLagging) {
  // A device 4.4 % fast against slow frames (the pace of SDL's disk driver), and a device
  // 1 % slow against exact frames.
  for (const TClocks& clocks : {TClocks{AudioRate * 1.044, 50.5, 2}, TClocks{AudioRate * 0.99}}) {
    const TOutcome outcome = Simulate(clocks, 600);
    EXPECT_EQ(outcome.SilentAfterStart, 0u) << clocks.DeviceRate;
    EXPECT_EQ(outcome.Stats.Underruns, 0u);
    EXPECT_EQ(outcome.Stats.DroppedFrames, 0u);
    // A frame's sound starts within 100 ms of the frame, and something always waits.
    EXPECT_LT(outcome.Stats.MostWaiting, AudioRate / 10u);
    EXPECT_GT(outcome.Stats.LeastWaiting, 0u);
    const double needed = clocks.DeviceRate / (AudioFrameLength * 1000 / clocks.FrameMs);
    EXPECT_NEAR(outcome.Stats.Drift, needed, 0.015) << "the drift was learnt";
  }
}

TEST(AudioStream, APauseIsNotAnUnderrunButALateFrameIs) {
  const TOutcome paused = Simulate({}, 20, 5000, 2000);
  EXPECT_EQ(paused.Stats.Underruns, 0u);
  EXPECT_EQ(paused.SilentAfterStart, 0u);
  const TOutcome late = Simulate({}, 20, 5000, 90);
  EXPECT_EQ(late.Stats.Underruns, 1u);
}

TEST(AudioStream, OnAVirtualClockEverySampleArrivesAsMade) {
  TAudioStream stream(true);
  std::vector<int16_t> made;
  for (size_t i = 0; i < 3 * 2 * AudioFrameLength; ++i)
    made.push_back(static_cast<int16_t>(i * 7));
  for (int f = 0; f < 3; ++f)
    stream.Push(made.data() + f * 2 * AudioFrameLength, AudioFrameLength, 0);
  stream.Close();
  std::vector<int16_t> played, piece(2 * DeviceFrames);
  while (played.size() < made.size()) {
    stream.Pull(piece.data(), DeviceFrames, 0);
    played.insert(played.end(), piece.begin(), piece.end());
  }
  EXPECT_TRUE(std::equal(made.begin(), made.end(), played.begin()));
  EXPECT_TRUE(
      std::all_of(played.begin() + made.size(), played.end(), [](int16_t s) { return s == 0; }));
}
