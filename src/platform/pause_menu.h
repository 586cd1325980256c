// The menu a pause shows when the program entry hands one in (the game's is src/menu): while
// the pause holds, the player policy hands it the player's input before anything else and does
// what it answers. Without one the pause shows the frame dimmed and knows only its keys.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/controls.h"
#include "platform/player_settings.h"

// What a back end can change of its display while it runs; the menu offers only that.
struct TDisplayChoices {
  bool FullScreen = false;
  bool Fit = false;
  bool Scale = false;
  int MaxScale = 1;  // the largest window that fits the desktop, as a multiple of the frame
};

enum class TMenuEnd : uint8_t { None, Resume, Quit };

struct TMenuAnswer {
  bool Taken = false;   // the input was the menu's: it goes no further
  bool Redraw = false;  // the picture changed
  TMenuEnd End = TMenuEnd::None;
  // The settings as the player changed them: they act at once and are kept.
  std::optional<TPlayerSettings> Settings;
};

class TPauseMenu {
 public:
  // The pause began: the menu opens at its top with these settings and these choices.
  virtual void Open(const TPlayerSettings& player, const TDisplayChoices& display) = 0;
  // The settings as they now are, changed while it is open by a key of the surroundings or
  // by the back end, which may not have made a change the menu asked for.
  virtual void Show(const TPlayerSettings& player) = 0;

  // The player's input as the device made it: keys by virtual-key code, presses and releases
  // (a device's repeats never come); the pointer in frame pixels; the left button; the pad.
  virtual TMenuAnswer Key(uint32_t code, bool down) = 0;
  virtual TMenuAnswer Pointer(int32_t x, int32_t y) = 0;
  virtual TMenuAnswer Button(bool down) = 0;
  virtual TMenuAnswer PadButton(TPadButton button, bool down) = 0;
  virtual TMenuAnswer PadStick(int32_t value) = 0;

  // The picture the pause shows: the frame on screen, width x height RGB565 words, with the
  // menu over it.
  virtual void Draw(const uint16_t* frame, int32_t width, int32_t height,
                    std::vector<uint16_t>& picture) = 0;

 protected:
  ~TPauseMenu() = default;
};
