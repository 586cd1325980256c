// Status displays: the texts of counts and healths, right-aligned, and the colour each
// health takes against its maximum, read back from the rendered digits.
#include "game/status_display.h"

#include <gtest/gtest.h>

#include "entity/agent.h"
#include "game/game_fixture.h"

class StatusDisplayTest : public TGameFixture {
 protected:
  // The colour of each glyph cell of a rendered display: '.' for an empty cell, 'c' cyan,
  // 'g' green, 'y' yellow, 'r' red, '?' anything else. The test fonts' ink is white.
  static std::string Cells(const TBaseText& text, int count) {
    std::string cells;
    for (int i = 0; i < count; ++i) {
      switch (
          PixelAt(text.Image, i * text.GlyphWidth + text.GlyphWidth / 2, text.GlyphHeight / 2)) {
        case 0x0000:
          cells += '.';
          break;
        case 0x07FF:
          cells += 'c';
          break;
        case 0x07E0:
          cells += 'g';
          break;
        case 0xFFE0:
          cells += 'y';
          break;
        case 0xF800:
          cells += 'r';
          break;
        default:
          cells += '?';
          break;
      }
    }
    return cells;
  }
  // What a health display over an actor with `health` shows after its update.
  std::pair<std::string, std::string> Health(int16_t health, int16_t maximum) {
    TVictim watched(0, 0, Agent(), KindPlayer, health);
    THealthDisplay display(10, 10, maximum, Agent(), &watched);
    EXPECT_TRUE(display.Update());
    return {Shown(display), Cells(display, 4)};
  }
  using TShown = std::pair<std::string, std::string>;
};

TEST_F(StatusDisplayTest, HealthOfAHundredIsRightAlignedInThreeAndColouredAt70And30) {
  EXPECT_EQ(Health(7, 100), (TShown{"  7", "..r."}));
  EXPECT_EQ(Health(100, 100), (TShown{"100", "ggg."}));
  EXPECT_EQ(Health(71, 100), (TShown{" 71", ".gg."}));
  EXPECT_EQ(Health(70, 100), (TShown{" 70", ".yy."}));
  EXPECT_EQ(Health(31, 100), (TShown{" 31", ".yy."}));
  EXPECT_EQ(Health(30, 100), (TShown{" 30", ".rr."}));
  EXPECT_EQ(Health(0, 100), (TShown{"  0", "..r."}));
}

TEST_F(StatusDisplayTest, NegativeHealthKeepsItsSignWithinThreeCharacters) {
  EXPECT_EQ(Health(-15, 100), (TShown{"-15", "rrr."}));
  EXPECT_EQ(Health(-5, 100), (TShown{" -5", ".rr."}));
  EXPECT_EQ(Health(-150, 100), (TShown{"-150", "rrrr"})) << "longer texts are not cut";
}

TEST_F(StatusDisplayTest, HealthOfTwoHundredTurnsAt140And60) {
  EXPECT_EQ(Health(200, 200).second, "ggg.");
  EXPECT_EQ(Health(141, 200).second, "ggg.");
  EXPECT_EQ(Health(140, 200).second, "yyy.");
  EXPECT_EQ(Health(61, 200).second, ".yy.");
  EXPECT_EQ(Health(60, 200).second, ".rr.");
}

TEST_F(StatusDisplayTest, HealthDisplayFollowsItsActorFromFrameToFrame) {
  TVictim* watched = Place(new TVictim(0, 0, Agent(), KindPlayer, 100));
  THealthDisplay* display = Place(new THealthDisplay(10, 10, 100, Agent(), watched));
  EXPECT_EQ(Cells(*display, 3), "g..") << "built showing a green 0";
  watched->Hit(45);
  Frame();
  EXPECT_EQ(Shown(*display), " 55");
  EXPECT_EQ(Cells(*display, 3), ".yy");
  watched->Hit(40);
  Frame();
  EXPECT_EQ(Cells(*display, 3), ".rr");
}

TEST_F(StatusDisplayTest, CountsAreCyanInTwoCharacters) {
  TCountDisplay display(45, 10, Agent());
  EXPECT_EQ(Shown(display), "0");
  display.SetNumber(0);
  EXPECT_EQ(Shown(display), " 0");
  EXPECT_EQ(Cells(display, 3), ".c.");
  display.SetNumber(7);
  EXPECT_EQ(Shown(display), " 7");
  display.SetNumber(10);
  EXPECT_EQ(Shown(display), "10");
  EXPECT_EQ(Cells(display, 3), "cc.");
  display.SetNumber(255);
  EXPECT_EQ(Shown(display), "255");
  EXPECT_TRUE(display.Update()) << "always playing";
}

TEST_F(StatusDisplayTest, DisplaysDrawKeyedAtTheirPlace) {
  TVictim watched(0, 0, Agent(), KindPlayer, 5);
  THealthDisplay health(10, 10, 100, Agent(), &watched);
  TCountDisplay count(45, 10, Agent());
  count.SetNumber(3);
  FillSurface(Scene.FrameBuffer, 0x1234);
  ASSERT_TRUE(health.Update());
  health.Draw(Scene.FrameBuffer);
  ASSERT_TRUE(count.Update());
  count.Draw(Scene.FrameBuffer);
  const int w = health.GlyphWidth, h = health.GlyphHeight;
  EXPECT_EQ(PixelAt(Scene.FrameBuffer, 10 + 2 * w + w / 2, 10 + h / 2), 0xF800);
  EXPECT_EQ(PixelAt(Scene.FrameBuffer, 10 + w / 2, 10 + h / 2), 0x1234) << "black stays clear";
  EXPECT_EQ(PixelAt(Scene.FrameBuffer, 10 + 2 * w, 10), 0x1234) << "the glyph's black margin";
  EXPECT_EQ(PixelAt(Scene.FrameBuffer, 45 + w + w / 2, 10 + h / 2), 0x07FF);
}

TEST_F(StatusDisplayTest, RightAlignedPadsButNeverCuts) {
  EXPECT_EQ(RightAligned(7, 3), "  7");
  EXPECT_EQ(RightAligned(-7, 3), " -7");
  EXPECT_EQ(RightAligned(1234, 3), "1234");
  EXPECT_EQ(RightAligned(0, 2), " 0");
}
