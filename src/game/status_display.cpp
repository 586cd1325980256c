// Status display texts, tints and thresholds.
#include "game/status_display.h"

#include <cmath>

#include "entity/moving.h"
#include "gfx/blit.h"

namespace {

// A threshold of the health scale: the product rounded to the nearest integer, halves to
// even, computed in extended precision.
int Threshold(int16_t maximum, long double share) {
  return static_cast<int>(std::nearbyintl(static_cast<long double>(maximum) * share));
}

}  // namespace

std::string RightAligned(int value, size_t width) {
  std::string text = std::to_string(value);
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

TCountDisplay::TCountDisplay(int16_t x, int16_t y, TAgentEntity* agent)
    : TEngText(x, y, agent, 0, 1, 1, 1, 5, 5, false, "FONTS", "fixedsys", "0") {
  SetTint(64, 0, 0);
  RenderText();
  Play();
}

void TCountDisplay::SetNumber(uint8_t n) {
  SetText(RightAligned(n, 2));
  RenderText();
}

void TCountDisplay::Draw(const TSurface& frameBuffer) {
  PutImageKeyed(frameBuffer, Image, X, Y, 0);
}

THealthDisplay::THealthDisplay(int16_t x, int16_t y, int16_t maximum, TAgentEntity* agent,
                               TMovingEntity* watched)
    : TEngText(x, y, agent, 0, 1, 1, 1, 10, 5, false, "FONTS", "fixedsys", "0"),
      Watched(watched),
      MaxHealth(maximum) {
  SetTint(64, 0, 64);
  RenderText();
  Play();
}

bool THealthDisplay::Update() {
  const int16_t h = Watched->GetHealth();
  SetText(RightAligned(h, 3));
  if (h > Threshold(MaxHealth, 0.7L))
    SetTint(64, 0, 64);  // green
  else if (h > Threshold(MaxHealth, 0.3L))
    SetTint(0, 0, 64);  // yellow
  else
    SetTint(0, 64, 64);  // red
  RenderText();
  return TEngText::Update();
}

void THealthDisplay::Draw(const TSurface& frameBuffer) {
  PutImageKeyed(frameBuffer, Image, X, Y, 0);
}
