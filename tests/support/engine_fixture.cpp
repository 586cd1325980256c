#include "support/engine_fixture.h"

#include "audio/audio.h"
#include "gfx/display.h"
#include "gfx/window.h"
#include "level/level_in_force.h"
#include "res/data_dir.h"
#include "res/image_cache.h"
#include "res/mods.h"
#include "res/packfile.h"

void TEngineFixture::SetUp() {
  TPlatformConfig config;
  config.Turbo = true;
  UsePlatform(std::move(config));
}

void TEngineFixture::TearDown() {
  // Whatever a test left loaded or open goes before the next test starts.
  ResetAudioState();
  CacheDone();
  ResetPackfiles();
  SetDataDirectory("");
  SetModFolders({});
  ResetLevelInForce();
  SetPlatform(nullptr);
  Platform.reset();
  ResetInputState();
  ResetDisplayState();
}

void TEngineFixture::UsePlatform(TPlatformConfig config) {
  config.Turbo = true;
  SetPlatform(nullptr);
  ResetInputState();
  ResetDisplayState();
  Platform = std::make_unique<TTestPlatform>(std::move(config));
  SetPlatform(Platform.get());
}

void TEngineFixture::OpenWindow() {
  RegisterWindowClass(1);
  CreateMainWindow("Save Quibbet!", 1);
  WaitForWindowCreated();
}
