// WAV files into the mixer's format: the sample widths and channel counts, other rates, and
// every malformed kind refused with a reason.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/wav.h"
#include "support/sound_files.h"

namespace {

std::span<const uint8_t> Bytes(const std::string& file) {
  return {reinterpret_cast<const uint8_t*>(file.data()), file.size()};
}

std::string Refusal(const std::string& file, uint64_t maxFrames = 44100) {
  TPcm pcm;
  std::string error;
  EXPECT_FALSE(DecodeWav(Bytes(file), maxFrames, pcm, error));
  return error;
}

}  // namespace

TEST(Wav, DecodesEachWidthAndChannelCountToStereo) {
  TPcm pcm;
  std::string error;
  ASSERT_TRUE(
      DecodeWav(Bytes(MakeWav({44100, 2, 16}, {100, -200, 32767, -32768})), 10, pcm, error));
  EXPECT_EQ(pcm, (TPcm{100, -200, 32767, -32768}));
  ASSERT_TRUE(DecodeWav(Bytes(MakeWav({44100, 1, 16}, {5, -6})), 10, pcm, error));
  EXPECT_EQ(pcm, (TPcm{5, 5, -6, -6}));
  // 8-bit samples are unsigned around 128 and widen to the top byte.
  ASSERT_TRUE(DecodeWav(Bytes(MakeWav({44100, 1, 8}, {0x4000, -0x8000})), 10, pcm, error));
  EXPECT_EQ(pcm, (TPcm{0x4000, 0x4000, -0x8000, -0x8000}));
}

TEST(Wav, OtherRatesAreConvertedByInterpolation) {
  TPcm pcm;
  std::string error;
  // 22,050 Hz: every second output frame lies half way between two input frames, and the
  // last input frame lasts its two output frames.
  ASSERT_TRUE(DecodeWav(Bytes(MakeWav({22050, 1, 16}, {0, 1000, 2000})), 100, pcm, error));
  EXPECT_EQ(pcm, (TPcm{0, 0, 500, 500, 1000, 1000, 1500, 1500, 2000, 2000, 2000, 2000}));
  // A second at 8 kHz is a second at 44.1 kHz, give or take the last frame.
  ASSERT_TRUE(DecodeWav(Bytes(ToneWav({8000, 2, 16}, 1.0)), 50000, pcm, error));
  EXPECT_NEAR(static_cast<double>(PcmFrames(pcm)), 44100, 6);
}

TEST(Wav, AboveFortyEightKilohertzTheTrebleIsFilteredOutNotFoldedDown) {
  // Half of full scale is 11,585 in root mean square.
  auto loudness = [](uint32_t rate, double hz) {
    TPcm pcm;
    std::string error;
    EXPECT_TRUE(DecodeWav(Bytes(ToneWav({rate, 1, 16}, 0.5, hz)), 44100, pcm, error)) << error;
    double squares = 0;
    const size_t from = PcmFrames(pcm) / 4, to = 3 * PcmFrames(pcm) / 4;
    for (size_t i = from; i < to; ++i)
      squares += static_cast<double>(pcm[2 * i]) * pcm[2 * i];
    return std::sqrt(squares / static_cast<double>(to - from));
  };
  for (uint32_t rate : {96000u, 192000u}) {
    EXPECT_NEAR(loudness(rate, 1000), 11585, 150) << rate << " Hz: the music goes through";
    EXPECT_LT(loudness(rate, 30000), 40) << rate << " Hz: 30 kHz would come back as 14.1 kHz";
  }
  EXPECT_NEAR(loudness(48000, 1000), 11585, 150) << "48 kHz is only interpolated";
}

TEST(Wav, RecordingHeaderReadsBack) {
  const TPcm samples = {1, 2, -3, -4, 32767, -32768};
  std::string file(reinterpret_cast<const char*>(WavHeader(12).data()), WavHeaderSize);
  file.append(reinterpret_cast<const char*>(samples.data()), 12);
  TPcm pcm;
  std::string error;
  ASSERT_TRUE(DecodeWav(Bytes(file), 10, pcm, error)) << error;
  EXPECT_EQ(pcm, samples);
}

TEST(Wav, MalformedFilesAreRefusedWithAReason) {
  const std::string good = MakeWav({44100, 1, 16}, std::vector<int16_t>(100, 7));
  auto patched = [&](size_t at, std::string bytes) {
    std::string file = good;
    file.replace(at, bytes.size(), bytes);
    return file;
  };
  EXPECT_EQ(Refusal("RIFF"), "it is not a WAV file");
  EXPECT_EQ(Refusal(patched(8, "AVI ")), "it is not a WAV file");
  EXPECT_EQ(Refusal(patched(12, "junk")), "it has no format chunk");
  EXPECT_EQ(Refusal(good.substr(0, 12)), "it has no format chunk");
  EXPECT_EQ(Refusal(patched(16, std::string("\x08\0\0\0", 4))), "its format chunk is cut short");
  EXPECT_EQ(Refusal(patched(20, std::string("\x03\0", 2))),
            "it is not PCM (format 3); save it as 16-bit PCM");
  EXPECT_EQ(Refusal(patched(34, std::string("\x18\0", 2))),
            "it has 24-bit samples; 8 or 16 bits are read");
  EXPECT_EQ(Refusal(patched(22, std::string("\x03\0", 2))),
            "it has 3 channels; mono or stereo are read");
  EXPECT_EQ(Refusal(patched(24, std::string("\xa0\x0f\0\0", 4))),
            "its sample rate 4000 Hz is outside 8000 to 192000 Hz");
  EXPECT_EQ(Refusal(patched(36, "junk")), "it has no sample data");
  EXPECT_EQ(Refusal(good.substr(0, good.size() - 10)),
            "it is cut short: 190 of 200 bytes of samples are there");
  EXPECT_EQ(Refusal(patched(40, std::string("\xff\xff\xff\x7f", 4))),
            "it is cut short: 200 of 2147483647 bytes of samples are there");
  EXPECT_EQ(Refusal(ToneWav({8000, 1, 16}, 2.0), 44100),
            "it is too long: 2.0 s, at most 1.0 s are played");
}
