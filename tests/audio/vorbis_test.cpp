// Ogg Vorbis: the page check on pages built here, and decoding files that Debian's oggenc
// made from the tests' own tones.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/vorbis.h"
#include "support/sound_files.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& file) {
  return {file.begin(), file.end()};
}

// Oggenc's files pass the page check, so the checksum the pages here get is the format's.
uint32_t Crc(const std::string& page) {
  return OggPageCrc(reinterpret_cast<const uint8_t*>(page.data()), page.size());
}

// One Ogg page with a correct checksum: flags 2 first, 4 last.
std::string Page(uint8_t flags, uint32_t serial, uint32_t sequence, const std::string& payload) {
  auto u32 = [](uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
  };
  std::string page = "OggS";
  page += '\0';
  page += static_cast<char>(flags);
  page += std::string(8, '\0') + u32(serial) + u32(sequence) + u32(0);
  page += static_cast<char>(payload.size() / 255 + 1);
  page += std::string(payload.size() / 255, '\xff');
  page += static_cast<char>(payload.size() % 255);
  page += payload;
  const std::string crc = u32(Crc(page));
  return page.replace(22, 4, crc);
}

std::string PageRefusal(const std::string& file) {
  size_t end = 0;
  std::string error;
  EXPECT_FALSE(CheckOggPages(Bytes(file), end, error));
  return error;
}

const std::string& StereoTone() {
  static const std::string ogg = OggVorbis(ToneWav({44100, 2, 16}, 0.5));
  return ogg;
}

}  // namespace

TEST(OggPages, AWholeStreamPassesUpToItsLastPage) {
  const std::string stream =
      Page(2, 9, 0, "head") + Page(0, 9, 1, std::string(600, 'x')) + Page(4, 9, 2, "tail");
  size_t end = 0;
  std::string error;
  ASSERT_TRUE(CheckOggPages(Bytes(stream + "trailing bytes"), end, error)) << error;
  EXPECT_EQ(end, stream.size());
}

TEST(OggPages, DamagedStreamsAreRefusedWithAReason) {
  const std::string first = Page(2, 9, 0, "head"), middle = Page(0, 9, 1, "body");
  const std::string last = Page(4, 9, 2, "tail");
  const std::string whole = first + middle + last;
  EXPECT_EQ(PageRefusal("RIFF and more than twenty-seven bytes"), "it is not an Ogg file");
  const std::string second = std::to_string(first.size());
  const std::string third = std::to_string(first.size() + middle.size());
  EXPECT_EQ(PageRefusal(whole.substr(0, whole.size() - 2)), "it is cut short at byte " + third);
  EXPECT_EQ(PageRefusal(first + middle), "it is cut short at byte " + third);
  std::string flipped = whole;
  flipped[first.size() + 30] ^= 1;
  EXPECT_EQ(PageRefusal(flipped), "its page at byte " + second + " is damaged (checksum)");
  EXPECT_EQ(PageRefusal(first + Page(4, 9, 2, "tail")), "a page is missing at byte " + second);
  EXPECT_EQ(PageRefusal(first + Page(4, 8, 1, "tail")),
            "it holds more than one stream at byte " + second + "; one Vorbis stream is read");
  EXPECT_EQ(PageRefusal(Page(0, 9, 0, "head") + last),
            "it holds more than one stream at byte 0; "
            "one Vorbis stream is read");
}

TEST(Vorbis, MonoAtAnotherRateComesOutStereoAtTheMixerRate) {
  const std::string ogg = OggVorbis(ToneWav({22050, 1, 16}, 1.0));
  ASSERT_FALSE(ogg.empty()) << "oggenc (Debian package vorbis-tools) is needed";
  TPcm pcm;
  std::string error;
  ASSERT_TRUE(DecodeVorbis(Bytes(ogg), 2 * 44100, pcm, error)) << error;
  EXPECT_NEAR(static_cast<double>(PcmFrames(pcm)), 44100, 4);
  int crossings = 0;
  for (size_t i = 1; i < PcmFrames(pcm); ++i) {
    EXPECT_EQ(pcm[2 * i], pcm[2 * i + 1]);
    if ((pcm[2 * i - 2] < 0) != (pcm[2 * i] < 0)) ++crossings;
  }
  EXPECT_NEAR(crossings, 880, 8) << "a 440 Hz tone crosses zero twice a period";
}

TEST(Vorbis, StreamingInAnyPiecesGivesTheWholeDecodingAndRewindsExactly) {
  ASSERT_FALSE(StereoTone().empty());
  TPcm whole;
  std::string error;
  ASSERT_TRUE(DecodeVorbis(Bytes(StereoTone()), 44100, whole, error)) << error;
  std::unique_ptr<TVorbisMusic> music = TVorbisMusic::Open(Bytes(StereoTone()), 44100, error);
  ASSERT_TRUE(music) << error;
  for (int pass = 0; pass < 2; ++pass) {
    TPcm streamed;
    int16_t piece[2 * 777];
    for (size_t got; (got = music->Read(piece, 777)) > 0;)
      streamed.insert(streamed.end(), piece, piece + 2 * got);
    EXPECT_EQ(streamed, whole) << "pass " << pass;
    music->Rewind();
  }
}

TEST(Vorbis, ACommentLengthPastItsPacketIsRefusedBeforeTheDecoderReadsIt) {
  // The decoder takes these lengths on trust and writes past its memory for them.
  std::string file = StereoTone();
  const size_t comment = file.find("\x03vorbis");
  ASSERT_NE(comment, std::string::npos);
  file.replace(comment + 7, 4, "\xff\xff\xff\x7f");
  const size_t page = file.rfind("OggS", comment);
  const size_t next = file.find("OggS", comment);
  const uint32_t crc = Crc(file.substr(page, next - page));
  for (int i = 0; i < 4; ++i)
    file[page + 22 + i] = static_cast<char>(crc >> (8 * i));
  TPcm pcm;
  std::string error;
  EXPECT_FALSE(DecodeVorbis(Bytes(file), 44100, pcm, error));
  EXPECT_EQ(error, "its comment header is damaged");
}

TEST(Vorbis, FilesTheGameCannotPlayAreRefusedWithAReason) {
  TPcm pcm;
  std::string error;
  EXPECT_FALSE(DecodeVorbis(Bytes(StereoTone()), 1000, pcm, error));
  EXPECT_EQ(error, "it is too long: 0.5 s, at most 0.0 s are played");
  const std::string notVorbis = Page(2, 1, 0, "OpusHead and so on") + Page(4, 1, 1, "");
  EXPECT_FALSE(DecodeVorbis(Bytes(notVorbis), 44100, pcm, error));
  EXPECT_EQ(error, "it is not Ogg Vorbis (Opus or FLAC in Ogg are not read)");
  EXPECT_FALSE(DecodeVorbis(Bytes(StereoTone().substr(0, 3000)), 44100, pcm, error));
  EXPECT_EQ(error.rfind("it is cut short at byte ", 0), 0u) << error;
}

TEST(Vorbis, AStreamThatDecodesToNoiseAtFullScaleIsRefusedAndMusicFallsSilentThere) {
  // Silence, then what a damaged stream decodes to: samples clamped for long runs.
  const std::string ogg = OggVorbis(FullScaleSquareWav(0.5, 0.5));
  ASSERT_FALSE(ogg.empty());
  TPcm pcm;
  std::string error;
  EXPECT_FALSE(DecodeVorbis(Bytes(ogg), 2 * 44100, pcm, error));
  EXPECT_TRUE(error.starts_with("its sound is damaged at 0.") &&
              error.ends_with(" s: it decodes to noise at full scale"))
      << error;
  std::unique_ptr<TVorbisMusic> music = TVorbisMusic::Open(Bytes(ogg), 2 * 44100, error);
  ASSERT_TRUE(music) << "the headers are whole: music opens and plays up to the damage";
  int16_t piece[2 * 1000];
  size_t played = 0;
  for (size_t got; (got = music->Read(piece, 1000)) > 0;)
    played += got;
  EXPECT_GE(played, 22050u);
  EXPECT_LT(played, 44100u);
  EXPECT_EQ(music->Fault(), error);
  music->Rewind();
  EXPECT_EQ(music->Read(piece, 1000), 0u) << "and stays silent";
}
