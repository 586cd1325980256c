// TBaseEntity: the root of everything that lives in a scene slot, with the seven
// operations through which scenes, the agent and other entities talk to any entity.
#pragma once

#include <cstdint>

#include "gfx/surface.h"

struct TPoint16 {
  int16_t X = 0;
  int16_t Y = 0;
  bool operator==(const TPoint16&) const = default;
};

class TCollidable;

class TBaseEntity {
 public:
  TBaseEntity(int16_t x, int16_t y) : X(x), Y(y) {}
  virtual ~TBaseEntity();
  TBaseEntity(const TBaseEntity&) = delete;
  TBaseEntity& operator=(const TBaseEntity&) = delete;

  // One frame of behaviour; true asks the frame loop to draw the entity in this frame.
  virtual bool Update() { return false; }
  // Non-null when the entity takes part in the agent's collision pass.
  virtual TCollidable* AsCollidable() { return nullptr; }
  // Non-null when the entity is the player.
  virtual TBaseEntity* AsPlayer() { return nullptr; }
  // `e` was queued for destruction: drop every reference to it now.
  virtual void OnEntityDestroyed(TBaseEntity* /*e*/) {}
  // Writes pixels of the frame buffer only, never its record.
  virtual void Draw(const TSurface& /*frameBuffer*/) {}
  virtual TPoint16 GetPosition() { return {X, Y}; }

  int16_t X = 0;
  int16_t Y = 0;
  TSurface Image;          // the entity's own picture, if a descendant fills it
  bool OwnsImage = false;  // Image's pixels were created here and are freed here
};

using PBaseEntity = TBaseEntity*;
