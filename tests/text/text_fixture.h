// Fonts for the text tests, built in memory: metrics files and glyph sheets in which every
// cell has a colour of its own and a white top-left corner, so a glyph cell tells which
// sheet, column and row it was cut from, and whether it was cut at the right place.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "res/res_helpers.h"
#include "support/test_scene.h"
#include "text/base_text.h"

enum class TSheetKind : uint8_t { Letters = 1, Digits = 2, Signs = 3, HunLetters = 4 };

constexpr uint16_t GlyphCorner = 0xFFFF;

// The colour of the glyph at (column, row) of a sheet, everywhere but its corner pixel.
uint16_t CellColour(TSheetKind sheet, int32_t column, int32_t row);

// A PCX sheet of the cells of `sheet` in the font's layout, glyphs of glyphWidth x
// glyphHeight, cut or padded (with magenta) to width x height pixels.
std::string GlyphSheetPcx(TSheetKind sheet, int32_t glyphWidth, int32_t glyphHeight, int32_t width,
                          int32_t height);

// The layout's minimum sheet size: 26 x 2, 10 x 1, 15 x 4 and 9 x 2 cells.
int32_t SheetColumns(TSheetKind sheet);
int32_t SheetRows(TSheetKind sheet);

// Adds "<name>.inf" with the lines glyphWidth and glyphHeight, and the four sheets at their
// minimum sizes.
void AddFont(TArchiveWriter& archive, const std::string& name, int32_t glyphWidth,
             int32_t glyphHeight);

// What a glyph cell shows: "Letters 25,1" for an intact glyph, "blank" when all black,
// "garbled" otherwise.
std::string DescribeCell(const TSurface& cell);

// A text whose every glyph is one flat colour: the byte itself, or `Colour` when set. A
// rendered picture then reads back as the characters where they were laid out.
class TProbeText : public TBaseText {
 public:
  using TBaseText::TBaseText;
  void RenderGlyph(uint8_t ch) override { FillSurface(GlyphCell, Colour != 0 ? Colour : ch); }

  uint16_t Colour = 0;
};

// The rows of a rendered probe text: '.' for a cell nothing was drawn into, '#' for a cell
// that is not one flat colour, else the character; untouched cells at a row's end are cut.
std::vector<std::string> ReadBack(const TBaseText& text);

class TTextFixture : public TResFixture {
 protected:
  void SetUp() override;

  // FONTS.MPK in the data folder: the font "probe" (2 x 3 metrics only) and the full test
  // font "tst" (4 x 6 glyphs), plus whatever `extra` adds.
  void WriteFonts(const std::function<void(TArchiveWriter&)>& extra = {});

  // A probe text in the font "probe", rendered.
  std::unique_ptr<TProbeText> Probe(const std::string& value, int16_t columns, int16_t rows);

  // Expects `build` to end the program and returns the box it showed.
  TTestPlatform::TBox FatalBoxOf(const std::function<void()>& build);

  TTestScene Scene;
};
