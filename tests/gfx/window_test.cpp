// The window procedure, the message pump, the minimized wait, the cursor count and the
// boxes: the input state every entity reads between frames.
#include "gfx/window.h"

#include <gtest/gtest.h>

#include "gfx/boxes.h"
#include "gfx/display.h"
#include "support/engine_fixture.h"

class WindowTest : public TEngineFixture {
 protected:
  void SetUp() override {
    TEngineFixture::SetUp();
    OpenWindow();
  }
};

TEST_F(WindowTest, CreatingTheWindowSetsItAlive) {
  EXPECT_TRUE(Input.WindowAlive);
  EXPECT_TRUE(Input.WindowActive);
  // Creation waits half a second on the platform clock after the window answered.
  EXPECT_EQ(Platform->SleptMs, 500u);
}

TEST_F(WindowTest, KeyPressedAndReleasedBetweenPumpsReadsUp) {
  Platform->PostMessage({Wm::KeyDown, Vk::Letter('A'), 0});
  Platform->PostMessage({Wm::KeyUp, Vk::Letter('A'), 0});
  PumpMessages();
  EXPECT_EQ(Input.Keys[Vk::Letter('A')], 0);
}

TEST_F(WindowTest, RepeatedKeyDownKeepsTheKeyDown) {
  Platform->PostMessage({Wm::KeyDown, Vk::Space, 0});
  Platform->PostMessage({Wm::KeyDown, Vk::Space, 0});
  PumpMessages();
  EXPECT_EQ(Input.Keys[Vk::Space], 1);
}

TEST_F(WindowTest, KeyCodesBeyondTheTableAreIgnored) {
  Platform->PostMessage({Wm::KeyDown, 256, 0});
  Platform->PostMessage({Wm::KeyDown, 0xFFFFFFFF, 0});
  PumpMessages();
  for (uint8_t k : Input.Keys)
    EXPECT_EQ(k, 0);
}

TEST_F(WindowTest, AltCombinationsNeverReachTheKeyTable) {
  Platform->PostMessage({Wm::SysKeyDown, Vk::Letter('X'), 0});
  PumpMessages();
  EXPECT_EQ(Input.Keys[Vk::Letter('X')], 0);
}

TEST_F(WindowTest, MouseMoveSetsAButtonOnlyWhenItIsTheOnlyFlag) {
  Platform->PostMessage({Wm::MouseMove, MkLButton | MkShift, MouseParam(10, 20)});
  PumpMessages();
  EXPECT_EQ(Input.MouseX, 10);
  EXPECT_EQ(Input.MouseY, 20);
  EXPECT_FALSE(Input.MouseLeft);

  Platform->PostMessage({Wm::MouseMove, MkLButton, MouseParam(799, 599)});
  PumpMessages();
  EXPECT_EQ(Input.MouseX, 799);
  EXPECT_EQ(Input.MouseY, 599);
  EXPECT_TRUE(Input.MouseLeft);

  Platform->PostMessage({Wm::MouseMove, MkRButton, MouseParam(0, 0)});
  Platform->PostMessage({Wm::MouseMove, 0, MouseParam(1, 1)});
  PumpMessages();
  EXPECT_TRUE(Input.MouseRight);
  EXPECT_TRUE(Input.MouseLeft) << "a move never clears a button";
}

TEST_F(WindowTest, ButtonMessagesSetAndClearButtons) {
  Platform->PostMessage({Wm::LButtonDown, 0, 0});
  Platform->PostMessage({Wm::RButtonDown, 0, 0});
  PumpMessages();
  EXPECT_TRUE(Input.MouseLeft);
  EXPECT_TRUE(Input.MouseRight);
  Platform->PostMessage({Wm::LButtonUp, 0, 0});
  Platform->PostMessage({Wm::RButtonUp, 0, 0});
  PumpMessages();
  EXPECT_FALSE(Input.MouseLeft);
  EXPECT_FALSE(Input.MouseRight);
}

TEST_F(WindowTest, LosingFocusWithoutMinimizingKeepsTheWindowActive) {
  Platform->PostMessage({Wm::Activate, ActivateParam(false, false), 0});
  PumpMessages();
  EXPECT_TRUE(Input.WindowActive);
  Platform->PostMessage({Wm::Activate, ActivateParam(false, true), 0});
  PumpMessages();
  EXPECT_FALSE(Input.WindowActive);
}

TEST_F(WindowTest, ClosingEndsTheWindowAndThePump) {
  Platform->PostMessage({Wm::Close, 0, 0});
  PumpMessages();
  EXPECT_FALSE(Input.WindowAlive);
  EXPECT_FALSE(Platform->WindowExists());
}

TEST_F(WindowTest, PumpStopsAtTheQuitMessageWithoutDispatchingIt) {
  Platform->PostQuitMessage();
  Platform->PostMessage({Wm::KeyDown, Vk::Letter('B'), 0});  // queued behind the quit message
  PumpMessages();
  EXPECT_EQ(Input.Keys[Vk::Letter('B')], 0) << "the pump must stop at the quit message";
  PumpMessages();
  EXPECT_EQ(Input.Keys[Vk::Letter('B')], 1) << "what follows the quit message stays queued";
}

TEST_F(WindowTest, WaitWhileInactiveHoldsUntilRestoredThenReadsEverythingUp) {
  Platform->PostMessage({Wm::KeyDown, Vk::Letter('A'), 0});
  Platform->PostMessage({Wm::LButtonDown, 0, 0});
  Platform->PostMessage({Wm::Activate, ActivateParam(false, true), 0});
  PumpMessages();
  ASSERT_FALSE(Input.WindowActive);
  Platform->PostMessage({Wm::KeyDown, Vk::Letter('C'), 0});
  Platform->PostMessage({Wm::Activate, ActivateParam(true, false), 0});
  WaitWhileInactive();
  EXPECT_TRUE(Input.WindowActive);
  EXPECT_EQ(Input.Keys[Vk::Letter('A')], 0);
  EXPECT_EQ(Input.Keys[Vk::Letter('C')], 0);
  EXPECT_FALSE(Input.MouseLeft);
}

TEST_F(WindowTest, WaitWhileInactiveReturnsWhenTheWindowIsClosed) {
  Platform->PostMessage({Wm::Activate, ActivateParam(false, true), 0});
  PumpMessages();
  Platform->PostMessage({Wm::Close, 0, 0});
  WaitWhileInactive();
  EXPECT_FALSE(Input.WindowAlive);
}

TEST_F(WindowTest, WaitWhileInactiveWithNothingLeftToComeClosesTheWindow) {
  Platform->PostMessage({Wm::Activate, ActivateParam(false, true), 0});
  PumpMessages();
  WaitWhileInactive();  // a headless run with no further input must not hang
  EXPECT_FALSE(Input.WindowAlive);
}

TEST_F(WindowTest, CursorShowCountMovesOnlyOnChanges) {
  EXPECT_EQ(Platform->CursorCount(), 0);
  SetCursorVisible(true);  // already shown: the count stays
  EXPECT_EQ(Platform->CursorCount(), 0);
  SetCursorVisible(false);
  EXPECT_EQ(Platform->CursorCount(), -1);
  SetCursorVisible(false);
  EXPECT_EQ(Platform->CursorCount(), -1);
  SetCursorVisible(true);
  EXPECT_EQ(Platform->CursorCount(), 0);
}

TEST_F(WindowTest, NoticeBoxShowsAHiddenCursorAndHidesItAgain) {
  OpenDisplay(800, 600);
  ASSERT_FALSE(Input.CursorShown);
  NoticeBox("INTERNAL ERROR", "note");
  ASSERT_EQ(Platform->Boxes.size(), 1u);
  EXPECT_EQ(Platform->Boxes[0].CursorCountDuring, 0);
  EXPECT_TRUE(Platform->Boxes[0].MinimizedDuring);
  EXPECT_EQ(Platform->Boxes[0].Kind, TBoxKind::Information);
  EXPECT_FALSE(Input.CursorShown);
  EXPECT_EQ(Platform->CursorCount(), -1);
  EXPECT_TRUE(Input.WindowActive) << "the window is restored after the box";
}

TEST_F(WindowTest, FatalBoxClosesTheDisplayAndExitsWithFailure) {
  OpenDisplay(800, 600);
  try {
    FatalBox("FILE ERROR", "gone");
    FAIL() << "FatalBox returned";
  } catch (const TProgramExit& exit) {
    EXPECT_EQ(exit.Code, 1);
  }
  ASSERT_EQ(Platform->Boxes.size(), 1u);
  EXPECT_EQ(Platform->Boxes[0].Caption, "FILE ERROR");
  EXPECT_TRUE(Platform->Boxes[0].MinimizedDuring);
  EXPECT_EQ(Platform->Boxes[0].CursorCountDuring, 0) << "the cursor shows for the box";
  EXPECT_FALSE(Display.DisplayOpen);
  EXPECT_EQ(Platform->PresentationsClosed, 1);
}

TEST_F(WindowTest, BoxTextsAreCutAt255Characters) {
  EXPECT_THROW(FatalBox(std::string(300, 'c'), std::string(400, 't')), TProgramExit);
  ASSERT_EQ(Platform->Boxes.size(), 1u);
  EXPECT_EQ(Platform->Boxes[0].Caption.size(), 255u);
  EXPECT_EQ(Platform->Boxes[0].Text.size(), 255u);
}

class WindowlessTest : public TEngineFixture {};

TEST_F(WindowlessTest, FatalBoxBeforeTheWindowTouchesNoWindow) {
  EXPECT_THROW(FatalBox("HARDWARE ERROR !", "Your CPU does not support the MMX technology !"),
               TProgramExit);
  ASSERT_EQ(Platform->Boxes.size(), 1u);
  EXPECT_FALSE(Platform->Boxes[0].MinimizedDuring);
  EXPECT_EQ(Platform->PresentationsClosed, 0);
}

TEST_F(WindowlessTest, WindowThatNeverAnswersEndsWithTheCreationBox) {
  // No window was created, so no creation message can arrive.
  EXPECT_THROW(WaitForWindowCreated(), TProgramExit);
  ASSERT_EQ(Platform->Boxes.size(), 1u);
  EXPECT_EQ(Platform->Boxes[0].Caption, "WINDOWS ERROR");
  EXPECT_EQ(Platform->Boxes[0].Text,
            "Creating new window failed !\rThe \"WM_Create\" message was not received after "
            "creating a new window !");
}
