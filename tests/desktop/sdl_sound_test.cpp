// The SDL back end's sound device, through SDL's disk driver, which writes what the device
// is given to a file: on a virtual clock the device gets exactly the mixer's samples and then
// the run's ending fade, and a muted game gives it silence while the recording keeps the
// game's sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "audio/audio.h"
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

int Loudest(const std::string& samples) {
  int loudest = 0;
  for (size_t at = 0; at + 2 <= samples.size(); at += 2) {
    const auto sample = static_cast<int16_t>(static_cast<uint8_t>(samples[at]) |
                                             static_cast<uint8_t>(samples[at + 1]) << 8);
    loudest = std::max(loudest, std::abs(int{sample}));
  }
  return loudest;
}

}  // namespace

TEST(SdlSound, TheDeviceGetsEverySampleTheMixerMadeThenTheEndingFade) {
  const TSounds sounds = Play("plain", {});
  constexpr size_t FrameBytes = AudioFrameLength * 4;
  ASSERT_EQ(sounds.Mixer.size(), 1000 * FrameBytes);
  EXPECT_FALSE(Silent(sounds.Mixer));
  // SDL's thread writes silence while the device opens, as much as it can until the device is
  // started: the sound is found by its first sample that is not silence.
  const size_t first = sounds.Mixer.find_first_not_of('\0') / 4 * 4;
  const size_t lead = sounds.Device.find_first_not_of('\0') / 4 * 4 - first;
  ASSERT_LT(lead, sounds.Device.size());
  ASSERT_GE(sounds.Device.size(), lead + sounds.Mixer.size() + EndingFadeFrames * FrameBytes);
  EXPECT_TRUE(sounds.Device.compare(lead, sounds.Mixer.size(), sounds.Mixer) == 0);
  const std::string ending = sounds.Device.substr(lead + sounds.Mixer.size());
  const std::string fade = ending.substr(0, EndingFadeFrames * FrameBytes);
  EXPECT_GT(Loudest(fade.substr(0, FrameBytes)), 100) << "the music goes on into the fade";
  EXPECT_LT(Loudest(fade.substr(fade.size() - 400)), 10) << "and fades away";
  EXPECT_TRUE(Silent(ending.substr(fade.size()))) << "then the last padding";
}

TEST(SdlSound, AMutedGameIsSilentButStillRecorded) {
  const TSounds sounds = Play("muted", {"--mute"});
  EXPECT_FALSE(Silent(sounds.Mixer));
  EXPECT_GE(sounds.Device.size(), sounds.Mixer.size());
  EXPECT_TRUE(Silent(sounds.Device));
}
