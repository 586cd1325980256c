// Projectile flight, the collision rule and the grenades' explosions.
#include "game/projectile.h"

#include "audio/audio.h"
#include "entity/agent.h"

namespace {

void Explode(TAgentEntity* agent, int16_t x, int16_t y) {
  agent->CreateEntity(1, 0xC000, "explosion", true, x, static_cast<int16_t>(y - 32), 16, 0, 0, 0);
  PlaySound(TSound::Explosion, x);
}

}  // namespace

TProjectile::TProjectile(TAgentEntity* agent, TMovingEntity* owner, const std::string& imageName)
    : TMovingEntity(0, 0, agent, imageName, 1), Owner(owner) {}

bool TProjectile::Update() {
  // A shot stopped before its first update (it met something at once) was still fired.
  if (Launched) {
    Launched = false;
    ReportLaunch();
  }
  const bool wasFlying = Flying;
  if (Agent->IsHalted()) StopFlight();
  return wasFlying;
}

void TProjectile::OnEntityDestroyed(TBaseEntity* e) {
  if (e != nullptr && e == Owner) Agent->QueueDestroy(this);
}

void TProjectile::GetBounds(TPoint16& topLeft, TPoint16& bottomRight) {
  if (Flying) {
    TMovingEntity::GetBounds(topLeft, bottomRight);
  } else {
    topLeft = {0, 0};
    bottomRight = {0, 0};
  }
}

void TProjectile::Collide(TCollidable& other, TPoint16, TPoint16) {
  if (!Flying) return;
  if (other.Kind() == KindProjectile) {
    // Shots of one owner pass through each other; hostile ones stop each other.
    auto* shot = dynamic_cast<TProjectile*>(&other);
    if ((shot != nullptr ? shot->Owner : nullptr) != Owner) StopFlight();
    return;
  }
  if (Owner != nullptr && EntityOf(other) == Owner) return;
  other.Hit(Damage);
  Struck();
  StopFlight();
}

void TProjectile::Launch(int16_t x, int16_t y) {
  Flying = true;
  Launched = true;
  X = x;
  Y = y;
}

THolyCross::THolyCross(TAgentEntity* agent, TMovingEntity* owner, TShotTally* tally)
    : TProjectile(agent, owner, "holycross.pcx"), Tally(tally) {}

bool THolyCross::Update() {
  X = static_cast<int16_t>(X + 5);
  if (X > 800) StopFlight();
  return TProjectile::Update();
}

void THolyCross::ReportLaunch() {
  PlaySound(TSound::Fire, X);
}

void THolyCross::Struck() {
  if (Tally != nullptr) ++Tally->Hits;
}

TMedRed::TMedRed(TAgentEntity* agent, TMovingEntity* owner)
    : TProjectile(agent, owner, "med_red.pcx") {}

bool TMedRed::Update() {
  X = static_cast<int16_t>(X - 5);
  if (X < -Image.Width) StopFlight();
  return TProjectile::Update();
}

TGrenade::TGrenade(TAgentEntity* agent, TMovingEntity* owner)
    : TProjectile(agent, owner, "grenade.pcx") {
  Damage = 20;
}

bool TGrenade::Update() {
  X = static_cast<int16_t>(X - 15);
  if (X < -Image.Width) StopFlight();
  return TProjectile::Update();
}

void TGrenade::ReportLaunch() {
  PlaySound(TSound::GrenadeThrown, X);
}

void TGrenade::Collide(TCollidable& other, TPoint16 otherTopLeft, TPoint16 otherBottomRight) {
  const bool wasFlying = Flying;
  TProjectile::Collide(other, otherTopLeft, otherBottomRight);
  // Only a grenade this touch stopped explodes: an idle one has nothing to blow up.
  if (wasFlying && !Flying) Explode(Agent, X, Y);
}

bool TFallingGrenade::Update() {
  Y = static_cast<int16_t>(Y + 2);
  return true;
}

void TFallingGrenade::Collide(TCollidable& other, TPoint16, TPoint16) {
  if (Owner == nullptr || EntityOf(other) != Owner) return;
  Agent->QueueDestroy(Owner);
  Agent->QueueDestroy(this);
  Explode(Agent, static_cast<int16_t>(X + Image.Width / 4 - 32), Y);
}
