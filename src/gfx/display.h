// The display: opening and closing presentation around the game, handing each finished
// frame to the presentation library, the frame delay, and the start-up hardware check.
#pragma once

#include <cstdint>
#include <functional>

struct TDisplayState {
  bool DisplayOpen = false;
  bool ModeSwitched = false;  // the display mode was changed and must be restored
  int32_t Width = 0;
  int32_t Height = 0;
  uint64_t FramesPresented = 0;  // every frame since start, across scenes
  // Called with each frame right after it was presented, and its 0-based global index.
  std::function<void(const uint16_t* pixels, uint64_t frameIndex)> OnPresent;
};

extern TDisplayState Display;

// Back to the state at program start; tests call it between cases.
void ResetDisplayState();

void OpenDisplay(int32_t width, int32_t height);
void CloseDisplay();
void PresentSurface(const uint16_t* pixels);

// Waits until `ms` milliseconds of the platform clock have passed since the call, across
// a wrap of the counter; it sleeps for the wait instead of spinning and handles no messages.
void Delay(uint32_t ms);

// The processor check that runs before the program entry.
void StartupCheck();
