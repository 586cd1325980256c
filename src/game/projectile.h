// Projectiles: pooled shots that owners launch and that come back to idle. Holy crosses
// (the bus), red pellets (the boss), grenades (the bomber and the world) and the grenade
// a dying bomber drops.
#pragma once

#include "entity/moving.h"

// What a player's crosses did in one game, for the summary and the player's records.
struct TShotTally {
  uint32_t Fired = 0;
  uint32_t Hits = 0;  // crosses that struck an enemy or the boss
};

class TProjectile : public TMovingEntity {
 public:
  TProjectile(TAgentEntity* agent, TMovingEntity* owner, const std::string& imageName);

  // The flight check: drawn while flying; a halted game stops every shot after this frame.
  // The first update after a launch reports the shot, in the frame it is first drawn.
  bool Update() override;
  // A projectile goes with its owner.
  void OnEntityDestroyed(TBaseEntity* e) override;
  uint8_t Kind() override { return KindProjectile; }
  // Idle projectiles have an empty box at the origin.
  void GetBounds(TPoint16& topLeft, TPoint16& bottomRight) override;
  void Collide(TCollidable& other, TPoint16 otherTopLeft, TPoint16 otherBottomRight) override;

  void Launch(int16_t x, int16_t y);
  void StopFlight() { Flying = false; }
  bool IsFlying() const { return Flying; }

  int16_t Damage = 5;
  bool Flying = false;
  bool Launched = false;           // launched and not yet reported
  TMovingEntity* Owner = nullptr;  // never damaged by its own shots

 protected:
  virtual void ReportLaunch() {}
  // The shot just struck something that takes damage.
  virtual void Struck() {}
};

class THolyCross : public TProjectile {
 public:
  // `tally`, when given, counts the crosses that strike; it outlives the cross (its owner's).
  THolyCross(TAgentEntity* agent, TMovingEntity* owner, TShotTally* tally = nullptr);
  bool Update() override;

 protected:
  void ReportLaunch() override;
  void Struck() override;

 private:
  TShotTally* Tally;
};

class TMedRed : public TProjectile {
 public:
  TMedRed(TAgentEntity* agent, TMovingEntity* owner);
  bool Update() override;
};

class TGrenade : public TProjectile {
 public:
  TGrenade(TAgentEntity* agent, TMovingEntity* owner);
  bool Update() override;
  // Explodes where it stops.
  void Collide(TCollidable& other, TPoint16 otherTopLeft, TPoint16 otherBottomRight) override;

 protected:
  void ReportLaunch() override;
};

// Falls straight down, ignoring the halted game, until it meets its owner: then both go up
// in one explosion.
class TFallingGrenade : public TGrenade {
 public:
  using TGrenade::TGrenade;
  bool Update() override;
  void Collide(TCollidable& other, TPoint16 otherTopLeft, TPoint16 otherBottomRight) override;
};

// The first projectile of a pool that is not flying, or null.
template <typename T, size_t N>
T* FirstIdle(T* const (&pool)[N]) {
  for (T* p : pool) {
    if (p == nullptr) return nullptr;
    if (!p->IsFlying()) return p;
  }
  return nullptr;
}

template <typename T, size_t N>
uint8_t CountIdle(T* const (&pool)[N]) {
  uint8_t count = 0;
  for (T* p : pool)
    if (p != nullptr && !p->IsFlying()) ++count;
  return count;
}
