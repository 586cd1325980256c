// The world's frame: clock, timetable, endings, count-down.
#include "game/world.h"

#include <algorithm>

#include "audio/audio.h"
#include "entity/agent.h"
#include "game/bomber.h"
#include "game/boss.h"
#include "game/bus.h"
#include "game/enemies.h"
#include "gfx/window.h"
#include "level/level_in_force.h"
#include "text/font_text.h"

TGameWorld::TGameWorld(TAgentEntity* agent) : TGameWorld(agent, LevelInForce()) {}

TGameWorld::TGameWorld(TAgentEntity* agent, const TLevel& level)
    : TScrollingBackdrop(agent, level.Background), Level(level), Schedule(LevelSchedule(level)) {
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
  // Looked up by the clock's value, so the timetable starts over when the clock wraps.
  const auto [first, last] = std::equal_range(
      Schedule.begin(), Schedule.end(), TLevelEvent{ScrollPos, 0},
      [](const TLevelEvent& a, const TLevelEvent& b) { return a.Frame < b.Frame; });
  for (auto event = first; event != last; ++event)
    Start(Level.Rows[event->Row]);
}

void TGameWorld::Start(const TLevelRow& row) {
  TAgentEntity* agent = Agent;
  switch (row.Action) {
    case TLevelAction::Text: {
      auto* text = new THunText(row.X, row.Y, agent, 0, row.Hold, row.FadeIn, row.FadeOut, 40, 5,
                                true, "FONTS", "fixedsys", "&" + row.TextFile + "@TEXTS");
      text->RenderText();
      text->PlayOnce();
      agent->Add(text);
      break;
    }
    case TLevelAction::MnM:
      agent->Add(new TMnM(row.X, row.Y, agent));
      break;
    case TLevelAction::Carrot:
      agent->Add(new TCarrot(row.X, row.Y, agent));
      break;
    case TLevelAction::Grenade: {
      auto* grenade = new TGrenade(agent, nullptr);
      agent->Add(grenade);
      grenade->Launch(row.X, row.AtBus ? Player->GetPosition().Y : row.Y);  // the bus's height now
      break;
    }
    case TLevelAction::Bomber:
      agent->Add(new TDrumbo(row.X, row.Y, agent));
      break;
    case TLevelAction::Boss:
      Boss = new TZelvina(agent);
      agent->Add(Boss);
      PlaySound(TSound::BossArrives, Boss->X);
      PlayMusic(TMusic::Boss);
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
  // A level without a boss is won by a bus still flying at its frame.
  const bool won = Boss != nullptr
                       ? !Boss->IsAlive()
                       : Level.WonAt != 0 && ScrollPos == Level.WonAt && Player->IsAlive();
  if (won && EndTimer == 0) BeginEnding(TGameEnding::Won, "winner.pcx", true, true);
  if (!Player->IsAlive() && EndTimer == 0)
    BeginEnding(TGameEnding::Lost, "finger.pcx", false, true);
  if (Input.Keys[Vk::Space] != 0 && EndTimer == 0)
    BeginEnding(TGameEnding::Space, "winner.pcx", true, false);
}
