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
