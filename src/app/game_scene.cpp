// Game scene set-up and its line in the run summary.
#include "app/game_scene.h"

#include "app/settings.h"
#include "audio/audio.h"
#include "entity/agent.h"
#include "game/boss.h"
#include "game/bus.h"
#include "game/random.h"
#include "game/world.h"
#include "gfx/window.h"
#include "platform/platform.h"
#include "res/packfile.h"

TGameScene::~TGameScene() {
  PackfileCloseForced(SpritePackfile);
}

void TGameScene::Setup() {
  SpritePackfile = PackfileOpenResident("SPRITES");
  Agent = new TAgentEntity(this);
  Place(Agent);
  Agent->SetSpritePackage("SPRITES");
  // Slot 2 is kept for the world while its constructor places the bus and the rest, so
  // the backdrop it draws is the first picture of every frame. A missing picture ends the
  // program from inside that constructor: the slot is given back on that way out too, or
  // the scene's destructor would destroy the agent twice.
  Slots[1] = Agent;
  try {
    World = new TGameWorld(Agent);
  } catch (...) {
    Slots[1] = nullptr;
    throw;
  }
  Slots[1] = nullptr;
  Place(World);
  Settings.SeedUsed = Settings.Seed ? *Settings.Seed : CurrentPlatform().TickCount();
  SeedRandom(*Settings.SeedUsed);
  SetCursorVisible(false);
  PlayMusic(TMusic::Game);
}

void TGameScene::AddToReport(TSceneRecord& record) const {
  if (World == nullptr) return;
  const char* ending = "none";
  switch (World->Ending) {
    case TGameEnding::Won:
      ending = "won";
      break;
    case TGameEnding::Lost:
      ending = "lost";
      break;
    case TGameEnding::Space:
      ending = "space";
      break;
    case TGameEnding::None:
      break;
  }
  record.Extra.push_back({"ending", JsonString(ending)});
  record.Extra.push_back({"player_health", std::to_string(World->Player->GetHealth())});
  record.Extra.push_back(
      {"boss_health", World->Boss != nullptr ? std::to_string(World->Boss->GetHealth()) : "null"});
}
