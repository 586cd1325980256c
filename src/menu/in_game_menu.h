// The game's menu behind the pause (platform/pause_menu.h): the player's keys, pointer and pad
// turned into the model's commands, and the model drawn over the frame. The run makes one for
// every run with a screen and hands it to the back end.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/records_view.h"
#include "menu/menu_layout.h"
#include "menu/menu_model.h"
#include "menu/menu_picture.h"
#include "platform/pause_menu.h"

class TInGameMenu final : public TPauseMenu {
 public:
  explicit TInGameMenu(TRecordsHooks records) : Model(std::move(records)) {}

  void Open(const TPlayerSettings& player, const TDisplayChoices& display) override;
  void Show(const TPlayerSettings& player) override { Model.Show(player); }

  // Up/Down, W/S and the player's up and down keys move; Left and Right change a value; Enter
  // and the fire keys choose; Escape goes back, and at the top is the game's, as in any pause.
  // Releases and every other key are not the menu's.
  TMenuAnswer Key(uint32_t code, bool down) override;
  // The pointer chooses the item it is over; a click chooses it, or steps its value down on
  // its left half and up on its right. Releases are not the menu's.
  TMenuAnswer Pointer(int32_t x, int32_t y) override;
  TMenuAnswer Button(bool down) override;
  // The D-pad and the stick move, Left and Right change, A chooses, B goes back; Back is Escape
  // and Start the pause key.
  TMenuAnswer PadButton(TPadButton button, bool down) override;
  TMenuAnswer PadStick(int32_t value) override;

  void Draw(const uint16_t* frame, int32_t width, int32_t height,
            std::vector<uint16_t>& picture) override;

  const TMenuModel& State() const { return Model; }

 private:
  TMenuModel Model;
  std::optional<TMenuFont> Font;  // rendered at the first picture, when the fonts are open
  TMenuLayout Shown;              // the picture on screen, where the pointer finds its items
  int32_t PointerX = -1;
  int32_t PointerY = -1;
  int StickLean = 0;  // -1 up, 1 down, 0 within half its travel
};
