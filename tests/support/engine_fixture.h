// A test fixture with the engine's program-wide state reset and a headless platform on a
// virtual clock installed, so nothing waits and no display is needed.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/queued_platform.h"

// The headless platform, counting the calls that tests look at.
class TTestPlatform : public TQueuedPlatform {
 public:
  explicit TTestPlatform(TPlatformConfig config) : TQueuedPlatform(std::move(config)) {}

  bool SwitchDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel) override {
    ++ModeSwitches;
    return HasMode && width == 800 && height == 600 && bitsPerPixel == 16;
  }
  void RestoreDisplayMode() override { ++ModeRestores; }
  bool DataArrived() override { return std::exchange(DataHasArrived, false); }
  void MessageBox(const std::string& caption, const std::string& text, TBoxKind kind) override {
    Boxes.push_back({caption, text, kind, CursorCount(), WindowMinimized});
  }
  void Sleep(uint32_t ms) override {
    SleptMs += ms;
    TQueuedPlatform::Sleep(ms);
  }

  struct TBox {
    std::string Caption, Text;
    TBoxKind Kind;
    int CursorCountDuring;
    bool MinimizedDuring;
  };
  bool HasMode = false;
  int ModeSwitches = 0;
  int ModeRestores = 0;
  uint64_t SleptMs = 0;
  bool WindowMinimized = false;
  bool DataHasArrived = false;  // said once by DataArrived
  std::vector<TBox> Boxes;

 protected:
  void OpenNativePresentation(int32_t, int32_t) override { ++PresentationsOpened; }
  void CloseNativePresentation() override { ++PresentationsClosed; }
  void PlaceNativeWindow(bool restore) override { WindowMinimized = !restore; }
  void QueueNativeAudio(const int16_t* samples, size_t frames) override {
    Audio.insert(Audio.end(), samples, samples + 2 * frames);
  }

 public:
  int PresentationsOpened = 0;
  int PresentationsClosed = 0;
  std::vector<int16_t> Audio;  // every sample handed over, stereo
};

class TEngineFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Replaces the platform, for tests that need a script or a clock start of their own.
  void UsePlatform(TPlatformConfig config);
  // Creates the main window, as the program entry does before the display opens.
  void OpenWindow();

  std::unique_ptr<TTestPlatform> Platform;
};
