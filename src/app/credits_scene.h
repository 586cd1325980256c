// The credits: five pairs of a heading and a line of names fading in and out on a black
// screen, driven by the credits director's timeline; it ends itself after 721 frames.
#pragma once

#include "app/scene.h"
#include "entity/picture.h"

class TAnimEntity;

class TCreditsScene : public TScene {
 public:
  void Setup() override;
};

class TCreditsDirector : public TSceneEntity {
 public:
  explicit TCreditsDirector(TAgentEntity* agent);
  bool Update() override;
  void Draw(const TSurface& frameBuffer) override;
  // Forgets a text that has played and is going away.
  void OnEntityDestroyed(TBaseEntity* e) override;

  uint16_t Ticks = 0;
  // Each text destroys itself once played; these only start them and are cleared then.
  TAnimEntity* Titles[5] = {};
  TAnimEntity* Names[5] = {};
};
