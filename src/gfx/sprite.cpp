// Image entities on the image cache, the animation step, and the two fades.
#include "gfx/sprite.h"

#include <cstdio>

#include "entity/agent.h"
#include "gfx/blit.h"
#include "gfx/boxes.h"
#include "res/image_cache.h"

TImageEntity::TImageEntity(int16_t x, int16_t y, TAgentEntity* agent, const std::string& imageName)
    : TKeyedPictureEntity(x, y, agent, "") {
  if (imageName.empty()) return;
  CacheLoad(imageName, agent->GetSpritePackage(), Image);
  OwnsImage = true;
}

TImageEntity::~TImageEntity() {
  if (OwnsImage) CacheRelease(Image);
  OwnsImage = false;  // the pixels are the cache's: the root must not free them
}

// ---- Animation -------------------------------------------------------------------------

TAnimEntity::TAnimEntity(int16_t x, int16_t y, TAgentEntity* agent, uint16_t frameDelay,
                         uint16_t frameCount, bool destroyAtEnd)
    : TImageEntity(x, y, agent, "") {
  Rewind();
  Stop();
  SetLoopLimit(0);
  FrameCount = frameCount;
  FrameDelay = frameDelay;
  DestroyAtEnd = destroyAtEnd;
}

void TAnimEntity::Play() {
  PlayState = Playing;
  DelayLeft = FrameDelay;
}

void TAnimEntity::PlayOnce() {
  SetLoopLimit(1);
  Play();
}

void TAnimEntity::Rewind() {
  Frame = 0;
  LoopsDone = 0;
}

bool TAnimEntity::Update() {
  if (PlayState == Playing) {
    if (DelayLeft == 0) {
      if (Frame + 1 >= FrameCount) {
        Frame = 0;
        ++LoopsDone;
      } else {
        ++Frame;
      }
      DelayLeft = FrameDelay;
    } else {
      --DelayLeft;
    }
  }
  // Decided before the end test, so the last frame of the last cycle is still drawn.
  const bool draw = PlayState != Stopped;
  if (LoopLimit > 0 && LoopsDone >= LoopLimit) {
    if (DestroyAtEnd) {
      Agent->QueueDestroy(this);
    } else {
      Rewind();
      Stop();
    }
  }
  return draw;
}

// ---- Frame animation -------------------------------------------------------------------

std::string FrameFileName(const std::string& baseName, int index) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%02d", index);
  return baseName + digits + ".pcx";
}

TFrameSprite::TFrameSprite(int16_t x, int16_t y, TAgentEntity* agent, uint16_t frameDelay,
                           uint16_t frameCount, bool destroyAtEnd, const std::string& baseName)
    : TAnimEntity(x, y, agent, frameDelay, frameCount, destroyAtEnd) {
  // Frame numbers have two digits and the record holds 21 frames; anything else would
  // read or write past the frames.
  if (frameCount < 1 || frameCount > MaxFrames) {
    FrameCount = 0;
    FatalBox("INTERNAL ERROR",
             ShortString("Animation \"" + baseName + "\" asks for " + std::to_string(frameCount) +
                         " frames !\rAn animation has 1 to 21 frames."));
  }
  for (int i = 0; i < frameCount; ++i)
    CacheLoad(FrameFileName(baseName, i), agent->GetSpritePackage(), Frames[i]);
  OwnsImage = false;
}

TFrameSprite::~TFrameSprite() {
  for (int i = 0; i < FrameCount && i < MaxFrames; ++i)
    CacheRelease(Frames[i]);
}

bool TFrameSprite::Update() {
  Image = Frames[Frame];
  return TAnimEntity::Update();
}

// ---- Fades -----------------------------------------------------------------------------

TGlowSprite::TGlowSprite(int16_t x, int16_t y, TAgentEntity* agent, uint16_t frameDelay,
                         uint16_t holdTicks, bool destroyAtEnd, const std::string& imageName,
                         uint16_t fadeIn, uint16_t fadeOut)
    : TAnimEntity(x, y, agent, frameDelay, static_cast<uint16_t>(fadeIn + fadeOut + 1),
                  destroyAtEnd) {
  // The fade-out's step size divides by its length.
  if (fadeOut == 0)
    FatalBox("INTERNAL ERROR",
             ShortString("Fading picture \"" + imageName +
                         "\" has no fade-out !\rA fade-out lasts at least one step."));
  if (!imageName.empty()) {
    CacheLoad(imageName + ".pcx", agent->GetSpritePackage(), Image);
    OwnsImage = true;
  }
  FadeIn = fadeIn;
  FadeOut = fadeOut;
  HoldTicks = holdTicks;
}

uint8_t TGlowSprite::FadeLevel(uint8_t full) {
  if (Frame < FadeIn) return static_cast<uint8_t>(full - (full / FadeIn) * Frame);
  if (Frame > FadeIn) return static_cast<uint8_t>((full / FadeOut) * (Frame - FadeIn - 1));
  DelayLeft = HoldTicks;
  ++Frame;
  return 0;
}

void TGlowSprite::Draw(const TSurface& frameBuffer) {
  const uint8_t level = FadeLevel(32);
  PutImageAdd(frameBuffer, Image, X, Y, level, static_cast<uint8_t>(2 * level), level);
}

void TShadeSprite::Draw(const TSurface& frameBuffer) {
  // The shade runs the other way: nothing darkened at the start, all of it at the peak.
  const uint8_t level = static_cast<uint8_t>(64 - FadeLevel(64));
  PutImageShadeAdd(frameBuffer, Image, X, Y, level, level, level);
}
