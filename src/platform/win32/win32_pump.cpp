// The Win32 back end's message pump. Keys from the keyboard and the mouse's buttons are taken
// from it before they are dispatched and handed to the player policy; what the policy makes of
// them reaches the window procedure as the game's own messages. Messages a script or the pilot
// posted carry no repeat count and reach the game as they are.
#include "platform/win32/win32_backend.h"

#include <algorithm>

namespace {

bool IsPlayerInput(UINT message) {
  return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

TMessage AsMessage(const MSG& native) {
  return {native.message, static_cast<uint32_t>(native.wParam),
          static_cast<uint32_t>(native.lParam)};
}

}  // namespace

bool TWin32Platform::PeekMessage(TMessage& msg) {
  TMessage scripted;
  while (Policy.NextDueScriptEvent(scripted))
    PostToWindow(scripted);
  MSG native;
  for (;;) {
    if (Policy.Paused()) WaitWhilePaused();
    HandControlMessages();
    if (!PeekMessageA(&native, nullptr, 0, 0, PM_REMOVE)) break;
    if (native.message == WM_QUIT) {
      msg = {WM_QUIT, static_cast<uint32_t>(native.wParam), 0};
      return true;
    }
    if (TakeInput(native)) continue;
    TranslateMessage(&native);
    DispatchMessageA(&native);
    RethrowPending();
  }
  return false;
}

void TWin32Platform::WaitMessage() {
  TMessage scripted;
  if (Policy.NextScriptEvent(scripted)) return PostToWindow(scripted);
  ::WaitMessage();
}

void TWin32Platform::PostMessage(const TMessage& msg) {
  PostToWindow(msg);
}

void TWin32Platform::PostToWindow(TMessage msg) {
  msg = WithDeviceFields(msg);
  // Without a window (it was closed) the message is the thread's, and nobody handles it.
  PostMessageA(Handle, msg.Message, msg.WParam, msg.LParam);
}

TMessage TWin32Platform::WithDeviceFields(TMessage msg) {
  // The flags and position real mouse messages carry, for the moves and buttons a script, the
  // pilot or the controls send; a move sent with flags of its own keeps them.
  switch (msg.Message) {
    case WM_MOUSEMOVE:
      MousePosition = msg.LParam;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      LeftDown = msg.Message == WM_LBUTTONDOWN;
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      RightDown = msg.Message == WM_RBUTTONDOWN;
      break;
    default:
      break;
  }
  const uint32_t flags = (LeftDown ? MK_LBUTTON : 0u) | (RightDown ? MK_RBUTTON : 0u);
  if (msg.Message == WM_MOUSEMOVE && msg.WParam == 0) msg.WParam = flags;
  if (msg.Message >= WM_LBUTTONDOWN && msg.Message <= WM_RBUTTONUP) {
    msg.WParam = flags;
    msg.LParam = MousePosition;
  }
  return msg;
}

// ---- The player's input ----------------------------------------------------------------

bool TWin32Platform::TakeInput(const MSG& native) {
  if (Handle == nullptr || native.hwnd != Handle) return false;
  switch (native.message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
      // The keyboard counts every key message's repeats from one; a posted one counts none.
      if ((native.lParam & 0xFFFF) == 0 || native.wParam > 255) return false;
      return TakeKey(static_cast<uint32_t>(native.wParam), native.message == WM_KEYDOWN);
    case WM_MOUSEMOVE:
      Policy.Pointer(LOWORD(native.lParam), HIWORD(native.lParam), OnFrame(native.lParam));
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      // The button's own message goes on when it changes what the game holds; while another
      // source fires, the button changes nothing.
      return !Policy.MouseButton(native.message == WM_LBUTTONDOWN) && Policy.FireHeld();
    default:
      return false;
  }
}

bool TWin32Platform::TakeKey(uint32_t code, bool down) {
  if (down && ControlKeysHeld[code]) return true;  // a held control's repeat
  // A press the controls or the menu took has its repeats taken too, until a release, which
  // may be the game's (the menu takes none).
  const bool taken = Policy.Key(code, down);
  ControlKeysHeld[code] = taken && down;
  return taken;
}

TFramePoint TWin32Platform::OnFrame(LPARAM position) const {
  // The game gets the client area's pixels; the frame is stretched over that area with its
  // aspect kept (ddlink), and the menu is drawn on the frame.
  RECT client{};
  if (Handle == nullptr || !GetClientRect(Handle, &client)) return {};
  const int x = static_cast<int16_t>(LOWORD(position)), y = static_cast<int16_t>(HIWORD(position));
  const int frameW = Policy.FrameWidth(), frameH = Policy.FrameHeight();
  const TFrameFit fit = FitFrame(client.right, client.bottom, frameW, frameH, TFitMode::Sharp);
  return PointerToFrame(std::max(x, 0), std::max(y, 0), client.right, client.bottom, client.right,
                        client.bottom, fit.Target, frameW, frameH);
}

void TWin32Platform::HandControlMessages() {
  while (!ControlMessages.empty()) {
    const TMessage msg = WithDeviceFields(ControlMessages.front());
    ControlMessages.pop_front();
    if (Handle == nullptr) continue;
    SendMessageA(Handle, msg.Message, msg.WParam, msg.LParam);
    RethrowPending();
  }
}

void TWin32Platform::FocusLost() {
  // The keys went to another window, and their releases with them.
  ControlKeysHeld.reset();
  Policy.FocusLost();
}

void TWin32Platform::WaitWhilePaused() {
  Policy.BeginPause();
  // The window still answers (paint, activation, Alt+F4) while the player's input waits.
  MSG native;
  while (Policy.Paused() && Handle != nullptr) {
    HandControlMessages();
    if (!Policy.Paused()) break;
    const BOOL got = GetMessageA(&native, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) ::PostQuitMessage(static_cast<int>(native.wParam));  // for the pump
      break;
    }
    if (TakeInput(native)) continue;
    const bool input = native.hwnd == Handle && IsPlayerInput(native.message);
    if (input && !Policy.LetsThrough(AsMessage(native))) continue;
    TranslateMessage(&native);
    DispatchMessageA(&native);
    RethrowPending();
  }
  Policy.EndPause(HandedLeft);
}
