// The boss's entrance, duel, dashes and half-box.
#include "game/boss.h"

#include <cstdlib>

#include "audio/audio.h"
#include "entity/agent.h"
#include "game/status_display.h"

TZelvina::TZelvina(TAgentEntity* agent) : TMovingEntity(0, 0, agent, "zelvina.pcx", 200) {
  X = 799;
  Y = static_cast<int16_t>((600 - Image.Height) / 2);
  HealthDisplay = new THealthDisplay(750, 10, Health, agent, this);
  agent->Add(HealthDisplay);
  AmmoDisplay = new TCountDisplay(720, 10, agent);
  agent->Add(AmmoDisplay);
  for (TMedRed*& pellet : Pellets) {
    pellet = new TMedRed(agent, this);
    agent->Add(pellet);
  }
}

void TZelvina::Hit(int16_t damage) {
  TMovingEntity::Hit(damage);
  WasHit = true;
  PlaySound(TSound::BossHit, X);
}

void TZelvina::GetBounds(TPoint16& topLeft, TPoint16& bottomRight) {
  const int w = Image.Width, h = Image.Height;
  if (BoxToggle) {
    topLeft = {X, Y};
    bottomRight = {static_cast<int16_t>(X + w), static_cast<int16_t>(Y + h / 2)};
  } else {
    topLeft = {static_cast<int16_t>(X + 10), static_cast<int16_t>(Y + h / 2)};
    bottomRight = {static_cast<int16_t>(X + w - 10), static_cast<int16_t>(Y + h)};
  }
}

void TZelvina::Fire() {
  if (TMedRed* pellet = FirstIdle(Pellets))
    pellet->Launch(static_cast<int16_t>(X - 10), static_cast<int16_t>(Y + Image.Height / 2));
}

void TZelvina::CountHits() {
  // The counter stops at its top rather than wrapping, so a hit after a long pause is never
  // taken for a quick follow-up.
  if (HitCount > 0 && HitFrames < 255) ++HitFrames;
  if (!WasHit) return;
  if (HitFrames <= 30) {
    if (HitCount > 3) {
      Mode = Y + Image.Height / 2 > 300 ? DashUp : DashDown;
      HitCount = 0;
    } else {
      ++HitCount;
    }
  } else {
    HitCount = 1;
  }
  HitFrames = 0;
  WasHit = false;
}

void TZelvina::Move() {
  switch (Mode) {
    case Duel: {
      TPoint16 top, bottom;
      if (!BoundsOf(Target, top, bottom)) break;
      const int ty = top.Y + (bottom.Y - top.Y) / 2;
      const int my = Y + Image.Height / 2;
      if (std::abs(my - ty) > 30) {
        Y = static_cast<int16_t>(my > ty ? Y - 5 : Y + 5);
        if (FireCooldown > 0) --FireCooldown;
      } else if (FireCooldown == 0) {
        Fire();
        FireCooldown = 10;
      } else {
        --FireCooldown;
      }
      break;
    }
    case DashDown:
      Y = static_cast<int16_t>(Y + 10);
      Fire();
      if (Y > 425) Mode = Duel;
      break;
    case DashUp:
      Y = static_cast<int16_t>(Y - 10);
      Fire();
      if (Y < 30) Mode = Duel;
      break;
    default:
      Mode = Duel;
      break;
  }
}

bool TZelvina::Update() {
  if (X > 780 - Image.Width) X = static_cast<int16_t>(X - 1);
  if (Target == nullptr) {
    Target = Agent->FindPlayer();
  } else {
    CountHits();
    Move();
  }
  BoxToggle = !BoxToggle;
  AmmoDisplay->SetNumber(CountIdle(Pellets));
  return true;
}
