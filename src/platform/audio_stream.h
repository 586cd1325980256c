// The road from the game's frames to a sound device that plays at its own pace, for the back
// ends with a device. The game thread hands over one frame's samples at a time; the device's
// thread takes them as it plays. Frames come at a steady pace (src/platform/frame_pacer), but
// the device plays by its own crystal, which drifts from the frames' clock by a fraction of a
// percent (a driver that paces itself by sleeping, by a percent or so): each frame's samples
// are stretched or squeezed by at most 2 % to keep the buffer
// near its target, so the pitch never bends by more while the sound stays in step with the
// pictures, never runs dry and never lags. A late frame is bridged by the buffer; one later
// than the buffer holds leaves a silence, and the next frame starts the sound again at the
// target delay. On a virtual clock (turbo) there is no pace to follow: the device gets every
// sample exactly as made, waiting for them if it must.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/frame_pacer.h"
#include "platform/platform.h"

struct TAudioStreamStats {
  uint64_t Pushes = 0;
  uint64_t Underruns = 0;  // the device ran dry while the game was running
  // Breaks in the sound heard while the game was running: the silence after each underrun,
  // and each time samples were thrown away to keep the delay bounded.
  uint64_t Gaps = 0;
  uint64_t DroppedFrames = 0;
  // How long a frame's sound waited to be heard, in frames at AudioRate: the lowest and the
  // highest once the sound was going (what the device still had to play, then the buffer).
  size_t LeastWaiting = 0;
  size_t MostWaiting = 0;
  double Ratio = 1;  // output frames per frame made, as last set
  double Drift = 1;  // the part of it learnt as the steady drift between the clocks
  // The stretch, Ratio - 1, summed over the frames handed over in real time, and the
  // largest there was either way.
  double StretchTotal = 0;
  double LargestStretch = 0;
  uint64_t RealTimePushes = 0;

  double MeanStretch() const { return RealTimePushes == 0 ? 0 : StretchTotal / RealTimePushes; }
};

class TAudioStream {
 public:
  // Real time: a frame's sound is heard about this long after the frame was shown; 20 ms more
  // than the longest piece a device takes at once, so a frame may come that much late.
  static constexpr size_t TargetFrames = AudioRate * 40 / 1000;
  // How long a closing device may take to play out what is left, at most.
  static constexpr std::chrono::milliseconds FinishLimit{500};
  // Beyond this (a device that stalled) the oldest samples go, back down to the target.
  static constexpr size_t LimitFrames = AudioRate * 90 / 1000;
  // A gap between frames longer than this is a pause (minimized, paused), not a late frame.
  static constexpr uint64_t PauseUs = 150'000;
  // The most a frame's samples are stretched or squeezed: the pitch never bends by more.
  static constexpr double LargestStretch = 0.02;

  explicit TAudioStream(bool exact);

  // Game thread: `frames` stereo frames of the game's; `nowUs` is a reading of SteadyClockUs,
  // the clock Pull is given too.
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
  void PushInTime(const int16_t* samples, size_t frames, uint64_t nowUs);
  void Restart(const int16_t* samples, uint64_t nowUs);
  size_t Waiting(uint64_t nowUs) const;
  void Steer(size_t waiting);
  void Resample(const int16_t* samples, size_t frames);
  void Append(const int16_t* frame);
  void Drop(size_t frames);

  const bool Exact;
  mutable std::mutex Lock;  // everything below; Push and Pull each take it once
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
  // Stretching.
  double Position = 0;      // where the next output frame lies, in frames of the next piece
  int16_t History[2] = {};  // the previous piece's last frame
  double Integral = 0;      // the drift learnt so far
  size_t Recent[8] = {};    // the buffer as the last frames found it, a ring
  size_t Newest = 0;
  size_t SteerSum = 0;
  double Ratio = 1;
  std::vector<int16_t> Stretched;
  TAudioStreamStats Figures;
};
