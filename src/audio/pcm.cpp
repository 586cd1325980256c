// Rate conversion into the mixer's format.
#include "audio/pcm.h"

#include <algorithm>
#include <cmath>
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

namespace {

// The low-pass: half gain at 21 kHz, through in full to about 19 kHz and down by 50 dB from
// about 23 kHz (a Hamming window), so what the interpolation folds back lies above 21 kHz.
constexpr double CutoffHz = 21000;
constexpr double TransitionHz = 4000;
constexpr int TapShift = 14;

std::vector<int32_t> LowPassTaps(uint32_t rate) {
  const auto half = static_cast<size_t>(std::ceil(3.3 * rate / TransitionHz / 2));
  const size_t size = 2 * half + 1;
  const double pi = std::acos(-1.0);
  const double cutoff = CutoffHz / rate;  // cycles a source frame
  std::vector<double> shape(size);
  double total = 0;
  for (size_t k = 0; k < size; ++k) {
    const double t = static_cast<double>(k) - static_cast<double>(half);
    const double sinc = t == 0 ? 2 * cutoff : std::sin(2 * pi * cutoff * t) / (pi * t);
    shape[k] = sinc * (0.54 - 0.46 * std::cos(2 * pi * static_cast<double>(k) / (size - 1)));
    total += shape[k];
  }
  // Whole numbers that add up to exactly one, so that a constant level passes unchanged.
  std::vector<int32_t> taps(size);
  int32_t sum = 0;
  for (size_t k = 0; k < size; ++k) {
    taps[k] = static_cast<int32_t>(std::lround(shape[k] / total * (1 << TapShift)));
    sum += taps[k];
  }
  taps[half] += (1 << TapShift) - sum;
  return taps;
}

}  // namespace

TLowPass::TLowPass(uint32_t sourceRate) {
  if (sourceRate <= HighestUnfilteredRate) return;
  Taps = LowPassTaps(sourceRate);
  Decimation = std::max<uint32_t>(1, sourceRate / AudioRate);
  History.assign(2 * Taps.size(), 0);
}

int16_t TLowPass::Filter(int c, size_t first) const {
  const size_t size = Taps.size();
  int32_t sum = 1 << (TapShift - 1);
  for (size_t k = 0, at = first; k < size; ++k, at = at + 1 == size ? 0 : at + 1)
    sum += Taps[k] * History[2 * at + static_cast<size_t>(c)];
  return static_cast<int16_t>(std::clamp(sum >> TapShift, INT16_MIN + 0, INT16_MAX + 0));
}

void TLowPass::Reset() {
  std::fill(History.begin(), History.end(), 0);
  Read = 0;
  Center = 0;
  SourceEnd = UINT64_MAX;
}

TRateConverter::TRateConverter(uint32_t sourceRate) : LowPass(sourceRate) {
  Step = (static_cast<uint64_t>(sourceRate) << 32) /
         (static_cast<uint64_t>(AudioRate) * LowPass.Step());
}

void TRateConverter::Reset() {
  Phase = 0;
  Started = false;
  LastHeld = false;
  Ended = false;
  LowPass.Reset();
}
