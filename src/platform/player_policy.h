// The player's side of every back end, written once: the controls (keys and pad steering,
// firing, and the keys of the surroundings: pause, volume, mute, full screen, screenshot), the
// pause and the menu it shows, the clock (real, or virtual for turbo runs), the volume of what is
// heard, the scripted input and the recording of what the game was handed. A back end keeps its
// message pump, its device and its window; it reports what the player does here and serves the
// policy through TPolicyHost.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/controls.h"
#include "platform/display_fit.h"
#include "platform/frame_pacer.h"
#include "platform/pause.h"
#include "platform/pause_menu.h"
#include "platform/platform.h"
#include "platform/platform_config.h"

// What the policy needs of the back end it serves.
class TPolicyHost {
 public:
  // A message the controls or the pause made for the game, to reach it before whatever the
  // device has pending.
  virtual void Enqueue(const TMessage& msg) = 0;
  // A frame's steering move, to reach the game with the next pump.
  virtual void EnqueueSteering(const TMessage& move) { Enqueue(move); }
  // Shows pictures that are no frame of the game: the pause's, and the frame again after it.
  virtual void PresentNative(const uint16_t* pixels) = 0;
  // Switches between full screen and a window; false when it cannot.
  virtual bool ToggleNativeFullScreen() = 0;
  // What of the display the player may change while the game runs: the menu offers only that.
  virtual TDisplayChoices NativeDisplayChoices() { return {}; }
  // Shows the window at the settings' scale and the frame at their fit, once they changed.
  virtual void ApplyNativeDisplay() {}
  // The pointer shows, free of the window, while the menu is open, whatever the game asked;
  // then it is as the game asked again.
  virtual void ShowNativePointer(bool menuOpen) = 0;
  // The device's clock in milliseconds, wrapping at 2^32, and a real wait on it.
  virtual uint32_t NativeTicks() = 0;
  virtual void NativeSleep(uint32_t ms) = 0;

 protected:
  ~TPolicyHost() = default;
};

class TPlayerPolicy {
 public:
  // The game's frame until a presentation says otherwise.
  static constexpr int32_t DefaultFrameWidth = 800;
  static constexpr int32_t DefaultFrameHeight = 600;

  TPlayerPolicy(TPlatformConfig config, TPolicyHost& host);

  const TPlayerSettings& Player() const { return Config.Player; }
  bool Turbo() const { return Config.Turbo; }

  // --- What the player does, as the device reports it ---------------------------------
  // A key by virtual-key code (src/platform/keys.h). False when it is no control's: it goes
  // to the game as it is. A device's repeats of a held key must not come here.
  bool Key(uint32_t code, bool down);
  // The pointer where the game gets it; its move goes on to the game as it is. `onFrame`: the
  // frame pixel under it, when that is not where the game gets it (the Win32 window's).
  void Pointer(uint16_t x, uint16_t y, std::optional<TFramePoint> onFrame = std::nullopt);
  // The mouse's left button, which fires like the fire keys: the message that the game's one
  // fire button now needs, if any (none while another source fires or the menu took it).
  std::optional<TMessage> MouseButton(bool down);
  bool FireHeld() const { return Controls.FireHeld(); }
  // The pad: the left stick's vertical axis (-32768 up to 32767 down), the right trigger (0 to
  // 32767), and its buttons.
  void PadStick(int32_t value);
  void PadTrigger(int32_t value);
  void PadButton(TPadButton button, bool down);
  // The pad went away, or a hidden page hears no key go up: nothing stays held.
  void ReleaseControls();
  // The keys went to another window: nothing stays held, and the game pauses if the player
  // said so.
  void FocusLost();
  // Switches full screen as the full-screen key does (Alt+Enter), keeping the setting.
  void RequestFullScreen() { Act(TControlAction::FullScreen); }
  // Pauses, or resumes, as the pause key does (the page's menu button).
  void RequestPause() { Act(TControlAction::Pause); }
  // Mutes, or unmutes, as the mute key does (the page's mute button), keeping the setting.
  void RequestMute() { Act(TControlAction::Mute); }
  // The device went into full screen or out of it by itself (a browser's Escape): the setting
  // follows for the menu, and is not kept, the player having chosen nothing.
  void FullScreenIs(bool full);

  // Hands a message to the game through the host; while a pause holds, the pause decides.
  void Hand(const TMessage& msg);
  // Records a message the game was handed.
  void Handed(const TMessage& msg);

  // --- Frames ---------------------------------------------------------------------------
  void OpenFrames(int32_t width, int32_t height);
  // A frame went to the screen: counted, kept for the pause and screenshots unless null, and
  // the steering moves the pointer once.
  void FramePresented(const uint16_t* pixels);
  uint64_t PresentedFrames() const { return Presented; }
  int32_t FrameWidth() const { return Width; }
  int32_t FrameHeight() const { return Height; }

  // --- Pause ----------------------------------------------------------------------------
  // A pump that finds the pause asked for holds the game in a loop of its own: BeginPause,
  // then, while Paused, every message the player makes through Hand (or LetsThrough, for a
  // message the pump delivers itself), then EndPause. While it holds, the menu, if there is
  // one, hears the player's input first (Key, Pointer, MouseButton, the pad).
  bool Paused() const { return ThePause.Asked(); }
  void BeginPause();
  bool LetsThrough(const TMessage& msg);
  // `gameHasLeft`: whether the game holds the left button down once what it was handed is
  // delivered.
  void EndPause(bool gameHasLeft);

  // --- Clock and sound ------------------------------------------------------------------
  uint32_t TickCount();
  void Sleep(uint32_t ms);
  // How long the frame loop's wait lasts from now: until one frame period after the previous
  // wait ended (a virtual clock waits the whole period). Whole milliseconds; the deadlines
  // stay exact, so the rounding never adds up.
  uint32_t FrameWaitMs();
  // The game's samples as the player hears them: themselves at full volume, otherwise a scaled
  // copy that lasts until the next call.
  const int16_t* AsHeard(const int16_t* samples, size_t frames);

  // --- Scripted input -------------------------------------------------------------------
  // The script's next event once due: an event of frame F waits for the presentation of frame F.
  bool NextDueScriptEvent(TMessage& msg);
  // The script's next event whatever its frame: while the window waits to be restored no frame
  // is presented, so the events come one by one in their order.
  bool NextScriptEvent(TMessage& msg);

 private:
  void HandAll(const std::vector<TMessage>& messages);
  void Act(TControlAction action);
  void ChangeSettings(const TPlayerSettings& player);
  bool MenuOpen() const { return Config.Menu != nullptr && ThePause.Holding(); }
  // Does what the menu answered; true when the input was the menu's.
  bool Heed(const TMenuAnswer& answer);
  void ChangeFromMenu(TPlayerSettings player);
  void ShowSettings();  // to an open menu, as they now are
  void ShowMenu();

  TPlatformConfig Config;
  TPolicyHost& Host;
  TControls Controls;
  TPause ThePause;
  size_t NextScripted = 0;
  uint64_t Presented = 0;
  uint32_t VirtualTicks = 0;
  TFramePacer Pacer;
  int32_t Width = DefaultFrameWidth;
  int32_t Height = DefaultFrameHeight;
  std::vector<uint16_t> LastFrame;  // the frame on screen, when the back end keeps it
  std::vector<uint16_t> PausePixels;
  std::vector<uint16_t> Blank;  // what the menu stands on before the first frame
  std::vector<int16_t> Scaled;  // samples at the player's volume
};
