// Bus steering, firing and damage effects.
#include "game/bus.h"

#include <algorithm>

#include "audio/audio.h"
#include "entity/agent.h"
#include "game/status_display.h"
#include "gfx/window.h"

TPlayerBus::TPlayerBus(TAgentEntity* agent) : TPlayerEntity(0, 0, agent, "bus.pcx", 100) {
  X = 5;
  Y = static_cast<int16_t>((600 - Image.Height) / 2);
  HealthDisplay = new THealthDisplay(10, 10, Health, agent, this);
  agent->Add(HealthDisplay);
  AmmoDisplay = new TCountDisplay(45, 10, agent);
  agent->Add(AmmoDisplay);
  for (THolyCross*& cross : Crosses) {
    cross = new THolyCross(agent, this, &Shots);
    agent->Add(cross);
  }
}

bool TPlayerBus::Update() {
  Y = static_cast<int16_t>(std::clamp<int>(Input.MouseY, 40, 425));
  if (FireCooldown == 0) {
    // An empty magazine starts no cooldown: the next shot leaves as soon as a cross is back.
    if (Input.MouseLeft) {
      if (THolyCross* cross = FirstIdle(Crosses)) {
        cross->Launch(static_cast<int16_t>(X + Image.Width + 5),
                      static_cast<int16_t>(Y + Image.Height / 2));
        FireCooldown = 5;
        ++Shots.Fired;
      }
    }
  } else {
    --FireCooldown;
  }
  AmmoDisplay->SetNumber(CountIdle(Crosses));
  return IsAlive();
}

void TPlayerBus::Hit(int16_t damage) {
  if (!IsAlive()) return;
  TPlayerEntity::Hit(damage);
  if (!IsAlive()) {
    Agent->CreateEntity(1, 0xC000, "explosion", true,
                        static_cast<int16_t>(X + Image.Width / 4 - 32),
                        static_cast<int16_t>(Y - 32), 16, 0, 0, 0);
    PlaySound(TSound::Explosion, X);
  } else {
    PlaySound(TSound::BusHit, X);
    Agent->CreateEntity(1, 0xC000, "blood", true, static_cast<int16_t>(X + Image.Width / 2 - 32),
                        static_cast<int16_t>(Y + Image.Height / 2 - 32), 4, 0, 0, 0);
  }
}
