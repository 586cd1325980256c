// What a player chooses and the game keeps between runs (settings.ini, read and written by
// src/app/settings_file): the display, the sound, the keys and the pad. Plain data with the
// defaults a first run plays with; the back ends act on it.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/display_fit.h"
#include "platform/keys.h"

// Keys by virtual-key code, as the window messages carry them; the settings file writes them by
// name (src/platform/key_names.h).
struct TKeyBindings {
  std::vector<uint8_t> Up = {Vk::Up, Vk::Letter('W')};
  std::vector<uint8_t> Down = {Vk::Down, Vk::Letter('S')};
  std::vector<uint8_t> Fire = {Vk::Control, Vk::Letter('Z'), Vk::Letter('J')};
  std::vector<uint8_t> Pause = {Vk::Letter('P'), Vk::Pause};
  std::vector<uint8_t> VolumeDown = {Vk::Minus};
  std::vector<uint8_t> VolumeUp = {Vk::Plus};
  std::vector<uint8_t> Mute = {Vk::Letter('M')};
  std::vector<uint8_t> FullScreen = {Vk::Function(11)};
  std::vector<uint8_t> Screenshot = {Vk::Function(12)};

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
