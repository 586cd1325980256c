// The SDL2 back end's sound device: opened when the first samples come, fed from an audio
// stream by SDL's own audio thread. When no device opens (no sound card, no sound server)
// the game says so in one line and plays on silently.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/audio_stream.h"

class TSdlAudio {
 public:
  // `exact`: a virtual clock's run, whose samples reach the device unstretched.
  explicit TSdlAudio(bool exact);
  ~TSdlAudio();
  TSdlAudio(const TSdlAudio&) = delete;
  TSdlAudio& operator=(const TSdlAudio&) = delete;

  void Queue(const int16_t* samples, size_t frames);
  bool HasDevice() const { return Device != 0; }
  TAudioStreamStats Stats() const { return Stream.Stats(); }

 private:
  bool Open();

  TAudioStream Stream;
  uint32_t Device = 0;  // SDL_AudioDeviceID; 0 until one is open
  bool Tried = false;
};
