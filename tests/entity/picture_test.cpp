// Picture entities: centring, keyed drawing, and the scrolling backdrop's wrap.
#include "entity/picture.h"

#include <gtest/gtest.h>

#include "res/data_dir.h"
#include "support/engine_fixture.h"
#include "support/picture_files.h"
#include "support/run_binary.h"
#include "support/test_scene.h"

class PictureTest : public TEngineFixture {
 protected:
  void SetUp() override {
    TEngineFixture::SetUp();
    Dir = ScratchDir("pictures");
    SetDataDirectory(Dir);
    Scene.Setup();
  }
  void TearDown() override {
    SetDataDirectory("");
    TEngineFixture::TearDown();
  }
  std::string Dir;
  TTestScene Scene;
};

TEST_F(PictureTest, CentredPictureSitsInTheMiddleTruncatingTowardZero) {
  WriteFlatPcx(Dir, "small.pcx", 400, 300, 0x1234);
  WriteFlatPcx(Dir, "wide.pcx", 802, 600, 0x1234);  // PCX widths decode even
  TCenteredPicture small(Scene.Agent, "small.pcx");
  EXPECT_EQ(small.GetPosition(), (TPoint16{200, 150}));
  TCenteredKeyedPicture wide(Scene.Agent, "wide.pcx");
  EXPECT_EQ(wide.GetPosition(), (TPoint16{-1, 0}));
  TSurface odd;
  odd.Width = 801;
  EXPECT_EQ(CentredX(odd), 0) << "-1 / 2 truncates to 0";
}

TEST_F(PictureTest, KeyedPictureLeavesTheFrameWhereItIsBlack) {
  WriteFlatPcx(Dir, "black.pcx", 4, 4, 0);
  WriteFlatPcx(Dir, "red.pcx", 4, 4, 0xF800);
  TKeyedPictureEntity black(10, 10, Scene.Agent, "black.pcx");
  TPictureEntity plainBlack(20, 20, Scene.Agent, "black.pcx");
  TKeyedPictureEntity red(0, 0, Scene.Agent, "red.pcx");
  FillSurface(Scene.FrameBuffer, 0x07E0);
  black.Draw(Scene.FrameBuffer);
  plainBlack.Draw(Scene.FrameBuffer);
  red.Draw(Scene.FrameBuffer);
  EXPECT_EQ(PixelAt(Scene.FrameBuffer, 11, 11), 0x07E0);
  EXPECT_EQ(PixelAt(Scene.FrameBuffer, 21, 21), 0) << "an unkeyed picture copies black";
  EXPECT_EQ(PixelAt(Scene.FrameBuffer, 3, 3), 0xF800);
  EXPECT_EQ(PixelAt(Scene.FrameBuffer, 4, 4), 0x07E0);
}

TEST_F(PictureTest, PictureWithoutANameDrawsNothingAndFreesNothing) {
  FillSurface(Scene.FrameBuffer, 0x5555);
  {
    TPictureEntity empty(0, 0, Scene.Agent, "");
    EXPECT_FALSE(empty.OwnsImage);
    EXPECT_TRUE(empty.Update());
    empty.Draw(Scene.FrameBuffer);
  }
  EXPECT_EQ(PixelAt(Scene.FrameBuffer, 0, 0), 0x5555);
}

class BackdropTest : public PictureTest {
 protected:
  // A backdrop over a picture whose pixel in column c is c, so the frame tells which
  // picture column each frame column shows.
  std::unique_ptr<TScrollingBackdrop> MakeBackdrop(int32_t width) {
    auto backdrop = std::make_unique<TScrollingBackdrop>(Scene.Agent, "");
    CreateSurface(backdrop->Image, width, 600, false);
    backdrop->OwnsImage = true;
    for (int32_t y = 0; y < 600; ++y)
      for (int32_t x = 0; x < width; ++x)
        PixelAt(backdrop->Image, x, y) = static_cast<uint16_t>(x);
    return backdrop;
  }
  // The picture column shown in frame column x, checked on the top and bottom rows.
  uint16_t ShownColumn(int32_t x) {
    EXPECT_EQ(PixelAt(Scene.FrameBuffer, x, 0), PixelAt(Scene.FrameBuffer, x, 599));
    return PixelAt(Scene.FrameBuffer, x, 0);
  }
  void StepTo(TScrollingBackdrop& backdrop, uint16_t scrollPos) {
    backdrop.ScrollPos = static_cast<uint16_t>(scrollPos - 1);
    FillSurface(Scene.FrameBuffer, 0xFFFF);
    ASSERT_TRUE(backdrop.Update());
    backdrop.Draw(Scene.FrameBuffer);
  }
};

TEST_F(BackdropTest, FirstFrameShowsColumnsOneTo800) {
  auto backdrop = MakeBackdrop(1600);
  StepTo(*backdrop, 1);
  EXPECT_EQ(ShownColumn(0), 1);
  EXPECT_EQ(ShownColumn(799), 800);
}

TEST_F(BackdropTest, WindowPastTheRightEdgeContinuesWithTheLeftPart) {
  auto backdrop = MakeBackdrop(1600);
  StepTo(*backdrop, 1000);
  EXPECT_EQ(ShownColumn(0), 1000);
  EXPECT_EQ(ShownColumn(599), 1599);
  EXPECT_EQ(ShownColumn(600), 0);
  EXPECT_EQ(ShownColumn(799), 199);
}

TEST_F(BackdropTest, LastWholeWindowThenOneWrappedColumn) {
  auto backdrop = MakeBackdrop(1600);
  StepTo(*backdrop, 800);  // W - 800
  EXPECT_EQ(ShownColumn(0), 800);
  EXPECT_EQ(ShownColumn(799), 1599);
  StepTo(*backdrop, 801);  // W - 799: the wrap supplies exactly one column
  EXPECT_EQ(ShownColumn(798), 1599);
  EXPECT_EQ(ShownColumn(799), 0);
}

TEST_F(BackdropTest, ScrollPositionWrapsAt65536) {
  auto backdrop = MakeBackdrop(1600);
  backdrop->ScrollPos = 65535;
  backdrop->Update();
  EXPECT_EQ(backdrop->ScrollPos, 0);
}

TEST_F(BackdropTest, PictureNarrowerThanTheScreenRepeatsWithoutReadingPastIt) {
  auto backdrop = MakeBackdrop(300);
  StepTo(*backdrop, 10);
  EXPECT_EQ(ShownColumn(0), 10);
  EXPECT_EQ(ShownColumn(289), 299);
  EXPECT_EQ(ShownColumn(290), 0);
  EXPECT_EQ(ShownColumn(589), 299);
  EXPECT_EQ(ShownColumn(590), 0) << "past one wrap: the wrap buffer's unused black";
}

TEST_F(BackdropTest, BackdropWithoutAPictureDrawsNothing) {
  TScrollingBackdrop backdrop(Scene.Agent, "");
  FillSurface(Scene.FrameBuffer, 0x1111);
  backdrop.Update();
  backdrop.Draw(Scene.FrameBuffer);  // no width to take the scroll position modulo
  EXPECT_EQ(PixelAt(Scene.FrameBuffer, 0, 0), 0x1111);
}
