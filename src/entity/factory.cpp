// The agent's entity factory: effect entities by kind number, with the loop limit and the
// start command packed into one flags word.
#include "entity/agent.h"
#include "gfx/sprite.h"
#include "text/font_text.h"

namespace {

constexpr uint16_t LoopLimitMask = 0x3FFF;
constexpr uint16_t CommandMask = 0xC000;
constexpr uint16_t CommandFreeze = 0x4000;
constexpr uint16_t CommandPlay = 0x8000;
constexpr uint16_t CommandPlayOnce = 0xC000;

}  // namespace

PBaseEntity TAgentEntity::CreateEntity(uint8_t kind, uint16_t flags, const std::string& name,
                                       bool destroyAtEnd, int16_t x, int16_t y, uint16_t hold,
                                       uint16_t delay, uint16_t fadeIn, uint16_t fadeOut) {
  TAnimEntity* entity = nullptr;
  switch (kind) {
    case 1:  // for frame animations, hold is the number of frames
      entity = new TFrameSprite(x, y, this, delay, hold, destroyAtEnd, name);
      break;
    case 2:
      entity = new TGlowSprite(x, y, this, delay, hold, destroyAtEnd, name, fadeIn, fadeOut);
      break;
    case 3:
      entity = new TShadeSprite(x, y, this, delay, hold, destroyAtEnd, name, fadeIn, fadeOut);
      break;
    case 4:  // one line of text in the named font
      entity = new TEngText(x, y, this, delay, hold, fadeIn, fadeOut, 255, 1, destroyAtEnd, "FONTS",
                            name, "TEXT");
      break;
    case 5:
      entity = new THunText(x, y, this, delay, hold, fadeIn, fadeOut, 255, 1, destroyAtEnd, "FONTS",
                            name, "HUNTEXT");
      break;
    default:
      return nullptr;
  }
  if ((flags & LoopLimitMask) != 0) entity->SetLoopLimit(flags & LoopLimitMask);
  switch (flags & CommandMask) {
    case CommandFreeze:
      entity->Freeze();
      break;
    case CommandPlay:
      entity->Play();
      break;
    case CommandPlayOnce:
      entity->PlayOnce();
      break;
    default:
      break;  // stopped until its owner starts it
  }
  Add(entity);
  return entity;
}
