// Display open and close, the frame delay on the platform clock, guarded allocation.
#include "gfx/display.h"

#include <gtest/gtest.h>

#include "gfx/boxes.h"
#include "gfx/memory.h"
#include "gfx/surface.h"
#include "support/engine_fixture.h"

class DisplayTest : public TEngineFixture {};

TEST_F(DisplayTest, OpeningTwiceOpensPresentationOnce) {
  Platform->HasMode = true;
  OpenDisplay(800, 600);
  OpenDisplay(800, 600);
  EXPECT_EQ(Platform->ModeSwitches, 1);
  EXPECT_EQ(Platform->PresentationsOpened, 1);
  EXPECT_TRUE(Display.DisplayOpen);
  EXPECT_EQ(Display.Width, 800);
  EXPECT_EQ(Platform->SleptMs, 500u) << "pauses of 100, 200 and 200 ms";
  CloseDisplay();
  EXPECT_EQ(Platform->ModeRestores, 1);
  EXPECT_EQ(Platform->PresentationsClosed, 1);
  EXPECT_FALSE(Display.DisplayOpen);
}

TEST_F(DisplayTest, ClosingWithoutOpeningCallsNothing) {
  CloseDisplay();
  EXPECT_EQ(Platform->PresentationsClosed, 0);
  EXPECT_EQ(Platform->ModeRestores, 0);
  EXPECT_EQ(Platform->SleptMs, 0u);
}

TEST_F(DisplayTest, NoMatchingModeIsNeverRestored) {
  Platform->HasMode = false;
  OpenDisplay(800, 600);
  CloseDisplay();
  EXPECT_EQ(Platform->ModeRestores, 0);
}

TEST_F(DisplayTest, OpenHidesAndCloseShowsTheCursor) {
  OpenDisplay(800, 600);
  EXPECT_EQ(Platform->CursorCount(), -1);
  CloseDisplay();
  EXPECT_EQ(Platform->CursorCount(), 0);
}

TEST_F(DisplayTest, PresentCountsGlobalFramesAndTellsTheObserver) {
  std::vector<uint64_t> seen;
  Display.OnPresent = [&seen](const uint16_t*, uint64_t index) { seen.push_back(index); };
  uint16_t frame[4] = {};
  PresentSurface(frame);
  PresentSurface(frame);
  EXPECT_EQ(Display.FramesPresented, 2u);
  EXPECT_EQ(seen, (std::vector<uint64_t>{0, 1}));
  EXPECT_EQ(Platform->PresentedFrames(), 2u);
}

TEST_F(DisplayTest, DelayOfZeroReturnsAtOnce) {
  Delay(0);
  EXPECT_EQ(Platform->SleptMs, 0u);
}

TEST_F(DisplayTest, DelayAcrossTheCounterWrapWaitsTheFullTime) {
  TPlatformConfig config;
  config.VirtualStartTicks = 0xFFFFFFF0u;  // wraps 16 ms into the wait
  UsePlatform(std::move(config));
  const uint32_t start = Platform->TickCount();
  Delay(50);
  EXPECT_EQ(static_cast<uint32_t>(Platform->TickCount() - start), 50u);
}

TEST_F(DisplayTest, AllocCheckedAllocatesThenResizesKeepingContents) {
  uint8_t* block = nullptr;
  AllocChecked(block, 4);
  ASSERT_NE(block, nullptr);
  for (uint8_t i = 0; i < 4; ++i)
    block[i] = i + 1;
  AllocChecked(block, 1 << 20);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[3], 4);
  FreeChecked(block);
  EXPECT_EQ(block, nullptr);
  FreeChecked(block);  // freeing null is harmless
}

TEST_F(DisplayTest, SurfaceTooLargeToDescribeEndsWithTheMemoryBox) {
  TSurface s;
  EXPECT_THROW(CreateSurface(s, 100000, 100000, false), TProgramExit);
  ASSERT_EQ(Platform->Boxes.size(), 1u);
  EXPECT_EQ(Platform->Boxes[0].Caption, "MEMORY ERROR !");
  EXPECT_EQ(Platform->Boxes[0].Text, "Not enough memory to run this application !");
  EXPECT_FALSE(s.Allocated);
}
