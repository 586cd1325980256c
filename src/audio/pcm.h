// Sound in the mixer's own format, interleaved 16-bit stereo frames at AudioRate, and the
// conversions every decoder shares: mono to stereo, and any sample rate to AudioRate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

using TPcm = std::vector<int16_t>;  // left, right, left, right, ...

constexpr uint32_t LowestSoundRate = 8000;
constexpr uint32_t HighestSoundRate = 192000;

inline size_t PcmFrames(const TPcm& pcm) {
  return pcm.size() / 2;
}

// Frames of AudioRate that `frames` frames of `rate` become.
uint64_t FramesAtMixerRate(uint64_t frames, uint32_t rate);
// "it is too long: 31.5 s, at most 30.0 s are played", for the decoders' refusals.
std::string TooLong(uint64_t frames, uint32_t rate, uint64_t maxFrames);

// Linear interpolation from one rate to AudioRate, frame by frame, keeping its place between
// calls so that a stream can be converted in pieces.
class TRateConverter {
 public:
  explicit TRateConverter(uint32_t sourceRate);

  // Writes up to `frames` frames to `out`, taking source frames from `next`, which fills a
  // stereo frame and returns false once the source has ended. Fewer frames only at the end.
  template <typename Next>
  size_t Convert(int16_t* out, size_t frames, Next&& next);
  // Back to the start of a new source.
  void Reset();

 private:
  uint64_t Step;       // source frames per output frame, 32.32 fixed point
  uint64_t Phase = 0;  // position past Earlier, 0.32 fixed point
  int16_t Earlier[2] = {};
  int16_t Later[2] = {};
  bool Started = false;
  bool LastHeld = false;  // the source has ended; Later repeats Earlier
  bool Ended = false;

  template <typename Next>
  void Advance(Next& next, bool shift);
};

// ---- Template ---------------------------------------------------------------------------

template <typename Next>
size_t TRateConverter::Convert(int16_t* out, size_t frames, Next&& next) {
  if (!Started) {
    Started = true;
    if (!next(Earlier)) Ended = true;
    if (!Ended) Advance(next, false);
  }
  size_t written = 0;
  while (written < frames && !Ended) {
    const int64_t fraction = static_cast<int64_t>(Phase >> 16);  // 0.16
    for (int c = 0; c < 2; ++c)
      out[2 * written + c] =
          static_cast<int16_t>(Earlier[c] + (((Later[c] - Earlier[c]) * fraction) >> 16));
    ++written;
    Phase += Step;
    while (Phase >= (uint64_t{1} << 32) && !Ended) {
      Phase -= uint64_t{1} << 32;
      Advance(next, true);
    }
  }
  return written;
}

template <typename Next>
void TRateConverter::Advance(Next& next, bool shift) {
  if (LastHeld) {
    Ended = true;
    return;
  }
  if (shift) {
    Earlier[0] = Later[0];
    Earlier[1] = Later[1];
  }
  if (!next(Later)) {
    // The last frame is held once more, so it is played before the sound ends.
    Later[0] = Earlier[0];
    Later[1] = Earlier[1];
    LastHeld = true;
  }
}
