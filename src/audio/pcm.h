// Sound in the mixer's own format, interleaved 16-bit stereo frames at AudioRate, and the
// conversions every decoder shares: mono to stereo, and any sample rate to AudioRate.
#pragma once

#include <algorithm>
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

// Above this rate a source is low-pass filtered before its rate is converted: interpolation
// alone would fold its treble above half the mixer's rate back down into what is heard.
constexpr uint32_t HighestUnfilteredRate = 48000;

// A windowed-sinc low-pass at 21 kHz in integer arithmetic, for sources above
// HighestUnfilteredRate. It gives every Step-th frame of its output, so that the interpolation
// after it works from a rate between AudioRate and twice that, and no work is spent on frames
// nobody reads.
class TLowPass {
 public:
  explicit TLowPass(uint32_t sourceRate);
  bool Active() const { return !Taps.empty(); }
  uint32_t Step() const { return Decimation; }

  // The next output frame into `frame`, taking source frames from `next` as a converter does;
  // false once the source has ended. Frames before the start and past the end count as silence.
  template <typename Next>
  bool Take(Next& next, int16_t* frame);
  void Reset();

 private:
  int16_t Filter(int c, size_t first) const;

  std::vector<int32_t> Taps;  // Q14, an odd number, symmetric
  uint32_t Decimation = 1;
  std::vector<int16_t> History;  // the last Taps.size() source frames, a ring by their index
  uint64_t Read = 0;             // source frames taken, silence past the end included
  uint64_t Center = 0;           // the source frame the next output stands on
  uint64_t SourceEnd = UINT64_MAX;
};

// Linear interpolation from one rate to AudioRate, frame by frame, keeping its place between
// calls so that a stream can be converted in pieces; above HighestUnfilteredRate through a
// TLowPass first.
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
  uint64_t Step = 0;   // source frames per output frame, 32.32 fixed point
  uint64_t Phase = 0;  // position past Earlier, 0.32 fixed point
  int16_t Earlier[2] = {};
  int16_t Later[2] = {};
  bool Started = false;
  bool LastHeld = false;  // the source has ended; Later repeats Earlier
  bool Ended = false;

  template <typename Next>
  void Advance(Next& next, bool shift);
  template <typename Next>
  bool Take(Next& next, int16_t* frame);

  TLowPass LowPass;
};

// ---- Templates --------------------------------------------------------------------------

template <typename Next>
bool TLowPass::Take(Next& next, int16_t* frame) {
  const size_t size = Taps.size();
  const uint64_t half = size / 2;
  while (Read <= Center + half) {
    int16_t* slot = &History[2 * (Read % size)];
    if (Read >= SourceEnd || !next(slot)) {
      SourceEnd = std::min(SourceEnd, Read);
      slot[0] = slot[1] = 0;
    }
    ++Read;
  }
  if (Center >= SourceEnd) return false;
  // Frames before the first were never written: their places in the ring still hold silence.
  const size_t first = static_cast<size_t>((Center + size - half) % size);
  frame[0] = Filter(0, first);
  frame[1] = Filter(1, first);
  Center += Decimation;
  return true;
}

template <typename Next>
bool TRateConverter::Take(Next& next, int16_t* frame) {
  return LowPass.Active() ? LowPass.Take(next, frame) : next(frame);
}

template <typename Next>
size_t TRateConverter::Convert(int16_t* out, size_t frames, Next&& next) {
  if (!Started) {
    Started = true;
    if (!Take(next, Earlier)) Ended = true;
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
  if (!Take(next, Later)) {
    // The last frame is held once more, so it is played before the sound ends.
    Later[0] = Earlier[0];
    Later[1] = Earlier[1];
    LastHeld = true;
  }
}
