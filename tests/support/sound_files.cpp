#include "support/sound_files.h"

#include <cmath>
#include <numbers>

#include "res/res_helpers.h"
#include "support/run_binary.h"

namespace {

void PutU16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void PutU32(std::string& out, uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

}  // namespace

std::string MakeWav(const TWavFormat& format, const std::vector<int16_t>& samples) {
  std::string data;
  for (int16_t s : samples) {
    if (format.Bits == 8)
      data += static_cast<char>((s >> 8) + 128);
    else
      PutU16(data, static_cast<uint16_t>(s));
  }
  const uint32_t frameBytes = format.Channels * format.Bits / 8u;
  std::string wav = "RIFF";
  PutU32(wav, static_cast<uint32_t>(36 + data.size()));
  wav += "WAVEfmt ";
  PutU32(wav, 16);
  PutU16(wav, 1);
  PutU16(wav, format.Channels);
  PutU32(wav, format.Rate);
  PutU32(wav, format.Rate * frameBytes);
  PutU16(wav, frameBytes);
  PutU16(wav, format.Bits);
  wav += "data";
  PutU32(wav, static_cast<uint32_t>(data.size()));
  return wav + data;
}

std::string ToneWav(const TWavFormat& format, double seconds, double hz) {
  const size_t frames = static_cast<size_t>(seconds * format.Rate);
  std::vector<int16_t> samples;
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / format.Rate;
    const auto s = static_cast<int16_t>(16384 * std::sin(2 * std::numbers::pi * hz * t));
    for (int c = 0; c < format.Channels; ++c)
      samples.push_back(s);
  }
  return MakeWav(format, samples);
}

std::string FullScaleSquareWav(double silentSeconds, double seconds) {
  std::vector<int16_t> samples(2 * static_cast<size_t>(silentSeconds * 44100), 0);
  for (size_t i = 0; i < static_cast<size_t>(seconds * 44100); ++i)
    samples.insert(samples.end(), 2, i % 441 < 220 ? INT16_MAX : INT16_MIN);
  return MakeWav({44100, 2, 16}, samples);
}

std::string LevelWav(int16_t level, size_t frames) {
  return MakeWav({44100, 2, 16}, std::vector<int16_t>(2 * frames, level));
}

std::string OggVorbis(const std::string& wav) {
  const std::string dir = ScratchDir("oggenc");
  WriteWholeFile(dir + "/in.wav", wav);
  const TRunResult run = RunBinary(
      "/usr/bin/oggenc", {"-Q", "-q", "-1", "-s", "7", dir + "/in.wav", "-o", dir + "/out.ogg"});
  return run.ExitCode == 0 ? ReadWholeFile(dir + "/out.ogg") : std::string();
}

void WriteSoundArchive(const std::string& dir, const std::map<std::string, std::string>& members) {
  TArchiveWriter archive;
  for (const auto& [name, bytes] : members)
    archive.Add(name, bytes);
  archive.WriteTo(dir + "/SOUNDS.MPK");
}
