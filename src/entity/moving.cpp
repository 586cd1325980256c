// The actors' shared contract: health, target, boxes.
#include "entity/moving.h"

TMovingEntity::TMovingEntity(int16_t x, int16_t y, TAgentEntity* agent,
                             const std::string& imageName, int16_t health)
    : TImageEntity(x, y, agent, imageName), Health(health) {}

void TMovingEntity::OnEntityDestroyed(TBaseEntity* e) {
  if (Target == e) Target = nullptr;
}

void TMovingEntity::Hit(int16_t damage) {
  ChangeHealth(static_cast<int16_t>(-static_cast<int32_t>(damage)));
}

void TMovingEntity::ChangeHealth(int16_t delta) {
  Health = static_cast<int16_t>(Health + delta);
}

void TMovingEntity::GetBounds(TPoint16& topLeft, TPoint16& bottomRight) {
  topLeft = {X, Y};
  bottomRight = {static_cast<int16_t>(X + Image.Width), static_cast<int16_t>(Y + Image.Height)};
}

TBaseEntity* EntityOf(TCollidable& side) {
  return dynamic_cast<TBaseEntity*>(&side);
}

bool BoundsOf(TBaseEntity* e, TPoint16& topLeft, TPoint16& bottomRight) {
  TCollidable* side = e != nullptr ? e->AsCollidable() : nullptr;
  if (side == nullptr) return false;
  side->GetBounds(topLeft, bottomRight);
  return true;
}
