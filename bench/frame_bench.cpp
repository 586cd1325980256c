// The frame loop's fixed cost: one empty frame with a scene full of collidable entities,
// and the agent's collision pass over 200 of them on its own.
#include <benchmark/benchmark.h>

#include <random>

#include "app/scene.h"
#include "bench_engine.h"
#include "entity/agent.h"
#include "entity/collidable.h"
#include "gfx/display.h"
#include "gfx/window.h"

namespace {

// A 16 x 16 box that moves nowhere and draws nothing, as an idle actor would.
class TBenchBox : public TBaseEntity, public TCollidable {
 public:
  TBenchBox(int16_t x, int16_t y) : TBaseEntity(x, y) {}
  bool Update() override { return true; }
  TCollidable* AsCollidable() override { return this; }
  void GetBounds(TPoint16& topLeft, TPoint16& bottomRight) override {
    topLeft = {X, Y};
    bottomRight = {static_cast<int16_t>(X + 16), static_cast<int16_t>(Y + 16)};
  }
  void Collide(TCollidable&, TPoint16, TPoint16) override { ++Touches; }
  int Touches = 0;
};

class TBenchScene : public TScene {
 public:
  explicit TBenchScene(bool agentInSlot) : AgentInSlot(agentInSlot) {}
  void Setup() override {
    Agent = new TAgentEntity(this);
    if (AgentInSlot)
      Place(Agent);
    else
      Owned.reset(Agent);
    std::mt19937 random(7);
    while (EntityAt(SlotCount) == nullptr)
      Place(new TBenchBox(static_cast<int16_t>(random() % 784),
                          static_cast<int16_t>(random() % 584)));
  }
  bool AgentInSlot;
  std::unique_ptr<TAgentEntity> Owned;  // the agent, when it sits outside the slots
};

void BM_CollisionPass200(benchmark::State& state) {
  TBenchEngine engine;
  TBenchScene scene(false);
  scene.Setup();
  for (auto _ : state)
    scene.Agent->Update();
  state.SetItemsProcessed(state.iterations() * (200 * 199 / 2));
}
BENCHMARK(BM_CollisionPass200)->Unit(benchmark::kMicrosecond);

void BM_EmptyFrame199Collidable(benchmark::State& state) {
  TBenchEngine engine;
  TBenchScene scene(true);
  scene.Setup();
  for (auto _ : state)
    scene.Run(Display.FramesPresented + 1);
}
BENCHMARK(BM_EmptyFrame199Collidable)->Unit(benchmark::kMicrosecond);

}  // namespace
