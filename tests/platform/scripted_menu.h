// A pause menu that a test scripts: it notes what it hears and answers each key press as the
// test says; everything else is not its own. For tests of how a back end and the policy serve
// a menu, apart from the game's own (src/menu).
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "platform/pause_menu.h"

class TScriptedMenu final : public TPauseMenu {
 public:
  // The answer to a key press; releases are never the menu's.
  std::function<TMenuAnswer(uint32_t code)> OnPress = [](uint32_t) { return TMenuAnswer{}; };

  bool TakesClicks = true;  // a click on the menu never fires

  int Opened = 0;
  int Drawn = 0;
  std::vector<uint32_t> Presses;
  std::vector<std::pair<int32_t, int32_t>> Points;  // where the pointer went, in frame pixels
  TPlayerSettings Shown;                            // the settings as the policy last showed them
  TDisplayChoices Choices;

  void Open(const TPlayerSettings& player, const TDisplayChoices& display) override {
    ++Opened;
    Shown = player;
    Choices = display;
  }
  void Show(const TPlayerSettings& player) override { Shown = player; }
  TMenuAnswer Key(uint32_t code, bool down) override {
    if (!down) return {};
    Presses.push_back(code);
    return OnPress(code);
  }
  TMenuAnswer Pointer(int32_t x, int32_t y) override {
    Points.emplace_back(x, y);
    return {};
  }
  TMenuAnswer Button(bool down) override {
    TMenuAnswer answer;
    answer.Taken = down && TakesClicks;
    return answer;
  }
  TMenuAnswer PadButton(TPadButton, bool) override { return {}; }
  TMenuAnswer PadStick(int32_t) override { return {}; }
  void Draw(const uint16_t* frame, int32_t width, int32_t height,
            std::vector<uint16_t>& picture) override {
    ++Drawn;
    picture.assign(frame, frame + static_cast<size_t>(width) * height);
  }

  // Answers that take the press and do one thing.
  static TMenuAnswer Takes(bool redraw = false) {
    TMenuAnswer answer;
    answer.Taken = true;
    answer.Redraw = redraw;
    return answer;
  }
  static TMenuAnswer Ends(TMenuEnd end) {
    TMenuAnswer answer = Takes();
    answer.End = end;
    return answer;
  }
  static TMenuAnswer Sets(const TPlayerSettings& player) {
    TMenuAnswer answer = Takes(true);
    answer.Settings = player;
    return answer;
  }
};
