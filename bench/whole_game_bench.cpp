// The whole program in turbo: a complete autopilot game (intro, game, credits) with the time
// of every frame, and the time from start to the first presented frame.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "app/program.h"
#include "app/scene.h"
#include "app/scene_list.h"
#include "app/settings.h"
#include "bench_engine.h"
#include "game/autopilot.h"
#include "gfx/display.h"

namespace {

using TClock = std::chrono::steady_clock;

struct TRun {
  std::vector<double> FrameMicros;  // from one presentation to the next
  double StartMicros = 0;           // from start to the first presentation
  double TotalSeconds = 0;
  int SceneChanges = 0;
  TRunReport Report;
};

// One whole program run in turbo with the pilot playing; `maxFrames` 0 plays to the end.
TRun RunProgramOnce(uint64_t maxFrames) {
  TRun run;
  TBenchEngine engine(true, false);
  Settings.Seed = 4;
  StartAutopilot();  // resets the pilot; the watcher below calls it
  const TClock::time_point start = TClock::now();
  // A frame runs from one presentation to the next within a scene; the step from one scene
  // to the next (destroying one, loading and setting up the other) is not a frame.
  TClock::time_point last = start;
  const TScene* lastScene = nullptr;
  FrameWatcher = [&](const TScene& scene) {
    const TClock::time_point now = TClock::now();
    const double micros = std::chrono::duration<double, std::micro>(now - last).count();
    if (lastScene == nullptr)
      run.StartMicros = micros;
    else if (&scene == lastScene)
      run.FrameMicros.push_back(micros);
    else
      ++run.SceneChanges;
    lastScene = &scene;
    last = now;
    AutopilotFrame(scene);
    last = TClock::now();  // the pilot stands for the player, not for the program's work
  };
  RunProgram(GameScenes(), maxFrames, run.Report);
  run.TotalSeconds = std::chrono::duration<double>(TClock::now() - start).count();
  return run;
}

double Percentile(std::vector<double> values, double share) {
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<size_t>(share * values.size()))];
}

void BM_WholeAutopilotGame(benchmark::State& state) {
  TRun run;
  for (auto _ : state)
    run = RunProgramOnce(0);
  const double frames = static_cast<double>(run.FrameMicros.size() + 1 + run.SceneChanges);
  state.counters["frames"] = frames;
  state.counters["fps"] = frames / run.TotalSeconds;
  state.counters["worst_us"] = *std::max_element(run.FrameMicros.begin(), run.FrameMicros.end());
  state.counters["p999_us"] = Percentile(run.FrameMicros, 0.999);
  state.counters["median_us"] = Percentile(run.FrameMicros, 0.5);
}
BENCHMARK(BM_WholeAutopilotGame)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_StartToFirstFrame(benchmark::State& state) {
  double micros = 0;
  for (auto _ : state)
    micros = RunProgramOnce(1).StartMicros;
  state.counters["first_frame_us"] = micros;
}
BENCHMARK(BM_StartToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
