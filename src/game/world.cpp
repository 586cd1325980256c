// The world's frame: clock, timetable, endings, count-down.
#include "game/world.h"

#include "audio/audio.h"
#include "entity/agent.h"
#include "game/bomber.h"
#include "game/boss.h"
#include "game/bus.h"
#include "game/enemies.h"
#include "gfx/window.h"
#include "text/font_text.h"

TGameWorld::TGameWorld(TAgentEntity* agent) : TScrollingBackdrop(agent, "background.pcx") {
  Player = new TPlayerBus(agent);
  agent->Add(Player);
}

bool TGameWorld::Update() {
  TScrollingBackdrop::Update();
  RunTimetable();
  CheckEndings();
  if (Boss != nullptr && Ending == TGameEnding::None) ++BossFrames;
  if (EndTimer > 0) {
    if (EndTimer == 1)
      Agent->Finish();
    else
      --EndTimer;
  }
  return true;
}

void TGameWorld::RunTimetable() {
  TAgentEntity* agent = Agent;
  auto launchGrenade = [agent](int16_t y) {
    auto* grenade = new TGrenade(agent, nullptr);
    agent->Add(grenade);
    grenade->Launch(800, y);
  };
  switch (ScrollPos) {
    case 5: {
      auto* hint = new THunText(270, 295, agent, 0, 20, 10, 10, 40, 5, true, "FONTS", "fixedsys",
                                "&hint.txt@TEXTS");
      hint->RenderText();
      hint->PlayOnce();
      agent->Add(hint);
      break;
    }
    case 100:
    case 280:
      agent->Add(new TMnM(800, 600, agent));
      break;
    case 170:
    case 230:
      agent->Add(new TMnM(800, 0, agent));
      break;
    case 350:
      launchGrenade(325);
      break;
    case 400:
      agent->Add(new TCarrot(800, 40, agent));
      break;
    case 600:
      agent->Add(new TCarrot(800, 400, agent));
      break;
    case 1100:
    case 1150:
    case 1200:
    case 1250:
    case 1300:
    case 1350:
      launchGrenade(Player->GetPosition().Y);
      break;  // at the bus's height now
    case 1400:
      agent->Add(new TDrumbo(800, 10, agent));
      break;
    case 1900:
      Boss = new TZelvina(agent);
      agent->Add(Boss);
      PlaySound(TSound::BossArrives, Boss->X);
      PlayMusic(TMusic::Boss);
      break;
    default:
      break;
  }
}

void TGameWorld::BeginEnding(TGameEnding ending, const char* picture, bool keyed, bool halt) {
  PBaseEntity shown = keyed ? static_cast<PBaseEntity>(new TCenteredKeyedPicture(Agent, picture))
                            : static_cast<PBaseEntity>(new TCenteredPicture(Agent, picture));
  Agent->Add(shown);
  if (halt) Agent->SetHalted(true);
  EndTimer = 101;
  Ending = ending;
  StopMusic();
  PlaySound(ending == TGameEnding::Lost ? TSound::Lose : TSound::Win, 400);
}

void TGameWorld::CheckEndings() {
  if (Boss != nullptr && !Boss->IsAlive() && EndTimer == 0)
    BeginEnding(TGameEnding::Won, "winner.pcx", true, true);
  if (!Player->IsAlive() && EndTimer == 0)
    BeginEnding(TGameEnding::Lost, "finger.pcx", false, true);
  if (Input.Keys[Vk::Space] != 0 && EndTimer == 0)
    BeginEnding(TGameEnding::Space, "winner.pcx", true, false);
}
