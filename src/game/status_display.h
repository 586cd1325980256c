// The heads-up numbers: a count its owner hands over every frame (cyan), and a health
// that reads the watched actor and colours itself by how much is left.
#pragma once

#include "text/font_text.h"

class TMovingEntity;

class TCountDisplay : public TEngText {
 public:
  TCountDisplay(int16_t x, int16_t y, TAgentEntity* agent);
  // Right-aligned in two characters.
  void SetNumber(uint8_t n);
  // Keyed, not faded.
  void Draw(const TSurface& frameBuffer) override;
};

class THealthDisplay : public TEngText {
 public:
  THealthDisplay(int16_t x, int16_t y, int16_t maximum, TAgentEntity* agent,
                 TMovingEntity* watched);
  // Shows the watched actor's health, right-aligned in three characters, in green, yellow
  // or red.
  bool Update() override;
  void Draw(const TSurface& frameBuffer) override;

  TMovingEntity* Watched = nullptr;
  int16_t MaxHealth = 0;
};

// The text shown for a number right-aligned in `width` characters (never cut).
std::string RightAligned(int value, size_t width);
