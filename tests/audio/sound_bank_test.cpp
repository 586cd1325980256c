// The game's sounds from SOUNDS.MPK, failing soft with one line for each problem, and the
// frame-by-frame hand-over: one start per sound and frame, the player's volume, and nothing
// at all with sound off.
#include <gtest/gtest.h>

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
