// Moving entities: every actor of the game (the bus, its enemies, all projectiles). An
// image entity with health, a target, a kind code and the collision contract.
#pragma once

#include <string>

#include "entity/collidable.h"
#include "gfx/sprite.h"

enum TActorKind : uint8_t {
  KindMoving = 0,
  KindPlayer = 1,
  KindProjectile = 2,
  KindCarrot = 3,
  KindBoss = 4,
  KindMnM = 5,
  KindBomber = 6,
};

class TMovingEntity : public TImageEntity, public TCollidable {
 public:
  TMovingEntity(int16_t x, int16_t y, TAgentEntity* agent, const std::string& imageName,
                int16_t health);

  bool Update() override { return true; }
  TCollidable* AsCollidable() override { return this; }
  // Drops a target that is going away.
  void OnEntityDestroyed(TBaseEntity* e) override;

  uint8_t Kind() override { return KindMoving; }
  void Hit(int16_t damage) override;
  // Health moves in 16-bit signed arithmetic, wrapping as the counter does.
  virtual void ChangeHealth(int16_t delta);
  // The image's box, its far corner truncated to 16 bits.
  void GetBounds(TPoint16& topLeft, TPoint16& bottomRight) override;
  void Collide(TCollidable& /*other*/, TPoint16, TPoint16) override {}

  bool IsAlive() const { return Health > 0; }
  int16_t GetHealth() const { return Health; }
  void SetHealth(int16_t value) { Health = value; }

  int16_t Health = 0;
  TBaseEntity* Target = nullptr;  // followed or attacked; cleared when it is destroyed
};

class TPlayerEntity : public TMovingEntity {
 public:
  using TMovingEntity::TMovingEntity;
  TBaseEntity* AsPlayer() override { return this; }
  uint8_t Kind() override { return KindPlayer; }
};

// The entity behind a collision side, for rules that compare it with a reference they keep.
TBaseEntity* EntityOf(TCollidable& side);
// The box of an entity that takes part in collisions; false for one that does not.
bool BoundsOf(TBaseEntity* e, TPoint16& topLeft, TPoint16& bottomRight);
