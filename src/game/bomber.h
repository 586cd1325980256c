// The bomber ("drumbo"): flies from point to random point in the right part of the screen,
// dropping a grenade at each; when it dies it drops a falling grenade, hovers, falls after
// it, and both blow up together.
#pragma once

#include "game/projectile.h"

class TDrumbo : public TMovingEntity {
 public:
  static constexpr int PoolSize = 80;

  TDrumbo(int16_t x, int16_t y, TAgentEntity* agent);
  bool Update() override;
  // Forgets a grenade that is going away (its target is not watched).
  void OnEntityDestroyed(TBaseEntity* e) override;
  uint8_t Kind() override { return KindBomber; }
  void Hit(int16_t damage) override;

  TGrenade* Grenades[PoolSize] = {};
  int16_t TargetX = 0;
  int16_t TargetY = 0;
  bool Dying = false;
  uint8_t FallDelay = 20;

 private:
  void DropGrenade();
  void ChooseNextPoint();
};
