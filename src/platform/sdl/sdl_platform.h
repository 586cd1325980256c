// The SDL2 back end: a window (full screen on the desktop's mode, or windowed), the frame
// scaled with its aspect kept through a streaming RGB565 texture, SDL's message boxes.
// This header stays free of SDL so that the program entry can choose a back end.
#pragma once

#include <memory>

#include "platform/queued_platform.h"

struct TSdlConfig {
  bool Windowed = false;
  int Scale = 1;  // window size as a multiple of the frame, with Windowed
};

std::unique_ptr<TQueuedPlatform> CreateSdlPlatform(TPlatformConfig config, TSdlConfig sdl);
