// The player's controls, the pause, the clock, the volume, the scripted input and the
// recording, for whichever back end serves them.
#include "platform/player_policy.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int32_t GainUnity = 1 << 15;

// The gain of what the player hears, with GainUnity for the game's own level. The scale follows
// loudness more than amplitude: 50 sounds about half as loud as 100.
int32_t GainHeard(const TPlayerSettings& player) {
  if (player.Mute) return 0;
  const int64_t volume = std::clamp(player.Volume, 0, 100);
  return static_cast<int32_t>(volume * volume * GainUnity / 10000);
}

void Dim(const std::vector<uint16_t>& frame, std::vector<uint16_t>& picture) {
  picture.resize(frame.size());
  for (size_t i = 0; i < frame.size(); ++i)
    picture[i] = static_cast<uint16_t>((frame[i] >> 1) & 0x7BEF);  // half bright
}

}  // namespace

TPlayerPolicy::TPlayerPolicy(TPlatformConfig config, TPolicyHost& host)
    : Config(std::move(config)),
      Host(host),
      Controls(Config.Player),
      VirtualTicks(Config.VirtualStartTicks) {}

// ---- What the player does --------------------------------------------------------------

bool TPlayerPolicy::Key(uint32_t code, bool down) {
  if (MenuOpen() && Heed(Config.Menu->Key(code, down))) return true;
  std::vector<TMessage> made;
  TControlAction action = TControlAction::None;
  if (!Controls.Key(code, down, made, action)) return false;
  HandAll(made);
  Act(action);
  return true;
}

void TPlayerPolicy::Pointer(uint16_t x, uint16_t y, std::optional<TFramePoint> onFrame) {
  Controls.Pointer(x, y);
  if (!MenuOpen()) return;
  const TFramePoint point = onFrame.value_or(TFramePoint{x, y});
  Heed(Config.Menu->Pointer(point.X, point.Y));
}

std::optional<TMessage> TPlayerPolicy::MouseButton(bool down) {
  if (MenuOpen() && Heed(Config.Menu->Button(down))) return std::nullopt;
  std::vector<TMessage> made;
  Controls.MouseButton(down, made);
  if (made.empty()) return std::nullopt;
  return made.front();
}

void TPlayerPolicy::PadStick(int32_t value) {
  Controls.PadStick(value);  // still leaning when the pause ends, the stick steers on
  if (MenuOpen()) Heed(Config.Menu->PadStick(value));
}

void TPlayerPolicy::PadTrigger(int32_t value) {
  std::vector<TMessage> made;
  Controls.PadTrigger(value, made);
  HandAll(made);
}

void TPlayerPolicy::PadButton(TPadButton button, bool down) {
  if (MenuOpen() && Heed(Config.Menu->PadButton(button, down))) return;
  std::vector<TMessage> made;
  TControlAction action = TControlAction::None;
  Controls.PadButton(button, down, made, action);
  HandAll(made);
  Act(action);
}

void TPlayerPolicy::ReleaseControls() {
  std::vector<TMessage> made;
  Controls.Release(made);
  HandAll(made);
}

void TPlayerPolicy::FocusLost() {
  ReleaseControls();
  if (Config.Player.PauseOnFocusLoss) ThePause.Ask();
}

void TPlayerPolicy::FullScreenIs(bool full) {
  if (Config.Player.FullScreen == full) return;
  Config.Player.FullScreen = full;
  ShowSettings();
}

void TPlayerPolicy::Hand(const TMessage& msg) {
  if (LetsThrough(msg)) Host.Enqueue(msg);
}

void TPlayerPolicy::HandAll(const std::vector<TMessage>& messages) {
  for (const TMessage& msg : messages)
    Hand(msg);
}

void TPlayerPolicy::Handed(const TMessage& msg) {
  if (Config.Recording != nullptr) Config.Recording->Add(Presented == 0 ? 0 : Presented - 1, msg);
}

void TPlayerPolicy::Act(TControlAction action) {
  if (action == TControlAction::None) return;  // most control keys: steering and firing
  TPlayerSettings player = Config.Player;
  if (ApplyToSettings(action, player)) return ChangeSettings(player);
  switch (action) {
    case TControlAction::Pause:
      ThePause.Toggle();
      return;
    case TControlAction::FullScreen:
      if (!Host.ToggleNativeFullScreen()) return;
      player.FullScreen = !player.FullScreen;
      return ChangeSettings(player);
    case TControlAction::Screenshot:
      if (Config.Screenshot && !LastFrame.empty())
        Config.Screenshot(LastFrame.data(), Width, Height);
      return;
    default:
      return;
  }
}

void TPlayerPolicy::ChangeSettings(const TPlayerSettings& player) {
  Config.Player = player;
  Controls.Use(player);
  if (Config.SettingsChanged) Config.SettingsChanged(player);
  ShowSettings();
}

// ---- Menu ------------------------------------------------------------------------------

bool TPlayerPolicy::Heed(const TMenuAnswer& answer) {
  if (answer.Settings) {
    ChangeFromMenu(*answer.Settings);  // shows the menu again
  } else if (answer.Redraw && answer.End == TMenuEnd::None) {
    ShowMenu();
  }
  if (answer.End == TMenuEnd::Resume) ThePause.Resume();
  // Quit is a closed window: the close goes through the pause, ends it and ends the run.
  if (answer.End == TMenuEnd::Quit) Hand({Wm::Close, 0, 0});
  return answer.Taken;
}

void TPlayerPolicy::ChangeFromMenu(TPlayerSettings player) {
  const TPlayerSettings& was = Config.Player;
  if (player.FullScreen != was.FullScreen && !Host.ToggleNativeFullScreen())
    player.FullScreen = was.FullScreen;
  const bool display = player.Scale != was.Scale || player.Fit != was.Fit;
  ChangeSettings(player);
  if (display) Host.ApplyNativeDisplay();
}

void TPlayerPolicy::ShowSettings() {
  if (!MenuOpen()) return;
  Config.Menu->Show(Config.Player);
  ShowMenu();
}

void TPlayerPolicy::ShowMenu() {
  // Before the first frame the menu stands on black.
  const size_t size = static_cast<size_t>(Width) * Height;
  if (LastFrame.size() != size) Blank.assign(size, 0);
  const uint16_t* frame = LastFrame.size() == size ? LastFrame.data() : Blank.data();
  Config.Menu->Draw(frame, Width, Height, PausePixels);
  Host.PresentNative(PausePixels.data());
}

// ---- Frames ----------------------------------------------------------------------------

void TPlayerPolicy::OpenFrames(int32_t width, int32_t height) {
  Width = width;
  Height = height;
}

void TPlayerPolicy::FramePresented(const uint16_t* pixels) {
  Pacer.Shown(SteadyClockUs());
  if (pixels != nullptr) LastFrame.assign(pixels, pixels + static_cast<size_t>(Width) * Height);
  ++Presented;
  std::vector<TMessage> moves;
  Controls.Frame(moves);
  for (const TMessage& move : moves)
    Host.EnqueueSteering(move);
}

// ---- Pause -----------------------------------------------------------------------------

void TPlayerPolicy::BeginPause() {
  ThePause.Begin();
  if (Config.Menu != nullptr) {
    Config.Menu->Open(Config.Player, Host.NativeDisplayChoices());
    Host.ShowNativePointer(true);
    return ShowMenu();
  }
  if (LastFrame.empty()) return;
  Dim(LastFrame, PausePixels);
  Host.PresentNative(PausePixels.data());
}

bool TPlayerPolicy::LetsThrough(const TMessage& msg) {
  return !ThePause.Holding() || ThePause.Sees(msg);
}

void TPlayerPolicy::EndPause(bool gameHasLeft) {
  const bool moved = ThePause.PointerMoved();
  ThePause.End();
  if (Config.Menu != nullptr) Host.ShowNativePointer(false);
  Pacer.Resumed(SteadyClockUs());
  // Besides what went through the pause, the game learns where the pointer went.
  if (moved) Hand({Wm::MouseMove, 0, MouseParam(Controls.PointerX(), Controls.PointerY())});
  // Fire held through the end of the pause fires from the first frame after it, however it
  // was pressed; a press the pause kept from the game would otherwise leave it held and silent.
  if (Controls.FireHeld() && !gameHasLeft) Hand({Wm::LButtonDown, 0, 0});
  if (!LastFrame.empty()) Host.PresentNative(LastFrame.data());
}

// ---- Clock and sound -------------------------------------------------------------------

uint32_t TPlayerPolicy::TickCount() {
  return Config.Turbo ? VirtualTicks : Host.NativeTicks();
}

void TPlayerPolicy::Sleep(uint32_t ms) {
  // A virtual sleep only moves the clock on: every timing holds while no real time passes.
  if (Config.Turbo) {
    VirtualTicks += ms;
    return;
  }
  Host.NativeSleep(ms);
}

uint32_t TPlayerPolicy::FrameWaitMs() {
  if (Config.Turbo) return TFramePacer::PeriodMs;
  return static_cast<uint32_t>((Pacer.WaitUs(SteadyClockUs()) + 500) / 1000);
}

const int16_t* TPlayerPolicy::AsHeard(const int16_t* samples, size_t frames) {
  const int32_t gain = GainHeard(Config.Player);
  if (gain == GainUnity) return samples;
  Scaled.resize(2 * frames);
  for (size_t i = 0; i < Scaled.size(); ++i)
    Scaled[i] = static_cast<int16_t>((samples[i] * gain) >> 15);
  return Scaled.data();
}

// ---- Scripted input --------------------------------------------------------------------

bool TPlayerPolicy::NextDueScriptEvent(TMessage& msg) {
  if (!Config.Script || NextScripted >= Config.Script->Events.size()) return false;
  if (Config.Script->Events[NextScripted].Frame >= Presented) return false;
  return NextScriptEvent(msg);
}

bool TPlayerPolicy::NextScriptEvent(TMessage& msg) {
  if (!Config.Script || NextScripted >= Config.Script->Events.size()) return false;
  msg = Config.Script->Events[NextScripted++].Msg;
  return true;
}
