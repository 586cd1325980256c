// The SDL2 back end: a window (full screen on the desktop's own mode, or windowed), the frame
// fitted with its aspect kept and black borders, SDL's message boxes, Alt+Enter for full
// screen. This header stays free of SDL so that the program entry can choose a back end.
#pragma once

#include <memory>

#include "platform/display_fit.h"
#include "platform/queued_platform.h"

struct TSdlConfig {
  bool Windowed = false;
  int Scale = 1;  // window size as a multiple of the frame, with Windowed
  TFitMode Fit = TFitMode::Sharp;
};

std::unique_ptr<TQueuedPlatform> CreateSdlPlatform(TPlatformConfig config, TSdlConfig sdl);
