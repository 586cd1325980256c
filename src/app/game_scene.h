// The game scene: sets the stage (resident sprite archive, agent, the world in slot 2,
// the random seed, the hidden cursor); the world and its actors do the rest.
#pragma once

#include "app/scene.h"

class TGameWorld;

class TGameScene : public TScene {
 public:
  ~TGameScene() override;
  void Setup() override;
  // The ending, the bus's health and the boss's (null before she appears), the crosses
  // fired and their hits, and the frames the boss was there.
  void AddToReport(TSceneRecord& record) const override;

  uint8_t SpritePackfile = 0;
  TGameWorld* World = nullptr;  // in slot 2; owned through it
};
