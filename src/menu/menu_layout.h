// Where the menu's texts go on the frame, in frame pixels, for a font of cellW x cellH cells:
// plain geometry, shared by the drawing and by the pointer, which finds an item where it was
// drawn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "menu/menu_model.h"
#include "platform/display_fit.h"

enum class TMenuInk : uint8_t { Title, Plain, Chosen, Dim };
constexpr int MenuInks = 4;

struct TMenuText {
  std::string Text;  // printable ASCII; spaces are left blank
  int32_t X = 0;
  int32_t Y = 0;
  int Scale = 1;  // each pixel of the font drawn as Scale x Scale
  TMenuInk Ink = TMenuInk::Plain;
};

struct TMenuLayout {
  TFitRect Panel;               // darkened behind the items
  std::vector<TFitRect> Lines;  // each item's box, where the pointer chooses it
  size_t Selected = 0;          // the box drawn lit
  std::vector<TMenuText> Texts;
};

TMenuLayout LayOutMenu(const TMenuModel& model, int32_t width, int32_t height, int cellW,
                       int cellH);

// The item whose box holds a frame pixel; none between and outside them.
std::optional<size_t> LineAt(const TMenuLayout& layout, int32_t x, int32_t y);
