// The menu's picture: the frame dimmed, a darker panel behind the items, a bar behind the
// chosen one, and the texts in the game's own font, rendered once in each ink.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "menu/menu_layout.h"

class TMenuFont {
 public:
  // Renders the printable ASCII of the game's main font in each ink; the font's package must
  // be open, as it is once the game runs.
  TMenuFont();

  int CellWidth() const { return CellW; }
  int CellHeight() const { return CellH; }
  // Draws a text into a picture of width x height, clipped to it.
  void Draw(const TMenuText& text, std::vector<uint16_t>& picture, int32_t width,
            int32_t height) const;

 private:
  std::array<std::vector<uint16_t>, MenuInks> Sheets;  // the glyphs side by side, one row
  int32_t SheetWidth = 0;
  int CellW = 0;
  int CellH = 0;
};

void DrawMenuPicture(const uint16_t* frame, int32_t width, int32_t height,
                     const TMenuLayout& layout, const TMenuFont& font,
                     std::vector<uint16_t>& picture);
