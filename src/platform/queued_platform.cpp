// Shared back-end behaviour: queue, script delivery, close and quit, cursor, clock, the
// player's controls and pause, and the recording of what the game was handed.
#include "platform/queued_platform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

TQueuedPlatform::TQueuedPlatform(TPlatformConfig config)
    : Config(std::move(config)), Controls(Config.Player), VirtualTicks(Config.VirtualStartTicks) {}

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

void TQueuedPlatform::PostAll(const std::vector<TMessage>& messages) {
  for (const TMessage& msg : messages)
    Post(msg);
}

void TQueuedPlatform::ReleaseDueScriptEvents() {
  if (!Config.Script) return;
  const auto& events = Config.Script->Events;
  // An event of frame F waits for the presentation of global frame F.
  while (NextScriptEvent < events.size() && events[NextScriptEvent].Frame < Presented)
    ReleaseNextScriptEvent();
}

void TQueuedPlatform::ReleaseNextScriptEvent() {
  Queue.push_back(Config.Script->Events[NextScriptEvent++].Msg);
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
  if (Paused) WaitWhilePaused();
  ReleaseDueScriptEvents();
  if (Queue.empty()) return false;
  msg = Queue.front();
  Queue.pop_front();
  // Pointer moves carry the buttons the game was handed as held, whatever the device says: a
  // press it never got (one made in a pause) must not reach it through a move, and a replayed
  // move, which knows nothing of the device, carries the same.
  if (msg.Message == Wm::MouseMove && msg.WParam == 0) msg.WParam = ButtonFlags();
  TrackButtons(msg);
  if (Config.Recording != nullptr) Config.Recording->Add(Presented == 0 ? 0 : Presented - 1, msg);
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
  FrameWidth = width;
  FrameHeight = height;
  OpenNativePresentation(width, height);
}

void TQueuedPlatform::Present(const uint16_t* pixels) {
  PresentNative(pixels);
  Pacer.Shown(SteadyClockUs());
  if (KeepsFrames) LastFrame.assign(pixels, pixels + static_cast<size_t>(FrameWidth) * FrameHeight);
  ++Presented;
  // Steering moves the pointer once a frame; the moves reach the game with this frame's pump.
  std::vector<TMessage> moves;
  Controls.Frame(moves);
  PostAll(moves);
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

void TQueuedPlatform::WaitForNextFrame() {
  if (Config.Turbo) return Sleep(TFramePacer::PeriodMs);
  // Whole milliseconds are slept; the deadlines stay exact, so the rounding never adds up.
  Sleep(static_cast<uint32_t>((Pacer.WaitUs(SteadyClockUs()) + 500) / 1000));
}

void TQueuedPlatform::QueueAudio(const int16_t* samples, size_t frames) {
  QueueNativeAudio(ScaleToHeard(Config.Player, samples, frames, Heard), frames);
}

// ---- The player's controls -------------------------------------------------------------

void TQueuedPlatform::KeyEvent(uint32_t code, bool down) {
  std::vector<TMessage> out;
  TControlAction action = TControlAction::None;
  if (!Controls.Key(code, down, out, action)) {
    Post({down ? Wm::KeyDown : Wm::KeyUp, code, 0});
    return;
  }
  PostAll(out);
  Act(action);
}

void TQueuedPlatform::PointerEvent(uint16_t x, uint16_t y) {
  Controls.Pointer(x, y);
  Post({Wm::MouseMove, 0, MouseParam(x, y)});
}

void TQueuedPlatform::ButtonEvent(bool left, bool down) {
  if (!left) return Post({down ? Wm::RButtonDown : Wm::RButtonUp, 0, 0});
  std::vector<TMessage> out;
  Controls.MouseButton(down, out);
  PostAll(out);
}

void TQueuedPlatform::PadStickEvent(int32_t value) {
  Controls.PadStick(value);
}

void TQueuedPlatform::PadTriggerEvent(int32_t value) {
  std::vector<TMessage> out;
  Controls.PadTrigger(value, out);
  PostAll(out);
}

void TQueuedPlatform::PadButtonEvent(TPadButton button, bool down) {
  std::vector<TMessage> out;
  TControlAction action = TControlAction::None;
  Controls.PadButton(button, down, out, action);
  PostAll(out);
  Act(action);
}

void TQueuedPlatform::ReleaseControls() {
  std::vector<TMessage> out;
  Controls.Release(out);
  PostAll(out);
}

void TQueuedPlatform::ChangeSettings(const TPlayerSettings& player) {
  Config.Player = player;
  Controls.Use(player);
  if (Config.SettingsChanged) Config.SettingsChanged(player);
}

void TQueuedPlatform::Act(TControlAction action) {
  if (action == TControlAction::None) return;  // most control keys: steering and firing
  TPlayerSettings player = Config.Player;
  if (ApplyToSettings(action, player)) return ChangeSettings(player);
  switch (action) {
    case TControlAction::Pause:
      Paused = !Paused;
      return;
    case TControlAction::FullScreen:
      if (!ToggleNativeFullScreen()) return;
      player.FullScreen = !player.FullScreen;
      break;
    case TControlAction::Screenshot:
      if (Config.Screenshot && !LastFrame.empty())
        Config.Screenshot(LastFrame.data(), FrameWidth, FrameHeight);
      return;
    default:
      return;
  }
  ChangeSettings(player);
}

// ---- Pause -----------------------------------------------------------------------------

void TQueuedPlatform::Pause() {
  Paused = true;
}

void PausePictureOf(const TPlatformConfig& config, const std::vector<uint16_t>& frame,
                    int32_t width, int32_t height, std::vector<uint16_t>& picture) {
  if (config.PausePicture) return config.PausePicture(frame.data(), width, height, picture);
  picture.resize(frame.size());
  for (size_t i = 0; i < frame.size(); ++i)
    picture[i] = static_cast<uint16_t>((frame[i] >> 1) & 0x7BEF);  // half bright
}

void TQueuedPlatform::ShowPausePicture() {
  if (LastFrame.empty()) return;
  PausePictureOf(Config, LastFrame, FrameWidth, FrameHeight, PausePixels);
  PresentNative(PausePixels.data());
}

void TQueuedPlatform::WaitWhilePaused() {
  // Besides what goes through the pause, the game learns where the pointer went.
  ShowPausePicture();
  const size_t before = Queue.size();
  while (Paused && WindowOpen && WaitNativeEvent()) {
    PollNativeEvents();
    for (size_t i = before; i < Queue.size(); ++i)
      if (Queue[i].Message == Wm::Close ||
          (Queue[i].Message == Wm::KeyDown && Queue[i].WParam == 27))
        Paused = false;
  }
  Paused = false;
  std::deque<TMessage> kept(Queue.begin(), Queue.begin() + static_cast<ptrdiff_t>(before));
  bool moved = false;
  for (size_t i = before; i < Queue.size(); ++i) {
    const TMessage& msg = Queue[i];
    if (msg.Message == Wm::MouseMove) moved = true;
    if (GoesThroughPause(msg)) kept.push_back(msg);
  }
  Queue = std::move(kept);
  bool left = LeftDown;  // as the game will have it once the queue is delivered
  for (const TMessage& msg : Queue)
    if (msg.Message == Wm::LButtonDown || msg.Message == Wm::LButtonUp)
      left = msg.Message == Wm::LButtonDown;
  if (moved) Post({Wm::MouseMove, 0, MouseParam(Controls.PointerX(), Controls.PointerY())});
  // Fire held through the end of the pause fires from the first frame after it, however it
  // was pressed; a press dropped above would otherwise leave it held and silent.
  if (Controls.FireHeld() && !left) Post({Wm::LButtonDown, 0, 0});
  if (!LastFrame.empty()) PresentNative(LastFrame.data());
}
