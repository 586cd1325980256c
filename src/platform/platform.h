// The narrow interface between the engine and a platform back end (SDL2, Win32, the browser,
// headless). The engine talks to the platform only through TPlatform; back ends deliver their
// events as window messages that the engine's window procedure turns into input state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Window messages, numbered as on the platform the engine was first written for, so the
// window procedure reads the same on every back end.
namespace Wm {
constexpr uint32_t Create = 0x0001;
constexpr uint32_t Destroy = 0x0002;
constexpr uint32_t Activate = 0x0006;  // wParam high word: minimized; low word: active
constexpr uint32_t Close = 0x0010;
constexpr uint32_t Quit = 0x0012;
constexpr uint32_t KeyDown = 0x0100;  // wParam: virtual-key code
constexpr uint32_t KeyUp = 0x0101;
constexpr uint32_t SysKeyDown = 0x0104;  // keys pressed with Alt
constexpr uint32_t SysKeyUp = 0x0105;
constexpr uint32_t MouseMove = 0x0200;  // lParam: x | y << 16; wParam: button flags
constexpr uint32_t LButtonDown = 0x0201;
constexpr uint32_t LButtonUp = 0x0202;
constexpr uint32_t RButtonDown = 0x0204;
constexpr uint32_t RButtonUp = 0x0205;
}  // namespace Wm

// Button and modifier flags carried in wParam of mouse messages.
constexpr uint32_t MkLButton = 0x0001;
constexpr uint32_t MkRButton = 0x0002;
constexpr uint32_t MkShift = 0x0004;
constexpr uint32_t MkControl = 0x0008;

// WM_ACTIVATE's wParam: low word active state, high word minimized state.
constexpr uint32_t ActivateParam(bool active, bool minimized) {
  return (active ? 1u : 0u) | (minimized ? 0x10000u : 0u);
}
constexpr uint32_t MouseParam(uint16_t x, uint16_t y) {
  return static_cast<uint32_t>(x) | static_cast<uint32_t>(y) << 16;
}

struct TMessage {
  uint32_t Message = 0;
  uint32_t WParam = 0;
  uint32_t LParam = 0;
};

using TWindowProc = uint32_t (*)(const TMessage& msg);

enum class TBoxKind { Error, Information };

// Sound goes to the platform as 16-bit stereo frames (left, right) at this rate; the engine
// hands over AudioFrameLength frames, the sound of one game frame, each time it presents one.
constexpr int32_t AudioRate = 44100;
constexpr size_t AudioFrameLength = AudioRate / 20;

class TPlatform {
 public:
  virtual ~TPlatform() = default;

  // --- Window -------------------------------------------------------------
  virtual bool RegisterWindowClass(uint8_t kind) = 0;
  // Creates and shows the main window; `proc` receives Wm::Create before this returns.
  virtual bool CreateMainWindow(const std::string& title, uint8_t kind, TWindowProc proc) = 0;
  // Takes the next pending message off the queue; false when there is none.
  virtual bool PeekMessage(TMessage& msg) = 0;
  // Blocks until PeekMessage has something to give.
  virtual void WaitMessage() = 0;
  // Queues a message for the window, as the platform's own events are queued.
  virtual void PostMessage(const TMessage& msg) = 0;
  // Default handling of the messages the window procedure does not take.
  virtual uint32_t DefWindowProc(const TMessage& msg) = 0;
  virtual void PostQuitMessage() = 0;
  // Releases what the window drew with; false on failure.
  virtual bool ReleaseDeviceContext() = 0;
  virtual void PlaceWindow(bool restore) = 0;
  // Shows a box and waits for the user; back ends also print it to stderr.
  virtual void MessageBox(const std::string& caption, const std::string& text, TBoxKind kind) = 0;
  // Moves the cursor show count by one and returns it; the cursor shows while it is >= 0.
  virtual int ShowCursor(bool show) = 0;

  // --- Display --------------------------------------------------------------
  // Switches to a display mode of this size and depth if the platform has one.
  virtual bool SwitchDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel) = 0;
  virtual void RestoreDisplayMode() = 0;
  virtual void OpenPresentation(int32_t width, int32_t height) = 0;
  // Shows width x height RGB565 words, top row first; the buffer is free on return.
  virtual void Present(const uint16_t* pixels) = 0;
  virtual void ClosePresentation() = 0;

  // --- Time -----------------------------------------------------------------
  virtual uint32_t TickCount() = 0;  // milliseconds, wrapping at 2^32
  virtual void Sleep(uint32_t ms) = 0;
  // The frame loop's wait: it ends one frame period (50 ms) after the previous frame's wait
  // ended, so frames keep a steady pace whatever their work, as a sound device's steady clock
  // needs; a virtual clock moves on by the period.
  virtual void WaitForNextFrame() = 0;

  // --- Sound ----------------------------------------------------------------------------
  // Plays `frames` stereo frames after those handed over before. The first call opens the
  // device; a back end without one (or whose device did not open) drops the samples.
  virtual void QueueAudio(const int16_t* samples, size_t frames) = 0;

  // --- Data -----------------------------------------------------------------------------
  // True once after an archive the data folder lacked at the start has reached it: the
  // browser's page lets the game start before the sound's archive is there. Back ends whose
  // files are all there from the start never say so.
  virtual bool DataArrived() { return false; }
};

// The back end the program runs on. main() installs one before anything else runs;
// tests install their own.
void SetPlatform(TPlatform* platform);
bool HasPlatform();
TPlatform& CurrentPlatform();

// A box printed to stderr, carriage returns as line breaks: every back end does this,
// and it is all there is before a platform exists.
void PrintBox(const std::string& caption, const std::string& text);
