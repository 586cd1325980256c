// What a program entry hands the back end it makes: the clock (real, or virtual for turbo runs),
// the scripted input, the player's settings and what to do with what the player changes,
// photographs and does, and the menu its pause shows. Every back end takes one, whatever it
// derives from.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/input_script.h"
#include "platform/pause_menu.h"
#include "platform/player_settings.h"

struct TPlatformConfig {
  // Turbo runs on a virtual clock: every wait returns at once with the clock moved on,
  // so timings stay exact while no real time passes.
  bool Turbo = false;
  uint32_t VirtualStartTicks = 0;
  std::optional<TInputScript> Script;
  TPlayerSettings Player;
  // Told when the player changed a setting in the game (a key, the menu), with all of them, to
  // keep it.
  std::function<void(const TPlayerSettings&)> SettingsChanged;
  // Writes the frame on screen as a screenshot; empty: the screenshot key does nothing.
  std::function<void(const uint16_t* pixels, int32_t width, int32_t height)> Screenshot;
  // The menu the pause shows; null: the frame dimmed, and only the pause's keys. Owned by the
  // program entry's run, which outlives the back end.
  TPauseMenu* Menu = nullptr;
  // Gets every message the game is handed that the script did not make; null: none kept.
  TInputRecording* Recording = nullptr;
};
