// Picture entities and the scrolling backdrop's three-step wrapping draw.
#include "entity/picture.h"

#include "entity/agent.h"
#include "gfx/blit.h"
#include "gfx/pcx.h"

TPictureEntity::TPictureEntity(int16_t x, int16_t y, TAgentEntity* agent,
                               const std::string& fileName)
    : TSceneEntity(x, y, agent) {
  if (fileName.empty()) return;
  LoadPcx(fileName, agent->GetSpritePackage(), Image);
  OwnsImage = true;
}

void TPictureEntity::Draw(const TSurface& frameBuffer) {
  PutImage(frameBuffer, Image, X, Y);
}

int16_t CentredX(const TSurface& image) {
  return static_cast<int16_t>((800 - image.Width) / 2);
}
int16_t CentredY(const TSurface& image) {
  return static_cast<int16_t>((600 - image.Height) / 2);
}

TCenteredPicture::TCenteredPicture(TAgentEntity* agent, const std::string& fileName)
    : TPictureEntity(0, 0, agent, fileName) {
  X = CentredX(Image);
  Y = CentredY(Image);
}

void TKeyedPictureEntity::Draw(const TSurface& frameBuffer) {
  PutImageKeyed(frameBuffer, Image, X, Y, 0);
}

TCenteredKeyedPicture::TCenteredKeyedPicture(TAgentEntity* agent, const std::string& fileName)
    : TKeyedPictureEntity(0, 0, agent, fileName) {
  X = CentredX(Image);
  Y = CentredY(Image);
}

TScrollingBackdrop::TScrollingBackdrop(TAgentEntity* agent, const std::string& fileName)
    : TPictureEntity(0, 0, agent, fileName) {
  CreateSurface(WrapBuffer, 799, 600, true);
}

TScrollingBackdrop::~TScrollingBackdrop() {
  FreeSurface(WrapBuffer);
}

bool TScrollingBackdrop::Update() {
  ++ScrollPos;
  return true;
}

void TScrollingBackdrop::Draw(const TSurface& frameBuffer) {
  const int32_t width = Image.Width;
  if (width <= 0) return;  // no picture: nothing to scroll, and no column to divide by
  const int32_t a = ScrollPos % width;
  if (width - 800 >= a) {
    GetImage(Image, frameBuffer, a, 0);
    return;
  }
  // The window runs past the picture's right edge: its tail, then its head from the wrap.
  GetImageClipped(Image, frameBuffer, a, 0);
  GetImageClipped(Image, WrapBuffer, 0, 0);
  PutImageClipped(frameBuffer, WrapBuffer, width - a, 0);
}
