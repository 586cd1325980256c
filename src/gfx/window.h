// The main window and the input state that its window procedure keeps. Input is polled:
// messages are handled between frames and entities read the state in their Update.
#pragma once

#include <cstdint>
#include <string>

#include "platform/keys.h"
#include "platform/platform.h"

struct TInputState {
  uint8_t Keys[256] = {};  // 1 while the key with that virtual-key code (Vk::) is down
  uint16_t MouseX = 0;     // frame coordinates of the last mouse move
  uint16_t MouseY = 0;
  bool MouseLeft = false;
  bool MouseRight = false;
  bool WindowAlive = false;  // set on Wm::Create, cleared on Wm::Destroy
  bool WindowActive = true;  // false while the window is minimized
  bool CursorShown = true;   // whether SetCursorVisible last showed the cursor
  bool HasWindow = false;    // the main window exists (boxes are owned by it)
};

extern TInputState Input;

// Back to the state at program start; tests call it between cases.
void ResetInputState();

void RegisterWindowClass(uint8_t kind);
void CreateMainWindow(const std::string& title, uint8_t kind);
void WaitForWindowCreated();
uint32_t WindowProc(const TMessage& msg);
void PumpMessages();
void WaitWhileInactive();
void ClearKeys();
void ClearMouseButtons();
void SetCursorVisible(bool visible);
void PlaceWindow(bool restore);
