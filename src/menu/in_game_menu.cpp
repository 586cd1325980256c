// The menu's inputs as commands, and its picture.
#include "menu/in_game_menu.h"

#include <algorithm>

#include "platform/keys.h"

namespace {

constexpr int32_t StickHalfway = 32767 / 2;

bool Has(const std::vector<uint8_t>& keys, uint32_t code) {
  return std::find(keys.begin(), keys.end(), code) != keys.end();
}

}  // namespace

void TInGameMenu::Open(const TPlayerSettings& player, const TDisplayChoices& display) {
  Model.Open(player, display);
  StickLean = 0;
}

TMenuAnswer TInGameMenu::Key(uint32_t code, bool down) {
  if (!down) return {};
  if (Model.WaitsForKey()) return Model.Bind(static_cast<uint8_t>(code));
  const TKeyBindings& keys = Model.Settings().Keys;
  if (code == Vk::Escape) {
    if (Model.Page() == TMenuPage::Top) return {};
    return Model.Command(TMenuCommand::Back);
  }
  if (code == Vk::Left) return Model.Command(TMenuCommand::Left);
  if (code == Vk::Right) return Model.Command(TMenuCommand::Right);
  if (code == Vk::Return) return Model.Command(TMenuCommand::Choose);
  if (code == Vk::Up || code == Vk::Letter('W')) return Model.Command(TMenuCommand::Up);
  if (code == Vk::Down || code == Vk::Letter('S')) return Model.Command(TMenuCommand::Down);
  if (Has(keys.Fire, code)) return Model.Command(TMenuCommand::Choose);
  if (Has(keys.Up, code)) return Model.Command(TMenuCommand::Up);
  if (Has(keys.Down, code)) return Model.Command(TMenuCommand::Down);
  return {};
}

TMenuAnswer TInGameMenu::Pointer(int32_t x, int32_t y) {
  PointerX = x;
  PointerY = y;
  if (Model.WaitsForKey()) return {};
  const std::optional<size_t> line = LineAt(Shown, x, y);
  if (!line) return {};
  TMenuAnswer answer = Model.Select(*line);
  answer.Taken = false;  // the pointer goes on, for where the game finds it afterwards
  return answer;
}

TMenuAnswer TInGameMenu::Button(bool down) {
  if (!down) return {};
  TMenuAnswer taken;
  taken.Taken = true;  // a click anywhere on the menu never fires
  if (Model.WaitsForKey()) return Model.CancelBinding();
  const std::optional<size_t> line = LineAt(Shown, PointerX, PointerY);
  if (!line || !Model.Line(*line).Choosable) return taken;
  const TMenuAnswer selected = Model.Select(*line);
  TMenuCommand command = TMenuCommand::Choose;
  if (Model.Line(*line).Changes) {
    const TFitRect& box = Shown.Lines[*line];
    command = PointerX < box.X + box.W / 2 ? TMenuCommand::Left : TMenuCommand::Right;
  }
  TMenuAnswer answer = Model.Command(command);
  answer.Redraw = answer.Redraw || selected.Redraw;
  return answer;
}

TMenuAnswer TInGameMenu::PadButton(TPadButton button, bool down) {
  if (!down || button == TPadButton::Start) return {};
  if (Model.WaitsForKey()) return Model.CancelBinding();  // a pad's button is no key
  switch (button) {
    case TPadButton::Up:
      return Model.Command(TMenuCommand::Up);
    case TPadButton::Down:
      return Model.Command(TMenuCommand::Down);
    case TPadButton::Left:
      return Model.Command(TMenuCommand::Left);
    case TPadButton::Right:
      return Model.Command(TMenuCommand::Right);
    case TPadButton::Fire:
      return Model.Command(TMenuCommand::Choose);
    case TPadButton::Cancel:
      return Model.Command(TMenuCommand::Back);
    case TPadButton::Back:  // Escape, as the keyboard's
      if (Model.Page() == TMenuPage::Top) return {};
      return Model.Command(TMenuCommand::Back);
    case TPadButton::Start:
      break;
  }
  return {};
}

TMenuAnswer TInGameMenu::PadStick(int32_t value) {
  const int lean = value < -StickHalfway ? -1 : value > StickHalfway ? 1 : 0;
  const bool moved = lean != 0 && lean != StickLean;  // once each time it leans past halfway
  StickLean = lean;
  if (!moved || Model.WaitsForKey()) return {};
  TMenuAnswer answer = Model.Command(lean < 0 ? TMenuCommand::Up : TMenuCommand::Down);
  answer.Taken = false;  // the stick goes on leaning for the game
  return answer;
}

void TInGameMenu::Draw(const uint16_t* frame, int32_t width, int32_t height,
                       std::vector<uint16_t>& picture) {
  if (!Font) Font.emplace();
  Shown = LayOutMenu(Model, width, height, Font->CellWidth(), Font->CellHeight());
  DrawMenuPicture(frame, width, height, Shown, *Font, picture);
}
