// Bitmap fonts: which sheet cell each byte draws in the English and Hungarian types, blank
// cells, glyphs placed by RenderText, sheets shared through the image cache, missing and
// undersized sheets.
#include "text/font_text.h"

#include <gtest/gtest.h>

#include "gfx/blit.h"
#include "gfx/boxes.h"
#include "res/image_cache.h"
#include "text/text_fixture.h"

class FontTextTest : public TTextFixture {
 protected:
  template <typename T>
  std::unique_ptr<T> Make(const std::string& font = "tst", const std::string& value = "",
                          int16_t columns = 8, int16_t rows = 2) {
    return std::make_unique<T>(0, 0, Scene.Agent, 0, 0, 0, 1, columns, rows, false, "FONTS", font,
                               value);
  }
  static std::string Glyph(TBaseText& text, uint8_t ch) {
    text.RenderGlyph(ch);
    return DescribeCell(text.GlyphCell);
  }
  // The cell at (column, row) of a rendered text's picture.
  static std::string CellAt(const TBaseText& text, int32_t column, int32_t row) {
    TSurface cell;
    CreateSurface(cell, text.GlyphWidth, text.GlyphHeight, true);
    GetImage(text.Image, cell, column * text.GlyphWidth, row * text.GlyphHeight);
    std::string shown = DescribeCell(cell);
    FreeSurface(cell);
    return shown;
  }
  static std::vector<std::string> CacheNames() {
    std::vector<std::string> names;
    for (const TCachedImage& node : ImageCache.Nodes)
      names.push_back(node.Name + "@" + node.Package + " x" + std::to_string(node.References));
    return names;
  }
};

struct TGlyphCase {
  uint8_t Ch;
  const char* Shown;
};

// ASCII draws the same in both types.
const TGlyphCase EnglishCases[] = {
    {'a', "Letters 0,0"}, {'z', "Letters 25,0"}, {'A', "Letters 0,1"}, {'Z', "Letters 25,1"},
    {'0', "Digits 0,0"},  {'9', "Digits 9,0"},   {'!', "Signs 0,0"},   {'"', "Signs 1,0"},
    {'/', "Signs 14,0"},  {':', "Signs 0,1"},    {'?', "Signs 5,1"},   {'[', "Signs 0,2"},
    {'\\', "Signs 1,2"},  {'_', "Signs 4,2"},    {'{', "Signs 0,3"},   {'|', "Signs 1,3"},
    {'~', "Signs 3,3"},
};

// Space, 0x40 and 0x60 sit between the runs of the sheets; the rest lies outside them.
const uint8_t BlankInBoth[] = {' ', 0x40, 0x60, 0x00, '\n', 0x7F, 0x80, 0xFF};

TEST_F(FontTextTest, AsciiBytesDrawTheirSheetCellInBothTypes) {
  auto eng = Make<TEngText>();
  auto hun = Make<THunText>();
  for (const TGlyphCase& c : EnglishCases) {
    EXPECT_EQ(Glyph(*eng, c.Ch), c.Shown) << "TEngText, byte " << int(c.Ch);
    EXPECT_EQ(Glyph(*hun, c.Ch), c.Shown) << "THunText, byte " << int(c.Ch);
  }
}

TEST_F(FontTextTest, HungarianLettersDrawTheHungarianSheetOnlyInTheHungarianType) {
  const uint8_t small[] = {0xA0, 0x82, 0xA1, 0xA2, 0x94, 0x8B, 0xA3, 0x81, 0xFB};
  const uint8_t capital[] = {0xB5, 0x90, 0xD6, 0xE0, 0x99, 0x8A, 0xE9, 0x9A, 0xEB};
  auto eng = Make<TEngText>();
  auto hun = Make<THunText>();
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(Glyph(*hun, small[i]), "HunLetters " + std::to_string(i) + ",0") << i;
    EXPECT_EQ(Glyph(*hun, capital[i]), "HunLetters " + std::to_string(i) + ",1") << i;
    EXPECT_EQ(Glyph(*eng, small[i]), "blank") << i;
    EXPECT_EQ(Glyph(*eng, capital[i]), "blank") << i;
  }
  EXPECT_EQ(Glyph(*hun, 0x82), "HunLetters 1,0") << "é";
  EXPECT_EQ(Glyph(*hun, 0xEB), "HunLetters 8,1") << "Ű";
}

TEST_F(FontTextTest, BytesWithoutAGlyphClearTheCellInBothTypes) {
  auto eng = Make<TEngText>();
  auto hun = Make<THunText>();
  for (uint8_t ch : BlankInBoth) {
    // A glyph drawn just before must not show through the blank.
    Glyph(*eng, 'a');
    Glyph(*hun, 0xA0);
    EXPECT_EQ(Glyph(*eng, ch), "blank") << "TEngText, byte " << int(ch);
    EXPECT_EQ(Glyph(*hun, ch), "blank") << "THunText, byte " << int(ch);
  }
}

TEST_F(FontTextTest, RenderTextPlacesEachGlyphInItsCell) {
  auto hun = Make<THunText>("tst", "a\x82\\ |\n\"Z\xEB", 5, 2);
  hun->RenderText();
  EXPECT_EQ(CellAt(*hun, 0, 0), "Letters 0,0");
  EXPECT_EQ(CellAt(*hun, 1, 0), "HunLetters 1,0");
  EXPECT_EQ(CellAt(*hun, 2, 0), "Signs 1,2");
  EXPECT_EQ(CellAt(*hun, 3, 0), "blank");
  EXPECT_EQ(CellAt(*hun, 4, 0), "Signs 1,3");
  EXPECT_EQ(CellAt(*hun, 0, 1), "Signs 1,0");
  EXPECT_EQ(CellAt(*hun, 1, 1), "Letters 25,1");
  EXPECT_EQ(CellAt(*hun, 2, 1), "HunLetters 8,1");
  EXPECT_EQ(CellAt(*hun, 3, 1), "blank");

  auto eng = Make<TEngText>("tst",
                            "a\x82"
                            "b",
                            3, 1);
  eng->RenderText();
  EXPECT_EQ(CellAt(*eng, 0, 0), "Letters 0,0");
  EXPECT_EQ(CellAt(*eng, 1, 0), "blank") << "é has no glyph in English";
  EXPECT_EQ(CellAt(*eng, 2, 0), "Letters 1,0");
}

// ---- Sheets and the cache ---------------------------------------------------------------

TEST_F(FontTextTest, TextsOfOneFontShareTheSheetsAndEachDestroyKeepsThemForTheOthers) {
  auto eng = Make<TEngText>();
  EXPECT_EQ(CacheNames(),
            (std::vector<std::string>{"tst_engletters.pcx@FONTS x1", "tst_numbers.pcx@FONTS x1",
                                      "tst_signs.pcx@FONTS x1"}));
  auto first = Make<THunText>();
  auto second = Make<THunText>();
  EXPECT_EQ(CacheNames(),
            (std::vector<std::string>{"tst_engletters.pcx@FONTS x3", "tst_numbers.pcx@FONTS x3",
                                      "tst_signs.pcx@FONTS x3", "tst_hunletters.pcx@FONTS x2"}));
  EXPECT_EQ(first->Letters.Pixels, eng->Letters.Pixels);
  EXPECT_EQ(first->HunLetters.Pixels, second->HunLetters.Pixels);

  first.reset();
  eng.reset();
  EXPECT_EQ(CacheNames(),
            (std::vector<std::string>{"tst_engletters.pcx@FONTS x1", "tst_numbers.pcx@FONTS x1",
                                      "tst_signs.pcx@FONTS x1", "tst_hunletters.pcx@FONTS x1"}));
  EXPECT_EQ(Glyph(*second, 'q'), "Letters 16,0");
  EXPECT_EQ(Glyph(*second, 0x90), "HunLetters 1,1");

  second.reset();
  EXPECT_TRUE(ImageCache.Nodes.empty()) << "the last text of the font freed its sheets";
}

TEST_F(FontTextTest, MissingSheetEndsTheProgramAndHandsTheLoadedSheetsBack) {
  WriteFonts([](TArchiveWriter& archive) {
    archive.Add("nodigits.inf", "4\n6\n")
        .Add("nodigits_engletters.pcx", GlyphSheetPcx(TSheetKind::Letters, 4, 6, 104, 12));
    archive.Add("nohun.inf", "4\n6\n");
    for (TSheetKind sheet : {TSheetKind::Letters, TSheetKind::Digits, TSheetKind::Signs}) {
      const char* suffix = sheet == TSheetKind::Letters  ? "_engletters.pcx"
                           : sheet == TSheetKind::Digits ? "_numbers.pcx"
                                                         : "_signs.pcx";
      archive.Add(std::string("nohun") + suffix,
                  GlyphSheetPcx(sheet, 4, 6, SheetColumns(sheet) * 4, SheetRows(sheet) * 6));
    }
  });
  EXPECT_THROW(Make<TEngText>("nodigits"), TProgramExit);
  ASSERT_FALSE(Platform->Boxes.empty());
  EXPECT_NE(Platform->Boxes.back().Text.find("nodigits_numbers.pcx"), std::string::npos)
      << Platform->Boxes.back().Text;
  EXPECT_TRUE(ImageCache.Nodes.empty()) << CacheNames().size() << " sheets left behind";

  EXPECT_THROW(Make<THunText>("nohun"), TProgramExit);
  EXPECT_TRUE(ImageCache.Nodes.empty()) << CacheNames().size() << " sheets left behind";
  // The English type never asks for the Hungarian sheet.
  EXPECT_NO_THROW(Make<TEngText>("nohun"));
}

TEST_F(FontTextTest, UndersizedSheetLeavesTheMissingPartOfACellBlank) {
  // Letters half a glyph short on the right and a third short at the bottom; a digits
  // sheet of 2 x 2 pixels; a signs sheet with no rows beyond the first.
  WriteFonts([](TArchiveWriter& archive) {
    archive.Add("small.inf", "4\r\n6\r\n")
        .Add("small_engletters.pcx", GlyphSheetPcx(TSheetKind::Letters, 4, 6, 102, 10))
        .Add("small_numbers.pcx", GlyphSheetPcx(TSheetKind::Digits, 4, 6, 2, 2))
        .Add("small_signs.pcx", GlyphSheetPcx(TSheetKind::Signs, 4, 6, 60, 6));
  });
  auto text = Make<TEngText>("small");
  EXPECT_EQ(Glyph(*text, 'a'), "Letters 0,0");
  EXPECT_EQ(Glyph(*text, 'y'), "Letters 24,0");
  const TSurface& cell = text->GlyphCell;

  // z: two of its four columns lie inside the sheet.
  Glyph(*text, 'a');
  text->RenderGlyph('z');
  for (int32_t y = 0; y < 6; ++y) {
    EXPECT_EQ(PixelAt(cell, 0, y), y == 0 ? GlyphCorner : CellColour(TSheetKind::Letters, 25, 0));
    EXPECT_EQ(PixelAt(cell, 1, y), CellColour(TSheetKind::Letters, 25, 0));
    EXPECT_EQ(PixelAt(cell, 2, y), 0) << "outside the sheet, row " << y;
    EXPECT_EQ(PixelAt(cell, 3, y), 0) << "outside the sheet, row " << y;
  }

  // Z: the top four rows and the left two columns.
  Glyph(*text, 'a');
  text->RenderGlyph('Z');
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 4; ++x) {
      const uint16_t inside =
          x == 0 && y == 0 ? GlyphCorner : CellColour(TSheetKind::Letters, 25, 1);
      EXPECT_EQ(PixelAt(cell, x, y), x < 2 && y < 4 ? inside : 0) << x << "," << y;
    }

  EXPECT_EQ(Glyph(*text, '9'), "blank") << "wholly outside a tiny sheet";
  EXPECT_EQ(Glyph(*text, '0'), "garbled") << "its top-left 2 x 2 pixels only";
  EXPECT_EQ(PixelAt(cell, 0, 0), GlyphCorner);
  EXPECT_EQ(PixelAt(cell, 3, 5), 0);
  EXPECT_EQ(Glyph(*text, '/'), "Signs 14,0");
  EXPECT_EQ(Glyph(*text, '|'), "blank") << "row 3 is missing";

  text->SetText("zZ|");
  text->RenderText();
  EXPECT_EQ(CellAt(*text, 2, 0), "blank");
}
