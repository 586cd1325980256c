// The two bitmap-font text types: TEngText draws ASCII letters, digits and signs from three
// glyph sheets; THunText adds the eighteen Hungarian accented letters of code page 852.
// The sheets come from the image cache, so every text of one font shares them.
#pragma once

#include <cstdint>
#include <string>

#include "text/base_text.h"

class TEngText : public TBaseText {
 public:
  // The parameters of TBaseText; loads F_engletters.pcx, F_numbers.pcx and F_signs.pcx of
  // the font F from the font package.
  TEngText(int16_t x, int16_t y, TAgentEntity* agent, uint16_t frameDelay, uint16_t holdTicks,
           uint16_t fadeIn, uint16_t fadeOut, int16_t columns, int16_t rows, bool destroyAtEnd,
           const std::string& fontPackage, const std::string& fontName,
           const std::string& textValue);
  ~TEngText() override;

  // Bytes without a glyph (space, 0x40, 0x60, control bytes, 0x7F and up) give a blank cell.
  void RenderGlyph(uint8_t ch) override;

  TSurface Letters;  // a to z in row 0, A to Z in row 1
  TSurface Signs;    // the four rows of ASCII signs
  TSurface Digits;   // 0 to 9

 protected:
  // Copies the glyph at (column, row) of `sheet` into GlyphCell. Where the cell reaches past
  // a sheet smaller than its layout, the cell stays blank instead of reading outside it.
  void CopyGlyph(const TSurface& sheet, int32_t column, int32_t row);
  // Hands the three sheets back to the cache; a second call does nothing.
  void ReleaseEnglishSheets();
};

class THunText : public TEngText {
 public:
  // As TEngText, then loads F_hunletters.pcx.
  THunText(int16_t x, int16_t y, TAgentEntity* agent, uint16_t frameDelay, uint16_t holdTicks,
           uint16_t fadeIn, uint16_t fadeOut, int16_t columns, int16_t rows, bool destroyAtEnd,
           const std::string& fontPackage, const std::string& fontName,
           const std::string& textValue);
  ~THunText() override;

  // The Hungarian letters first, then whatever TEngText draws.
  void RenderGlyph(uint8_t ch) override;

  TSurface HunLetters;  // á é í ó ö ő ú ü ű in row 0, the capitals in row 1
};
