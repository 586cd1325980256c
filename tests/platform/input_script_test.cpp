// Input scripts: the parser's strictness and when the platform delivers each event.
#include "platform/input_script.h"

#include <gtest/gtest.h>

#include "gfx/display.h"
#include "gfx/window.h"
#include "support/engine_fixture.h"

namespace {

TScriptError ParseError(const char* text) {
  TScriptError error;
  EXPECT_FALSE(ParseInputScript(text, error)) << text;
  return error;
}

}  // namespace

TEST(InputScriptParse, ReadsEveryEventKindAndSkipsBlanksAndComments) {
  TScriptError error;
  auto script = ParseInputScript(
      "# a comment\n"
      "\n"
      "0 key down 27\r\n"
      "  1   key up 27\n"
      "2 mouse move 799 599\n"
      "2 mouse left down\n"
      "3 mouse right up\n"
      "4 window minimize\n"
      "4 window restore\n"
      "5 window close",
      error);
  ASSERT_TRUE(script) << error.Line << ": " << error.Reason;
  ASSERT_EQ(script->Events.size(), 8u);
  EXPECT_EQ(script->Events[0].Msg.Message, Wm::KeyDown);
  EXPECT_EQ(script->Events[0].Msg.WParam, 27u);
  EXPECT_EQ(script->Events[1].Frame, 1u);
  EXPECT_EQ(script->Events[2].Msg.LParam, MouseParam(799, 599));
  EXPECT_EQ(script->Events[3].Msg.Message, Wm::LButtonDown);
  EXPECT_EQ(script->Events[4].Msg.Message, Wm::RButtonUp);
  EXPECT_EQ(script->Events[5].Msg.WParam, ActivateParam(false, true));
  EXPECT_EQ(script->Events[6].Msg.WParam, ActivateParam(true, false));
  EXPECT_EQ(script->Events[7].Msg.Message, Wm::Close);
}

TEST(InputScriptParse, MalformedLinesAreReportedWithTheirNumber) {
  EXPECT_EQ(ParseError("0 key down 27\n\nx key down 27\n").Line, 3);
  EXPECT_EQ(ParseError("# c\n1 key sideways 4\n").Line, 2);
  EXPECT_EQ(ParseError("1 key down 256\n").Line, 1);
  EXPECT_EQ(ParseError("1 key down -1\n").Line, 1);
  EXPECT_EQ(ParseError("1 key down 27 extra\n").Line, 1);
  EXPECT_EQ(ParseError("1 mouse move 800 0\n").Line, 1);
  EXPECT_EQ(ParseError("1 mouse middle down\n").Line, 1);
  EXPECT_EQ(ParseError("1 window explode\n").Line, 1);
  EXPECT_EQ(ParseError("1 jump\n").Line, 1);
  EXPECT_EQ(ParseError("1\n").Line, 1);
  EXPECT_EQ(ParseError("99999999999999999999999 key down 1\n").Line, 1);
  EXPECT_EQ(ParseError("5 key down 1\n4 key up 1\n").Line, 2) << "frames must not decrease";
}

class ScriptDeliveryTest : public TEngineFixture {
 protected:
  void Use(const char* text) {
    TPlatformConfig config;
    TScriptError error;
    config.Script = ParseInputScript(text, error);
    ASSERT_TRUE(config.Script);
    UsePlatform(std::move(config));
    OpenWindow();
  }
};

TEST_F(ScriptDeliveryTest, EventOfFrameFArrivesInThePumpAfterFrameFIsPresented) {
  Use("0 key down 65\n2 key down 66\n");
  uint16_t frame[1] = {};
  PumpMessages();
  EXPECT_EQ(Input.Keys[uint8_t{'A'}], 0) << "nothing before the first frame";
  PresentSurface(frame);  // frame 0
  PumpMessages();
  EXPECT_EQ(Input.Keys[uint8_t{'A'}], 1);
  PresentSurface(frame);  // frame 1
  PumpMessages();
  EXPECT_EQ(Input.Keys[uint8_t{'B'}], 0);
  PresentSurface(frame);  // frame 2
  PumpMessages();
  EXPECT_EQ(Input.Keys[uint8_t{'B'}], 1);
}

TEST_F(ScriptDeliveryTest, MouseMovesCarryTheButtonsHeldAtDelivery) {
  Use("0 mouse left down\n0 mouse left up\n0 mouse move 5 6\n1 mouse left down\n"
      "1 mouse move 7 8\n");
  uint16_t frame[1] = {};
  PresentSurface(frame);
  PumpMessages();
  EXPECT_FALSE(Input.MouseLeft);
  PresentSurface(frame);
  PumpMessages();
  EXPECT_TRUE(Input.MouseLeft);
  EXPECT_EQ(Input.MouseX, 7);
}

TEST_F(ScriptDeliveryTest, WhileMinimizedTheWaitDeliversEventsWhateverTheirFrame) {
  Use("0 window minimize\n500 key down 65\n900 window restore\n");
  uint16_t frame[1] = {};
  PresentSurface(frame);
  PumpMessages();
  ASSERT_FALSE(Input.WindowActive);
  WaitWhileInactive();
  EXPECT_TRUE(Input.WindowActive);
  EXPECT_EQ(Input.Keys[uint8_t{'A'}], 0) << "keys read as up after the pause";
  EXPECT_EQ(Display.FramesPresented, 1u);
}
