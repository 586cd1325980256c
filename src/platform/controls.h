// The player's controls beyond the mouse: keys and a gamepad that steer the bus and fire, and
// the keys of the game's surroundings (pause, volume, full screen, screenshot). Everything that
// reaches the game ends up as the messages it already reads: a pointer move for the steering,
// the left button for firing, Escape for the pad's Back. Back ends hand their native input
// here through the player policy (player_policy.h); scripted input never passes through.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "platform/player_settings.h"

enum class TControlAction { None, Pause, VolumeDown, VolumeUp, Mute, FullScreen, Screenshot };

// The pad's buttons the game or the menu uses: A fires, the D-pad steers (and, with Left and
// Right, changes a menu's values), Start pauses, Back is Escape, B goes back in a menu.
enum class TPadButton { Fire, Up, Down, Left, Right, Start, Back, Cancel };

class TControls {
 public:
  // The bus's range of heights: steering keeps the pointer inside it, so a key answers at once.
  static constexpr int TopY = 40;
  static constexpr int BottomY = 425;
  // A stick's or a trigger's full travel in the pad's numbers below: a device that reports
  // fractions of it (a browser's) scales them by this.
  static constexpr int32_t PadTravel = 32767;

  explicit TControls(const TPlayerSettings& player) : Player(player) {}
  void Use(const TPlayerSettings& player) { Player = player; }

  // A key by virtual-key code. False when it is no control's and goes to the game as it is;
  // otherwise `out` gets what it makes for the game and `action` what it asks of the platform.
  bool Key(uint32_t code, bool down, std::vector<TMessage>& out, TControlAction& action);
  // The mouse: where it is, and its left button, which fires like the fire keys.
  void Pointer(uint16_t x, uint16_t y);
  void MouseButton(bool down, std::vector<TMessage>& out);
  // The pad: the left stick's vertical axis (-32768 up to 32767 down), the right trigger (0 to
  // 32767), and its buttons.
  void PadStick(int32_t value);
  void PadTrigger(int32_t value, std::vector<TMessage>& out);
  void PadButton(TPadButton button, bool down, std::vector<TMessage>& out, TControlAction& action);
  // Forgets every held control, as when the pad is unplugged or the window loses the keys.
  void Release(std::vector<TMessage>& out);

  // Once a frame: the pointer's move while a key or the pad steers.
  void Frame(std::vector<TMessage>& out);

  uint16_t PointerX() const { return X; }
  uint16_t PointerY() const { return Y; }
  bool FireHeld() const { return Firing != 0; }

 private:
  enum TFireSource : uint8_t { Mouse = 1, Keys = 2, PadA = 4, Trigger = 8 };

  void Fire(TFireSource source, bool down, std::vector<TMessage>& out);
  static bool Has(const std::vector<uint8_t>& keys, uint32_t code);
  int Steering() const;

  TPlayerSettings Player;
  uint16_t X = 0, Y = 0;
  int KeysUp = 0, KeysDown = 0, FireKeys = 0;  // how many of each kind are held
  bool PadUp = false, PadDown = false;
  int32_t Stick = 0;
  uint8_t Firing = 0;  // the fire sources held
};

// What a volume or mute key makes of the settings; false for an action that changes none.
bool ApplyToSettings(TControlAction action, TPlayerSettings& player);
