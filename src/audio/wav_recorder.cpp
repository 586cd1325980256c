// Writing the recording: a header to be completed, the samples, the finishing step.
#include "audio/wav_recorder.h"

#include <bit>
#include <cstdio>

#include "audio/wav.h"

static_assert(std::endian::native == std::endian::little,
              "samples are written as they lie in memory, which WAV wants little-endian");

namespace {

constexpr uint64_t LargestData = UINT32_MAX - WavHeaderSize;

}  // namespace

bool TWavRecorder::Open(const std::string& path, std::string& error) {
  if (!Output.Open(path, error)) return false;
  const auto header = WavHeader(0);
  Output.Write(header.data(), header.size());
  return true;
}

void TWavRecorder::Write(const int16_t* samples, size_t frames) {
  if (Output.File() == nullptr || Full) return;
  const uint64_t bytes = uint64_t{frames} * 4;
  if (DataBytes + bytes > LargestData) {
    Full = true;
    std::fprintf(stderr, "quibbet: the sound recording reached the 4 GB a WAV file holds\n");
    return;
  }
  Output.Write(samples, bytes);
  DataBytes += bytes;
}

bool TWavRecorder::Finish(std::string& error) {
  if (Output.File() == nullptr) return true;
  const auto header = WavHeader(static_cast<uint32_t>(DataBytes));
  Output.WriteAt(0, header.data(), header.size());
  return Output.Finish(error);
}
