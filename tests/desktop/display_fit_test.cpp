// How the 800 x 600 frame is fitted to screens and windows, and how pointer positions,
// borders and high-DPI outputs included, find their frame pixel.
#include <gtest/gtest.h>

#include "platform/display_fit.h"

namespace {

constexpr int FrameW = 800;
constexpr int FrameH = 600;

TFrameFit Fit(int outW, int outH, TFitMode mode = TFitMode::Sharp) {
  return FitFrame(outW, outH, FrameW, FrameH, mode);
}

void ExpectTarget(const TFrameFit& fit, int x, int y, int w, int h) {
  EXPECT_EQ(fit.Target.X, x);
  EXPECT_EQ(fit.Target.Y, y);
  EXPECT_EQ(fit.Target.W, w);
  EXPECT_EQ(fit.Target.H, h);
}

TFramePoint Pointer(int x, int y, int outW, int outH, int windowW = 0, int windowH = 0) {
  const TFrameFit fit = Fit(outW, outH);
  return PointerToFrame(x, y, windowW > 0 ? windowW : outW, windowH > 0 ? windowH : outH, outW,
                        outH, fit.Target, FrameW, FrameH);
}

}  // namespace

TEST(DisplayFit, SharpFitOnFullHdEnlargesOnceThenSmoothsToTheFullHeight) {
  // 1080 / 600 is 1.8: only 1x is whole, the rest is smoothed, the sides are border.
  const TFrameFit fit = Fit(1920, 1080);
  EXPECT_EQ(fit.Multiple, 1);
  EXPECT_TRUE(fit.Smooth);
  ExpectTarget(fit, 240, 0, 1440, 1080);
}

TEST(DisplayFit, SharpFitTakesTheLargestWholeMultipleBeforeSmoothing) {
  const TFrameFit fit = Fit(2560, 1600);  // 2.67 high, 3.2 wide
  EXPECT_EQ(fit.Multiple, 2);
  EXPECT_TRUE(fit.Smooth);
  ExpectTarget(fit, 213, 0, 2133, 1600);
  EXPECT_EQ(Fit(3840, 2160).Multiple, 3);
}

TEST(DisplayFit, WholeMultipleOutputsNeedNoSmoothing) {
  for (int multiple = 1; multiple <= 4; ++multiple) {
    const TFrameFit fit = Fit(FrameW * multiple, FrameH * multiple);
    EXPECT_EQ(fit.Multiple, multiple);
    EXPECT_FALSE(fit.Smooth) << multiple;
    ExpectTarget(fit, 0, 0, FrameW * multiple, FrameH * multiple);
  }
}

TEST(DisplayFit, IntegerScaleKeepsWholeMultiplesWithWiderBorders) {
  const TFrameFit fullHd = Fit(1920, 1080, TFitMode::Integer);
  EXPECT_EQ(fullHd.Multiple, 1);
  EXPECT_FALSE(fullHd.Smooth);
  ExpectTarget(fullHd, 560, 240, 800, 600);
  const TFrameFit wide = Fit(2560, 1600, TFitMode::Integer);
  EXPECT_EQ(wide.Multiple, 2);
  EXPECT_FALSE(wide.Smooth);
  ExpectTarget(wide, 480, 200, 1600, 1200);
}

TEST(DisplayFit, OutputSmallerThanTheFrameIsScaledDownInEitherMode) {
  for (TFitMode mode : {TFitMode::Sharp, TFitMode::Integer}) {
    const TFrameFit fit = Fit(640, 400, mode);
    EXPECT_EQ(fit.Multiple, 1);
    EXPECT_TRUE(fit.Smooth);
    ExpectTarget(fit, 53, 0, 533, 400);
  }
}

TEST(DisplayFit, PortraitOutputPutsTheBordersAboveAndBelow) {
  ExpectTarget(Fit(600, 1000), 0, 275, 600, 450);
}

TEST(DisplayFit, EmptyOutputGivesAnEmptyTargetInsteadOfDividingByZero) {
  const TFrameFit fit = Fit(0, 0);
  EXPECT_EQ(fit.Target.W, 0);
  EXPECT_EQ(PointerToFrame(10, 10, 0, 0, 0, 0, fit.Target, FrameW, FrameH).X, 0);
}

TEST(DisplayFit, PointerFindsItsFramePixelThroughTheScaling) {
  // 2x window: every frame pixel is two output pixels wide.
  EXPECT_EQ(Pointer(800, 600, 1600, 1200).X, 400);
  EXPECT_EQ(Pointer(801, 601, 1600, 1200).Y, 300);
  EXPECT_EQ(Pointer(1599, 1199, 1600, 1200).X, 799);
  // Full HD: the frame starts 240 pixels in and each pixel is 1.8 output pixels.
  const TFramePoint middle = Pointer(960, 540, 1920, 1080);
  EXPECT_EQ(middle.X, 400);
  EXPECT_EQ(middle.Y, 300);
}

TEST(DisplayFit, PointerInTheBordersIsClampedOntoTheFrameEdge) {
  const TFramePoint left = Pointer(10, 540, 1920, 1080);
  EXPECT_EQ(left.X, 0);
  EXPECT_EQ(left.Y, 300) << "the height still follows the pointer";
  EXPECT_EQ(Pointer(1900, 540, 1920, 1080).X, 799);
  // Outside the window altogether, as while a button is held.
  EXPECT_EQ(Pointer(-50, -50, 800, 600).Y, 0);
  EXPECT_EQ(Pointer(5000, 5000, 800, 600).Y, 599);
}

TEST(DisplayFit, HighDpiOutputIsSizedInPixelsAndPointerComesInWindowUnits) {
  // A 1920 x 1080 window on a screen of twice the density renders 3840 x 2160 pixels.
  const TFrameFit fit = Fit(3840, 2160);
  EXPECT_EQ(fit.Multiple, 3);
  ExpectTarget(fit, 480, 0, 2880, 2160);
  const TFramePoint middle = Pointer(960, 540, 3840, 2160, 1920, 1080);
  EXPECT_EQ(middle.X, 400);
  EXPECT_EQ(middle.Y, 300);
  EXPECT_EQ(Pointer(1919, 1079, 3840, 2160, 1920, 1080).Y, 599);
}
