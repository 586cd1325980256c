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

namespace {

const char* EndingName(TGameEnding ending) {
  switch (ending) {
    case TGameEnding::Won:
      return "won";
    case TGameEnding::Lost:
      return "lost";
    case TGameEnding::Space:
      return "space";
    case TGameEnding::None:
      break;
  }
  return "none";
}

}  // namespace

void TGameScene::AddToReport(TSceneRecord& record) const {
  if (World == nullptr) return;
  TGameFigures game;
  game.Ending = EndingName(World->Ending);
  game.PlayerHealth = World->Player->GetHealth();
  if (World->Boss != nullptr) {
    game.BossHealth = World->Boss->GetHealth();
    game.BossFrames = World->BossFrames;
  }
  game.CrossesFired = World->Player->Shots.Fired;
  game.Hits = World->Player->Shots.Hits;
  // The first three as they have always been; the figures added later after them.
  record.Extra.push_back({"ending", JsonString(game.Ending)});
  record.Extra.push_back({"player_health", std::to_string(game.PlayerHealth)});
  record.Extra.push_back({"boss_health", JsonNumber(game.BossHealth)});
  record.Extra.push_back({"crosses_fired", std::to_string(game.CrossesFired)});
  record.Extra.push_back({"hits", std::to_string(game.Hits)});
  record.Extra.push_back({"boss_frames", JsonNumber(game.BossFrames)});
  record.Game = std::move(game);
}
