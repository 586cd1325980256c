// The deadline arithmetic of the frame loop's wait.
#include "platform/frame_pacer.h"

#include <chrono>

uint64_t SteadyClockUs() {
  using namespace std::chrono;
  return static_cast<uint64_t>(
      duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

void TFramePacer::Shown(uint64_t nowUs) {
  if (Started) return;
  Started = true;
  Deadline = nowUs;
}

uint64_t TFramePacer::WaitUs(uint64_t nowUs) {
  if (!Started) Shown(nowUs);
  Deadline += PeriodUs;
  if (nowUs >= Deadline) {
    Deadline = nowUs;
    return 0;
  }
  return Deadline - nowUs;
}

void TFramePacer::Resumed(uint64_t nowUs) {
  Started = true;
  Deadline = nowUs;
}
