// What a player chooses and the game keeps between runs (settings.ini, read and written by
// src/app/settings_file): the display, the sound, the keys and the pad. Plain data with the
// defaults a first run plays with; the back ends act on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/display_fit.h"

// Keys by virtual-key code, as the window messages carry them (src/platform/key_names.h).
struct TKeyBindings {
  std::vector<uint8_t> Up = {38, 'W'};         // Up arrow, W
  std::vector<uint8_t> Down = {40, 'S'};       // Down arrow, S
  std::vector<uint8_t> Fire = {17, 'Z', 'J'};  // Ctrl, Z, J
  std::vector<uint8_t> Pause = {'P', 19};      // P, Pause
  std::vector<uint8_t> VolumeDown = {189};     // -
  std::vector<uint8_t> VolumeUp = {187};       // = and +
  std::vector<uint8_t> Mute = {'M'};
  std::vector<uint8_t> FullScreen = {122};  // F11
  std::vector<uint8_t> Screenshot = {123};  // F12

  bool operator==(const TKeyBindings&) const = default;
};

struct TPlayerSettings {
  // Display.
  bool FullScreen = true;
  int Scale = 1;  // the window's size as a multiple of 800 x 600, 1 to 16
  TFitMode Fit = TFitMode::Sharp;
  // Sound: what the player hears; recordings keep the game's own sound.
  int Volume = 100;  // 0 to 100
  bool Mute = false;
  // Controls.
  TKeyBindings Keys;
  int KeySpeed = 12;     // pixels a frame the bus moves while an up or down key is held, 1 to 60
  int PadDeadZone = 25;  // percent of the stick's travel that does nothing, 0 to 90
  bool PauseOnFocusLoss = false;

  bool operator==(const TPlayerSettings&) const = default;
};

constexpr int32_t HeardGainUnity = 1 << 15;

// The gain of what the player hears, with HeardGainUnity for the game's own level. The scale
// follows loudness more than amplitude: 50 sounds about half as loud as 100.
inline int32_t HeardGain(const TPlayerSettings& player) {
  if (player.Mute) return 0;
  const int64_t volume = player.Volume < 0 ? 0 : (player.Volume > 100 ? 100 : player.Volume);
  return static_cast<int32_t>(volume * volume * HeardGainUnity / 10000);
}

// Interleaved stereo samples as the player hears them: the game's own at full volume, otherwise
// a scaled copy made in `heard`.
inline const int16_t* ScaleToHeard(const TPlayerSettings& player, const int16_t* samples,
                                   size_t frames, std::vector<int16_t>& heard) {
  const int32_t gain = HeardGain(player);
  if (gain == HeardGainUnity) return samples;
  heard.resize(2 * frames);
  for (size_t i = 0; i < heard.size(); ++i)
    heard[i] = static_cast<int16_t>((samples[i] * gain) >> 15);
  return heard.data();
}
