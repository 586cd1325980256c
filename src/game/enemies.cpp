// Carrot and m&m behaviour.
#include "game/enemies.h"

#include "audio/audio.h"
#include "entity/agent.h"

namespace {

void ReportHit(const TMovingEntity& enemy) {
  PlaySound(enemy.IsAlive() ? TSound::EnemyHit : TSound::EnemyDestroyed, enemy.X);
}

}  // namespace

TCarrot::TCarrot(int16_t x, int16_t y, TAgentEntity* agent)
    : TMovingEntity(x, y, agent, "carrot.pcx", 100) {}

bool TCarrot::Update() {
  switch (Mode) {
    case Undecided:
      Mode = Y + Image.Height / 2 > 300 ? Up : Down;
      break;
    case Down:
      Y = static_cast<int16_t>(Y + 5);
      if (Y + Image.Height > 425) Mode = Up;
      break;
    case Up:
      Y = static_cast<int16_t>(Y - 5);
      if (Y < 40) Mode = Down;
      break;
    default:
      break;
  }
  X = static_cast<int16_t>(X - 1);
  if (X < 10) Agent->QueueDestroy(this);
  return true;
}

void TCarrot::Hit(int16_t damage) {
  TMovingEntity::Hit(damage);
  ReportHit(*this);
  if (!IsAlive()) Agent->QueueDestroy(this);
}

void TCarrot::Collide(TCollidable& other, TPoint16, TPoint16) {
  // Projectiles deal their own damage by their own rule.
  if (other.Kind() == KindProjectile) return;
  other.Hit(75);
  Agent->QueueDestroy(this);
}

TMnM::TMnM(int16_t x, int16_t y, TAgentEntity* agent) : TMovingEntity(x, y, agent, "m&m.pcx", 20) {}

bool TMnM::Update() {
  TPoint16 top, bottom;
  if (Target == nullptr || !BoundsOf(Target, top, bottom)) {
    Target = Agent->FindPlayer();
    return true;
  }
  const int tx = top.X;
  const int ty = top.Y + (bottom.Y - top.Y) / 2;
  const int my = Y + Image.Height / 2;
  if (tx < X) X = static_cast<int16_t>(X - 10);
  if (my - 10 > ty) Y = static_cast<int16_t>(Y - 10);
  if (my + 10 < ty) Y = static_cast<int16_t>(Y + 10);
  return true;
}

void TMnM::Hit(int16_t damage) {
  TMovingEntity::Hit(damage);
  ReportHit(*this);
  if (!IsAlive()) Agent->QueueDestroy(this);
}

void TMnM::Collide(TCollidable& other, TPoint16, TPoint16) {
  if (other.Kind() != KindPlayer && (Target == nullptr || EntityOf(other) != Target)) return;
  other.Hit(15);
  Agent->QueueDestroy(this);
}
