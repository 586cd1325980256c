// The engine set up for a benchmark: a headless platform (turbo: a virtual clock), the
// program-wide state reset, the game's own archives found, and everything torn down again.
#pragma once

#include <memory>

#include "platform/queued_platform.h"

// The headless platform on the real clock or a virtual one.
std::unique_ptr<TQueuedPlatform> BenchPlatform(bool turbo);

class TBenchEngine {
 public:
  // With `window`, the main window is created and the display opened, as the program entry
  // does before the first scene.
  explicit TBenchEngine(bool turbo = true, bool window = true);
  // On a platform of the caller's.
  TBenchEngine(std::unique_ptr<TQueuedPlatform> platform, bool window);
  ~TBenchEngine();
  TBenchEngine(const TBenchEngine&) = delete;
  TBenchEngine& operator=(const TBenchEngine&) = delete;

 private:
  std::unique_ptr<TQueuedPlatform> Platform;
};
