// Rate conversion into the mixer's format.
#include "audio/pcm.h"

#include <cstdio>

uint64_t FramesAtMixerRate(uint64_t frames, uint32_t rate) {
  return rate == 0 ? 0 : frames * static_cast<uint64_t>(AudioRate) / rate;
}

std::string TooLong(uint64_t frames, uint32_t rate, uint64_t maxFrames) {
  char text[96];
  std::snprintf(text, sizeof text, "it is too long: %.1f s, at most %.1f s are played",
                static_cast<double>(frames) / rate, static_cast<double>(maxFrames) / AudioRate);
  return text;
}

TRateConverter::TRateConverter(uint32_t sourceRate)
    : Step((static_cast<uint64_t>(sourceRate) << 32) / static_cast<uint64_t>(AudioRate)) {}

void TRateConverter::Reset() {
  Phase = 0;
  Started = false;
  LastHeld = false;
  Ended = false;
}
