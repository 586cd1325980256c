// What every back end shares: the message queue with scripted input, closing and quit
// handling, the cursor show count, the clock (real, or virtual for turbo runs), the player's
// controls (keys and pad steering, firing, pause, volume) and the recording of what the
// player did. A back end adds only its native events, presentation, sound and boxes.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/controls.h"
#include "platform/frame_pacer.h"
#include "platform/input_script.h"
#include "platform/platform.h"
#include "platform/platform_config.h"
#include "platform/player_settings.h"

class TQueuedPlatform : public TPlatform {
 public:
  explicit TQueuedPlatform(TPlatformConfig config);

  bool RegisterWindowClass(uint8_t kind) override;
  bool CreateMainWindow(const std::string& title, uint8_t kind, TWindowProc proc) override;
  bool PeekMessage(TMessage& msg) override;
  void WaitMessage() override;
  void PostMessage(const TMessage& msg) override { Post(msg); }
  uint32_t DefWindowProc(const TMessage& msg) override;
  void PostQuitMessage() override;
  bool ReleaseDeviceContext() override { return true; }
  void PlaceWindow(bool restore) override;
  void MessageBox(const std::string& caption, const std::string& text, TBoxKind kind) override;
  int ShowCursor(bool show) override;
  bool SwitchDisplayMode(int32_t, int32_t, int32_t) override { return false; }
  void RestoreDisplayMode() override {}
  void OpenPresentation(int32_t width, int32_t height) override;
  void Present(const uint16_t* pixels) override;
  void ClosePresentation() override;
  uint32_t TickCount() override;
  void Sleep(uint32_t ms) override;
  void WaitForNextFrame() override;
  // The player's volume is applied here, on the way to the device.
  void QueueAudio(const int16_t* samples, size_t frames) override;

  // Queues a message as if the platform had sent it.
  void Post(const TMessage& msg);
  uint64_t PresentedFrames() const { return Presented; }
  int CursorCount() const { return CursorShowCount; }
  bool WindowExists() const { return WindowOpen; }
  bool Turbo() const { return Config.Turbo; }
  bool IsPaused() const { return Paused; }
  const TPlayerSettings& Player() const { return Config.Player; }

 protected:
  // Hooks for a native back end; the defaults have no native side at all.
  virtual bool CreateNativeWindow(const std::string&, uint8_t) { return true; }
  virtual void DestroyNativeWindow() {}
  virtual void PollNativeEvents() {}                // post whatever the platform has pending
  virtual bool WaitNativeEvent() { return false; }  // block for one; false: nothing can come
  virtual void ShowNativeBox(const std::string&, const std::string&, TBoxKind) {}
  virtual void ApplyCursor(bool /*visible*/) {}
  virtual void PlaceNativeWindow(bool /*restore*/) {}
  virtual void OpenNativePresentation(int32_t, int32_t) {}
  // Also shows pictures that are no frame of the game (the pause), which count for nothing.
  virtual void PresentNative(const uint16_t*) {}
  virtual void CloseNativePresentation() {}
  virtual void QueueNativeAudio(const int16_t*, size_t) {}  // no device: the samples go nowhere
  // Switches between full screen and a window; false when it cannot. The default has no
  // screen to switch.
  virtual bool ToggleNativeFullScreen() { return false; }

  // Native input as the back ends hand it over: keys by virtual-key code, the pointer in frame
  // pixels (its moves carry the buttons the game was handed, not the device's), the mouse
  // buttons, the pad. The controls take what is theirs; the rest is posted as it is.
  void KeyEvent(uint32_t code, bool down);
  void PointerEvent(uint16_t x, uint16_t y);
  void ButtonEvent(bool left, bool down);
  void PadStickEvent(int32_t value);
  void PadTriggerEvent(int32_t value);
  void PadButtonEvent(TPadButton button, bool down);
  // The pad went away, or the keys went to another window: nothing stays held.
  void ReleaseControls();
  // Pauses the game as the pause key does (the focus went, and the settings say so).
  void Pause();
  // Switches full screen as the full-screen key does (Alt+Enter), keeping the setting.
  void RequestFullScreen() { Act(TControlAction::FullScreen); }
  // Keeps a setting the player changed in the game.
  void ChangeSettings(const TPlayerSettings& player);

  // Back ends with native input keep a copy of each frame, for the pause and screenshots.
  bool KeepsFrames = false;

  // Hands a message straight to the window procedure, as a platform does for messages it
  // sends rather than posts (creation, destruction).
  uint32_t SendToWindow(const TMessage& msg);
  uint32_t ButtonFlags() const;

 private:
  void ReleaseDueScriptEvents();
  void ReleaseNextScriptEvent();
  void TrackButtons(const TMessage& msg);
  void PostAll(const std::vector<TMessage>& messages);
  void Act(TControlAction action);
  void WaitWhilePaused();
  void ShowPausePicture();

  TPlatformConfig Config;
  TControls Controls;
  size_t NextScriptEvent = 0;
  std::deque<TMessage> Queue;
  TWindowProc Proc = nullptr;
  bool WindowOpen = false;
  bool QuitPosted = false;
  bool LeftDown = false;
  bool RightDown = false;
  int CursorShowCount = 0;
  uint64_t Presented = 0;
  uint32_t VirtualTicks = 0;
  TFramePacer Pacer;
  bool Paused = false;
  std::vector<uint16_t> LastFrame;  // the frame on screen, when KeepsFrames
  int32_t FrameWidth = 0;
  int32_t FrameHeight = 0;
  std::vector<uint16_t> PausePixels;
  std::vector<int16_t> Heard;
};
