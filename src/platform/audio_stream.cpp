// The shared buffer, the drift control and the stretching.
#include "platform/audio_stream.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Exact streams hold two minutes for a device that plays slower than a turbo run makes: room
// for a whole test run whose device writes to a file, however the threads are scheduled; a
// real device, which plays at its own pace, loses the oldest beyond that.
constexpr size_t ExactCapacity = 120 * AudioRate;
constexpr size_t RealTimeCapacity = AudioRate / 2;
// The controller: a proportional part that answers the buffer's error at once, and an
// integral part that learns the steady drift between the two clocks. Gentle enough that
// frames late by a few milliseconds now and then move the pitch by less than 0.3 %, firm
// enough to follow a device 0.9 % off without running dry.
constexpr double Proportional = 0.02;
constexpr double IntegralGain = 0.001;
// Where the sound stops for want of samples, and where it starts again after the silence,
// it is faded over 1.5 ms, so that the break makes no click.
constexpr size_t EdgeFrames = 64;

void FadeEdge(int16_t* frames, size_t count, bool in) {
  for (size_t i = 0; i < count; ++i) {
    const auto step = static_cast<int32_t>(in ? i + 1 : count - i);
    for (int c = 0; c < 2; ++c)
      frames[2 * i + c] =
          static_cast<int16_t>(frames[2 * i + c] * step / static_cast<int32_t>(count + 1));
  }
}

}  // namespace

TAudioStream::TAudioStream(bool exact)
    : Exact(exact), Ring(2 * (exact ? ExactCapacity : RealTimeCapacity)) {}

void TAudioStream::Drop(size_t frames) {
  Head = (Head + frames) % (Ring.size() / 2);
  Count -= frames;
  Figures.DroppedFrames += frames;
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
  // The mean of the last readings: frames keep to deadlines, so a late frame is followed by an
  // early one and the two cancel; what the mean still sees is the clocks' drift.
  SteerSum += waiting;
  SteerSum -= Recent[Newest];
  Recent[Newest] = waiting;
  Newest = (Newest + 1) % std::size(Recent);
  const double mean = static_cast<double>(SteerSum) / std::size(Recent);
  const double error = (mean - TargetFrames) / TargetFrames;
  Integral = std::clamp(Integral + IntegralGain * error, -LargestStretch, LargestStretch);
  Ratio = std::clamp(1 - Integral - Proportional * error, 1 - LargestStretch, 1 + LargestStretch);
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

void TAudioStream::Restart(const int16_t* samples, uint64_t nowUs) {
  // A device that ran dry between two frames on time heard a gap; one that ran dry in a pause
  // heard the game stop.
  if (RanDry && nowUs - LastPush < PauseUs) {
    ++Figures.Underruns;
    ++Figures.Gaps;
  }
  // Silence up to the target goes first, so the next frame finds the buffer where the
  // controller wants it; the drift learnt so far is kept.
  const int16_t silence[2] = {0, 0};
  for (size_t i = Waiting(nowUs); i < TargetFrames; ++i)
    Append(silence);
  Position = 0;
  History[0] = samples[0];
  History[1] = samples[1];
  Ratio = 1 - Integral;
  std::fill(std::begin(Recent), std::end(Recent), TargetFrames);
  SteerSum = TargetFrames * std::size(Recent);
  Playing = true;
  RanDry = false;
}

void TAudioStream::PushInTime(const int16_t* samples, size_t frames, uint64_t nowUs) {
  if (Count > LimitFrames) {
    Drop(Count - TargetFrames);
    ++Figures.Gaps;
  }
  const bool restart = !Playing;
  if (restart) {
    Restart(samples, nowUs);
  } else {
    const size_t waiting = Waiting(nowUs);
    Figures.LeastWaiting =
        Figures.MostWaiting == 0 ? waiting : std::min(Figures.LeastWaiting, waiting);
    Figures.MostWaiting = std::max(Figures.MostWaiting, waiting);
    Steer(waiting);
  }
  Resample(samples, frames);
  if (restart) FadeEdge(Stretched.data(), std::min(EdgeFrames, Stretched.size() / 2), true);
  for (size_t i = 0; i < Stretched.size(); i += 2)
    Append(&Stretched[i]);
  LastPush = nowUs;
  Figures.Ratio = Ratio;
  Figures.Drift = 1 - Integral;
  Figures.StretchTotal += Ratio - 1;
  Figures.LargestStretch = std::max(Figures.LargestStretch, std::abs(Ratio - 1));
  ++Figures.RealTimePushes;
}

void TAudioStream::Push(const int16_t* samples, size_t frames, uint64_t nowUs) {
  if (frames == 0) return;
  {
    // One hold of the lock from the check of the device's state to the last sample appended:
    // a device that runs dry meanwhile would otherwise be left silent until the next frame.
    std::lock_guard<std::mutex> guard(Lock);
    if (Exact) {
      for (size_t i = 0; i < frames; ++i)
        Append(samples + 2 * i);
    } else {
      PushInTime(samples, frames, nowUs);
    }
    ++Figures.Pushes;
  }
  Arrived.notify_one();
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
  if (!Exact && Playing && count < frames) {
    const size_t edge = std::min(EdgeFrames, count);
    FadeEdge(out + 2 * (count - edge), edge, false);
    Playing = false;
    RanDry = true;
  }
  Taken.notify_all();
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
  return Figures;
}
