// TBaseText: a fading sprite whose picture is rendered from a string with a bitmap font.
// It reads the font's metrics file, owns the glyph cell and lays the text out in a box of
// glyph cells; the glyph sheets and the choice of glyph belong to its subtypes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "gfx/sprite.h"

class TBaseText : public TGlowSprite {
 public:
  // Glyph cells from a metrics file must lie within 1 to this many pixels on each side, so
  // that a box of any 16-bit size stays describable in 32 bits.
  static constexpr int16_t MaxGlyphSize = 256;

  // Reads the metrics of `fontName` from the package `fontPackage` and creates the glyph
  // cell and the picture (columns x rows cells, cleared); nothing is rendered yet.
  TBaseText(int16_t x, int16_t y, TAgentEntity* agent, uint16_t frameDelay, uint16_t holdTicks,
            uint16_t fadeIn, uint16_t fadeOut, int16_t columns, int16_t rows, bool destroyAtEnd,
            const std::string& fontPackage, const std::string& fontName,
            const std::string& textValue);
  ~TBaseText() override;

  // A literal text, or "&file@package" for every byte of a text resource.
  void SetText(const std::string& value);
  // Amounts taken off each channel of the glyph pixels at the next RenderText.
  void SetTint(uint8_t red, uint8_t green, uint8_t blue);
  // Wraps Text into the box and renders it into Image. Creators call it after construction
  // and after every SetText or SetTint; it never runs per frame.
  void RenderText();

  // Fills GlyphCell with the glyph of one character byte (blank when the font has none).
  virtual void RenderGlyph(uint8_t ch) = 0;

  uint8_t TintRed = 0;    // 0 to 31
  uint8_t TintGreen = 0;  // 0 to 63
  uint8_t TintBlue = 0;   // 0 to 31
  int16_t Columns = 0;    // box width in glyph cells
  int16_t Rows = 0;       // box height in lines
  int16_t GlyphWidth = 0;
  int16_t GlyphHeight = 0;
  std::string Text;    // bytes, code page 852 above 127; RenderText ends it with LF
  TSurface GlyphCell;  // GlyphWidth x GlyphHeight, owned

 private:
  struct TRenderedAs {
    std::string Text;
    uint8_t Red = 0, Green = 0, Blue = 0;
    bool operator==(const TRenderedAs&) const = default;
  };
  std::optional<TRenderedAs> Rendered;  // what Image shows; empty until the first render

  void LoadFontMetrics(const std::string& fontPackage, const std::string& fontName);
  void DrawLine(const TSurface& scratch, std::string_view line, int32_t lineNumber);
};
