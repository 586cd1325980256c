// The two small enemies of the first waves: the carrot, bouncing and creeping towards the
// bus and ramming whatever it touches, and the m&m, homing in on the player.
#pragma once

#include "entity/moving.h"

class TCarrot : public TMovingEntity {
 public:
  TCarrot(int16_t x, int16_t y, TAgentEntity* agent);
  bool Update() override;
  uint8_t Kind() override { return KindCarrot; }
  void Hit(int16_t damage) override;
  void Collide(TCollidable& other, TPoint16 otherTopLeft, TPoint16 otherBottomRight) override;

  enum : uint8_t { Undecided = 0, Down = 1, Up = 2 };
  uint8_t Mode = Undecided;
};

class TMnM : public TMovingEntity {
 public:
  TMnM(int16_t x, int16_t y, TAgentEntity* agent);
  bool Update() override;
  uint8_t Kind() override { return KindMnM; }
  void Hit(int16_t damage) override;
  void Collide(TCollidable& other, TPoint16 otherTopLeft, TPoint16 otherBottomRight) override;
};
