// Until the intro, game and credits are built, each is a stand-in: a black scene that
// ends itself after a second, so the whole sequence runs and can be tested.
#include "app/scene_list.h"

#include "entity/agent.h"

namespace {

class TStandInTimer : public TBaseEntity {
 public:
  TStandInTimer(TAgentEntity* agent, int frames) : TBaseEntity(0, 0), Agent(agent), Left(frames) {}
  bool Update() override {
    if (--Left <= 0) Agent->Finish();
    return false;
  }

 private:
  TAgentEntity* Agent;
  int Left;
};

class TStandInScene : public TScene {
 public:
  void Setup() override {
    Agent = new TAgentEntity(this);
    Place(Agent);
    Agent->Add(new TStandInTimer(Agent, 20));
  }
};

std::unique_ptr<TScene> MakeStandIn() {
  return std::make_unique<TStandInScene>();
}

}  // namespace

TProgramScenes GameScenes() {
  return {MakeStandIn, MakeStandIn, MakeStandIn};
}
