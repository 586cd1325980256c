// The web back end: the frame on the page's canvas, the page's mouse, touch and keys as window
// messages, boxes as overlays, the clock and waits of the browser (the engine's blocking waits
// hand control back to the page through Asyncify), and the sound through Web Audio. The page
// side lives in site/ and is reached through page_bridge.h; this header stays free of
// Emscripten.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/queued_platform.h"

// The frames whose global indices are in `recordFrames` always reach the canvas, even on a
// virtual clock, and are announced as recorded (Page::FrameRecorded), for tests to compare
// with the desktop's recorded frames.
std::unique_ptr<TQueuedPlatform> CreateWebPlatform(TPlatformConfig config,
                                                   const std::vector<uint64_t>& recordFrames);
