// Music held in memory.
#include "audio/music_source.h"

#include <algorithm>
#include <cstring>

size_t TPcmMusic::Read(int16_t* out, size_t frames) {
  const size_t count = std::min(frames, PcmFrames(Pcm) - Position);
  std::memcpy(out, Pcm.data() + 2 * Position, count * 2 * sizeof(int16_t));
  Position += count;
  return count;
}
