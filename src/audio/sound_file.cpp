// Telling the formats apart and handing each to its decoder.
#include "audio/sound_file.h"

#include <cstring>

#include "audio/vorbis.h"
#include "audio/wav.h"

namespace {

bool StartsWith(const std::vector<uint8_t>& file, const char* magic) {
  const size_t size = std::strlen(magic);
  return file.size() >= size && std::memcmp(file.data(), magic, size) == 0;
}

bool Known(const std::vector<uint8_t>& file, std::string& error) {
  if (StartsWith(file, "OggS") || StartsWith(file, "RIFF")) return true;
  error = "it is neither a WAV nor an Ogg Vorbis file";
  return false;
}

}  // namespace

bool DecodeEffect(std::vector<uint8_t> file, TPcm& pcm, std::string& error) {
  if (!Known(file, error)) return false;
  if (StartsWith(file, "OggS")) return DecodeVorbis(std::move(file), MaxEffectFrames, pcm, error);
  return DecodeWav(file, MaxEffectFrames, pcm, error);
}

std::unique_ptr<TMusicSource> OpenMusic(std::vector<uint8_t> file, std::string& error) {
  if (!Known(file, error)) return nullptr;
  if (StartsWith(file, "OggS")) return TVorbisMusic::Open(std::move(file), MaxMusicFrames, error);
  TPcm pcm;
  if (!DecodeWav(file, MaxMusicFrames, pcm, error)) return nullptr;
  return std::make_unique<TPcmMusic>(std::move(pcm));
}
