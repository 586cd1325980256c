// The font's glyphs rendered by the engine's own text entity, then copied, enlarged, onto the
// dimmed frame.
#include "menu/menu_picture.h"

#include <algorithm>

#include "text/font_text.h"

namespace {

constexpr char FirstGlyph = 0x21;  // '!': the space before it is left blank
constexpr char LastGlyph = 0x7E;   // '~'
constexpr int Glyphs = LastGlyph - FirstGlyph + 1;
constexpr uint16_t HalfBright = 0x7BEF;     // each channel without its top bit, after halving
constexpr uint16_t QuarterBright = 0x39E7;  // ... without its top two, after quartering
constexpr uint16_t BarColour = 0x210C;      // a dark slate blue behind the chosen item

// What each ink takes off the font's white, per channel (31, 63, 31 at full).
struct TTint {
  uint8_t Red, Green, Blue;
};
constexpr TTint Tints[MenuInks] = {
    {0, 0, 40},    // Title: the pause's warm yellow
    {4, 8, 4},     // Plain: light grey
    {0, 0, 40},    // Chosen: yellow on its bar
    {14, 28, 14},  // Dim: grey
};

uint16_t Halved(uint16_t pixel) {
  return static_cast<uint16_t>((pixel >> 1) & HalfBright);
}

// The panel darker still, so that the game's own texts behind it do not show through.
uint16_t Quartered(uint16_t pixel) {
  return static_cast<uint16_t>((pixel >> 2) & QuarterBright);
}

void Fill(std::vector<uint16_t>& picture, int32_t width, int32_t height, const TFitRect& box,
          uint16_t (*paint)(uint16_t)) {
  const int32_t x0 = std::max(0, box.X), x1 = std::min(width, box.X + box.W);
  const int32_t y0 = std::max(0, box.Y), y1 = std::min(height, box.Y + box.H);
  for (int32_t y = y0; y < y1; ++y) {
    uint16_t* row = picture.data() + static_cast<size_t>(y) * width;
    for (int32_t x = x0; x < x1; ++x)
      row[x] = paint(row[x]);
  }
}

}  // namespace

TMenuFont::TMenuFont() {
  std::string all;
  for (char c = FirstGlyph; c <= LastGlyph; ++c)
    all.push_back(c);
  for (int ink = 0; ink < MenuInks; ++ink) {
    TEngText text(0, 0, nullptr, 0, 1, 1, 1, Glyphs, 1, false, "FONTS", "fixedsys", all);
    text.SetTint(Tints[ink].Red, Tints[ink].Green, Tints[ink].Blue);
    text.RenderText();
    const TSurface& image = text.Image;  // rows without a gap
    Sheets[ink].assign(image.Pixels,
                       image.Pixels + static_cast<size_t>(image.Width) * image.Height);
    SheetWidth = image.Width;
    CellW = text.GlyphWidth;
    CellH = text.GlyphHeight;
  }
}

void TMenuFont::Draw(const TMenuText& text, std::vector<uint16_t>& picture, int32_t width,
                     int32_t height) const {
  const std::vector<uint16_t>& sheet = Sheets[static_cast<int>(text.Ink)];
  for (size_t i = 0; i < text.Text.size(); ++i) {
    const char c = text.Text[i];
    if (c < FirstGlyph || c > LastGlyph) continue;  // a space, or a byte the font has not
    const int32_t column = (c - FirstGlyph) * CellW;
    const int32_t left = text.X + static_cast<int32_t>(i) * CellW * text.Scale;
    for (int32_t gy = 0; gy < CellH * text.Scale; ++gy) {
      const int32_t y = text.Y + gy;
      if (y < 0 || y >= height) continue;
      const uint16_t* glyphRow = sheet.data() + static_cast<size_t>(gy / text.Scale) * SheetWidth;
      uint16_t* row = picture.data() + static_cast<size_t>(y) * width;
      for (int32_t gx = 0; gx < CellW * text.Scale; ++gx) {
        const int32_t x = left + gx;
        const uint16_t ink = glyphRow[column + gx / text.Scale];
        if (ink != 0 && x >= 0 && x < width) row[x] = ink;
      }
    }
  }
}

void DrawMenuPicture(const uint16_t* frame, int32_t width, int32_t height,
                     const TMenuLayout& layout, const TMenuFont& font,
                     std::vector<uint16_t>& picture) {
  const size_t size = static_cast<size_t>(width) * height;
  picture.resize(size);
  for (size_t i = 0; i < size; ++i)
    picture[i] = Halved(frame[i]);
  Fill(picture, width, height, layout.Panel, Quartered);
  if (layout.Selected < layout.Lines.size())
    Fill(picture, width, height, layout.Lines[layout.Selected], [](uint16_t) { return BarColour; });
  for (const TMenuText& text : layout.Texts)
    font.Draw(text, picture, width, height);
}
