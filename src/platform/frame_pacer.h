// The frame loop's steady pace. Game time is counted in frames; this is only how frames meet
// the wall clock: each frame's wait ends one period after the previous frame's wait ended, so
// a frame lasts the period whatever its work, and a sound device that plays by its own clock
// hears the game's samples at the rate they were made. Plain arithmetic on clock readings
// handed in, so tests drive it with a clock of their own.
#pragma once

#include <cstdint>

// The steady clock in microseconds: the frames' and the sound devices' common clock.
uint64_t SteadyClockUs();

class TFramePacer {
 public:
  static constexpr uint32_t PeriodMs = 50;
  static constexpr uint64_t PeriodUs = PeriodMs * 1000;

  // A frame was shown at `nowUs`. The first one's showing stands for the end of a wait before
  // it: its deadline is a period later, however long its work after the showing takes.
  void Shown(uint64_t nowUs);
  // How long to wait from `nowUs` for the frame's wait to end on its deadline: one period
  // after the last deadline. A frame that ends past its deadline does not wait, and the next
  // deadline counts from its end, so a slow frame is never followed by a burst of hurried
  // ones.
  uint64_t WaitUs(uint64_t nowUs);
  // A stop of the frame loop (a pause) ended at `nowUs`: the frame that waits lasts a whole
  // period from there, as after a showing, so what the player does as the pause ends still
  // meets the frame it always met.
  void Resumed(uint64_t nowUs);

 private:
  bool Started = false;
  uint64_t Deadline = 0;  // where the last wait was to end
};
