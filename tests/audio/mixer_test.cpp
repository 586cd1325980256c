// The mixer, sample for sample: where a sound starts, volume and place, saturation, voice
// stealing, music that loops or ends, and the fade from one piece to the next.
#include <gtest/gtest.h>

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

TEST(Mixer, TheSumSaturatesInsteadOfWrapping) {
  TMixer mixer;
  const TPcm loud = Level(30000, L), quiet = Level(-30000, L);
  mixer.Play(loud, Unity, 0);
  mixer.Play(loud, Unity, 0);
  EXPECT_EQ(Mix(mixer)[0], 32767);
  mixer.Play(quiet, Unity, 0);
  mixer.Play(quiet, Unity, 0);
  EXPECT_EQ(Mix(mixer)[0], -32768);
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
