// Bomber flight, grenade drops and the death sequence.
#include "game/bomber.h"

#include <cstdlib>

#include "audio/audio.h"
#include "entity/agent.h"
#include "game/random.h"
#include "gfx/boxes.h"

namespace {

// One axis of the flight: snap when closer than a step, else move 10 pixels towards it.
int16_t StepTowards(int16_t from, int16_t to) {
  if (std::abs(from - to) < 10) return to;
  return static_cast<int16_t>(from < to ? from + 10 : from - 10);
}

}  // namespace

TDrumbo::TDrumbo(int16_t x, int16_t y, TAgentEntity* agent)
    : TMovingEntity(x, y, agent, "drumbo.pcx", 100) {
  // Its points lie between x 200 and the right edge less its width: a picture 600 or more
  // wide leaves no room to choose from.
  if (Image.Width >= 600)
    FatalBox("FILE ERROR",
             ShortString("The bomber's picture \"drumbo.pcx\" is " + std::to_string(Image.Width) +
                         " pixels wide !\rIt must be narrower than 600 pixels."));
  for (TGrenade*& grenade : Grenades) {
    grenade = new TGrenade(agent, this);
    agent->Add(grenade);
  }
}

void TDrumbo::OnEntityDestroyed(TBaseEntity* e) {
  for (TGrenade*& grenade : Grenades) {
    if (grenade == e) {
      grenade = nullptr;
      return;
    }
  }
}

void TDrumbo::Hit(int16_t damage) {
  TMovingEntity::Hit(damage);
  // Its fall has a sound of its own.
  if (IsAlive()) PlaySound(TSound::EnemyHit, X);
}

void TDrumbo::DropGrenade() {
  if (TGrenade* grenade = FirstIdle(Grenades))
    grenade->Launch(X, static_cast<int16_t>(Y + Image.Height + 10));
}

void TDrumbo::ChooseNextPoint() {
  TargetX = static_cast<int16_t>(Random(static_cast<uint32_t>(600 - Image.Width)) + 200);
  TargetY = static_cast<int16_t>(Random(395) + 10);
}

bool TDrumbo::Update() {
  if (!Dying) {
    if (X == TargetX || Y == TargetY) {
      DropGrenade();
      ChooseNextPoint();
    } else {
      X = StepTowards(X, TargetX);
      Y = StepTowards(Y, TargetY);
    }
    if (!IsAlive()) {
      auto* falling = new TFallingGrenade(Agent, this);
      falling->Launch(X, static_cast<int16_t>(Y + Image.Height + 30));
      Agent->Add(falling);
      Dying = true;
      PlaySound(TSound::BomberFalling, X);
    }
  } else if (FallDelay > 0) {
    --FallDelay;
  } else {
    Y = static_cast<int16_t>(Y + 4);
  }
  return true;
}
