// One sound file, whatever its name says: WAV or Ogg Vorbis, told apart by its first bytes.
// Effects decode whole; music streams (Vorbis) or is held whole (WAV). Both are bounded in
// length, so that no file can take the game's memory or time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/music_source.h"
#include "audio/pcm.h"

constexpr uint64_t MaxEffectFrames = 30 * uint64_t{AudioRate};
constexpr uint64_t MaxMusicFrames = 600 * uint64_t{AudioRate};
constexpr uint64_t MaxSoundFileBytes = 64 << 20;

bool DecodeEffect(std::vector<uint8_t> file, TPcm& pcm, std::string& error);
// Null with a reason when the file cannot be played.
std::unique_ptr<TMusicSource> OpenMusic(std::vector<uint8_t> file, std::string& error);
