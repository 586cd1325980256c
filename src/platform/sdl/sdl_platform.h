// The SDL2 back end: a window (full screen on the desktop's own mode, or windowed), the frame
// fitted with its aspect kept and black borders, SDL's message boxes, Alt+Enter for full
// screen, the keyboard, mouse and gamepads (hot-plugged), and the sound device. This header
// stays free of SDL so that the program entry can choose a back end.
#pragma once

#include <memory>

#include "platform/display_fit.h"
#include "platform/queued_platform.h"

// Full screen or a window, its size and the fit come from the player's settings in `config`.
std::unique_ptr<TQueuedPlatform> CreateSdlPlatform(TPlatformConfig config);
