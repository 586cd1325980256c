// The intro: three title pictures and four story pages fading in and out on a black
// screen, driven by the intro director's timeline; it ends itself after 901 frames.
#pragma once

#include "app/scene.h"
#include "entity/picture.h"

class TAnimEntity;

class TIntroScene : public TScene {
 public:
  ~TIntroScene() override;
  void Setup() override;

  uint8_t SpritePackfile = 0;  // the resident SPRITES archive, closed with the scene
};

class TIntroDirector : public TSceneEntity {
 public:
  explicit TIntroDirector(TAgentEntity* agent);
  // Runs the timeline; always drawn.
  bool Update() override;
  // The black backdrop: replaces the whole frame.
  void Draw(const TSurface& frameBuffer) override;

  uint16_t Ticks = 0;
  TAnimEntity* Labels[3] = {};  // "2008", "quibbet", "quon"; owned by the scene
  TAnimEntity* Pages[4] = {};
};
