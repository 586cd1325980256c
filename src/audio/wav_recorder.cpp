// Writing the recording: a header to be completed, the samples, the rename.
#include "audio/wav_recorder.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "audio/wav.h"

static_assert(std::endian::native == std::endian::little,
              "samples are written as they lie in memory, which WAV wants little-endian");

namespace {

constexpr uint64_t LargestData = UINT32_MAX - WavHeaderSize;

std::string PartPath(const std::string& path) {
  return path + ".part";
}

}  // namespace

TWavRecorder::~TWavRecorder() {
  if (File == nullptr) return;
  std::fclose(File);
  std::error_code ignored;
  std::filesystem::remove(PartPath(Path), ignored);
}

bool TWavRecorder::Open(const std::string& path, std::string& error) {
  Path = path;
  File = std::fopen(PartPath(path).c_str(), "wb");
  if (File == nullptr) {
    error = std::strerror(errno);
    return false;
  }
  const auto header = WavHeader(0);
  Failed = std::fwrite(header.data(), 1, header.size(), File) != header.size();
  return true;
}

void TWavRecorder::Write(const int16_t* samples, size_t frames) {
  if (File == nullptr || Full) return;
  const uint64_t bytes = uint64_t{frames} * 4;
  if (DataBytes + bytes > LargestData) {
    Full = true;
    std::fprintf(stderr, "quibbet: the sound recording reached the 4 GB a WAV file holds\n");
    return;
  }
  if (std::fwrite(samples, 1, bytes, File) != bytes) Failed = true;
  DataBytes += bytes;
}

bool TWavRecorder::Finish(std::string& error) {
  if (File == nullptr) return true;
  const auto header = WavHeader(static_cast<uint32_t>(DataBytes));
  if (std::fseek(File, 0, SEEK_SET) != 0 ||
      std::fwrite(header.data(), 1, header.size(), File) != header.size())
    Failed = true;
  if (std::fclose(File) != 0) Failed = true;
  File = nullptr;
  std::error_code renamed;
  if (!Failed) std::filesystem::rename(PartPath(Path), Path, renamed);
  if (Failed || renamed) {
    error = Failed ? "it could not be written" : renamed.message();
    std::error_code ignored;
    std::filesystem::remove(PartPath(Path), ignored);
    return false;
  }
  return true;
}
