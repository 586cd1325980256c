// The player's bus: follows the mouse up and down on the left edge and fires holy crosses
// to the right while the left button is held. Its displays show its health and ready crosses.
#pragma once

#include "game/projectile.h"

class TCountDisplay;
class THealthDisplay;

class TPlayerBus : public TPlayerEntity {
 public:
  static constexpr int MagazineSize = 10;

  explicit TPlayerBus(TAgentEntity* agent);
  // Steers, fires, shows the count; a dead bus is not drawn but keeps being updated.
  bool Update() override;
  // Blood for a hit, an explosion for the one that kills; nothing once dead.
  void Hit(int16_t damage) override;

  THolyCross* Crosses[MagazineSize] = {};
  uint8_t FireCooldown = 0;
  TShotTally Shots;
  THealthDisplay* HealthDisplay = nullptr;
  TCountDisplay* AmmoDisplay = nullptr;
};
