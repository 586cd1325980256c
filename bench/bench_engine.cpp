#include "bench_engine.h"

#include "app/scene.h"
#include "gfx/display.h"
#include "gfx/window.h"
#include "platform/headless/headless_platform.h"
#include "res/data_dir.h"
#include "res/image_cache.h"
#include "res/packfile.h"

std::unique_ptr<TQueuedPlatform> BenchPlatform(bool turbo) {
  TPlatformConfig config;
  config.Turbo = turbo;
  return CreateHeadlessPlatform(std::move(config));
}

TBenchEngine::TBenchEngine(bool turbo, bool window) : TBenchEngine(BenchPlatform(turbo), window) {}

TBenchEngine::TBenchEngine(std::unique_ptr<TQueuedPlatform> platform, bool window)
    : Platform(std::move(platform)) {
  SetPlatform(Platform.get());
  ResetInputState();
  ResetDisplayState();
  SetDataDirectory(QUIBBET_DATA_DIR);
  CacheInit();
  if (!window) return;
  RegisterWindowClass(1);
  CreateMainWindow("bench", 1);
  OpenDisplay(800, 600);
}

TBenchEngine::~TBenchEngine() {
  CloseDisplay();
  Display.OnPresent = nullptr;
  FrameWatcher = nullptr;
  CacheDone();
  ResetPackfiles();
  SetPlatform(nullptr);
  ResetInputState();
  ResetDisplayState();
}
