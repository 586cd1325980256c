// The Win32 back end's sound device: winmm's waveOut, fed from an audio stream by a thread of
// its own that refills each buffer as the device finishes playing it. When no device opens
// the game says so in one line and plays on silently.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>
#include <vector>

#include "platform/audio_stream.h"
#include "platform/win32/win32_api.h"

#include <mmsystem.h>

class TWin32Audio {
 public:
  // `exact`: a virtual clock's run, whose samples reach the device unstretched.
  explicit TWin32Audio(bool exact);
  ~TWin32Audio();
  TWin32Audio(const TWin32Audio&) = delete;
  TWin32Audio& operator=(const TWin32Audio&) = delete;

  // Opens the device on the first call.
  void Queue(const int16_t* samples, size_t frames);

 private:
  static constexpr size_t BufferFrames = 512;

  bool Open();
  void Refill(WAVEHDR& header);
  void Feed();

  TAudioStream Stream;
  HWAVEOUT Device = nullptr;
  HANDLE Played = nullptr;  // signalled by the device each time a buffer is done
  std::array<WAVEHDR, 4> Headers{};
  std::vector<int16_t> Samples;
  std::thread Feeder;
  std::atomic<bool> Stopping{false};
  bool Tried = false;
};
