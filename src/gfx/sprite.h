// Sprite entities: still pictures from the image cache, frame animations, and pictures
// that fade in, hold and fade out (glowing onto the background, or shading it out).
// TAnimEntity's frame counter is the engine's one animation mechanism.
#pragma once

#include <string>

#include "entity/picture.h"

// A keyed picture taken from the image cache and handed back when destroyed.
class TImageEntity : public TKeyedPictureEntity {
 public:
  TImageEntity(int16_t x, int16_t y, TAgentEntity* agent, const std::string& imageName);
  ~TImageEntity() override;
};

enum TPlayState : uint8_t { Playing = 0, Frozen = 1, Stopped = 2 };

class TAnimEntity : public TImageEntity {
 public:
  // Starts stopped and invisible, at frame 0 with no loop limit.
  TAnimEntity(int16_t x, int16_t y, TAgentEntity* agent, uint16_t frameDelay, uint16_t frameCount,
              bool destroyAtEnd);
  // One animation step; false while stopped.
  bool Update() override;

  void Play();
  void PlayOnce();
  void Freeze() { PlayState = Frozen; }
  void Stop() { PlayState = Stopped; }
  void Rewind();
  void SetLoopLimit(uint16_t n) { LoopLimit = n; }

  uint8_t PlayState = Stopped;
  uint16_t Frame = 0;       // for the fading types: the fade step
  uint16_t FrameCount = 0;  // frames (fade steps) in one cycle
  uint16_t FrameDelay = 0;  // updates a frame is held beyond the one that shows it
  uint16_t DelayLeft = 0;
  uint16_t LoopsDone = 0;
  uint16_t LoopLimit = 0;  // 0: endless
  bool DestroyAtEnd = false;
};

// Frames are the files base00.pcx, base01.pcx, ... shared through the image cache.
class TFrameSprite : public TAnimEntity {
 public:
  static constexpr int MaxFrames = 21;

  TFrameSprite(int16_t x, int16_t y, TAgentEntity* agent, uint16_t frameDelay, uint16_t frameCount,
               bool destroyAtEnd, const std::string& baseName);
  ~TFrameSprite() override;
  // Shows the current frame, then steps.
  bool Update() override;

  TSurface Frames[MaxFrames];
};

// The file name of frame `index` of an animation: base + two digits + ".pcx".
std::string FrameFileName(const std::string& baseName, int index);

// Fades in over FadeIn steps, holds HoldTicks updates at full strength, fades out over
// FadeOut steps; added onto what lies beneath, so black pixels add nothing.
class TGlowSprite : public TAnimEntity {
 public:
  TGlowSprite(int16_t x, int16_t y, TAgentEntity* agent, uint16_t frameDelay, uint16_t holdTicks,
              bool destroyAtEnd, const std::string& imageName, uint16_t fadeIn, uint16_t fadeOut);
  void Draw(const TSurface& frameBuffer) override;

  uint16_t FadeIn = 0;
  uint16_t FadeOut = 0;  // at least 1
  uint16_t HoldTicks = 0;

 protected:
  // The blend strength of the current step (0 full, 32 nothing for the glow; the shade
  // counts the other way up to 64). The draw at the peak steps past it and starts the hold.
  uint8_t FadeLevel(uint8_t full);
};

// Darkens the background under the picture's rectangle, then adds the picture: at its
// peak the picture shows alone, black pixels included.
class TShadeSprite : public TGlowSprite {
 public:
  using TGlowSprite::TGlowSprite;
  void Draw(const TSurface& frameBuffer) override;
};
