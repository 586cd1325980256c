// Window creation, the window procedure and the message pump, on top of the platform
// back end. Every failing window call ends the program with a "WINDOWS ERROR" box.
#include "gfx/window.h"

#include <algorithm>

#include "gfx/boxes.h"
#include "gfx/display.h"

TInputState Input;

void ResetInputState() {
  Input = TInputState{};
}

void RegisterWindowClass(uint8_t kind) {
  if (!CurrentPlatform().RegisterWindowClass(kind))
    FatalBox("WINDOWS ERROR",
             "Register window class failed !\rAn unknown error occured when calling API-Function "
             "\"RegisterClass\" !");
}

void CreateMainWindow(const std::string& title, uint8_t kind) {
  if (!CurrentPlatform().CreateMainWindow(title, kind, WindowProc))
    FatalBox("WINDOWS ERROR",
             "Creating new window failed !\rAn unknown error occured when calling API-Function "
             "\"CreateWindowEx\" !");
  Input.HasWindow = true;
}

void WaitForWindowCreated() {
  for (int calls = 0; calls < 255 && !Input.WindowAlive; ++calls)
    PumpMessages();
  if (!Input.WindowAlive)
    FatalBox("WINDOWS ERROR",
             "Creating new window failed !\rThe \"WM_Create\" message was not received after "
             "creating a new window !");
  Delay(500);
}

uint32_t WindowProc(const TMessage& msg) {
  switch (msg.Message) {
    case Wm::Create:
      Input.WindowAlive = true;
      return 0;
    case Wm::Destroy:
      Input.WindowAlive = false;
      if (!CurrentPlatform().ReleaseDeviceContext())
        FatalBox("WINDOWS ERROR",
                 "Releasing device context failed !\rAn unknown error occured when calling "
                 "API-Function \"ReleaseDC\" !");
      CurrentPlatform().PostQuitMessage();
      return 0;
    case Wm::Activate:
      // Only the minimized state counts: a window that merely lost the focus keeps running.
      Input.WindowActive = (msg.WParam >> 16) == 0;
      return 0;
    case Wm::KeyDown:
    case Wm::KeyUp:
      // Codes beyond the table come from nowhere we know of; they must not index it.
      if (msg.WParam < 256) Input.Keys[msg.WParam] = msg.Message == Wm::KeyDown ? 1 : 0;
      return 0;
    case Wm::MouseMove:
      Input.MouseX = static_cast<uint16_t>(msg.LParam & 0xFFFF);
      Input.MouseY = static_cast<uint16_t>(msg.LParam >> 16);
      // Only a move with exactly one button and no modifier sets a button; nothing here
      // clears one.
      if (msg.WParam == MkLButton) Input.MouseLeft = true;
      if (msg.WParam == MkRButton) Input.MouseRight = true;
      return 0;
    case Wm::LButtonDown:
      Input.MouseLeft = true;
      return 0;
    case Wm::LButtonUp:
      Input.MouseLeft = false;
      return 0;
    case Wm::RButtonDown:
      Input.MouseRight = true;
      return 0;
    case Wm::RButtonUp:
      Input.MouseRight = false;
      return 0;
    default:
      return CurrentPlatform().DefWindowProc(msg);
  }
}

void PumpMessages() {
  TMessage msg;
  // The quit message that follows the window's destruction ends the pump undispatched.
  while (CurrentPlatform().PeekMessage(msg)) {
    if (msg.Message == Wm::Quit) return;
    WindowProc(msg);
  }
}

void WaitWhileInactive() {
  if (Input.WindowActive) return;
  // Block on the platform's event wait rather than spin: a minimized game costs nothing.
  for (;;) {
    PumpMessages();
    if (Input.WindowActive || !Input.WindowAlive) break;
    CurrentPlatform().WaitMessage();
  }
  ClearKeys();
  ClearMouseButtons();
}

void ClearKeys() {
  std::fill(std::begin(Input.Keys), std::end(Input.Keys), uint8_t{0});
}

void ClearMouseButtons() {
  Input.MouseLeft = false;
  Input.MouseRight = false;
}

void SetCursorVisible(bool visible) {
  // The platform counts shows and hides; move the count only when the state changes, so
  // showing a shown cursor or hiding a hidden one leaves it where it was.
  if (!HasPlatform()) {
    Input.CursorShown = visible;
    return;
  }
  TPlatform& platform = CurrentPlatform();
  if (visible) {
    if (Input.CursorShown) platform.ShowCursor(false);
    platform.ShowCursor(true);
  } else {
    if (!Input.CursorShown) platform.ShowCursor(true);
    platform.ShowCursor(false);
  }
  Input.CursorShown = visible;
}

void PlaceWindow(bool restore) {
  CurrentPlatform().PlaceWindow(restore);
  Input.WindowActive = restore;
}
