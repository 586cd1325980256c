// The collision side of an actor: what the agent's collision pass and the actors' collision
// rules ask of each other. Boxes are a top-left and a bottom-right corner.
#pragma once

#include "entity/entity.h"

class TCollidable {
 public:
  virtual ~TCollidable() = default;
  // The actor's kind code; the game's rules compare against these numbers.
  virtual uint8_t Kind() { return 0; }
  // Takes damage; a negative damage heals.
  virtual void Hit(int16_t /*damage*/) {}
  // Must not change any state: the pass may read a box more than once.
  virtual void GetBounds(TPoint16& topLeft, TPoint16& bottomRight) = 0;
  // Told once per frame for every touching pair, with the other's box.
  virtual void Collide(TCollidable& other, TPoint16 otherTopLeft, TPoint16 otherBottomRight) = 0;
};

// True when p lies strictly inside the box: edges and corners do not count.
constexpr bool PointInside(TPoint16 p, TPoint16 topLeft, TPoint16 bottomRight) {
  return topLeft.X < p.X && p.X < bottomRight.X && topLeft.Y < p.Y && p.Y < bottomRight.Y;
}

// Boxes touch when a corner of one lies strictly inside the other. Only corners are
// looked at, so identical boxes and boxes crossing like a plus sign do not touch.
constexpr bool BoxesTouch(TPoint16 a1, TPoint16 a2, TPoint16 b1, TPoint16 b2) {
  return PointInside(a1, b1, b2) || PointInside(b1, a1, a2) || PointInside({a2.X, a1.Y}, b1, b2) ||
         PointInside({b2.X, b1.Y}, a1, a2) || PointInside({a1.X, a2.Y}, b1, b2) ||
         PointInside({b1.X, b2.Y}, a1, a2) || PointInside(a2, b1, b2) || PointInside(b2, a1, a2);
}
