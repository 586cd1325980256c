// Surfaces: derived fields, ownership, fills that stay inside the block.
#include "gfx/surface.h"

#include <gtest/gtest.h>

#include "gfx/boxes.h"
#include "gfx/memory.h"
#include "support/engine_fixture.h"

class SurfaceTest : public TEngineFixture {};

TEST_F(SurfaceTest, FrameBufferFieldsAreDerivedOnce) {
  TSurface s;
  CreateSurface(s, 800, 600, true);
  EXPECT_EQ(s.SizeBytes, 960000u);
  EXPECT_EQ(s.Pitch, 1600);
  EXPECT_EQ(s.HalfWidth, 400);
  EXPECT_EQ(s.OddWidth, 0);
  EXPECT_EQ(s.MaxX, 799);
  EXPECT_EQ(s.HalfHeight, 300);
  EXPECT_EQ(s.MaxY, 599);
  EXPECT_TRUE(s.Allocated);
  for (uint32_t i = 0; i < s.SizeBytes / 2; ++i)
    ASSERT_EQ(s.Pixels[i], 0) << i;
  FreeSurface(s);
}

TEST_F(SurfaceTest, OddWidthHasASinglePixelAtTheEndOfEachRow) {
  TSurface s;
  CreateSurface(s, 799, 600, false);
  EXPECT_EQ(s.HalfWidth, 399);
  EXPECT_EQ(s.OddWidth, 1);
  EXPECT_EQ(s.Pitch, 1598);
  FreeSurface(s);
}

TEST_F(SurfaceTest, FreeingTwiceOrACopyThatDoesNotOwnFreesNothing) {
  TSurface owner;
  CreateSurface(owner, 4, 4, true);
  TSurface copy = owner;
  copy.Allocated = false;  // a holder of a copy never owns the block
  FreeSurface(copy);
  EXPECT_NE(owner.Pixels, nullptr);
  FreeSurface(owner);
  EXPECT_EQ(owner.Pixels, nullptr);
  EXPECT_FALSE(owner.Allocated);
  EXPECT_EQ(owner.Width, 4) << "geometry survives the free";
  FreeSurface(owner);
}

TEST_F(SurfaceTest, FillOfOneToThreePixelsStaysInsideTheBlock) {
  for (int32_t width = 1; width <= 3; ++width) {
    uint16_t block[8];
    std::fill(std::begin(block), std::end(block), 0xBEEF);
    TSurface s;
    CreateSurface(s, width, 1, false);
    FreeSurface(s);
    s.Pixels = block + 1;  // borrow a guarded block with the same geometry
    FillSurface(s, 0x1234);
    EXPECT_EQ(block[0], 0xBEEF);
    for (int32_t i = 0; i < width; ++i)
      EXPECT_EQ(block[1 + i], 0x1234) << width;
    for (int32_t i = width + 1; i < 8; ++i)
      EXPECT_EQ(block[i], 0xBEEF) << width;
  }
}
