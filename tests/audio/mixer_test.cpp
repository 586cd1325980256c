// The mixer, sample for sample: where a sound starts, volume and place, saturation, voice
// stealing, music that loops or ends, and the fade from one piece to the next.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "audio/mixer.h"

namespace {

constexpr int32_t Unity = TMixer::Unity;
constexpr size_t L = AudioFrameLength;

TPcm Level(int16_t level, size_t frames) {
  return TPcm(2 * frames, level);
}

// Frames 0, 1, 2, ... on both channels, for music whose place can be read from its samples.
TPcm Ramp(size_t frames) {
  TPcm pcm;
  for (size_t i = 0; i < frames; ++i)
    pcm.insert(pcm.end(), {static_cast<int16_t>(i), static_cast<int16_t>(i)});
  return pcm;
}

std::vector<int16_t> Mix(TMixer& mixer) {
  std::vector<int16_t> out(2 * L);
  mixer.MixFrame(out.data());
  return out;
}

}  // namespace

TEST(Mixer, ASoundStartsAtTheFramesFirstSampleWithItsVolumeAndPlace) {
  TMixer mixer;
  const TPcm sound = Level(10000, L + 100);
  mixer.Play(sound, Unity / 2, -Unity);  // half volume, left only
  std::vector<int16_t> out = Mix(mixer);
  EXPECT_EQ(out[0], 5000);
  EXPECT_EQ(out[1], 0);
  EXPECT_EQ(out[2 * L - 2], 5000);
  out = Mix(mixer);
  EXPECT_EQ(out[2 * 99], 5000) << "the sound goes on into the next frame";
  EXPECT_EQ(out[2 * 100], 0) << "and ends there";
  EXPECT_EQ(mixer.ActiveVoices(), 0);

  mixer.Play(sound, Unity, Unity / 2);  // half way right: the right whole, the left halved
  out = Mix(mixer);
  EXPECT_EQ(out[0], 5000);
  EXPECT_EQ(out[1], 10000);
}

TEST(Mixer, ALoudSumIsLimitedUnderFullScaleAndThenComesBackWhole) {
  TMixer mixer;
  const TPcm loud = Level(30000, L), quiet = Level(-30000, L), soft = Level(1000, 60 * L);
  for (int sign : {1, -1}) {
    mixer.Play(sign > 0 ? loud : quiet, Unity, 0);
    mixer.Play(sign > 0 ? loud : quiet, Unity, 0);
    const std::vector<int16_t> out = Mix(mixer);
    EXPECT_NEAR(out[0], sign * TMixer::Ceiling, 1);
    EXPECT_EQ(out[2 * L - 1], out[0]) << "the whole frame at the ceiling";
  }
  // A soft sound after the burst swells back to its own level within three seconds, smoothly.
  mixer.Play(soft, Unity, 0);
  std::vector<int16_t> heard;
  for (int f = 0; f < 60; ++f) {
    const std::vector<int16_t> out = Mix(mixer);
    heard.insert(heard.end(), out.begin(), out.end());
  }
  EXPECT_LT(heard[0], 1000);
  EXPECT_EQ(heard.back(), 1000);
  for (size_t i = 2; i < heard.size(); i += 2)
    ASSERT_LE(std::abs(heard[i] - heard[i - 2]), 2) << "frame " << i / 2;
}

TEST(Mixer, TheLimiterLeansIntoAPeakInsteadOfCuttingItsEdge) {
  // A loud sound that starts half way through a frame: the gain is already falling before it.
  TMixer mixer;
  TPcm late = Level(0, L / 2);
  const TPcm loud = Level(30000, L);
  late.insert(late.end(), loud.begin(), loud.end());
  mixer.Play(late, Unity, 0);
  mixer.Play(late, Unity, 0);
  const std::vector<int16_t> out = Mix(mixer);
  const size_t peak = L / 2;
  EXPECT_NEAR(out[2 * peak], TMixer::Ceiling, 1);
  EXPECT_EQ(out[2 * (peak - 1)], 0);
  const TPcm steady = Level(20000, 4 * L);
  TMixer fresh;
  fresh.Play(steady, Unity, 0);
  fresh.Play(late, Unity / 2, 0);
  const std::vector<int16_t> lean = Mix(fresh);
  EXPECT_EQ(lean[2 * (peak - 40)], 20000) << "further from the peak the sound is whole";
  EXPECT_LT(lean[2 * (peak - 20)], 20000) << "close before it the gain falls already";
  EXPECT_GT(lean[2 * (peak - 20)], 19000);
  for (size_t i = 0; i < L; ++i)
    ASSERT_LE(lean[2 * i], TMixer::Ceiling) << i;
}

TEST(Mixer, WithEveryVoiceBusyTheOldestGivesWay) {
  TMixer mixer;
  const TPcm first = Level(1000, 10 * L), other = Level(10, 10 * L), last = Level(3, 10 * L);
  mixer.Play(first, Unity, 0);
  Mix(mixer);
  for (int i = 1; i < TMixer::VoiceCount; ++i)
    mixer.Play(other, Unity, 0);
  EXPECT_EQ(Mix(mixer)[0], 1000 + 15 * 10);
  mixer.Play(last, Unity, 0);
  EXPECT_EQ(Mix(mixer)[0], 15 * 10 + 3);
  EXPECT_EQ(mixer.ActiveVoices(), TMixer::VoiceCount);
}

TEST(Mixer, MusicLoopsWithoutAGapOrEndsInSilence) {
  TMixer mixer;
  TPcmMusic loop(Ramp(1000));
  mixer.PlayMusic(&loop, true, 10);
  std::vector<int16_t> out = Mix(mixer);
  const std::vector<int16_t> second = Mix(mixer);
  out.insert(out.end(), second.begin(), second.end());
  for (size_t i = 0; i < 2 * L; ++i)
    ASSERT_EQ(out[2 * i], static_cast<int16_t>(i % 1000)) << "frame " << i;

  TPcmMusic once(Ramp(1000));
  mixer.PlayMusic(&once, false, 0);  // takes over after a fade of no length
  Mix(mixer);
  out = Mix(mixer);
  EXPECT_EQ(out[2 * 999], 999);
  EXPECT_EQ(out[2 * 1000], 0);
  EXPECT_EQ(mixer.Music(), nullptr);
}

TEST(Mixer, TheNextPieceStartsFromItsBeginningOnceTheLastHasFadedOut) {
  TMixer mixer;
  TPcmMusic first(Level(8000, 100 * L)), next(Ramp(100 * L));
  mixer.PlayMusic(&first, true, 0);
  Mix(mixer);
  mixer.PlayMusic(&next, true, 2);
  const std::vector<int16_t> fading = Mix(mixer);
  EXPECT_EQ(fading[0], 8000);
  EXPECT_NEAR(fading[2 * L - 2], 4000, 2) << "half way through a two-frame fade";
  const std::vector<int16_t> faded = Mix(mixer);
  EXPECT_NEAR(faded[2 * L - 2], 0, 8);
  EXPECT_EQ(mixer.Music(), &next);
  const std::vector<int16_t> started = Mix(mixer);
  EXPECT_EQ(started[0], 0);
  EXPECT_EQ(started[2 * 7], 7);
  mixer.PlayMusic(&next, true, 2);
  EXPECT_EQ(Mix(mixer)[0], static_cast<int16_t>(L)) << "the piece playing goes on";
}
