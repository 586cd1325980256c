// Positioned and picture entities: the link to the scene's agent, still pictures drawn
// plain or keyed (optionally centred on the screen), and the endless scrolling backdrop.
#pragma once

#include <string>

#include "entity/entity.h"

class TAgentEntity;

class TSceneEntity : public TBaseEntity {
 public:
  TSceneEntity(int16_t x, int16_t y, TAgentEntity* agent) : TBaseEntity(x, y), Agent(agent) {}

  TAgentEntity* Agent;  // the scene's agent; not owned
};

// Loads its picture (if named) from the agent's sprite package and draws it unkeyed.
class TPictureEntity : public TSceneEntity {
 public:
  TPictureEntity(int16_t x, int16_t y, TAgentEntity* agent, const std::string& fileName);
  bool Update() override { return true; }
  void Draw(const TSurface& frameBuffer) override;
};

class TCenteredPicture : public TPictureEntity {
 public:
  TCenteredPicture(TAgentEntity* agent, const std::string& fileName);
};

// Black pixels are transparent.
class TKeyedPictureEntity : public TPictureEntity {
 public:
  using TPictureEntity::TPictureEntity;
  void Draw(const TSurface& frameBuffer) override;
};

class TCenteredKeyedPicture : public TKeyedPictureEntity {
 public:
  TCenteredKeyedPicture(TAgentEntity* agent, const std::string& fileName);
};

// An endless horizontal band: the picture moves left one pixel per update and its left
// part continues it past its right edge. It covers the whole frame, so it is drawn first.
class TScrollingBackdrop : public TPictureEntity {
 public:
  TScrollingBackdrop(TAgentEntity* agent, const std::string& fileName);
  ~TScrollingBackdrop() override;
  bool Update() override;
  void Draw(const TSurface& frameBuffer) override;

  uint16_t ScrollPos = 0;  // updates so far, wrapping; also the game world's clock
  TSurface WrapBuffer;     // 799 x 600: at most 799 columns ever come from the wrap
};

// Where a picture of this size sits when centred on the 800 x 600 screen.
int16_t CentredX(const TSurface& image);
int16_t CentredY(const TSurface& image);
