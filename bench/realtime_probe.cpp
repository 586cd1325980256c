// Real-time behaviour of the whole program: the pilot plays headless at the real frame pace
// for a number of frames; the probe reports the frame period, its jitter, the process's CPU
// use and its peak memory. With --sound the game's sound is mixed and handed to a device, and
// the probe reports how the live sound fared: underruns, gaps, the stretch the stream applied
// and the delay of the sound. The device is SDL's (choose its driver with SDL_AUDIODRIVER,
// e.g. disk with SDL_DISKAUDIOFILE), or with --device exact a consumer of the probe's own that
// takes 441 frames every 10 ms of the monotonic clock: exactly 44,100 a second, so that the
// figures do not depend on a sound driver's own drift. --extra-work MS adds that much busy
// work to every frame, a game far heavier than ours.
// Usage: quibbet_realtime_probe [FRAMES] [--sound] [--device sdl|exact] [--extra-work MS]
// (default 1200 frames, a minute).
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
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

using TClock = std::chrono::steady_clock;

struct TProbeOptions {
  uint64_t Frames = 1200;
  bool Sound = false;
  bool ExactDevice = false;
  double ExtraWorkMs = 0;
};

bool ReadOptions(int argc, char** argv, TProbeOptions& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool valued = arg == "--device" || arg == "--extra-work";
    if (valued && i + 1 == argc) return false;
    if (arg == "--sound") {
      options.Sound = true;
    } else if (arg == "--device") {
      const std::string device = argv[++i];
      if (device != "sdl" && device != "exact") return false;
      options.ExactDevice = device == "exact";
    } else if (arg == "--extra-work") {
      options.ExtraWorkMs = std::strtod(argv[++i], nullptr);
    } else if (i == 1 && std::isdigit(static_cast<unsigned char>(arg[0]))) {
      options.Frames = std::strtoull(arg.c_str(), nullptr, 10);
    } else {
      return false;
    }
  }
  return true;
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Busy work, as a heavier game's frame would do; spinning is the point here.
void Spin(double ms) {
  const TClock::time_point end = TClock::now() + std::chrono::duration_cast<TClock::duration>(
                                                     std::chrono::duration<double, std::milli>(ms));
  while (TClock::now() < end) {
  }
}

// A device that plays at exactly AudioRate by the monotonic clock.
class TExactDevice {
 public:
  static constexpr size_t PieceFrames = AudioRate / 100;

  TExactDevice() : Feeder([this] { Feed(); }) {}
  ~TExactDevice() {
    Stream.Finish(TAudioStream::FinishLimit);
    Stopping = true;
    Feeder.join();
  }
  TExactDevice(const TExactDevice&) = delete;
  TExactDevice& operator=(const TExactDevice&) = delete;

  void Queue(const int16_t* samples, size_t frames) {
    Stream.Push(samples, frames, SteadyClockUs());
  }
  TAudioStreamStats Stats() const { return Stream.Stats(); }

 private:
  void Feed() {
    std::vector<int16_t> piece(2 * PieceFrames);
    TClock::time_point next = TClock::now();
    while (!Stopping) {
      std::this_thread::sleep_until(next);
      Stream.Pull(piece.data(), PieceFrames, SteadyClockUs());
      next += std::chrono::milliseconds(10);
    }
  }

  TAudioStream Stream{false};
  std::atomic<bool> Stopping{false};
  std::thread Feeder;  // last: it starts at once and uses the members above
};

// The headless platform with a sound device behind it.
class TSoundPlatform : public TQueuedPlatform {
 public:
  explicit TSoundPlatform(bool exact) : TQueuedPlatform(TPlatformConfig{}) {
    if (exact) {
      Exact = std::make_unique<TExactDevice>();
    } else {
      Sdl = std::make_unique<TSdlAudio>(false);
    }
  }

  bool HasDevice() const { return Exact || Sdl->HasDevice(); }
  TAudioStreamStats Stats() const { return Exact ? Exact->Stats() : Sdl->Stats(); }

 protected:
  void QueueNativeAudio(const int16_t* samples, size_t frames) override {
    if (Exact) return Exact->Queue(samples, frames);
    Sdl->Queue(samples, frames);
  }

 private:
  std::unique_ptr<TExactDevice> Exact;
  std::unique_ptr<TSdlAudio> Sdl;
};

void ReportPeriods(std::vector<double> periods, double wall) {
  double sum = 0;
  for (double p : periods)
    sum += p;
  const double mean = sum / static_cast<double>(periods.size());
  double squares = 0;
  for (double p : periods)
    squares += (p - mean) * (p - mean);
  std::sort(periods.begin(), periods.end());
  std::printf("frames %zu over %.1f s\n", periods.size() + 1, wall);
  std::printf("frame period: mean %.3f ms, sd %.3f ms, p99 %.3f ms (min %.3f, max %.3f)\n", mean,
              std::sqrt(squares / static_cast<double>(periods.size())),
              periods[periods.size() * 99 / 100], periods.front(), periods.back());
}

void ReportSound(const TSoundPlatform& platform, bool exact) {
  if (!platform.HasDevice()) return;
  const TAudioStreamStats stats = platform.Stats();
  auto ms = [](size_t frames) { return 1000.0 * static_cast<double>(frames) / AudioRate; };
  std::printf(
      "sound (%s device): %llu frames handed over, %llu underruns, %llu gaps, %llu "
      "frames dropped\n",
      exact ? "exact" : "SDL", static_cast<unsigned long long>(stats.Pushes),
      static_cast<unsigned long long>(stats.Underruns), static_cast<unsigned long long>(stats.Gaps),
      static_cast<unsigned long long>(stats.DroppedFrames));
  std::printf("stretch: %+.3f %% mean, %.3f %% largest; drift learnt %.4f\n",
              100 * stats.MeanStretch(), 100 * stats.LargestStretch, stats.Drift);
  std::printf("sound delay after its frame: %.1f to %.1f ms\n", ms(stats.LeastWaiting),
              ms(stats.MostWaiting));
}

}  // namespace

int main(int argc, char** argv) {
  TProbeOptions options;
  if (!ReadOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: quibbet_realtime_probe [FRAMES] [--sound] [--device sdl|exact] "
                 "[--extra-work MS]\n");
    return 2;
  }
  auto* soundPlatform = options.Sound ? new TSoundPlatform(options.ExactDevice) : nullptr;
  TBenchEngine engine(
      options.Sound ? std::unique_ptr<TQueuedPlatform>(soundPlatform) : BenchPlatform(false),
      false);
  std::string error;
  StartAudio({options.Sound, ""}, error);
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
    Spin(options.ExtraWorkMs);
  };
  TRunReport report;
  RunProgram(GameScenes(), options.Frames, report);
  StopAudio(error);
  const double wall = std::chrono::duration<double>(last - first).count();
  const double cpu = CpuSeconds() - cpuAtFirst;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  ReportPeriods(periods, wall);
  std::printf("cpu: %.2f s over %.1f s = %.2f %% of one core\n", cpu, wall, 100 * cpu / wall);
  std::printf("peak resident memory: %.1f MiB\n", usage.ru_maxrss / 1024.0);
  if (soundPlatform != nullptr) ReportSound(*soundPlatform, options.ExactDevice);
  return 0;
}
