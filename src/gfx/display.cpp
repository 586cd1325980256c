// Display open and close with their settling pauses, the frame hand-over and the delay.
#include "gfx/display.h"

#include "gfx/boxes.h"
#include "gfx/ddlink.h"
#include "gfx/window.h"
#include "platform/platform.h"

TDisplayState Display;

void ResetDisplayState() {
  Display = TDisplayState{};
}

namespace {

void SwitchDisplayMode(int32_t width, int32_t height) {
  if (CurrentPlatform().SwitchDisplayMode(width, height, 16)) Display.ModeSwitched = true;
}

void RestoreDisplayMode() {
  if (!Display.ModeSwitched) return;
  CurrentPlatform().RestoreDisplayMode();
  Display.ModeSwitched = false;
}

}  // namespace

void OpenDisplay(int32_t width, int32_t height) {
  if (Display.DisplayOpen) return;
  SetCursorVisible(false);
  Delay(100);
  SwitchDisplayMode(width, height);
  Delay(200);
  Display.Width = width;
  Display.Height = height;
  GetDefaultDirectDraw(width, height);
  Delay(200);
  SetCursorVisible(false);
  Display.DisplayOpen = true;
}

void CloseDisplay() {
  if (!Display.DisplayOpen) return;
  Delay(100);
  CloseDirectDraw();
  Delay(200);
  RestoreDisplayMode();
  Delay(200);
  Display.DisplayOpen = false;
  SetCursorVisible(true);
}

void PresentSurface(const uint16_t* pixels) {
  DirectDrawBlit(pixels);
  const uint64_t index = Display.FramesPresented++;
  if (Display.OnPresent) Display.OnPresent(pixels, index);
}

void Delay(uint32_t ms) {
  TPlatform& platform = CurrentPlatform();
  const uint32_t start = platform.TickCount();
  for (;;) {
    // Unsigned subtraction keeps the elapsed time right across a wrap of the counter.
    const uint32_t elapsed = platform.TickCount() - start;
    if (elapsed >= ms) return;
    platform.Sleep(ms - elapsed);
  }
}

void StartupCheck() {
#if defined(__i386__) || defined(__x86_64__)
  if (!__builtin_cpu_supports("mmx"))
    FatalBox("HARDWARE ERROR !", "Your CPU does not support the MMX technology !");
#endif
}
