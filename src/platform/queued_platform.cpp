// Shared back-end behaviour: queue, script delivery, close and quit, cursor, clock.
#include "platform/queued_platform.h"

#include <chrono>
#include <cstdio>
#include <thread>

TQueuedPlatform::TQueuedPlatform(TPlatformConfig config)
    : Config(std::move(config)), VirtualTicks(Config.VirtualStartTicks) {}

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

void TQueuedPlatform::Post(const TMessage& msg) {
  Queue.push_back(msg);
}

void TQueuedPlatform::ReleaseDueScriptEvents() {
  if (!Config.Script) return;
  const auto& events = Config.Script->Events;
  // An event of frame F waits for the presentation of global frame F.
  while (NextScriptEvent < events.size() && events[NextScriptEvent].Frame < Presented)
    ReleaseNextScriptEvent();
}

void TQueuedPlatform::ReleaseNextScriptEvent() {
  TMessage msg = Config.Script->Events[NextScriptEvent++].Msg;
  Post(msg);
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
  ReleaseDueScriptEvents();
  if (Queue.empty()) return false;
  msg = Queue.front();
  Queue.pop_front();
  // Scripted moves carry the buttons held at the time they are delivered, as native ones do.
  if (msg.Message == Wm::MouseMove && msg.WParam == 0) msg.WParam = ButtonFlags();
  TrackButtons(msg);
  return true;
}

void TQueuedPlatform::WaitMessage() {
  PollNativeEvents();
  if (!Queue.empty()) return;
  // While waiting, the script's events come in order whatever their frame numbers, since
  // no frame is presented to make them due.
  if (Config.Script && NextScriptEvent < Config.Script->Events.size()) {
    ReleaseNextScriptEvent();
    return;
  }
  if (WaitNativeEvent()) return;
  // Nothing can ever wake this window again; closing it ends the run instead of hanging.
  std::fprintf(stderr, "input ended while the window was minimized: closing the window\n");
  Post({Wm::Close, 0, 0});
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
  Post({Wm::Quit, 0, 0});
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
  OpenNativePresentation(width, height);
}

void TQueuedPlatform::Present(const uint16_t* pixels) {
  PresentNative(pixels);
  ++Presented;
}

void TQueuedPlatform::ClosePresentation() {
  CloseNativePresentation();
}

uint32_t TQueuedPlatform::TickCount() {
  if (Config.Turbo) return VirtualTicks;
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<uint32_t>(ms);
}

void TQueuedPlatform::Sleep(uint32_t ms) {
  if (Config.Turbo) {
    VirtualTicks += ms;
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
