// TWin32Platform: the window class "QVID window", a real window procedure that hands every
// message to the engine's, the PeekMessageA pump, MessageBoxA, the cursor count, the display
// mode, GetTickCount, and frames shown through ddlink.dll. The player's controls, pause, clock
// and volume are the player policy's, as on every back end. Tests drive it directly.
#pragma once

#include <bitset>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "platform/player_policy.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_audio.h"
#include "platform/win32/win32_platform.h"

// Box types: an error box and an information box, both on top and in the foreground.
constexpr UINT FatalBoxType = MB_OK | MB_ICONHAND | MB_SETFOREGROUND | MB_TOPMOST;
constexpr UINT NoticeBoxType = MB_OK | MB_ICONASTERISK | MB_SETFOREGROUND | MB_TOPMOST;
static_assert(FatalBoxType == 0x50010 && NoticeBoxType == 0x50040);

// With QUIBBET_BOXES=stderr in the environment, boxes are only printed to standard error and
// never wait for a click: for scripted runs and tests with nobody at the screen.
constexpr const char* BoxesVariable = "QUIBBET_BOXES";

class TWin32Platform final : public TPlatform, private TPolicyHost {
 public:
  static constexpr const char* ClassName = "QVID window";

  TWin32Platform(TPlatformConfig config, TWin32Config win32);
  // Takes the window down without the engine hearing of it (the engine may already be gone),
  // and puts back a display mode that was left switched.
  ~TWin32Platform() override;
  TWin32Platform(const TWin32Platform&) = delete;
  TWin32Platform& operator=(const TWin32Platform&) = delete;

  bool RegisterWindowClass(uint8_t kind) override;
  bool CreateMainWindow(const std::string& title, uint8_t kind, TWindowProc proc) override;
  // The pump is the platform's own: every message but WM_QUIT is translated and dispatched to
  // the window procedure here, so only WM_QUIT is ever handed back.
  bool PeekMessage(TMessage& msg) override;
  void WaitMessage() override;
  void PostMessage(const TMessage& msg) override;
  uint32_t DefWindowProc(const TMessage& msg) override;
  void PostQuitMessage() override;
  bool ReleaseDeviceContext() override;
  void PlaceWindow(bool restore) override;
  void MessageBox(const std::string& caption, const std::string& text, TBoxKind kind) override;
  int ShowCursor(bool show) override;
  bool SwitchDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel) override;
  void RestoreDisplayMode() override;
  void OpenPresentation(int32_t width, int32_t height) override;
  void Present(const uint16_t* pixels) override;
  void ClosePresentation() override;
  uint32_t TickCount() override { return Policy.TickCount(); }
  void Sleep(uint32_t ms) override { Policy.Sleep(ms); }
  void WaitForNextFrame() override;
  void QueueAudio(const int16_t* samples, size_t frames) override;

  HWND Window() const { return Handle; }
  HDC DeviceContext() const { return Dc; }
  uint64_t PresentedFrames() const { return Policy.PresentedFrames(); }
  const TPlayerSettings& Player() const { return Policy.Player(); }

  // Where a box goes after its stderr copy: MessageBoxA, unless boxes are print-only.
  // Arguments as MessageBoxA takes them: owner, text, caption, type.
  std::function<int(HWND, const char*, const char*, UINT)> ShowBox;

 private:
  // The message being handled by NativeWindowProc, kept whole: the engine sees 32-bit
  // parameters, while default handling needs the originals and may answer with a full LRESULT.
  struct TDispatch {
    HWND Window;
    UINT Message;
    WPARAM WParam;
    LPARAM LParam;
    bool Defaulted = false;
    LRESULT DefaultResult = 0;
  };

  static LRESULT CALLBACK NativeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // An exception (a fatal box) cannot cross the system's frames between a dispatching call
  // and the window procedure: it is kept there and thrown again once the call has returned.
  void RethrowPending();
  void PostToWindow(TMessage msg);
  TMessage WithDeviceFields(TMessage msg);
  // The player's input: keys from the keyboard and the mouse's buttons, taken before they are
  // dispatched; what the policy makes of them waits in ControlMessages.
  bool TakeInput(const MSG& native);
  bool TakeKey(uint32_t code, bool down);
  TFramePoint OnFrame(LPARAM position) const;  // a mouse message's position on the frame
  void HandControlMessages();
  void FocusLost();
  void WaitWhilePaused();

  // What the policy asks of this back end.
  void Enqueue(const TMessage& msg) override { ControlMessages.push_back(msg); }
  // Steering moves are posted, to come after what the window already has queued.
  void EnqueueSteering(const TMessage& move) override { PostToWindow(move); }
  void PresentNative(const uint16_t* pixels) override;
  // Full screen stays as the run began: this window is made once, with its display mode; the
  // menu offers nothing of the display (the default choices), and the frame always fills the
  // window with its aspect kept.
  bool ToggleNativeFullScreen() override { return false; }
  // The system's count, moved up for the menu and down after it.
  void ShowNativePointer(bool menuOpen) override { ::ShowCursor(menuOpen ? TRUE : FALSE); }
  uint32_t NativeTicks() override { return GetTickCount(); }
  void NativeSleep(uint32_t ms) override;

  TPlayerPolicy Policy;
  TWin32Config Win32;
  HINSTANCE Instance = nullptr;
  HICON Icon = nullptr;
  bool ClassRegistered = false;
  HWND Handle = nullptr;
  HDC Dc = nullptr;
  TWindowProc Proc = nullptr;
  TDispatch* Dispatching = nullptr;
  std::exception_ptr Pending;
  bool ModeSwitched = false;
  // What the posted input holds: the buttons and the pointer, for the flags and position
  // that real mouse messages carry.
  bool LeftDown = false;
  bool RightDown = false;
  uint32_t MousePosition = 0;
  std::deque<TMessage> ControlMessages;
  std::bitset<256> ControlKeysHeld;    // so that a held key's repeats count once
  bool HandedLeft = false;             // whether the game was last handed the left button down
  std::unique_ptr<TWin32Audio> Audio;  // made by the first samples
};
