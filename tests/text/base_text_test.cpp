// Text entities: font metrics and their failure boxes, degenerate sizes, the word-wrapping
// layout, tints, text resources, and drawing as a fading sprite.
#include "text/base_text.h"

#include <gtest/gtest.h>

#include "gfx/boxes.h"
#include "res/packfile.h"
#include "text/text_fixture.h"

using TRows = std::vector<std::string>;

class BaseTextTest : public TTextFixture {
 protected:
  std::unique_ptr<TProbeText> Build(const std::string& font, int16_t columns = 40, int16_t rows = 5,
                                    const std::string& package = "FONTS") {
    return std::make_unique<TProbeText>(0, 0, Scene.Agent, 0, 0, 0, 1, columns, rows, false,
                                        package, font, "");
  }
  // Writes a font with only a metrics file of these bytes.
  void Metrics(const std::string& font, const std::string& bytes) {
    WriteFonts([&](TArchiveWriter& archive) { archive.Add(font + ".inf", bytes); });
  }
  static bool NoArchiveOpen() {
    for (const TPackfileSlot& slot : Packfiles.PackfileSlots)
      if (slot.Archive) return false;
    return true;
  }
  static TRows Padded(TRows rows, size_t count) {
    rows.resize(count);
    return rows;
  }
};

// ---- Metrics ----------------------------------------------------------------------------

TEST_F(BaseTextTest, MetricsGiveTheGlyphCellAndAPictureOfColumnsByRowsCells) {
  Metrics("fixedsys", "8\r\n16\r\n");
  auto text = Build("fixedsys", 40, 5);
  EXPECT_EQ(text->GlyphWidth, 8);
  EXPECT_EQ(text->GlyphHeight, 16);
  EXPECT_EQ(text->GlyphCell.Width, 8);
  EXPECT_EQ(text->GlyphCell.Height, 16);
  EXPECT_EQ(text->Image.Width, 320);
  EXPECT_EQ(text->Image.Height, 80);
  EXPECT_TRUE(text->OwnsImage);
  EXPECT_EQ(text->Columns, 40);
  EXPECT_EQ(text->Rows, 5);
  EXPECT_EQ(ReadBack(*text), TRows(5)) << "nothing is rendered before RenderText";
  EXPECT_TRUE(NoArchiveOpen()) << "the font package is closed again";
}

TEST_F(BaseTextTest, MetricsLinesMayEndInCrLfLfOrCrAndFurtherLinesAreIgnored) {
  for (const std::string bytes : {"8\r\n16\r\n", "8\n16", "8\r16\r", "8\n16\nwide\n", "+8\r\n16"}) {
    Metrics("m", bytes);
    auto text = Build("m");
    EXPECT_EQ(text->GlyphWidth, 8) << bytes;
    EXPECT_EQ(text->GlyphHeight, 16) << bytes;
  }
}

TEST_F(BaseTextTest, MissingFontPackageShowsPackageError) {
  auto box = FatalBoxOf([&] { Build("probe", 40, 5, "NOFONTS"); });
  EXPECT_EQ(box.Caption, "Package error!");
  EXPECT_EQ(box.Text, "Couldn't locate package \"NOFONTS\"!");

  WriteData("BROKEN.MPK", "not an archive at all");
  box = FatalBoxOf([&] { Build("probe", 40, 5, "BROKEN"); });
  EXPECT_EQ(box.Caption, "Package error!");
  EXPECT_EQ(box.Text, "Couldn't locate package \"BROKEN\"!");
}

TEST_F(BaseTextTest, MissingMetricsFileShowsFontErrorAndClosesThePackage) {
  auto box = FatalBoxOf([&] { Build("nosuch"); });
  EXPECT_EQ(box.Caption, "Font error!");
  EXPECT_EQ(box.Text, "Font \"nosuch\" is not available!");
  EXPECT_TRUE(NoArchiveOpen());

  box = FatalBoxOf([&] { Build(""); });
  EXPECT_EQ(box.Text, "Font \"\" is not available!");
}

TEST_F(BaseTextTest, MetricsLineThatIsNotAnIntegerEndsTheProgramQuotingTheLine) {
  struct TCase {
    std::string Bytes, Shown;
  };
  const TCase cases[] = {
      {"8x\r\n16\r\n", "8x"},
      {"8\r\nsixteen\r\n", "sixteen"},
      {"8\r\n", ""},
      {"", ""},
      {" 8\r\n16\r\n", " 8"},
      {"8 \r\n16\r\n", "8 "},
      {"+-8\r\n16\r\n", "+-8"},
      {"-\r\n16\r\n", "-"},
      {"0x10\r\n16\r\n", "0x10"},
      {"99999999999\r\n16\r\n", "99999999999"},
  };
  for (const TCase& c : cases) {
    Metrics("bad", c.Bytes);
    const auto box = FatalBoxOf([&] { Build("bad"); });
    EXPECT_EQ(box.Caption, "Font metrics error: bad.inf in FONTS") << c.Bytes;
    EXPECT_EQ(box.Text, "\"" + c.Shown + "\" is an invalid integer") << c.Bytes;
    EXPECT_TRUE(NoArchiveOpen()) << c.Bytes;
  }
}

TEST_F(BaseTextTest, GlyphSizesOutsideOneTo256EndWithFontErrorNamingTheFont) {
  Metrics("zero", "0\r\n16\r\n");
  auto box = FatalBoxOf([&] { Build("zero"); });
  EXPECT_EQ(box.Caption, "Font error!");
  EXPECT_EQ(
      box.Text,
      "Font \"zero\" has glyphs of 0 x 16 pixels!\rA glyph is 1 to 256 pixels wide and high.");

  for (const std::string bytes : {"8\n-3", "-8\n3", "100000\n100000", "257\n8", "8\n2147483647"}) {
    Metrics("odd", bytes);
    box = FatalBoxOf([&] { Build("odd"); });
    EXPECT_EQ(box.Caption, "Font error!") << bytes;
    EXPECT_NE(box.Text.find("Font \"odd\" has glyphs of"), std::string::npos) << bytes;
  }

  Metrics("largest", "256\n256");
  EXPECT_EQ(Build("largest", 2, 1)->Image.Width, 512);
}

TEST_F(BaseTextTest, EmptyOrNegativeBoxEndsWithFontErrorNamingTheFont) {
  auto box = FatalBoxOf([&] { Build("probe", 0, 5); });
  EXPECT_EQ(box.Caption, "Font error!");
  EXPECT_EQ(box.Text,
            "A text in font \"probe\" has a box of 0 x 5 glyph cells!\rA text box has at least "
            "one column and one row.");
  box = FatalBoxOf([&] { Build("probe", 40, -1); });
  EXPECT_NE(box.Text.find("has a box of 40 x -1 glyph cells"), std::string::npos);
  box = FatalBoxOf([&] { Build("probe", -32768, -32768); });
  EXPECT_EQ(box.Caption, "Font error!");
}

TEST_F(BaseTextTest, BoxTooLargeForMemoryEndsWithTheMemoryBox) {
  // 32767 x 256 pixels on each side: each side fits in 32 bits, the block does not.
  Metrics("huge", "256\r\n256\r\n");
  const auto box = FatalBoxOf([&] { Build("huge", 32767, 32767); });
  EXPECT_EQ(box.Caption, "MEMORY ERROR !");
}

// ---- Layout -----------------------------------------------------------------------------

TEST_F(BaseTextTest, WordsWrapAtTheColumnCountWithTheirSpace) {
  EXPECT_EQ(ReadBack(*Probe("one two three", 7, 5)), Padded({"one ", "two ", "three"}, 5));
  // A word fits when the line and the word together take at most the box width; behind a
  // space it needs room for the space too.
  EXPECT_EQ(ReadBack(*Probe("abc def", 7, 2)), Padded({"abc def"}, 2));
  EXPECT_EQ(ReadBack(*Probe("abc defg", 7, 2)), Padded({"abc ", "defg"}, 2));
  EXPECT_EQ(ReadBack(*Probe("ab cd ef", 6, 2)), Padded({"ab cd ", "ef"}, 2));
  EXPECT_EQ(ReadBack(*Probe("ab cde f", 6, 2)), Padded({"ab ", "cde f"}, 2));
}

TEST_F(BaseTextTest, LineEndsBreakLinesAndCrIsIgnored) {
  const TRows expected = Padded({"ab", "cd"}, 4);
  EXPECT_EQ(ReadBack(*Probe("ab\ncd\n", 7, 4)), expected);
  EXPECT_EQ(ReadBack(*Probe("ab\r\ncd\r\n", 7, 4)), expected);
  EXPECT_EQ(ReadBack(*Probe("ab\r\ncd", 7, 4)), expected);
  EXPECT_EQ(ReadBack(*Probe("a\rb\r", 7, 4)), Padded({"ab"}, 4));
  EXPECT_EQ(ReadBack(*Probe("a\n\nb", 7, 4)), Padded({"a", "", "b"}, 4));
  EXPECT_EQ(ReadBack(*Probe("a\r\n\r\nb", 7, 4)), Padded({"a", "", "b"}, 4));
}

TEST_F(BaseTextTest, RowsCutTheRestOfTheTextOff) {
  EXPECT_EQ(ReadBack(*Probe("1\n2\n3\n4\n5\n6\n7\n8\n", 7, 5)), (TRows{"1", "2", "3", "4", "5"}));
  EXPECT_EQ(ReadBack(*Probe("aaaa bbbb cccc", 5, 2)), (TRows{"aaaa ", "bbbb "}));
  // A word carried past the last row falls below the picture.
  EXPECT_EQ(ReadBack(*Probe("a\nbb cccccc", 5, 2)), (TRows{"a", "bb "}));
}

TEST_F(BaseTextTest, WordLongerThanTheBoxIsDrawnOnItsOwnLineAndClipped) {
  EXPECT_EQ(ReadBack(*Probe("go abcdefghij", 7, 3)), Padded({"go ", "abcdefg"}, 3));
  // With nothing before it, the line it does not fit behind is the empty one.
  EXPECT_EQ(ReadBack(*Probe("abcdefghij", 7, 3)), Padded({"", "abcdefg"}, 3));
  EXPECT_EQ(ReadBack(*Probe("abcdefghij k", 7, 3)), (TRows{"", "abcdefg", "k"}));
  // A word of any length is cut at the box, not carried on into memory past it.
  auto text = Probe(std::string(300000, 'w'), 3, 2);
  EXPECT_EQ(ReadBack(*text), (TRows{"", "www"}));
}

TEST_F(BaseTextTest, RunsOfSpacesAreBlankCellsAndALineMayBeginWithOne) {
  EXPECT_EQ(ReadBack(*Probe("a   b", 7, 2)), Padded({"a   b"}, 2));
  EXPECT_EQ(ReadBack(*Probe(" a\n  b", 7, 2)), (TRows{" a", "  b"}));
  EXPECT_EQ(ReadBack(*Probe("ab  \ncd", 7, 2)), (TRows{"ab  ", "cd"}));
}

TEST_F(BaseTextTest, LineFeedIsAppendedOnceAndKept) {
  auto text = Probe("ab", 7, 2);
  EXPECT_EQ(text->Text, "ab\n");
  text->RenderText();
  EXPECT_EQ(text->Text, "ab\n");
  EXPECT_EQ(ReadBack(*text), Padded({"ab"}, 2));
  EXPECT_EQ(Probe("ab\n", 7, 2)->Text, "ab\n");
}

TEST_F(BaseTextTest, EmptyTextRendersABlankPicture) {
  auto text = Probe("", 7, 2);
  EXPECT_EQ(text->Text, "\n");
  EXPECT_EQ(ReadBack(*text), TRows(2));
}

TEST_F(BaseTextTest, RenderingANewTextReplacesTheWholePicture) {
  auto text = Probe("abc def\nghi", 7, 2);
  text->SetText("x");
  EXPECT_EQ(text->Text, "x");
  text->RenderText();
  EXPECT_EQ(ReadBack(*text), Padded({"x"}, 2));
}

// ---- Tints ------------------------------------------------------------------------------

TEST_F(BaseTextTest, TintTakesItsAmountsOffEachChannelAtTheNextRender) {
  auto text = Probe("", 2, 1);
  text->Colour = 0xFFFF;
  text->SetText("ab");
  text->RenderText();
  EXPECT_EQ(PixelAt(text->Image, 0, 0), 0xFFFF);

  text->SetTint(31, 0, 31);
  EXPECT_EQ(PixelAt(text->Image, 0, 0), 0xFFFF) << "a tint waits for RenderText";
  text->RenderText();
  for (int32_t y = 0; y < text->Image.Height; ++y)
    for (int32_t x = 0; x < text->Image.Width; ++x)
      ASSERT_EQ(PixelAt(text->Image, x, y), 0x07E0) << "white less red and blue is green";

  text->SetTint(16, 32, 16);
  text->RenderText();
  EXPECT_EQ(PixelAt(text->Image, 3, 2), (15 << 11) | (31 << 5) | 15);

  // Channels stop at 0 instead of borrowing from their neighbours.
  text->Colour = (4 << 11) | (10 << 5) | 4;
  text->SetTint(31, 0, 31);
  text->RenderText();
  EXPECT_EQ(PixelAt(text->Image, 0, 0), 10 << 5);
}

// ---- Text resources ---------------------------------------------------------------------

TEST_F(BaseTextTest, TextResourceGivesEveryByteOfItsFileHoweverLong) {
  std::string big;
  for (int i = 0; big.size() < 40000; ++i)
    big += "line " + std::to_string(i) + "\r\n";
  TArchiveWriter texts;
  texts.Add("story.txt", "one\r\ntwo three\r\n").Add("big.txt", big);
  texts.WriteTo(Dir + "/TEXTS.MPK");
  WriteData("note.txt", "disk\n");

  auto text = Probe("&story.txt@TEXTS", 7, 3);
  EXPECT_EQ(text->Text, "one\r\ntwo three\r\n");
  EXPECT_EQ(ReadBack(*text), (TRows{"one", "two ", "three"}));

  text->SetText("&big.txt@TEXTS");
  EXPECT_EQ(text->Text, big) << "all " << big.size() << " bytes";
  text->RenderText();
  EXPECT_EQ(ReadBack(*text), (TRows{"line 0", "line 1", "line 2"}));

  text->SetText("&note.txt");
  EXPECT_EQ(text->Text, "disk\n");

  EXPECT_THROW(text->SetText("&missing.txt@TEXTS"), TProgramExit);
  EXPECT_FALSE(Platform->Boxes.empty());
}

// ---- Drawing ----------------------------------------------------------------------------

TEST_F(BaseTextTest, RenderedPictureIsDrawnAsAFadingSpriteAtItsPosition) {
  TProbeText text(10, 20, Scene.Agent, 0, 5, 0, 1, 2, 1, false, "FONTS", "probe", "a");
  text.Colour = 0xFFFF;
  text.RenderText();
  text.PlayOnce();
  FillSurface(Scene.FrameBuffer, 0);
  ASSERT_TRUE(text.Update());
  text.Draw(Scene.FrameBuffer);
  EXPECT_EQ(PixelAt(Scene.FrameBuffer, 10, 20), 0xFFFF);
  EXPECT_EQ(PixelAt(Scene.FrameBuffer, 11, 22), 0xFFFF);
  EXPECT_EQ(PixelAt(Scene.FrameBuffer, 12, 20), 0) << "the second cell holds no glyph";
  EXPECT_EQ(PixelAt(Scene.FrameBuffer, 9, 20), 0);
}
