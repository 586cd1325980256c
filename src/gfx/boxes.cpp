// The two boxes, around the display: the window is minimized while a box is up so the
// box is not hidden behind a full-screen frame, and the cursor is shown for it.
#include "gfx/boxes.h"

#include "gfx/display.h"
#include "gfx/window.h"
#include "platform/platform.h"

namespace {

void ShowBox(std::string_view caption, std::string_view text, TBoxKind kind) {
  if (Display.DisplayOpen) {
    PlaceWindow(false);
    PumpMessages();
  }
  if (HasPlatform()) {
    CurrentPlatform().MessageBox(ShortString(caption), ShortString(text), kind);
  } else {
    PrintBox(ShortString(caption), ShortString(text));
  }
  if (Display.DisplayOpen) {
    PlaceWindow(true);
    PumpMessages();
  }
}

}  // namespace

std::string ShortString(std::string_view text) {
  return std::string(text.substr(0, 255));
}

void FatalBox(std::string_view caption, std::string_view text) {
  SetCursorVisible(true);
  ShowBox(caption, text, TBoxKind::Error);
  CloseDisplay();
  throw TProgramExit{1};
}

void NoticeBox(std::string_view caption, std::string_view text) {
  const bool wasShown = Input.CursorShown;
  SetCursorVisible(true);
  ShowBox(caption, text, TBoxKind::Information);
  SetCursorVisible(wasShown);
}
