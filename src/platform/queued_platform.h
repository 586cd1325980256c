// The back ends whose events wait in a queue of our own (SDL, the browser, headless): the
// message queue with scripted input, closing and quit handling, the cursor show count, and the
// pause loop of that queue. The player's controls, the pause's rules, the clock and the volume
// are the player policy's (player_policy.h). A back end adds only its native events,
// presentation, sound and boxes.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "platform/controls.h"
#include "platform/platform.h"
#include "platform/platform_config.h"
#include "platform/player_policy.h"

class TQueuedPlatform : public TPlatform, private TPolicyHost {
 public:
  explicit TQueuedPlatform(TPlatformConfig config);

  bool RegisterWindowClass(uint8_t kind) override;
  bool CreateMainWindow(const std::string& title, uint8_t kind, TWindowProc proc) override;
  bool PeekMessage(TMessage& msg) override;
  void WaitMessage() override;
  void PostMessage(const TMessage& msg) override;
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
  uint32_t TickCount() override { return Policy.TickCount(); }
  void Sleep(uint32_t ms) override { Policy.Sleep(ms); }
  void WaitForNextFrame() override;
  // The player's volume is applied here, on the way to the device.
  void QueueAudio(const int16_t* samples, size_t frames) override;

  uint64_t PresentedFrames() const { return Policy.PresentedFrames(); }
  int CursorCount() const { return CursorShowCount; }
  bool WindowExists() const { return WindowOpen; }
  bool Turbo() const { return Policy.Turbo(); }
  bool IsPaused() const { return Policy.Paused(); }
  const TPlayerSettings& Player() const { return Policy.Player(); }

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
  void PresentNative(const uint16_t*) override {}
  virtual void CloseNativePresentation() {}
  virtual void QueueNativeAudio(const int16_t*, size_t) {}  // no device: the samples go nowhere
  // Switches between full screen and a window; false when it cannot. The default has no
  // screen to switch, and nothing of its display for the player to change.
  bool ToggleNativeFullScreen() override { return false; }
  TDisplayChoices NativeDisplayChoices() override { return {}; }
  void ApplyNativeDisplay() override {}
  void ShowNativePointer(bool menuOpen) override { ApplyCursor(menuOpen || CursorShowCount >= 0); }
  // The real clock and wait; turbo runs never ask them.
  uint32_t NativeTicks() override;
  void NativeSleep(uint32_t ms) override;

  // Native input as the back ends hand it over: keys by virtual-key code, the pointer in frame
  // pixels (its moves carry the buttons the game was handed, not the device's), the mouse
  // buttons, the pad. The controls take what is theirs; the rest is posted as it is.
  void KeyEvent(uint32_t code, bool down);
  void PointerEvent(uint16_t x, uint16_t y);
  void ButtonEvent(bool left, bool down);
  void PadStickEvent(int32_t value) { Policy.PadStick(value); }
  void PadTriggerEvent(int32_t value) { Policy.PadTrigger(value); }
  void PadButtonEvent(TPadButton button, bool down) { Policy.PadButton(button, down); }
  // The pad went away, or a hidden page hears no key go up: nothing stays held.
  void ReleaseControls() { Policy.ReleaseControls(); }
  // The keys went to another window: nothing stays held, and the game pauses if the player
  // said so.
  void FocusLost() { Policy.FocusLost(); }
  // Switches full screen as the full-screen key does (Alt+Enter), keeping the setting.
  void RequestFullScreen() { Policy.RequestFullScreen(); }
  // Pauses or resumes as the pause key does; the device's own full screen came or went.
  void RequestPause() { Policy.RequestPause(); }
  void RequestMute() { Policy.RequestMute(); }
  void FullScreenIs(bool full) { Policy.FullScreenIs(full); }

  // The size of the frames the presentation shows (800 x 600 until it opens).
  int32_t FrameWidth() const { return Policy.FrameWidth(); }
  int32_t FrameHeight() const { return Policy.FrameHeight(); }

  // Back ends with native input keep a copy of each frame, for the pause and screenshots.
  bool KeepsFrames = false;

  // Hands a message straight to the window procedure, as a platform does for messages it
  // sends rather than posts (creation, destruction).
  uint32_t SendToWindow(const TMessage& msg);

 private:
  void Enqueue(const TMessage& msg) override { Queue.push_back(msg); }
  void TrackButtons(const TMessage& msg);
  uint32_t ButtonFlags() const;
  void WaitWhilePaused();
  bool LeftOnceDelivered() const;

  TPlayerPolicy Policy;
  std::deque<TMessage> Queue;
  TWindowProc Proc = nullptr;
  bool WindowOpen = false;
  bool QuitPosted = false;
  bool LeftDown = false;
  bool RightDown = false;
  int CursorShowCount = 0;
};
