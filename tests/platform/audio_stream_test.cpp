// The road to a sound device, on a simulated clock: a device that plays at its own pace is
// fed without running dry and without the delay growing, by a stretch that never passes its bound;
// a late frame is bridged, a pause is told from an underrun, the sound starts again at its
// target delay in the very push after one, and a virtual-clock run's samples arrive exactly as
// made.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

#include "platform/audio_stream.h"

namespace {

constexpr size_t DeviceFrames = 512;

struct TClocks {
  double DeviceRate = AudioRate;  // frames the device plays per second
  double FrameMs = 50;            // a game frame's length
  double JitterMs = 0;            // each frame comes up to this much later or earlier than its pace
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
  double paced = 0, push = 0, pull = 0;
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
    paced += clocks.FrameMs;
    if (!pauseTaken && paced >= pauseFrom) {
      pauseTaken = true;
      paced += pauseMs;
    }
    push = paced + jitter(random);
  }
  outcome.Stats = stream.Stats();
  return outcome;
}

}  // namespace

TEST(AudioStream, RealTimeFollowsADriftingDeviceWithoutRunningDryOrLagging) {
  // A device 0.5 % fast against frames a millisecond either way, and one 0.5 % slow.
  for (const TClocks& clocks : {TClocks{AudioRate * 1.005, 50, 1}, TClocks{AudioRate * 0.995}}) {
    const TOutcome outcome = Simulate(clocks, 600);
    EXPECT_EQ(outcome.SilentAfterStart, 0u) << clocks.DeviceRate;
    EXPECT_EQ(outcome.Stats.Underruns, 0u);
    EXPECT_EQ(outcome.Stats.Gaps, 0u);
    // A frame's sound starts within 100 ms of the frame, and something always waits.
    EXPECT_LT(outcome.Stats.MostWaiting, AudioRate / 10u);
    EXPECT_GT(outcome.Stats.LeastWaiting, 0u);
    const double needed = clocks.DeviceRate / (AudioFrameLength * 1000 / clocks.FrameMs);
    EXPECT_NEAR(outcome.Stats.Drift, needed, 0.001) << "the drift was learnt";
    EXPECT_NEAR(outcome.Stats.MeanStretch(), needed - 1, 0.001);
    EXPECT_LE(outcome.Stats.LargestStretch, 0.0125);
  }
}

TEST(AudioStream, TheStretchNeverBendsThePitchPastItsBound) {
  // A device 4 % fast cannot be followed: it runs dry now and then, at the pitch of the game.
  const TOutcome outcome = Simulate({AudioRate * 1.04}, 60);
  EXPECT_LE(outcome.Stats.LargestStretch, TAudioStream::LargestStretch + 1e-9);
  EXPECT_GT(outcome.Stats.Underruns, 0u);
  EXPECT_EQ(outcome.Stats.Gaps, outcome.Stats.Underruns);
}

TEST(AudioStream, ALateFrameIsBridgedByTheBuffer) {
  // Late by 15 ms and the next on its time again, or with all after it later too.
  for (double next : {35.0, 50.0}) {
    TAudioStream stream(false);
    const std::vector<int16_t> frame(2 * AudioFrameLength, 1000);
    std::vector<int16_t> out(2 * DeviceFrames);
    uint64_t silent = 0;
    double push = 0, pull = 0;
    for (int f = 0; push < 10'000;) {
      if (pull < push) {
        stream.Pull(out.data(), DeviceFrames, static_cast<uint64_t>(pull * 1000));
        if (pull > 1000) silent += static_cast<uint64_t>(std::count(out.begin(), out.end(), 0));
        pull += DeviceFrames * 1000.0 / AudioRate;
        continue;
      }
      stream.Push(frame.data(), AudioFrameLength, static_cast<uint64_t>(push * 1000));
      push += ++f == 100 ? 65 : f == 101 ? next : 50;
    }
    EXPECT_EQ(silent, 0u) << next;
    EXPECT_EQ(stream.Stats().Gaps, 0u);
  }
}

TEST(AudioStream, AfterAnUnderrunTheSoundStartsAgainInTheSamePushAtTheTargetDelay) {
  TAudioStream stream(false);
  const std::vector<int16_t> frame(2 * AudioFrameLength, 1000);
  std::vector<int16_t> out(2 * DeviceFrames);
  stream.Push(frame.data(), AudioFrameLength, 0);
  // The target's silence and the frame last some whole pieces of the device and a short one.
  const size_t whole = (TAudioStream::TargetFrames + AudioFrameLength) / DeviceFrames;
  const size_t heard = TAudioStream::TargetFrames + AudioFrameLength - whole * DeviceFrames;
  const uint64_t now = whole * 11'000;
  for (uint64_t at = 0; at <= now; at += 11'000)
    stream.Pull(out.data(), DeviceFrames, at);
  EXPECT_EQ(out[2 * (heard - 100)], 1000);
  EXPECT_LT(out[2 * (heard - 1)], 100) << "the sound fades where it runs dry";
  EXPECT_EQ(out[2 * heard], 0);
  stream.Push(frame.data(), AudioFrameLength, now);
  // The device's piece taken just now still plays; the silence makes up the rest of the delay.
  std::vector<int16_t> restart(2 * TAudioStream::TargetFrames);
  stream.Pull(restart.data(), TAudioStream::TargetFrames, now);
  const size_t silence = TAudioStream::TargetFrames - DeviceFrames;
  EXPECT_EQ(restart[2 * (silence - 1)], 0);
  EXPECT_GT(restart[2 * silence], 0) << "then the frame, fading in";
  EXPECT_EQ(restart[2 * (silence + 100)], 1000);
  EXPECT_EQ(stream.Stats().Underruns, 1u);
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
