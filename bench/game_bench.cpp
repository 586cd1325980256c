// One late-game frame: the bus, the bomber and the boss on screen with every projectile of
// their pools in flight, on the game's own data, in turbo mode.
#include <benchmark/benchmark.h>

#include "app/game_scene.h"
#include "bench_engine.h"
#include "entity/agent.h"
#include "game/bomber.h"
#include "game/boss.h"
#include "game/bus.h"
#include "game/world.h"
#include "gfx/display.h"
#include "gfx/window.h"

namespace {

// Puts every idle projectile of a pool back in flight on its own place of a grid of rows,
// so that shots of one pool lie side by side as a stream of them does in play.
template <typename T, size_t N>
void LaunchAll(T* const (&pool)[N], int top, int rowStep) {
  int i = 0;
  for (T* p : pool) {
    if (p != nullptr && !p->IsFlying())
      p->Launch(static_cast<int16_t>(200 + (i % 16) * 36),
                static_cast<int16_t>(top + (i / 16) * rowStep));
    ++i;
  }
}

void BM_LateGameFrame(benchmark::State& state) {
  TBenchEngine engine;
  {
    TGameScene scene;
    scene.Setup();
    TGameWorld& world = *scene.World;
    world.ScrollPos = 2000;  // past the timetable: nothing new arrives
    auto* bomber = new TDrumbo(800, 10, scene.Agent);
    scene.Agent->Add(bomber);
    world.Boss = new TZelvina(scene.Agent);
    scene.Agent->Add(world.Boss);
    // Nobody dies while the frame is measured.
    world.Player->SetHealth(30000);
    bomber->SetHealth(30000);
    world.Boss->SetHealth(30000);
    Input.MouseLeft = true;
    Input.MouseY = 300;
    for (auto _ : state) {
      state.PauseTiming();
      LaunchAll(bomber->Grenades, 60, 30);  // five rows from y 60
      LaunchAll(world.Boss->Pellets, 260, 20);
      state.ResumeTiming();
      scene.UpdateAndDraw();
      PresentSurface(scene.FrameBuffer.Pixels);
    }
  }
}
BENCHMARK(BM_LateGameFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
