// Real-time behaviour of the whole program: the pilot plays headless at the real frame pace
// for a number of frames; the probe reports the frame period, its jitter, the process's CPU
// use and its peak memory. With --sound the game's sound is mixed and played through the SDL
// back end's device (choose it with SDL_AUDIODRIVER, e.g. disk with SDL_DISKAUDIOFILE), and
// the probe reports the device's underruns and the delay of the sound.
// Usage: quibbet_realtime_probe [FRAMES] [--sound] (default 1200 frames, a minute).
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/scene_list.h"
#include "app/settings.h"
#include "audio/audio.h"
#include "bench_engine.h"
#include "game/autopilot.h"
#include "gfx/display.h"
#include "platform/sdl/sdl_audio.h"

namespace {

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The headless platform with the SDL back end's sound device behind it.
class TSoundPlatform : public TQueuedPlatform {
 public:
  TSoundPlatform() : TQueuedPlatform(TPlatformConfig{}) {}
  TSdlAudio Audio{false};

 protected:
  void QueueNativeAudio(const int16_t* samples, size_t frames) override {
    Audio.Queue(samples, frames);
  }
};

void ReportSound(const TSdlAudio& audio) {
  if (!audio.HasDevice()) return;
  const TAudioStreamStats stats = audio.Stats();
  auto ms = [](size_t frames) { return 1000.0 * static_cast<double>(frames) / AudioRate; };
  std::printf("sound: %llu frames handed over, %llu underruns, %llu frames dropped\n",
              static_cast<unsigned long long>(stats.Pushes),
              static_cast<unsigned long long>(stats.Underruns),
              static_cast<unsigned long long>(stats.DroppedFrames));
  std::printf("sound delay after its frame: %.1f to %.1f ms; drift learnt %.4f\n",
              ms(stats.LeastWaiting), ms(stats.MostWaiting), stats.Drift);
}

}  // namespace

int main(int argc, char** argv) {
  const uint64_t frames = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1200;
  const bool sound = argc > 2 && std::string(argv[2]) == "--sound";
  using TClock = std::chrono::steady_clock;
  auto* soundPlatform = sound ? new TSoundPlatform : nullptr;
  TBenchEngine engine(
      sound ? std::unique_ptr<TQueuedPlatform>(soundPlatform) : BenchPlatform(false), false);
  std::string error;
  StartAudio({sound, ""}, error);
  Settings.Seed = 4;
  StartAutopilot();
  std::vector<double> periods;
  TClock::time_point last{};
  double cpuAtFirst = 0;
  TClock::time_point first{};
  Display.OnPresent = [&](const uint16_t*, uint64_t index) {
    const TClock::time_point now = TClock::now();
    if (index == 0) {
      first = now;
      cpuAtFirst = CpuSeconds();
    } else {
      periods.push_back(std::chrono::duration<double, std::milli>(now - last).count());
    }
    last = now;
  };
  TRunReport report;
  RunProgram(GameScenes(), frames, report);
  StopAudio(error);
  const double wall = std::chrono::duration<double>(last - first).count();
  const double cpu = CpuSeconds() - cpuAtFirst;

  double sum = 0;
  for (double p : periods)
    sum += p;
  const double mean = sum / periods.size();
  double squares = 0;
  for (double p : periods)
    squares += (p - mean) * (p - mean);
  std::sort(periods.begin(), periods.end());
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("frames %zu over %.1f s\n", periods.size() + 1, wall);
  std::printf(
      "frame period: mean %.3f ms, jitter (std dev) %.3f ms, min %.3f, p99 %.3f, max %.3f\n", mean,
      std::sqrt(squares / periods.size()), periods.front(), periods[periods.size() * 99 / 100],
      periods.back());
  std::printf("cpu: %.2f s over %.1f s = %.2f %% of one core\n", cpu, wall, 100 * cpu / wall);
  std::printf("peak resident memory: %.1f MiB\n", usage.ru_maxrss / 1024.0);
  if (soundPlatform != nullptr) ReportSound(soundPlatform->Audio);
  return 0;
}
