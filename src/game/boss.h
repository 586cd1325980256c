// The boss ("zelvina"): slides in from the right, keeps level with the player and fires red
// pellets when lined up; a quick series of hits sends her dashing up or down, firing every
// frame. Her collision box alternates between her upper and lower half.
#pragma once

#include "game/projectile.h"

class TCountDisplay;
class THealthDisplay;

class TZelvina : public TMovingEntity {
 public:
  static constexpr int PoolSize = 80;

  explicit TZelvina(TAgentEntity* agent);
  bool Update() override;
  uint8_t Kind() override { return KindBoss; }
  void Hit(int16_t damage) override;
  void GetBounds(TPoint16& topLeft, TPoint16& bottomRight) override;

  enum : uint8_t { Duel = 0, DashDown = 1, DashUp = 2 };

  TMedRed* Pellets[PoolSize] = {};
  uint8_t FireCooldown = 0;
  uint8_t HitFrames = 0;  // frames since the last counted hit; stops at 255
  uint8_t HitCount = 0;
  uint8_t Mode = Duel;
  bool WasHit = false;
  bool BoxToggle = false;  // set: the upper half is the box
  THealthDisplay* HealthDisplay = nullptr;
  TCountDisplay* AmmoDisplay = nullptr;

 private:
  void Fire();
  void CountHits();
  void Move();
};
