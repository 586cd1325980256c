// The Ogg page check and the stb_vorbis wrapper.
#include "audio/vorbis.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <utility>

#define STB_VORBIS_HEADER_ONLY
#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#include <stb_vorbis.h>

namespace {

// ---- Ogg pages --------------------------------------------------------------------------

constexpr size_t PageHeaderSize = 27;
constexpr uint8_t FirstPageFlag = 0x02;
constexpr uint8_t LastPageFlag = 0x04;

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Ogg's checksum: CRC-32 with the polynomial 0x04C11DB7, most significant bit first, no
// reflection, starting from 0.
constexpr std::array<uint32_t, 256> CrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t r = i << 24;
    for (int bit = 0; bit < 8; ++bit)
      r = (r & 0x80000000u) != 0 ? (r << 1) ^ 0x04C11DB7u : r << 1;
    table[i] = r;
  }
  return table;
}
constexpr std::array<uint32_t, 256> Crc = CrcTable();

std::string At(size_t offset) {
  return " at byte " + std::to_string(offset);
}

// ---- Vorbis headers ---------------------------------------------------------------------

// The first `count` packets of a stream whose pages were checked (fewer when it has fewer):
// a packet runs over segments, across pages, up to one shorter than 255 bytes.
std::vector<std::string> FirstPackets(std::span<const uint8_t> stream, size_t count) {
  std::vector<std::string> packets;
  std::string packet;
  for (size_t at = 0; at < stream.size() && packets.size() < count;) {
    const uint8_t* page = stream.data() + at;
    const size_t segments = page[26];
    size_t data = at + PageHeaderSize + segments;
    for (size_t i = 0; i < segments; ++i) {
      const size_t length = page[PageHeaderSize + i];
      packet.append(reinterpret_cast<const char*>(stream.data() + data), length);
      data += length;
      if (length < 255) packets.push_back(std::exchange(packet, std::string()));
    }
    at = data;
  }
  packets.resize(std::min(packets.size(), count));
  return packets;
}

// stb_vorbis takes the lengths in the comment header on trust, and one that runs past the
// packet makes it write outside its memory; so each must fit in what follows it. A packet
// that is no comment header is the decoder's to refuse.
bool CommentLengthsFit(const std::string& packet) {
  if (packet.compare(0, 7, "\x03vorbis") != 0) return true;
  size_t at = 7;
  auto take = [&](uint32_t& value) {
    if (packet.size() - at < 4) return false;
    value = ReadU32(reinterpret_cast<const uint8_t*>(packet.data()) + at);
    at += 4;
    return true;
  };
  uint32_t length = 0, count = 0;
  if (!take(length) || length > packet.size() - at) return false;
  at += length;
  if (!take(count)) return false;
  for (uint32_t i = 0; i < count; ++i) {
    if (!take(length) || length > packet.size() - at) return false;
    at += length;
  }
  return true;
}

// ---- Decoder ----------------------------------------------------------------------------

// A run of this many samples clamped at the ends of the 16-bit range is no music: damaged data
// decodes to values far beyond it. Music mastered loud clips for a few samples at a time.
constexpr size_t LongestClampedRun = 64;

bool Clamped(int16_t sample) {
  return sample == INT16_MAX || sample == INT16_MIN;
}

std::string DecoderError(int code) {
  switch (code) {
    case VORBIS_outofmem:
      return "its decoder set-up is larger than the game allows";
    case VORBIS_invalid_first_page:
    case VORBIS_bad_packet_type:
    case VORBIS_unexpected_eof:
      return "it is not Ogg Vorbis (Opus or FLAC in Ogg are not read)";
    case VORBIS_ogg_skeleton_not_supported:
      return "it holds an Ogg skeleton stream, which is not read";
    default:
      return "its Vorbis headers are damaged (decoder error " + std::to_string(code) + ")";
  }
}

}  // namespace

uint32_t OggPageCrc(const uint8_t* page, size_t size) {
  uint32_t crc = 0;
  for (size_t i = 0; i < size; ++i) {
    const uint8_t byte = i >= 22 && i < 26 ? 0 : page[i];
    crc = (crc << 8) ^ Crc[((crc >> 24) ^ byte) & 0xFF];
  }
  return crc;
}

bool CheckOggPages(std::span<const uint8_t> bytes, size_t& streamBytes, std::string& error) {
  size_t at = 0;
  uint32_t serial = 0;
  uint32_t sequence = 0;
  for (bool first = true;; first = false) {
    if (bytes.size() - at < PageHeaderSize) {
      error = at == 0 ? "it is not an Ogg file" : "it is cut short" + At(at);
      return false;
    }
    const uint8_t* page = bytes.data() + at;
    if (std::memcmp(page, "OggS", 4) != 0 || page[4] != 0) {
      error = first ? "it is not an Ogg file" : "its pages are damaged" + At(at);
      return false;
    }
    const size_t segments = page[26];
    size_t size = PageHeaderSize + segments;
    if (bytes.size() - at < size) {
      error = "it is cut short" + At(at);
      return false;
    }
    for (size_t i = 0; i < segments; ++i)
      size += page[PageHeaderSize + i];
    if (bytes.size() - at < size) {
      error = "it is cut short" + At(at);
      return false;
    }
    if (OggPageCrc(page, size) != ReadU32(page + 22)) {
      error = "its page" + At(at) + " is damaged (checksum)";
      return false;
    }
    const uint8_t flags = page[5];
    const uint32_t pageSerial = ReadU32(page + 14);
    const uint32_t pageSequence = ReadU32(page + 18);
    if (first != ((flags & FirstPageFlag) != 0) || (!first && pageSerial != serial)) {
      error = "it holds more than one stream" + At(at) + "; one Vorbis stream is read";
      return false;
    }
    if (!first && pageSequence != sequence + 1) {
      error = "a page is missing" + At(at);
      return false;
    }
    serial = pageSerial;
    sequence = pageSequence;
    at += size;
    if ((flags & LastPageFlag) != 0) {
      streamBytes = at;
      return true;
    }
  }
}

TVorbisMusic::TVorbisMusic(std::vector<uint8_t> file, uint32_t rate)
    : File(std::move(file)), Arena(ArenaBytes), Rate(rate), Converter(rate) {}

TVorbisMusic::~TVorbisMusic() {
  if (Decoder != nullptr) stb_vorbis_close(Decoder);
}

std::unique_ptr<TVorbisMusic> TVorbisMusic::Open(std::vector<uint8_t> file, uint64_t maxFrames,
                                                 std::string& error) {
  size_t streamBytes = 0;
  if (!CheckOggPages(file, streamBytes, error)) return nullptr;
  if (streamBytes > INT32_MAX) {
    error = "it is too large";
    return nullptr;
  }
  const std::vector<std::string> headers =
      FirstPackets(std::span<const uint8_t>(file.data(), streamBytes), 2);
  if (headers.size() == 2 && !CommentLengthsFit(headers[1])) {
    error = "its comment header is damaged";
    return nullptr;
  }
  std::unique_ptr<TVorbisMusic> music(new TVorbisMusic(std::move(file), 0));
  stb_vorbis_alloc arena{reinterpret_cast<char*>(music->Arena.data()),
                         static_cast<int>(music->Arena.size())};
  int code = 0;
  music->Decoder =
      stb_vorbis_open_memory(music->File.data(), static_cast<int>(streamBytes), &code, &arena);
  if (music->Decoder == nullptr) {
    error = DecoderError(code);
    return nullptr;
  }
  const stb_vorbis_info info = stb_vorbis_get_info(music->Decoder);
  if (info.channels < 1 || info.channels > 2) {
    error = "it has " + std::to_string(info.channels) + " channels; mono or stereo are read";
    return nullptr;
  }
  if (info.sample_rate < LowestSoundRate || info.sample_rate > HighestSoundRate) {
    error =
        "its sample rate " + std::to_string(info.sample_rate) + " Hz is outside 8000 to 192000 Hz";
    return nullptr;
  }
  const uint64_t frames = stb_vorbis_stream_length_in_samples(music->Decoder);
  if (frames == 0) {
    error = "it holds no sound";
    return nullptr;
  }
  if (FramesAtMixerRate(frames, info.sample_rate) > maxFrames) {
    error = TooLong(frames, info.sample_rate, maxFrames);
    return nullptr;
  }
  // Finding the length read the end of the file; decoding starts again from the beginning.
  stb_vorbis_seek_start(music->Decoder);
  stb_vorbis_get_error(music->Decoder);
  music->Rate = info.sample_rate;
  music->Converter = TRateConverter(info.sample_rate);
  return music;
}

void TVorbisMusic::Damaged(uint64_t frame, const std::string& how) {
  char at[32];
  std::snprintf(at, sizeof at, "%.1f s", static_cast<double>(frame) / Rate);
  FaultText = std::string("its sound is damaged at ") + at + ": " + how;
}

bool TVorbisMusic::Sound(const int16_t* samples, size_t frames) {
  for (size_t i = 0; i < 2 * frames; ++i) {
    size_t& run = ClampedRun[i % 2];
    run = Clamped(samples[i]) ? run + 1 : 0;
    if (run < LongestClampedRun) continue;
    Damaged(Decoded + i / 2, "it decodes to noise at full scale");
    return false;
  }
  Decoded += frames;
  return true;
}

size_t TVorbisMusic::Decode(int16_t* out, size_t frames) {
  if (!FaultText.empty()) return 0;
  size_t done = 0;
  while (done < frames) {
    // Mono files come out on both channels.
    const int got = stb_vorbis_get_samples_short_interleaved(Decoder, 2, out + 2 * done,
                                                             static_cast<int>(2 * (frames - done)));
    const int code = stb_vorbis_get_error(Decoder);
    if (code != VORBIS__no_error)
      Damaged(Decoded, "the decoder reports error " + std::to_string(code));
    // What was decoded with the damage is not played: it is the damage.
    if (!FaultText.empty() || (got > 0 && !Sound(out + 2 * done, static_cast<size_t>(got))))
      return 0;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

bool TVorbisMusic::NextFrame(int16_t* frame) {
  if (PendingAt == PendingFrames) {
    Pending.resize(2 * AudioFrameLength);
    PendingFrames = Decode(Pending.data(), AudioFrameLength);
    PendingAt = 0;
    if (PendingFrames == 0) return false;
  }
  frame[0] = Pending[2 * PendingAt];
  frame[1] = Pending[2 * PendingAt + 1];
  ++PendingAt;
  return true;
}

size_t TVorbisMusic::Read(int16_t* out, size_t frames) {
  if (Rate == static_cast<uint32_t>(AudioRate)) return Decode(out, frames);
  return Converter.Convert(out, frames, [this](int16_t* frame) { return NextFrame(frame); });
}

void TVorbisMusic::Rewind() {
  stb_vorbis_seek_start(Decoder);
  stb_vorbis_get_error(Decoder);  // a seek leaves its own word there
  Converter.Reset();
  PendingFrames = PendingAt = 0;
  Decoded = 0;
  ClampedRun[0] = ClampedRun[1] = 0;
}

bool DecodeVorbis(std::vector<uint8_t> file, uint64_t maxFrames, TPcm& pcm, std::string& error) {
  std::unique_ptr<TVorbisMusic> music = TVorbisMusic::Open(std::move(file), maxFrames, error);
  if (!music) return false;
  pcm.clear();
  std::vector<int16_t> piece(2 * AudioFrameLength);
  // The length checked at opening is the last page's word; the decoded frames are counted
  // too, so a file that decodes to more than it claims still ends.
  for (size_t got; (got = music->Read(piece.data(), AudioFrameLength)) > 0;) {
    if (PcmFrames(pcm) + got > maxFrames) {
      error = TooLong(PcmFrames(pcm) + got, AudioRate, maxFrames);
      return false;
    }
    pcm.insert(pcm.end(), piece.begin(), piece.begin() + 2 * got);
  }
  error = music->Fault();
  return error.empty();
}
