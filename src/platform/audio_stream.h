// The road from the game's frames to a sound device that plays at its own pace, for the back
// ends with a device. The game thread hands over one frame's samples at a time; the device's
// thread takes them as it plays. In real time the two clocks drift apart (a frame lasts its
// work plus 50 ms, a device plays by its own crystal), so each frame's samples are stretched
// or squeezed by a fraction of a percent to keep the buffer near its target: the sound stays
// in step with the pictures, never runs dry and never lags. On a virtual clock (turbo) there is
// no pace to follow: the device gets every sample exactly as made, waiting for them if it must.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/platform.h"

struct TAudioStreamStats {
  uint64_t Pushes = 0;
  uint64_t Underruns = 0;      // the device ran dry while the game was running
  uint64_t DroppedFrames = 0;  // thrown away to keep the delay bounded
  // How long a frame's sound waited to be heard, in frames at AudioRate: the lowest and the
  // highest once the sound was going (what the device still had to play, then the buffer).
  size_t LeastWaiting = 0;
  size_t MostWaiting = 0;
  double Ratio = 1;  // output frames per frame made, as last set
  double Drift = 1;  // the part of it learnt as the steady drift between the clocks
};

// The steady clock, in microseconds, that devices hand Push and Pull.
uint64_t AudioClockUs();

class TAudioStream {
 public:
  // Real time: a frame's sound is heard about this long after the frame was shown.
  static constexpr size_t TargetFrames = AudioRate * 30 / 1000;
  // How long a closing device may take to play out what is left, at most.
  static constexpr std::chrono::milliseconds FinishLimit{500};
  // Beyond this (a device that stalled) the oldest samples go, back down to the target.
  static constexpr size_t LimitFrames = AudioRate * 80 / 1000;
  // A gap between frames longer than this is a pause (minimized, paused), not a late frame.
  static constexpr uint64_t PauseUs = 150'000;

  explicit TAudioStream(bool exact);

  // Game thread: `frames` stereo frames of the game's; `nowUs` is a steady clock's reading in
  // microseconds, the same clock Pull is given.
  void Push(const int16_t* samples, size_t frames, uint64_t nowUs);
  // Device thread: `frames` stereo frames to play from `nowUs` on; silence where there is
  // nothing to play.
  void Pull(int16_t* out, size_t frames, uint64_t nowUs);
  // Releases a device thread waiting in Pull, for good: the device is closing.
  void Close();
  // Closes, then gives the device up to `limit` to take what is left: a device closed at once
  // would lose the run's last samples.
  void Finish(std::chrono::milliseconds limit);

  TAudioStreamStats Stats() const;

 private:
  size_t Waiting(uint64_t nowUs) const;
  void Steer(size_t waiting);
  void Resample(const int16_t* samples, size_t frames);
  void Append(const int16_t* frame);
  void Drop(size_t frames);

  const bool Exact;
  mutable std::mutex Lock;
  std::condition_variable Arrived;
  std::condition_variable Taken;
  std::vector<int16_t> Ring;  // stereo frames, Head to Head + Count, wrapping
  size_t Head = 0;
  size_t Count = 0;
  bool Closed = false;
  bool Playing = false;  // false at the start and after running dry
  bool RanDry = false;
  uint64_t LastPush = 0;
  uint64_t LastPull = 0;      // when the device last took samples
  size_t LastPullFrames = 0;  // and how many, still playing since
  // Stretching, game thread only.
  double Position = 0;      // where the next output frame lies, in frames of the next piece
  int16_t History[2] = {};  // the previous piece's last frame
  double Integral = 0;      // the drift learnt so far
  double Ratio = 1;
  std::vector<int16_t> Stretched;
  TAudioStreamStats Counts;
};
