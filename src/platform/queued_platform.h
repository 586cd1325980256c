// What every back end shares: the message queue with scripted input, closing and quit
// handling, the cursor show count, and the clock (real, or virtual for turbo runs).
// A back end adds only its native events, presentation and boxes.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>

#include "platform/input_script.h"
#include "platform/platform.h"

struct TPlatformConfig {
  // Turbo runs on a virtual clock: every wait returns at once with the clock moved on,
  // so timings stay exact while no real time passes.
  bool Turbo = false;
  uint32_t VirtualStartTicks = 0;
  std::optional<TInputScript> Script;
};

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
  void QueueAudio(const int16_t* samples, size_t frames) override {
    QueueNativeAudio(samples, frames);
  }

  // Queues a message as if the platform had sent it.
  void Post(const TMessage& msg);
  uint64_t PresentedFrames() const { return Presented; }
  int CursorCount() const { return CursorShowCount; }
  bool WindowExists() const { return WindowOpen; }
  bool Turbo() const { return Config.Turbo; }

 protected:
  // Hooks for a native back end; the defaults have no native side at all.
  virtual bool CreateNativeWindow(const std::string&, uint8_t) { return true; }
  virtual void DestroyNativeWindow() {}
  virtual void PollNativeEvents() {}                // Post() whatever the platform has pending
  virtual bool WaitNativeEvent() { return false; }  // block for one; false: nothing can come
  virtual void ShowNativeBox(const std::string&, const std::string&, TBoxKind) {}
  virtual void ApplyCursor(bool /*visible*/) {}
  virtual void PlaceNativeWindow(bool /*restore*/) {}
  virtual void OpenNativePresentation(int32_t, int32_t) {}
  virtual void PresentNative(const uint16_t*) {}
  virtual void CloseNativePresentation() {}
  virtual void QueueNativeAudio(const int16_t*, size_t) {}  // no device: the samples go nowhere

  // Hands a message straight to the window procedure, as a platform does for messages it
  // sends rather than posts (creation, destruction).
  uint32_t SendToWindow(const TMessage& msg);
  uint32_t ButtonFlags() const;

 private:
  void ReleaseDueScriptEvents();
  void ReleaseNextScriptEvent();
  void TrackButtons(const TMessage& msg);

  TPlatformConfig Config;
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
};
