// fuzz_sound: the input is a sound file, WAV or Ogg Vorbis, after one byte of choices. It
// goes through both doors the sound bank uses: whole decoding as an effect, and streaming
// as music, read in pieces of a size the input picks. Both must refuse with a reason or give
// bounded sound (music may fall silent where it is found damaged, saying why), and where both
// accept a file they must give the same samples. Half of the
// inputs get their Ogg checksums made right first, so the decoder behind the page check is
// reached as often as the check itself.
#include <algorithm>
#include <cstring>
#include <vector>

#include "audio/sound_file.h"
#include "audio/vorbis.h"
#include "fuzz_support.h"

namespace {

// Rewrites the checksum of every page found from the start, as far as the pages hold together.
void SealOggPages(std::vector<uint8_t>& file) {
  size_t at = 0;
  while (file.size() - at >= 27 && std::memcmp(file.data() + at, "OggS", 4) == 0) {
    const size_t segments = file[at + 26];
    size_t size = 27 + segments;
    if (file.size() - at < size) return;
    for (size_t i = 0; i < segments; ++i)
      size += file[at + 27 + i];
    if (file.size() - at < size) return;
    const uint32_t crc = OggPageCrc(file.data() + at, size);
    for (int i = 0; i < 4; ++i)
      file[at + 22 + i] = static_cast<uint8_t>(crc >> (8 * i));
    at += size;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const bool seal = (data[0] & 1) != 0;
  const size_t piece = 1 + (data[1] * 37u) % (2 * AudioFrameLength);
  std::vector<uint8_t> file(data + 2, data + size);
  if (seal) SealOggPages(file);

  TPcm whole;
  std::string effectError;
  const bool effect = DecodeEffect(file, whole, effectError);
  FUZZ_CHECK(effect == effectError.empty());
  if (effect) FUZZ_CHECK(whole.size() % 2 == 0 && PcmFrames(whole) <= MaxEffectFrames);

  std::string musicError;
  std::unique_ptr<TMusicSource> music = OpenMusic(file, musicError);
  FUZZ_CHECK((music != nullptr) == musicError.empty());
  if (!music) return 0;
  TPcm streamed;
  std::vector<int16_t> buffer(2 * piece);
  for (size_t got; (got = music->Read(buffer.data(), piece)) > 0;) {
    FUZZ_CHECK(got <= piece);
    streamed.insert(streamed.end(), buffer.begin(), buffer.begin() + 2 * got);
    FUZZ_CHECK(PcmFrames(streamed) <= MaxMusicFrames + AudioFrameLength);
  }
  // Within the effects' bound the two doors decode the same file to the same samples, and a
  // stream found damaged as it plays is one the effects' door refuses.
  if (effect) FUZZ_CHECK(streamed == whole && music->Fault().empty());
  // A loop starts again exactly where the piece began; a damaged one stays silent.
  music->Rewind();
  const size_t again = music->Read(buffer.data(), piece);
  if (!music->Fault().empty()) {
    FUZZ_CHECK(again == 0);
    return 0;
  }
  FUZZ_CHECK(again == std::min(piece, PcmFrames(streamed)));
  FUZZ_CHECK(std::equal(buffer.begin(), buffer.begin() + 2 * again, streamed.begin()));
  return 0;
}
