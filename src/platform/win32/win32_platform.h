// The Win32 back end, as the program entry sees it: free of <windows.h>, so that main() can
// choose it. The back end itself is TWin32Platform (win32_backend.h).
#pragma once

#include <memory>

#include "platform/platform.h"
#include "platform/platform_config.h"

struct TWin32Config {
  // --window: an ordinary framed window of the frame's size (times Scale) on the desktop as it
  // is, instead of the borderless window over a display switched to 800 x 600 x 16.
  bool Windowed = false;
  int Scale = 1;
};

std::unique_ptr<TPlatform> CreateWin32Platform(TPlatformConfig config, TWin32Config win32 = {});
