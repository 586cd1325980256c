// Steering by keys and pad, firing from any source, and the keys that ask the platform for
// something.
#include "platform/controls.h"

#include <algorithm>
#include <cstdlib>

#include "platform/keys.h"

namespace {

constexpr int32_t StickTravel = TControls::PadTravel;
constexpr int32_t TriggerPressed = StickTravel / 2;

void Emit(std::vector<TMessage>& out, uint32_t message, uint32_t wParam = 0, uint32_t lParam = 0) {
  out.push_back({message, wParam, lParam});
}

}  // namespace

bool TControls::Has(const std::vector<uint8_t>& keys, uint32_t code) {
  return std::find(keys.begin(), keys.end(), code) != keys.end();
}

bool TControls::Key(uint32_t code, bool down, std::vector<TMessage>& out, TControlAction& action) {
  const TKeyBindings& keys = Player.Keys;
  const int step = down ? 1 : -1;
  action = TControlAction::None;
  if (Has(keys.Up, code)) {
    KeysUp = std::max(0, KeysUp + step);
  } else if (Has(keys.Down, code)) {
    KeysDown = std::max(0, KeysDown + step);
  } else if (Has(keys.Fire, code)) {
    FireKeys = std::max(0, FireKeys + step);
    Fire(Keys, FireKeys > 0, out);
  } else {
    const std::pair<const std::vector<uint8_t>*, TControlAction> asks[] = {
        {&keys.Pause, TControlAction::Pause},
        {&keys.VolumeDown, TControlAction::VolumeDown},
        {&keys.VolumeUp, TControlAction::VolumeUp},
        {&keys.Mute, TControlAction::Mute},
        {&keys.FullScreen, TControlAction::FullScreen},
        {&keys.Screenshot, TControlAction::Screenshot}};
    const auto* ask = std::find_if(std::begin(asks), std::end(asks),
                                   [&](const auto& a) { return Has(*a.first, code); });
    if (ask == std::end(asks)) return false;
    if (down) action = ask->second;
  }
  return true;
}

void TControls::Pointer(uint16_t x, uint16_t y) {
  X = x;
  Y = y;
}

void TControls::MouseButton(bool down, std::vector<TMessage>& out) {
  Fire(Mouse, down, out);
}

void TControls::PadStick(int32_t value) {
  Stick = std::clamp(value, -StickTravel, StickTravel);
}

void TControls::PadTrigger(int32_t value, std::vector<TMessage>& out) {
  Fire(Trigger, value >= TriggerPressed, out);
}

void TControls::PadButton(TPadButton button, bool down, std::vector<TMessage>& out,
                          TControlAction& action) {
  action = TControlAction::None;
  switch (button) {
    case TPadButton::Fire:
      Fire(PadA, down, out);
      break;
    case TPadButton::Up:
      PadUp = down;
      break;
    case TPadButton::Down:
      PadDown = down;
      break;
    case TPadButton::Start:
      if (down) action = TControlAction::Pause;
      break;
    case TPadButton::Back:
      Emit(out, down ? Wm::KeyDown : Wm::KeyUp, Vk::Escape);  // as the game knows it
      break;
    case TPadButton::Left:
    case TPadButton::Right:
    case TPadButton::Cancel:
      break;  // the menu's only
  }
}

void TControls::Release(std::vector<TMessage>& out) {
  KeysUp = KeysDown = FireKeys = 0;
  PadUp = PadDown = false;
  Stick = 0;
  for (TFireSource source : {Keys, PadA, Trigger})
    Fire(source, false, out);
}

void TControls::Fire(TFireSource source, bool down, std::vector<TMessage>& out) {
  const uint8_t before = Firing;
  Firing = down ? (Firing | source) : (Firing & ~source);
  if ((before == 0) != (Firing == 0)) Emit(out, Firing != 0 ? Wm::LButtonDown : Wm::LButtonUp);
}

int TControls::Steering() const {
  // Keys and the pad's buttons move at the set speed; the stick up to half as fast again,
  // in proportion to how far it leans past its dead zone.
  int speed = 0;
  if (KeysUp > 0 || PadUp) speed -= Player.KeySpeed;
  if (KeysDown > 0 || PadDown) speed += Player.KeySpeed;
  const int32_t dead = StickTravel * std::clamp(Player.PadDeadZone, 0, 90) / 100;
  const int32_t lean = std::abs(Stick) - dead;
  if (lean > 0) {
    const int stick =
        static_cast<int>(int64_t{3} * Player.KeySpeed * lean / (2 * (StickTravel - dead)));
    speed += Stick < 0 ? -stick : stick;
  }
  return speed;
}

bool ApplyToSettings(TControlAction action, TPlayerSettings& player) {
  switch (action) {
    case TControlAction::VolumeDown:
    case TControlAction::VolumeUp:
      player.Volume =
          std::clamp(player.Volume + (action == TControlAction::VolumeUp ? 10 : -10), 0, 100);
      player.Mute = false;
      return true;
    case TControlAction::Mute:
      player.Mute = !player.Mute;
      return true;
    default:
      return false;
  }
}

void TControls::Frame(std::vector<TMessage>& out) {
  const int speed = Steering();
  if (speed == 0) return;
  const auto y = static_cast<uint16_t>(std::clamp(int{Y} + speed, TopY, BottomY));
  if (y == Y) return;  // held against the end of the way
  Y = y;
  Emit(out, Wm::MouseMove, 0, MouseParam(X, Y));
}
