// The Win32 back end's share of the player's controls and the pause. Keys from the keyboard
// and the mouse's buttons are taken from the pump before they are dispatched; what the
// controls make of them reaches the window procedure as the game's own messages. Messages a
// script or the pilot posted carry no repeat count and reach the game as they are.
#include "platform/win32/win32_backend.h"

#include <vector>

#include "ddlink/ddlink.h"

namespace {

bool IsPlayerInput(UINT message) {
  return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

}  // namespace

bool TWin32Platform::TakeInput(const MSG& native) {
  if (Handle == nullptr || native.hwnd != Handle) return false;
  switch (native.message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
      // The keyboard counts every key message's repeats from one; a posted one counts none.
      if ((native.lParam & 0xFFFF) == 0 || native.wParam > 255) return false;
      return TakeKey(static_cast<uint32_t>(native.wParam), native.message == WM_KEYDOWN);
    case WM_MOUSEMOVE:
      Controls.Pointer(LOWORD(native.lParam), HIWORD(native.lParam));
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: {
      // The button fires like the fire keys; while one of them fires, the button changes nothing.
      std::vector<TMessage> out;
      Controls.MouseButton(native.message == WM_LBUTTONDOWN, out);
      return out.empty() && Controls.FireHeld();
    }
    default:
      return false;
  }
}

bool TWin32Platform::TakeKey(uint32_t code, bool down) {
  if (down && ControlKeysHeld[code]) return true;  // a held control's repeat
  std::vector<TMessage> out;
  TControlAction action = TControlAction::None;
  if (!Controls.Key(code, down, out, action)) return false;
  ControlKeysHeld[code] = down;
  ControlMessages.insert(ControlMessages.end(), out.begin(), out.end());
  Act(action);
  return true;
}

void TWin32Platform::HandControlMessages() {
  while (!ControlMessages.empty()) {
    const TMessage msg = WithDeviceFields(ControlMessages.front());
    ControlMessages.pop_front();
    if (Handle == nullptr) continue;
    if (Paused && !GoesThroughPause(msg)) continue;
    if (Paused && msg.Message == WM_KEYDOWN) Paused = false;  // Escape
    SendMessageA(Handle, msg.Message, msg.WParam, msg.LParam);
    RethrowPending();
  }
}

void TWin32Platform::Act(TControlAction action) {
  if (action == TControlAction::None) return;  // most control keys: steering and firing
  TPlayerSettings player = Config.Player;
  if (ApplyToSettings(action, player)) {
    Config.Player = player;
    Controls.Use(player);
    if (Config.SettingsChanged) Config.SettingsChanged(player);
  } else if (action == TControlAction::Pause) {
    Paused = !Paused;
  } else if (action == TControlAction::Screenshot && Config.Screenshot && !LastFrame.empty()) {
    Config.Screenshot(LastFrame.data(), FrameWidth, FrameHeight);
  }
  // Full screen stays as the run began: this window is made once, with its display mode.
}

void TWin32Platform::FocusLost() {
  // The keys went to another window, and their releases with them.
  ControlKeysHeld.reset();
  std::vector<TMessage> out;
  Controls.Release(out);
  ControlMessages.insert(ControlMessages.end(), out.begin(), out.end());
  if (Config.Player.PauseOnFocusLoss) Paused = true;
}

void TWin32Platform::WaitWhilePaused() {
  if (!LastFrame.empty()) {
    PausePictureOf(Config, LastFrame, FrameWidth, FrameHeight, PausePixels);
    DirectDrawBlit(PausePixels.data());
  }
  // The window still answers (paint, activation, Alt+F4) while the player's input waits.
  bool moved = false;
  MSG native;
  while (Paused && Handle != nullptr) {
    HandControlMessages();
    if (!Paused) break;
    const BOOL got = GetMessageA(&native, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) ::PostQuitMessage(static_cast<int>(native.wParam));  // for the pump
      break;
    }
    if (TakeInput(native)) continue;
    if (native.hwnd == Handle && IsPlayerInput(native.message)) {
      const TMessage msg{native.message, static_cast<uint32_t>(native.wParam),
                         static_cast<uint32_t>(native.lParam)};
      moved = moved || msg.Message == WM_MOUSEMOVE;
      if (!GoesThroughPause(msg)) continue;
      if (msg.Message == WM_KEYDOWN) Paused = false;  // Escape
    }
    TranslateMessage(&native);
    DispatchMessageA(&native);
    RethrowPending();
  }
  Paused = false;
  if (moved)
    ControlMessages.push_back(
        {WM_MOUSEMOVE, 0, MouseParam(Controls.PointerX(), Controls.PointerY())});
  // Fire held through the end of the pause fires from the first frame after it.
  if (Controls.FireHeld() && !HandedLeft) ControlMessages.push_back({WM_LBUTTONDOWN, 0, 0});
  if (!LastFrame.empty() && Handle != nullptr) DirectDrawBlit(LastFrame.data());
}
