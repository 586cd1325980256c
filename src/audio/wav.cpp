// The RIFF chunk walk, the format checks and the sample conversion of WAV files.
#include "audio/wav.h"

#include <cstring>
#include <optional>

namespace {

uint16_t ReadU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
void PutU16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v) {
  PutU16(p, v);
  PutU16(p + 2, v >> 16);
}

constexpr uint16_t FormatPcm = 1;
constexpr uint16_t FormatExtensible = 0xFFFE;

struct TWavFormat {
  uint16_t Channels = 0;
  uint32_t Rate = 0;
  uint16_t Bits = 0;
};

struct TChunk {
  const uint8_t* Data = nullptr;
  uint64_t Size = 0;     // as the chunk header says
  uint64_t Present = 0;  // what the file really holds of it
};

// The first chunk with this id after the RIFF header, or nothing.
std::optional<TChunk> FindChunk(std::span<const uint8_t> bytes, const char* id) {
  uint64_t at = 12;
  while (at + 8 <= bytes.size()) {
    const uint64_t size = ReadU32(bytes.data() + at + 4);
    const uint64_t body = at + 8;
    if (std::memcmp(bytes.data() + at, id, 4) == 0)
      return TChunk{bytes.data() + body, size, std::min<uint64_t>(size, bytes.size() - body)};
    at = body + size + (size & 1);  // chunks are padded to an even length
  }
  return std::nullopt;
}

bool ReadFormat(const TChunk& chunk, TWavFormat& format, std::string& error) {
  if (chunk.Present < 16) {
    error = "its format chunk is cut short";
    return false;
  }
  const uint8_t* p = chunk.Data;
  uint16_t tag = ReadU16(p);
  // Extensible files name their real format in the first two bytes of a sub-format GUID.
  if (tag == FormatExtensible && chunk.Present >= 26) tag = ReadU16(p + 24);
  format.Channels = ReadU16(p + 2);
  format.Rate = ReadU32(p + 4);
  format.Bits = ReadU16(p + 14);
  if (tag != FormatPcm) {
    error = "it is not PCM (format " + std::to_string(tag) + "); save it as 16-bit PCM";
    return false;
  }
  if (format.Bits != 8 && format.Bits != 16) {
    error = "it has " + std::to_string(format.Bits) + "-bit samples; 8 or 16 bits are read";
    return false;
  }
  if (format.Channels != 1 && format.Channels != 2) {
    error = "it has " + std::to_string(format.Channels) + " channels; mono or stereo are read";
    return false;
  }
  if (format.Rate < LowestSoundRate || format.Rate > HighestSoundRate) {
    error = "its sample rate " + std::to_string(format.Rate) + " Hz is outside 8000 to 192000 Hz";
    return false;
  }
  return true;
}

int16_t SampleAt(const uint8_t* p, uint16_t bits) {
  // 8-bit WAV samples are unsigned around 128, 16-bit ones signed.
  if (bits == 8) return static_cast<int16_t>((p[0] - 128) * 256);
  return static_cast<int16_t>(ReadU16(p));
}

}  // namespace

bool DecodeWav(std::span<const uint8_t> bytes, uint64_t maxFrames, TPcm& pcm, std::string& error) {
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
      std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
    error = "it is not a WAV file";
    return false;
  }
  const std::optional<TChunk> fmt = FindChunk(bytes, "fmt ");
  if (!fmt) {
    error = "it has no format chunk";
    return false;
  }
  TWavFormat format;
  if (!ReadFormat(*fmt, format, error)) return false;
  const std::optional<TChunk> data = FindChunk(bytes, "data");
  if (!data) {
    error = "it has no sample data";
    return false;
  }
  if (data->Present < data->Size) {
    error = "it is cut short: " + std::to_string(data->Present) + " of " +
            std::to_string(data->Size) + " bytes of samples are there";
    return false;
  }
  const uint32_t frameBytes = format.Channels * format.Bits / 8u;
  const uint64_t frames = data->Size / frameBytes;
  if (FramesAtMixerRate(frames, format.Rate) > maxFrames) {
    error = TooLong(frames, format.Rate, maxFrames);
    return false;
  }
  // Straight from the file's bytes to the mixer's rate: no copy at the file's own rate.
  TRateConverter converter(format.Rate);
  pcm.assign(2 * (FramesAtMixerRate(frames, format.Rate) + 2), 0);
  uint64_t read = 0;
  const size_t written = converter.Convert(pcm.data(), PcmFrames(pcm), [&](int16_t* out) {
    if (read >= frames) return false;
    const uint8_t* frame = data->Data + read++ * frameBytes;
    out[0] = SampleAt(frame, format.Bits);
    out[1] = format.Channels == 2 ? SampleAt(frame + format.Bits / 8, format.Bits) : out[0];
    return true;
  });
  pcm.resize(2 * written);
  return true;
}

std::array<uint8_t, WavHeaderSize> WavHeader(uint32_t dataBytes) {
  std::array<uint8_t, WavHeaderSize> h{};
  std::memcpy(h.data(), "RIFF", 4);
  PutU32(h.data() + 4, static_cast<uint32_t>(std::min<uint64_t>(36ull + dataBytes, UINT32_MAX)));
  std::memcpy(h.data() + 8, "WAVEfmt ", 8);
  PutU32(h.data() + 16, 16);
  PutU16(h.data() + 20, FormatPcm);
  PutU16(h.data() + 22, 2);
  PutU32(h.data() + 24, AudioRate);
  PutU32(h.data() + 28, AudioRate * 4);
  PutU16(h.data() + 32, 4);
  PutU16(h.data() + 34, 16);
  std::memcpy(h.data() + 36, "data", 4);
  PutU32(h.data() + 40, dataBytes);
  return h;
}
