// The deadline arithmetic of the frame loop's wait.
#include "platform/frame_pacer.h"

#include <chrono>

uint64_t SteadyClockUs() {
  using namespace std::chrono;
  return static_cast<uint64_t>(
      duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

uint64_t TFramePacer::WaitUs(uint64_t nowUs) {
  if (!Started) {
    Started = true;
    Deadline = nowUs + PeriodUs;
    return PeriodUs;
  }
  Deadline += PeriodUs;
  if (nowUs >= Deadline) {
    Deadline = nowUs;
    return 0;
  }
  return Deadline - nowUs;
}
