// Glyph sheets through the image cache and the mapping from a character byte to a glyph
// cell, for English text and for Hungarian text in code page 852.
#include "text/font_text.h"

#include <algorithm>
#include <array>

#include "gfx/blit.h"
#include "res/image_cache.h"

namespace {

// The Hungarian letters in sheet order: the nine small letters are row 0, the nine
// capitals row 1, each in the order á é í ó ö ő ú ü ű.
constexpr std::array<uint8_t, 18> HungarianBytes = {
    0xA0, 0x82, 0xA1, 0xA2, 0x94, 0x8B, 0xA3, 0x81, 0xFB,  // á é í ó ö ő ú ü ű
    0xB5, 0x90, 0xD6, 0xE0, 0x99, 0x8A, 0xE9, 0x9A, 0xEB,  // Á É Í Ó Ö Ő Ú Ü Ű
};
constexpr int32_t HungarianPerRow = 9;

// A run of consecutive bytes that sits in one row of one sheet, starting at column 0.
struct TGlyphRun {
  uint8_t First, Last;
  TSurface TEngText::*Sheet;
  int32_t Row;
};

// First match wins; the runs do not overlap.
constexpr std::array<TGlyphRun, 7> EnglishRuns = {{
    {0x61, 0x7A, &TEngText::Letters, 0},  // a to z
    {0x41, 0x5A, &TEngText::Letters, 1},  // A to Z
    {0x30, 0x39, &TEngText::Digits, 0},   // 0 to 9
    {0x21, 0x2F, &TEngText::Signs, 0},    // ! " # $ % & ' ( ) * + , - . /
    {0x3A, 0x3F, &TEngText::Signs, 1},    // : ; < = > ?
    {0x5B, 0x5F, &TEngText::Signs, 2},    // [ \ ] ^ _
    {0x7B, 0x7E, &TEngText::Signs, 3},    // { | } ~
}};

}  // namespace

// ---- English ----------------------------------------------------------------------------

TEngText::TEngText(int16_t x, int16_t y, TAgentEntity* agent, uint16_t frameDelay,
                   uint16_t holdTicks, uint16_t fadeIn, uint16_t fadeOut, int16_t columns,
                   int16_t rows, bool destroyAtEnd, const std::string& fontPackage,
                   const std::string& fontName, const std::string& textValue)
    : TBaseText(x, y, agent, frameDelay, holdTicks, fadeIn, fadeOut, columns, rows, destroyAtEnd,
                fontPackage, fontName, textValue) {
  if (fontName.empty()) return;
  // A sheet that fails to load ends the program; the ones loaded before it go back to the
  // cache, because no destructor of ours runs for a half-built text.
  try {
    CacheLoad(fontName + "_engletters.pcx", fontPackage, Letters);
    CacheLoad(fontName + "_numbers.pcx", fontPackage, Digits);
    CacheLoad(fontName + "_signs.pcx", fontPackage, Signs);
  } catch (...) {
    ReleaseEnglishSheets();
    throw;
  }
}

TEngText::~TEngText() {
  ReleaseEnglishSheets();
}

void TEngText::ReleaseEnglishSheets() {
  // Cleared records match no cache node, so releasing them again does nothing.
  for (TSurface* sheet : {&Letters, &Digits, &Signs}) {
    CacheRelease(*sheet);
    *sheet = TSurface();
  }
}

void TEngText::CopyGlyph(const TSurface& sheet, int32_t column, int32_t row) {
  const int64_t x = int64_t{column} * GlyphWidth;
  const int64_t y = int64_t{row} * GlyphHeight;
  if (x + GlyphWidth <= sheet.Width && y + GlyphHeight <= sheet.Height) {
    GetImage(sheet, GlyphCell, static_cast<int32_t>(x), static_cast<int32_t>(y));
    return;
  }
  // The clipped copy leaves the cell's pixels outside the sheet as they were, which would
  // show the previous glyph there.
  FillSurface(GlyphCell, 0);
  if (x < sheet.Width && y < sheet.Height)
    GetImageClipped(sheet, GlyphCell, static_cast<int32_t>(x), static_cast<int32_t>(y));
}

void TEngText::RenderGlyph(uint8_t ch) {
  for (const TGlyphRun& run : EnglishRuns) {
    if (ch >= run.First && ch <= run.Last) {
      CopyGlyph(this->*run.Sheet, ch - run.First, run.Row);
      return;
    }
  }
  FillSurface(GlyphCell, 0);
}

// ---- Hungarian --------------------------------------------------------------------------

THunText::THunText(int16_t x, int16_t y, TAgentEntity* agent, uint16_t frameDelay,
                   uint16_t holdTicks, uint16_t fadeIn, uint16_t fadeOut, int16_t columns,
                   int16_t rows, bool destroyAtEnd, const std::string& fontPackage,
                   const std::string& fontName, const std::string& textValue)
    : TEngText(x, y, agent, frameDelay, holdTicks, fadeIn, fadeOut, columns, rows, destroyAtEnd,
               fontPackage, fontName, textValue) {
  // A failure here unwinds through ~TEngText, which hands back the other three sheets.
  if (!fontName.empty()) CacheLoad(fontName + "_hunletters.pcx", fontPackage, HunLetters);
}

THunText::~THunText() {
  // Handed back in the order they were loaded; ~TEngText then finds its sheets cleared.
  ReleaseEnglishSheets();
  CacheRelease(HunLetters);
  HunLetters = TSurface();
}

void THunText::RenderGlyph(uint8_t ch) {
  const auto found = std::find(HungarianBytes.begin(), HungarianBytes.end(), ch);
  if (found == HungarianBytes.end()) {
    TEngText::RenderGlyph(ch);
    return;
  }
  const int32_t position = static_cast<int32_t>(found - HungarianBytes.begin());
  CopyGlyph(HunLetters, position % HungarianPerRow, position / HungarianPerRow);
}
