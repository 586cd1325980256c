// The queue of the back ends that keep one: script delivery, close and quit, the cursor, the
// player's native input on its way to the policy, and the pause loop over native events.
#include "platform/queued_platform.h"

#include <chrono>
#include <cstdio>
#include <thread>
#include <utility>

TQueuedPlatform::TQueuedPlatform(TPlatformConfig config) : Policy(std::move(config), *this) {}

bool TQueuedPlatform::RegisterWindowClass(uint8_t) {
  return true;
}

bool TQueuedPlatform::CreateMainWindow(const std::string& title, uint8_t kind, TWindowProc proc) {
  if (!CreateNativeWindow(title, kind)) return false;
  Proc = proc;
  WindowOpen = true;
  SendToWindow({Wm::Create, 0, 0});
  return true;
}

uint32_t TQueuedPlatform::SendToWindow(const TMessage& msg) {
  return Proc != nullptr ? Proc(msg) : DefWindowProc(msg);
}

void TQueuedPlatform::PostMessage(const TMessage& msg) {
  Policy.Hand(msg);
}

void TQueuedPlatform::TrackButtons(const TMessage& msg) {
  switch (msg.Message) {
    case Wm::LButtonDown:
      LeftDown = true;
      break;
    case Wm::LButtonUp:
      LeftDown = false;
      break;
    case Wm::RButtonDown:
      RightDown = true;
      break;
    case Wm::RButtonUp:
      RightDown = false;
      break;
    default:
      break;
  }
}

uint32_t TQueuedPlatform::ButtonFlags() const {
  return (LeftDown ? MkLButton : 0) | (RightDown ? MkRButton : 0);
}

bool TQueuedPlatform::PeekMessage(TMessage& msg) {
  PollNativeEvents();
  if (Policy.Paused()) WaitWhilePaused();
  TMessage scripted;
  while (Policy.NextDueScriptEvent(scripted))
    Queue.push_back(scripted);
  if (Queue.empty()) return false;
  msg = Queue.front();
  Queue.pop_front();
  // Pointer moves carry the buttons the game was handed as held, whatever the device says: a
  // press it never got (one made in a pause) must not reach it through a move, and a replayed
  // move, which knows nothing of the device, carries the same.
  if (msg.Message == Wm::MouseMove && msg.WParam == 0) msg.WParam = ButtonFlags();
  TrackButtons(msg);
  Policy.Handed(msg);
  return true;
}

void TQueuedPlatform::WaitMessage() {
  PollNativeEvents();
  if (!Queue.empty()) return;
  TMessage scripted;
  if (Policy.NextScriptEvent(scripted)) {
    Queue.push_back(scripted);
    return;
  }
  if (WaitNativeEvent()) return;
  // Nothing can ever wake this window again; closing it ends the run instead of hanging.
  std::fprintf(stderr, "input ended while the window was minimized: closing the window\n");
  PostMessage({Wm::Close, 0, 0});
}

uint32_t TQueuedPlatform::DefWindowProc(const TMessage& msg) {
  if (msg.Message == Wm::Close && WindowOpen) {
    DestroyNativeWindow();
    WindowOpen = false;
    SendToWindow({Wm::Destroy, 0, 0});
  }
  return 0;
}

void TQueuedPlatform::PostQuitMessage() {
  if (QuitPosted) return;
  QuitPosted = true;
  PostMessage({Wm::Quit, 0, 0});
}

void TQueuedPlatform::PlaceWindow(bool restore) {
  if (WindowOpen) PlaceNativeWindow(restore);
}

void TQueuedPlatform::MessageBox(const std::string& caption, const std::string& text,
                                 TBoxKind kind) {
  PrintBox(caption, text);
  ShowNativeBox(caption, text, kind);
}

int TQueuedPlatform::ShowCursor(bool show) {
  const bool wasVisible = CursorShowCount >= 0;
  CursorShowCount += show ? 1 : -1;
  const bool visible = CursorShowCount >= 0;
  if (visible != wasVisible) ApplyCursor(visible);
  return CursorShowCount;
}

void TQueuedPlatform::OpenPresentation(int32_t width, int32_t height) {
  Policy.OpenFrames(width, height);
  OpenNativePresentation(width, height);
}

void TQueuedPlatform::Present(const uint16_t* pixels) {
  PresentNative(pixels);
  // Steering moves the pointer once a frame; the moves reach the game with this frame's pump.
  Policy.FramePresented(KeepsFrames ? pixels : nullptr);
}

void TQueuedPlatform::ClosePresentation() {
  CloseNativePresentation();
}

uint32_t TQueuedPlatform::NativeTicks() {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<uint32_t>(ms);
}

void TQueuedPlatform::NativeSleep(uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void TQueuedPlatform::WaitForNextFrame() {
  Sleep(Policy.FrameWaitMs());
}

void TQueuedPlatform::QueueAudio(const int16_t* samples, size_t frames) {
  QueueNativeAudio(Policy.AsHeard(samples, frames), frames);
}

// ---- The player's native input ---------------------------------------------------------

void TQueuedPlatform::KeyEvent(uint32_t code, bool down) {
  if (!Policy.Key(code, down)) PostMessage({down ? Wm::KeyDown : Wm::KeyUp, code, 0});
}

void TQueuedPlatform::PointerEvent(uint16_t x, uint16_t y) {
  Policy.Pointer(x, y);
  PostMessage({Wm::MouseMove, 0, MouseParam(x, y)});
}

void TQueuedPlatform::ButtonEvent(bool left, bool down) {
  if (!left) return PostMessage({down ? Wm::RButtonDown : Wm::RButtonUp, 0, 0});
  if (const auto fire = Policy.MouseButton(down)) PostMessage(*fire);
}

// ---- Pause -----------------------------------------------------------------------------

void TQueuedPlatform::WaitWhilePaused() {
  // What the native events make while the pause holds goes through the policy, which keeps
  // from the queue what the pause does not let through, as it comes.
  Policy.BeginPause();
  while (Policy.Paused() && WindowOpen && WaitNativeEvent())
    PollNativeEvents();
  Policy.EndPause(LeftOnceDelivered());
}

bool TQueuedPlatform::LeftOnceDelivered() const {
  bool left = LeftDown;
  for (const TMessage& msg : Queue)
    if (msg.Message == Wm::LButtonDown || msg.Message == Wm::LButtonUp)
      left = msg.Message == Wm::LButtonDown;
  return left;
}
