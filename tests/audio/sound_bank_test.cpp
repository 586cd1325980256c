// The game's sounds from SOUNDS.MPK, failing soft with one line for each problem, also for
// music found damaged as it plays; the frame-by-frame hand-over: one start per sound and
// frame, the player's volume, and nothing at all with sound off; and the fade at a run's end.
#include <gtest/gtest.h>

#include <algorithm>

#include "audio/audio.h"
#include "audio/sound_bank.h"
#include "audio/wav.h"
#include "res/data_dir.h"
#include "res/res_helpers.h"
#include "support/run_binary.h"
#include "support/sound_files.h"

namespace {

class SoundBankTest : public TResFixture {
 protected:
  // Loads the bank and returns what it said on stderr.
  std::string Load(TSoundBank& bank) {
    testing::internal::CaptureStderr();
    bank = LoadSoundBank();
    return testing::internal::GetCapturedStderr();
  }
};

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

TEST_F(SoundBankTest, ReadsOggBeforeWavAndNamesEachSoundItCannotPlay) {
  const std::string ogg = OggVorbis(ToneWav({44100, 1, 16}, 0.2));
  ASSERT_FALSE(ogg.empty());
  const std::string cut = LevelWav(100, 1000);
  WriteSoundArchive(Dir, {{"fire.ogg", ogg},
                          {"fire.wav", LevelWav(5, 10)},
                          {"enemy_hit.wav", cut.substr(0, cut.size() - 1)},
                          {"explosion.wav", "not a sound"},
                          {"game.wav", LevelWav(7, 3)}});
  TSoundBank bank;
  const std::string said = Load(bank);

  EXPECT_NEAR(static_cast<double>(PcmFrames(bank.Effects[0])), 0.2 * 44100, 2) << "fire.ogg";
  EXPECT_TRUE(bank.Effects[1].empty());
  EXPECT_TRUE(Has(said, "quibbet: sound \"enemy_hit.wav\" in SOUNDS.MPK: it is cut short")) << said;
  EXPECT_TRUE(Has(said,
                  "quibbet: sound \"explosion.wav\" in SOUNDS.MPK: it is neither a WAV "
                  "nor an Ogg Vorbis file; it stays silent"))
      << said;
  EXPECT_TRUE(Has(said, "quibbet: SOUNDS.MPK has no lose.ogg or lose.wav; it stays silent\n"));
  ASSERT_TRUE(bank.Music[1]);
  int16_t game[6];
  EXPECT_EQ(bank.Music[1]->Read(game, 3), 3u);
  EXPECT_EQ(game[5], 7);
  EXPECT_FALSE(bank.Music[0]);
  // One line for each sound that stays silent, nothing more.
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 10 + 3) << said;
}

TEST_F(SoundBankTest, WithoutAnArchiveTheGameSaysSoOnce) {
  TSoundBank bank;
  EXPECT_EQ(Load(bank), "quibbet: no SOUNDS.MPK in " + Dir + ": the game plays without sound\n");
  WriteData("SOUNDS.MPK", "not an archive at all");
  EXPECT_EQ(Load(bank),
            "quibbet: SOUNDS.MPK: File is not a Packfile: the game plays without sound\n");
  EXPECT_TRUE(bank.Effects[0].empty());
}

TEST_F(SoundBankTest, EachFrameHandsOverOneFramesSoundAtThePlayersVolume) {
  WriteSoundArchive(Dir, {{"fire.wav", LevelWav(8000, 10)}, {"boss_hit.wav", LevelWav(-8000, 10)}});
  // The player's volume is the platform's, applied on the way to the device.
  TPlatformConfig config;
  config.Player.Volume = 50;
  UsePlatform(config);
  std::string error;
  const std::string record = Dir + "/record.wav";
  testing::internal::CaptureStderr();
  ASSERT_TRUE(StartAudio({true, record}, error)) << error;
  testing::internal::GetCapturedStderr();
  PlaySound(TSound::Fire, 400);
  PlaySound(TSound::Fire, 400);  // reported twice, started once
  AudioFrame();
  AudioFrame();
  ASSERT_EQ(Platform->Audio.size(), 4 * AudioFrameLength);
  EXPECT_EQ(Platform->Audio[0], 2000) << "a quarter of the level: 50 is half as loud";
  EXPECT_EQ(Platform->Audio[2 * 10], 0);
  ASSERT_TRUE(StopAudio(error)) << error;
  // The recording has the game's own sound, whatever the player's volume.
  const std::string wav = ReadWholeFile(record);
  ASSERT_EQ(wav.size(), WavHeaderSize + 2 * AudioFrameLength * 4);
  EXPECT_EQ(wav[WavHeaderSize + 1], static_cast<char>(8000 >> 8));

  Platform->Audio.clear();
  ASSERT_TRUE(StartAudio({false, ""}, error));
  PlaySound(TSound::BossHit, 400);
  AudioFrame();
  EXPECT_TRUE(Platform->Audio.empty()) << "with sound off nothing is mixed or handed over";
}

TEST_F(SoundBankTest, MusicFoundDamagedAsItPlaysIsNamedOnceAndFallsSilent) {
  const std::string ogg = OggVorbis(FullScaleSquareWav(0.5, 1.0));
  ASSERT_FALSE(ogg.empty());
  WriteSoundArchive(Dir, {{"game.ogg", ogg}});
  std::string error;
  testing::internal::CaptureStderr();
  ASSERT_TRUE(StartAudio({true, ""}, error)) << error;
  testing::internal::GetCapturedStderr();
  PlayMusic(TMusic::Game);
  testing::internal::CaptureStderr();
  for (int f = 0; f < 40; ++f)
    AudioFrame();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(
      said.starts_with("quibbet: sound \"game.ogg\" in SOUNDS.MPK: its sound is damaged at") &&
      said.ends_with(": it decodes to noise at full scale; it stays silent\n") &&
      std::count(said.begin(), said.end(), '\n') == 1)
      << said;
  const std::vector<int16_t> last(Platform->Audio.end() - 2 * AudioFrameLength,
                                  Platform->Audio.end());
  EXPECT_TRUE(std::all_of(last.begin(), last.end(), [](int16_t s) { return s == 0; }));
  ASSERT_TRUE(StopAudio(error));
}

TEST_F(SoundBankTest, AnArchiveThatArrivesDuringTheRunJoinsWithTheScenesMusic) {
  std::string error;
  testing::internal::CaptureStderr();
  ASSERT_TRUE(StartAudio({true, ""}, error)) << error;
  testing::internal::GetCapturedStderr();
  PlayMusic(TMusic::Game);
  AudioFrame();
  WriteSoundArchive(Dir, {{"game.wav", LevelWav(8000, 44100)}});
  AudioFrame();  // there, but the platform has not said so: read only once it does
  Platform->DataHasArrived = true;
  AudioFrame();
  AudioFrame();
  ASSERT_EQ(Platform->Audio.size(), 4 * 2 * AudioFrameLength);
  const auto silent = Platform->Audio.begin() + 2 * 2 * AudioFrameLength;
  EXPECT_TRUE(std::all_of(Platform->Audio.begin(), silent, [](int16_t s) { return s == 0; }));
  EXPECT_EQ(Platform->Audio.back(), 8000) << "the music the scene asked for plays";
  ASSERT_TRUE(StopAudio(error)) << error;
}

TEST_F(SoundBankTest, AtTheEndOfARunTheSoundFadesOnTheWayToTheDeviceButNotInTheRecording) {
  WriteSoundArchive(Dir, {{"game.wav", LevelWav(8000, 44100)}});
  std::string error;
  const std::string record = Dir + "/record.wav";
  testing::internal::CaptureStderr();
  ASSERT_TRUE(StartAudio({true, record}, error)) << error;
  testing::internal::GetCapturedStderr();
  PlayMusic(TMusic::Game);
  AudioFrame();
  FadeOutAudio();
  ASSERT_TRUE(StopAudio(error)) << error;
  const std::vector<int16_t>& heard = Platform->Audio;
  ASSERT_EQ(heard.size(), 2 * (1 + EndingFadeFrames) * AudioFrameLength);
  EXPECT_EQ(heard[2 * AudioFrameLength], 8000) << "the fade starts where the sound was";
  EXPECT_LT(heard[2 * (2 * AudioFrameLength)], 6000);
  EXPECT_LT(heard.back(), 10) << "and ends at silence";
  for (size_t i = 2 * AudioFrameLength + 2; i < heard.size(); i += 2)
    ASSERT_LE(heard[i], heard[i - 2]) << i / 2;
  EXPECT_EQ(ReadWholeFile(record).size(), WavHeaderSize + AudioFrameLength * 4);
}
