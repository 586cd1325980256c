// The player's controls on the shared policy, through the queued platform: keys and pad
// steering once a frame, one fire button from any source, keys of the surroundings kept from
// the game, a pause that hands the game nothing but how it ended, the menu that hears the
// player first while it holds, and the recording of what the game was handed.
#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "platform/keys.h"
#include "platform/pause.h"
#include "platform/queued_platform.h"
#include "platform/scripted_menu.h"

namespace {

// A platform whose native side is a list of steps the test lays out: each wait for a native
// event runs the next one.
class TNativePlatform : public TQueuedPlatform {
 public:
  explicit TNativePlatform(TPlatformConfig config = {}) : TQueuedPlatform(std::move(config)) {
    KeepsFrames = true;
  }

  using TQueuedPlatform::ButtonEvent;
  using TQueuedPlatform::KeyEvent;
  using TQueuedPlatform::PadButtonEvent;
  using TQueuedPlatform::PadStickEvent;
  using TQueuedPlatform::PointerEvent;

  std::deque<std::function<void(TNativePlatform&)>> Later;  // what the player does while waited on
  int Pictures = 0;             // pictures shown that are no frame (the pause)
  std::vector<int16_t> Played;  // the last samples that went to the device

  std::vector<TMessage> Pump() {
    std::vector<TMessage> seen;
    TMessage msg;
    while (PeekMessage(msg))
      seen.push_back(msg);
    return seen;
  }

 protected:
  bool WaitNativeEvent() override {
    if (Later.empty()) return false;
    Later.front()(*this);
    Later.pop_front();
    return true;
  }
  void PresentNative(const uint16_t*) override { ++Pictures; }
  void QueueNativeAudio(const int16_t* samples, size_t frames) override {
    Played.assign(samples, samples + 2 * frames);
  }
};

const uint16_t Frame[800 * 600] = {};

std::vector<uint32_t> Kinds(const std::vector<TMessage>& messages) {
  std::vector<uint32_t> kinds;
  for (const TMessage& msg : messages)
    kinds.push_back(msg.Message);
  return kinds;
}

uint32_t Y(const TMessage& msg) {
  return msg.LParam >> 16;
}

}  // namespace

TEST(Controls, KeysAndThePadSteerOnceAFrameWithinTheBussRange) {
  TNativePlatform platform;
  platform.OpenPresentation(800, 600);
  platform.PointerEvent(300, 100);
  platform.KeyEvent(Vk::Letter('S'), true);
  EXPECT_EQ(Kinds(platform.Pump()), (std::vector<uint32_t>{Wm::MouseMove})) << "S is no game key";
  platform.Present(Frame);
  std::vector<TMessage> seen = platform.Pump();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(Y(seen[0]), 112u) << "12 pixels a frame by default";
  EXPECT_EQ(seen[0].LParam & 0xFFFF, 300u) << "the pointer keeps its x";
  platform.KeyEvent(Vk::Up, true);  // as well: the two cancel out
  platform.Present(Frame);
  EXPECT_TRUE(platform.Pump().empty());
  platform.KeyEvent(Vk::Down, false);  // never held: nothing breaks
  platform.KeyEvent(Vk::Letter('S'), false);
  for (int i = 0; i < 10; ++i)
    platform.Present(Frame);
  EXPECT_EQ(Y(platform.Pump().back()), uint32_t{TControls::TopY}) << "kept in the bus's range";
  platform.KeyEvent(Vk::Up, false);

  platform.PadStickEvent(8000);  // inside the dead zone of 25 %
  platform.Present(Frame);
  EXPECT_TRUE(platform.Pump().empty());
  platform.PadStickEvent(32767);  // leaning all the way: half as fast again as the keys
  platform.Present(Frame);
  EXPECT_EQ(Y(platform.Pump().back()), uint32_t{TControls::TopY} + 18);
}

TEST(Controls, EveryFireSourceIsOneLeftButtonAndControlKeysStayOutOfTheGame) {
  TNativePlatform platform;
  platform.KeyEvent(Vk::Control, true);
  platform.ButtonEvent(true, true);  // and the mouse's button
  platform.PadButtonEvent(TPadButton::Fire, true);
  platform.KeyEvent(Vk::Control, false);
  platform.ButtonEvent(true, false);
  EXPECT_EQ(Kinds(platform.Pump()), (std::vector<uint32_t>{Wm::LButtonDown}));
  platform.PadButtonEvent(TPadButton::Fire, false);
  platform.KeyEvent(Vk::Escape, true);  // keeps its meaning
  platform.PadButtonEvent(TPadButton::Back, true);
  platform.KeyEvent(Vk::Letter('M'), true);  // mute: the platform's, not the game's
  const std::vector<TMessage> seen = platform.Pump();
  EXPECT_EQ(Kinds(seen), (std::vector<uint32_t>{Wm::LButtonUp, Wm::KeyDown, Wm::KeyDown}));
  EXPECT_EQ(seen[1].WParam, Vk::Escape);
  EXPECT_EQ(seen[2].WParam, Vk::Escape) << "the pad's Back is Escape";
}

TEST(Controls, VolumeKeysChangeWhatIsHeardAndAreKept) {
  TPlatformConfig config;
  TPlayerSettings kept;
  config.SettingsChanged = [&](const TPlayerSettings& player) { kept = player; };
  TNativePlatform platform(config);
  const int16_t loud[2 * 4] = {16000, -16000, 16000, -16000, 16000, -16000, 16000, -16000};
  platform.KeyEvent(Vk::Minus, true);  // 90 %
  platform.QueueAudio(loud, 4);
  EXPECT_EQ(kept.Volume, 90);
  EXPECT_EQ(platform.Played[0], 16000 * 81 / 100 - 1) << "about 0.81 of the level";
  platform.KeyEvent(Vk::Letter('M'), true);
  platform.QueueAudio(loud, 4);
  EXPECT_TRUE(kept.Mute);
  EXPECT_EQ(platform.Played[0], 0);
}

TEST(Controls, APauseRunsNoFrameAndHandsTheGameOnlyWhereThePointerWentAndWhatIsHeld) {
  TInputRecording recording;
  TPlatformConfig config;
  config.Recording = &recording;
  TNativePlatform platform(config);
  platform.CreateMainWindow("pause", 1, [](const TMessage&) { return 0u; });
  platform.OpenPresentation(800, 600);
  platform.Present(Frame);
  platform.KeyEvent(Vk::Letter('P'), true);
  platform.Later = {
      [](TNativePlatform& p) { p.KeyEvent(Vk::Letter('P'), false); },
      [](TNativePlatform& p) { p.KeyEvent(Vk::Letter('Z'), true); },  // fire, while paused
      [](TNativePlatform& p) { p.PointerEvent(10, 200); },
      [](TNativePlatform& p) { p.PointerEvent(10, 300); },
      [](TNativePlatform& p) { p.KeyEvent(Vk::Letter('P'), true); }};
  const std::vector<TMessage> seen = platform.Pump();
  EXPECT_FALSE(platform.IsPaused());
  EXPECT_TRUE(platform.Later.empty());
  EXPECT_EQ(platform.Pictures, 1 + 1 + 1) << "the frame, the pause picture, the frame again";
  ASSERT_EQ(Kinds(seen), (std::vector<uint32_t>{Wm::MouseMove, Wm::LButtonDown}))
      << "fire held through the pause fires after it";
  EXPECT_EQ(Y(seen[0]), 300u);
  EXPECT_EQ(seen[0].WParam, 0u) << "a move carries only the buttons the game was handed";
  EXPECT_EQ(recording.Lines(), "0 mouse move 10 300\n0 mouse left down\n")
      << "the pause itself is no input";
}

TEST(Controls, ALongPauseHandsOverOnlyWhatGoesThroughItAndWhereThePointerEnded) {
  TNativePlatform platform;
  platform.CreateMainWindow("pause", 1, [](const TMessage&) { return 0u; });
  platform.PostMessage({Wm::KeyDown, Vk::Space, 0});  // queued before the pause: the game's
  platform.KeyEvent(Vk::Pause, true);
  // Minutes of a restless hand: each event is weighed once, as it comes.
  constexpr int Moves = 200000;
  for (int i = 0; i < Moves; ++i)
    platform.Later.push_back([i](TNativePlatform& p) {
      p.PointerEvent(static_cast<uint16_t>(i % 800), static_cast<uint16_t>(i % 600));
      if (i % 1000 == 0) p.PostMessage({Wm::KeyUp, Vk::Space, 0});
    });
  platform.Later.push_back([](TNativePlatform& p) { p.KeyEvent(Vk::Escape, true); });
  const std::vector<TMessage> seen = platform.Pump();
  ASSERT_EQ(seen.size(), 1 + Moves / 1000 + 2u);
  EXPECT_EQ(seen.front().Message, Wm::KeyDown);
  EXPECT_EQ(seen[1].Message, Wm::KeyUp) << "what was let go goes through";
  EXPECT_EQ(seen[seen.size() - 2].WParam, Vk::Escape)
      << "Escape ends the pause and reaches the game";
  EXPECT_EQ(seen.back().LParam, MouseParam((Moves - 1) % 800, (Moves - 1) % 600))
      << "one move, to where the pointer ended";
}

TEST(PauseMenu, ItHearsThePlayerFirstAndTheGameGetsOnlyWhatGoesThroughAnyPause) {
  TInputRecording recording;
  TScriptedMenu menu;
  TPlayerSettings kept;
  TPlatformConfig config;
  config.Recording = &recording;
  config.Menu = &menu;
  config.SettingsChanged = [&](const TPlayerSettings& player) { kept = player; };
  TPlayerSettings quieter;
  quieter.Volume = 40;
  menu.OnPress = [&](uint32_t code) {
    if (code == Vk::Letter('Z') || code == Vk::Down) return TScriptedMenu::Takes(true);
    if (code == Vk::Return) return TScriptedMenu::Sets(quieter);
    if (code == Vk::Letter('R')) return TScriptedMenu::Ends(TMenuEnd::Resume);
    return TMenuAnswer{};
  };
  TNativePlatform platform(config);
  platform.CreateMainWindow("menu", 1, [](const TMessage&) { return 0u; });
  platform.OpenPresentation(800, 600);
  platform.Present(Frame);
  platform.KeyEvent(Vk::Letter('P'), true);
  const auto press = [](uint32_t code, bool down) {
    return [code, down](TNativePlatform& p) { p.KeyEvent(code, down); };
  };
  platform.Later = {press(Vk::Letter('P'), false),
                    press(Vk::Letter('Z'), true),  // a fire key, and the steering, the menu's
                    press(Vk::Down, true),
                    [](TNativePlatform& p) { p.ButtonEvent(true, true); },
                    press(Vk::Return, true),  // the volume, changed in the menu
                    press(Vk::Letter('Z'), false),
                    press(Vk::Down, false),
                    [](TNativePlatform& p) { p.ButtonEvent(true, false); },
                    press(Vk::Return, false),
                    press(Vk::Letter('R'), true)};
  const std::vector<TMessage> seen = platform.Pump();
  EXPECT_FALSE(platform.IsPaused());
  EXPECT_TRUE(platform.Later.empty());
  EXPECT_EQ(menu.Presses,
            (std::vector<uint32_t>{Vk::Letter('Z'), Vk::Down, Vk::Return, Vk::Letter('R')}));
  ASSERT_EQ(Kinds(seen), (std::vector<uint32_t>{Wm::KeyUp})) << "nothing fired or steered";
  EXPECT_EQ(recording.Lines(), "0 key up 13\n") << "a release goes through, as in any pause";
  EXPECT_EQ(menu.Drawn, 4) << "opened, then each answer that changed the picture";
  EXPECT_EQ(platform.Pictures, 1 + 4 + 1);
  EXPECT_EQ(kept.Volume, 40);
  EXPECT_EQ(menu.Shown.Volume, 40);
  const int16_t loud[2] = {10000, 10000};
  platform.QueueAudio(loud, 1);
  EXPECT_NEAR(platform.Played[0], 1600, 1) << "heard at once, at about 0.16 of the level";
}

TEST(PauseMenu, QuitIsAClosedWindowAndAChangeTheBackEndCannotMakeIsShownUndone) {
  TInputRecording recording;
  TScriptedMenu menu;
  TPlatformConfig config;
  config.Recording = &recording;
  config.Menu = &menu;
  TPlayerSettings windowed;
  windowed.FullScreen = false;
  menu.OnPress = [&](uint32_t code) {
    return code == Vk::Letter('Q') ? TScriptedMenu::Ends(TMenuEnd::Quit)
                                   : TScriptedMenu::Sets(windowed);
  };
  TNativePlatform platform(config);  // with no screen to switch
  platform.CreateMainWindow("menu", 1, [](const TMessage&) { return 0u; });
  platform.KeyEvent(Vk::Pause, true);
  platform.Later = {[](TNativePlatform& p) { p.KeyEvent(Vk::Letter('F'), true); },
                    [](TNativePlatform& p) { p.KeyEvent(Vk::Letter('Q'), true); }};
  const std::vector<TMessage> seen = platform.Pump();
  EXPECT_EQ(menu.Drawn, 2) << "shown on black before the first frame, then once more";
  EXPECT_TRUE(menu.Shown.FullScreen);
  EXPECT_TRUE(platform.Player().FullScreen);
  EXPECT_EQ(Kinds(seen), (std::vector<uint32_t>{Wm::Close}));
  EXPECT_EQ(recording.Lines(), "0 window close\n");
}

TEST(Pause, EscapeOrACloseEndsItWhateverThePauseKeyAsksAfter) {
  TPause pause;
  pause.Toggle();
  pause.Begin();
  EXPECT_FALSE(pause.Sees({Wm::KeyDown, Vk::Letter('A'), 0}));
  EXPECT_FALSE(pause.Sees({Wm::MouseMove, 0, MouseParam(1, 2)}));
  EXPECT_TRUE(pause.PointerMoved());
  EXPECT_TRUE(pause.Asked());
  EXPECT_TRUE(pause.Sees({Wm::Close, 0, 0}));
  pause.Toggle();  // the pause key among the same events
  EXPECT_FALSE(pause.Asked());
  pause.End();
  pause.Ask();  // the focus went
  pause.Begin();
  EXPECT_FALSE(pause.PointerMoved());
  EXPECT_TRUE(pause.Sees({Wm::KeyDown, Vk::Escape, 0}));
  EXPECT_FALSE(pause.Asked());
}

TEST(InputRecording, LinesPlayBackAsTheMessagesTheyRecord) {
  TInputRecording recording;
  const std::vector<TMessage> handed = {{Wm::MouseMove, MkLButton, MouseParam(12, 34)},
                                        {Wm::LButtonDown, 0, 0},
                                        {Wm::KeyDown, Vk::Escape, 0},
                                        {Wm::Activate, ActivateParam(false, false), 0},
                                        {Wm::Activate, ActivateParam(false, true), 0},
                                        {Wm::Activate, ActivateParam(true, false), 0},
                                        {Wm::RButtonUp, 0, 0},
                                        {Wm::Close, 0, 0}};
  for (size_t i = 0; i < handed.size(); ++i)
    recording.Add(900 + i, handed[i]);
  TScriptError error;
  const auto script = ParseInputScript("# seed 77\n# data 0123abcd\n" + recording.Lines(), error);
  ASSERT_TRUE(script) << error.Reason;
  EXPECT_EQ(script->Seed, 77u);
  EXPECT_EQ(script->Data, "0123abcd");
  // The focus change alone is left out: the game does not see it either.
  ASSERT_EQ(script->Events.size(), handed.size() - 1);
  EXPECT_EQ(script->Events[0].Msg.LParam, MouseParam(12, 34));
  EXPECT_EQ(script->Events[3].Frame, 904u);
  EXPECT_EQ(script->Events[3].Msg.WParam, ActivateParam(false, true));
  EXPECT_EQ(script->Events[6].Msg.Message, uint32_t{Wm::Close});
}

TEST(InputRecording, MovesOutsideTheFrameAreKeptAtItsEdgeSoTheScriptStillPlays) {
  TInputRecording recording;
  recording.Add(3, {Wm::MouseMove, 0, MouseParam(1600, 1199)});  // a window twice the frame
  recording.Add(4, {Wm::MouseMove, 0, MouseParam(0xFFF6, 20)});  // captured, left of it
  EXPECT_EQ(recording.Lines(), "3 mouse move 799 599\n4 mouse move 0 20\n");
}
