// The SDL back end's sound device, through SDL's disk driver, which writes what the device
// is given to a file: on a virtual clock the device gets exactly the mixer's samples, and a
// muted game gives it silence while the recording keeps the game's sound.
#include <gtest/gtest.h>

#include "audio/wav.h"
#include "support/run_binary.h"

namespace {

struct TSounds {
  std::string Mixer;   // samples of the --record-audio file
  std::string Device;  // what reached the device
};

TSounds Play(const std::string& name, std::vector<std::string> extra) {
  const std::string dir = ScratchDir("sdl_sound_" + name);
  std::vector<std::string> args = {"--turbo",        "--autoplay",          "--seed",       "4",
                                   "--data",         QUIBBET_GAME_DATA_DIR, "--max-frames", "1000",
                                   "--record-audio", dir + "/mixer.wav"};
  args.insert(args.end(), extra.begin(), extra.end());
  const TRunResult run =
      RunBinary(QUIBBET_BINARY, args,
                {"XDG_CONFIG_HOME=" + dir, "SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=disk",
                 "SDL_DISKAUDIOFILE=" + dir + "/device.raw", "SDL_DISKAUDIODELAY=0"});
  EXPECT_EQ(run.ExitCode, 0) << run.Err;
  return {ReadWholeFile(dir + "/mixer.wav").substr(WavHeaderSize),
          ReadWholeFile(dir + "/device.raw")};
}

bool Silent(const std::string& samples) {
  return samples.find_first_not_of('\0') == std::string::npos;
}

}  // namespace

TEST(SdlSound, TheDeviceGetsEverySampleTheMixerMade) {
  const TSounds sounds = Play("plain", {});
  ASSERT_EQ(sounds.Mixer.size(), 1000 * AudioFrameLength * 4);
  EXPECT_FALSE(Silent(sounds.Mixer));
  ASSERT_GE(sounds.Device.size(), sounds.Mixer.size());
  EXPECT_TRUE(sounds.Device.compare(0, sounds.Mixer.size(), sounds.Mixer) == 0);
  EXPECT_TRUE(Silent(sounds.Device.substr(sounds.Mixer.size()))) << "then only the last padding";
}

TEST(SdlSound, AMutedGameIsSilentButStillRecorded) {
  const TSounds sounds = Play("muted", {"--mute"});
  EXPECT_FALSE(Silent(sounds.Mixer));
  EXPECT_GE(sounds.Device.size(), sounds.Mixer.size());
  EXPECT_TRUE(Silent(sounds.Device));
}
