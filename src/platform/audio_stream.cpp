// The shared buffer, the drift control and the stretching.
#include "platform/audio_stream.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

namespace {

// Exact streams hold two minutes for a device that plays slower than a turbo run makes: room
// for a whole test run whose device writes to a file, however the threads are scheduled; a
// real device, which plays at its own pace, loses the oldest beyond that.
constexpr size_t ExactCapacity = 120 * AudioRate;
constexpr size_t RealTimeCapacity = AudioRate / 2;
// The controller: a proportional part that answers the buffer's error at once, and an
// integral part that learns the steady drift between the two clocks. Gentle enough that the
// pitch moves by about a tenth of a percent with frames on time to half a millisecond.
constexpr double Proportional = 0.08;
constexpr double IntegralGain = 0.006;
constexpr double LargestDrift = 0.08;

}  // namespace

TAudioStream::TAudioStream(bool exact)
    : Exact(exact), Ring(2 * (exact ? ExactCapacity : RealTimeCapacity)) {}

void TAudioStream::Drop(size_t frames) {
  Head = (Head + frames) % (Ring.size() / 2);
  Count -= frames;
  Counts.DroppedFrames += frames;
}

void TAudioStream::Append(const int16_t* frame) {
  const size_t capacity = Ring.size() / 2;
  if (Count == capacity) Drop(1);  // the oldest frame gives way
  const size_t at = (Head + Count) % capacity;
  Ring[2 * at] = frame[0];
  Ring[2 * at + 1] = frame[1];
  ++Count;
}

size_t TAudioStream::Waiting(uint64_t nowUs) const {
  // The device takes its samples in pieces; what is left of the piece it plays counts too, so
  // the measure moves smoothly instead of jumping by a piece at each take.
  const uint64_t played = nowUs > LastPull ? (nowUs - LastPull) * AudioRate / 1'000'000 : 0;
  return Count + (played < LastPullFrames ? LastPullFrames - played : 0);
}

void TAudioStream::Steer(size_t waiting) {
  const double error = (static_cast<double>(waiting) - TargetFrames) / TargetFrames;
  Integral = std::clamp(Integral + IntegralGain * error, -LargestDrift, LargestDrift);
  Ratio =
      std::clamp(1 - Integral - Proportional * error, 1 - 2 * LargestDrift, 1 + 2 * LargestDrift);
}

void TAudioStream::Resample(const int16_t* samples, size_t frames) {
  // Source frames are History at -1, then samples[0 .. frames - 1]; output frames lie every
  // 1 / Ratio source frames. What lies beyond the last frame waits for the next piece.
  Stretched.clear();
  const double step = 1 / Ratio;
  const double last = static_cast<double>(frames) - 1;
  for (; Position < last; Position += step) {
    const double whole = std::floor(Position);
    const auto i = static_cast<ptrdiff_t>(whole);
    const double f = Position - whole;
    const int16_t* a = i < 0 ? History : samples + 2 * i;
    const int16_t* b = samples + 2 * (i + 1);
    for (int c = 0; c < 2; ++c)
      Stretched.push_back(static_cast<int16_t>(std::lround(a[c] + (b[c] - a[c]) * f)));
  }
  Position -= static_cast<double>(frames);
  History[0] = samples[2 * (frames - 1)];
  History[1] = samples[2 * (frames - 1) + 1];
}

void TAudioStream::Push(const int16_t* samples, size_t frames, uint64_t nowUs) {
  if (frames == 0) return;
  if (Exact) {
    {
      std::lock_guard<std::mutex> guard(Lock);
      for (size_t i = 0; i < frames; ++i)
        Append(samples + 2 * i);
      ++Counts.Pushes;
    }
    Arrived.notify_one();
    return;
  }
  size_t waiting;
  bool start;
  {
    std::lock_guard<std::mutex> guard(Lock);
    if (Count > LimitFrames) Drop(Count - TargetFrames);
    waiting = Waiting(nowUs);
    start = !Playing;
    if (start && RanDry && nowUs - LastPush < PauseUs) ++Counts.Underruns;
    if (!start) {
      Counts.LeastWaiting =
          Counts.MostWaiting == 0 ? waiting : std::min(Counts.LeastWaiting, waiting);
      Counts.MostWaiting = std::max(Counts.MostWaiting, waiting);
    }
  }
  if (start) {
    // A fresh start keeps the drift learnt so far.
    Position = 0;
    History[0] = samples[0];
    History[1] = samples[1];
    Ratio = 1 - Integral;
  } else {
    Steer(waiting);
  }
  Resample(samples, frames);
  std::lock_guard<std::mutex> guard(Lock);
  if (start) {
    // Silence up to the target goes first, so the next frame finds the buffer where the
    // controller wants it.
    const int16_t silence[2] = {0, 0};
    for (size_t i = Waiting(nowUs); i < TargetFrames; ++i)
      Append(silence);
    Playing = true;
    RanDry = false;
  }
  for (size_t i = 0; i < Stretched.size(); i += 2)
    Append(&Stretched[i]);
  LastPush = nowUs;
  Counts.Ratio = Ratio;
  Counts.Drift = 1 - Integral;
  ++Counts.Pushes;
}

void TAudioStream::Pull(int16_t* out, size_t frames, uint64_t nowUs) {
  std::unique_lock<std::mutex> guard(Lock);
  if (Exact) {
    // Nothing is made up on a virtual clock: the device waits for the game's samples, however
    // long a slow frame takes; closing the stream lets it go.
    Arrived.wait(guard, [&] { return Closed || Count >= frames; });
  }
  const size_t capacity = Ring.size() / 2;
  const size_t count = Playing || Exact ? std::min(frames, Count) : 0;
  for (size_t i = 0; i < count; ++i) {
    const size_t at = (Head + i) % capacity;
    out[2 * i] = Ring[2 * at];
    out[2 * i + 1] = Ring[2 * at + 1];
  }
  Head = (Head + count) % capacity;
  Count -= count;
  std::memset(out + 2 * count, 0, (frames - count) * 2 * sizeof(int16_t));
  LastPull = nowUs;
  LastPullFrames = frames;
  Taken.notify_all();
  if (!Exact && Playing && count < frames) {
    Playing = false;
    RanDry = true;
  }
}

uint64_t AudioClockUs() {
  using namespace std::chrono;
  return static_cast<uint64_t>(
      duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

void TAudioStream::Close() {
  {
    std::lock_guard<std::mutex> guard(Lock);
    Closed = true;
  }
  Arrived.notify_all();
}

void TAudioStream::Finish(std::chrono::milliseconds limit) {
  Close();
  std::unique_lock<std::mutex> guard(Lock);
  // A stream in real time that is not playing gives the device nothing more.
  Taken.wait_for(guard, limit, [&] { return Count == 0 || (!Exact && !Playing); });
}

TAudioStreamStats TAudioStream::Stats() const {
  std::lock_guard<std::mutex> guard(Lock);
  return Counts;
}
