// A gamepad on the real SDL back end, through SDL's virtual joystick on its dummy video driver:
// the stick steers, A fires and Start pauses, all as the messages the game reads; and in the
// pause the pad drives the game's menu, none of it reaching the game.
#include <SDL.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "menu/in_game_menu.h"
#include "platform/sdl/sdl_platform.h"
#include "res/data_dir.h"
#include "res/image_cache.h"
#include "res/packfile.h"
#include "support/game_data.h"
#include "support/run_binary.h"

namespace {

std::vector<TMessage> Seen;

uint32_t Record(const TMessage& msg) {
  Seen.push_back(msg);
  return 0;
}

Uint32 SDLCALL PressStart(Uint32, void*) {
  for (Uint8 state : {SDL_PRESSED, SDL_RELEASED}) {
    SDL_Event event{};
    event.type = state == SDL_PRESSED ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
    event.cbutton.button = SDL_CONTROLLER_BUTTON_START;
    event.cbutton.state = state;
    SDL_PushEvent(&event);
  }
  return 0;
}

// The pad in the menu, from SDL's timer once the pause holds: down to Options and into it, B
// back out, the stick down past Records to Quit, and A.
Uint32 SDLCALL PlayTheMenu(Uint32, void*) {
  const auto push = [](Uint32 type, auto fill) {
    SDL_Event event{};
    event.type = type;
    fill(event);
    SDL_PushEvent(&event);
  };
  const auto press = [&](SDL_GameControllerButton button) {
    for (Uint32 type : {SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLERBUTTONUP})
      push(type, [&](SDL_Event& e) {
        e.cbutton.button = static_cast<Uint8>(button);
        e.cbutton.state = type == SDL_CONTROLLERBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
      });
  };
  const auto lean = [&](Sint16 value) {
    push(SDL_CONTROLLERAXISMOTION, [&](SDL_Event& e) {
      e.caxis.axis = SDL_CONTROLLER_AXIS_LEFTY;
      e.caxis.value = value;
    });
  };
  press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  press(SDL_CONTROLLER_BUTTON_A);
  press(SDL_CONTROLLER_BUTTON_B);
  for (int item = 0; item < 2; ++item) {  // past Records
    lean(32767);
    lean(0);
  }
  press(SDL_CONTROLLER_BUTTON_A);
  return 0;
}

class GamepadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    // The dummy driver's window never has the focus, without which SDL drops pad events.
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    TPlatformConfig config;
    config.Player.FullScreen = false;
    config.Menu = Menu;
    Platform = CreateSdlPlatform(std::move(config));
    ASSERT_TRUE(Platform->RegisterWindowClass(1));
    ASSERT_TRUE(Platform->CreateMainWindow("gamepad", 1, Record));
    Platform->OpenPresentation(800, 600);
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "test pad";
    Index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(Index, 0) << SDL_GetError();
    Pad = SDL_JoystickOpen(Index);
    ASSERT_NE(Pad, nullptr);
    Pump();
  }
  void TearDown() override {
    if (Pad != nullptr) SDL_JoystickClose(Pad);
    if (Index >= 0) SDL_JoystickDetachVirtual(Index);
    Platform.reset();
    Seen.clear();
  }

  void Pump() {
    SDL_JoystickUpdate();
    TMessage msg;
    while (Platform->PeekMessage(msg))
      Record(msg);
  }
  // One frame shown, then its pump: steering moves once a frame.
  void Frame() {
    Platform->Present(Pixels.data());
    Pump();
  }
  const TMessage* Last(uint32_t message) const {
    for (auto it = Seen.rbegin(); it != Seen.rend(); ++it)
      if (it->Message == message) return &*it;
    return nullptr;
  }

  TPauseMenu* Menu = nullptr;
  std::unique_ptr<TQueuedPlatform> Platform;
  int Index = -1;
  SDL_Joystick* Pad = nullptr;
  std::vector<uint16_t> Pixels = std::vector<uint16_t>(800 * 600, 0x1234);
};

// With the game's menu, drawn in the test data's fonts.
class GamepadMenuTest : public GamepadTest {
 protected:
  void SetUp() override {
    const std::string data = ScratchDir("gamepad_menu");
    WriteGameData(data);
    SetDataDirectory(data);
    CacheInit();
    Menu = &GameMenu;
    GamepadTest::SetUp();
  }
  void TearDown() override {
    GamepadTest::TearDown();
    CacheDone();
    ResetPackfiles();
    SetDataDirectory("");
  }

  TInGameMenu GameMenu{{}};
};

}  // namespace

TEST_F(GamepadTest, TheStickSteersAFiresAndStartPauses) {
  SDL_JoystickSetVirtualAxis(Pad, SDL_CONTROLLER_AXIS_LEFTY, 32767);
  Pump();
  Frame();
  Frame();
  const TMessage* move = Last(Wm::MouseMove);
  ASSERT_NE(move, nullptr) << "the stick moved the pointer";
  const uint32_t y = move->LParam >> 16;
  EXPECT_GT(y, TControls::TopY);
  SDL_JoystickSetVirtualAxis(Pad, SDL_CONTROLLER_AXIS_LEFTY, -32768);
  Pump();
  Frame();
  EXPECT_LT(Last(Wm::MouseMove)->LParam >> 16, y) << "and back up";

  SDL_JoystickSetVirtualButton(Pad, SDL_CONTROLLER_BUTTON_A, SDL_PRESSED);
  Pump();
  ASSERT_NE(Last(Wm::LButtonDown), nullptr) << "A fires";
  SDL_JoystickSetVirtualButton(Pad, SDL_CONTROLLER_BUTTON_A, SDL_RELEASED);
  Pump();
  ASSERT_NE(Last(Wm::LButtonUp), nullptr);

  // Start pauses: the pump waits until Start comes again (pressed from SDL's timer).
  SDL_AddTimer(300, PressStart, nullptr);
  const auto start = std::chrono::steady_clock::now();
  SDL_JoystickSetVirtualButton(Pad, SDL_CONTROLLER_BUTTON_START, SDL_PRESSED);
  Pump();
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(250)) << "no message came while paused";
  EXPECT_FALSE(Platform->IsPaused());
}

TEST_F(GamepadMenuTest, StartOpensTheMenuThePadChoosesInItAndTheGameGetsOnlyTheClose) {
  Frame();
  Seen.clear();
  SDL_AddTimer(200, PlayTheMenu, nullptr);
  SDL_JoystickSetVirtualButton(Pad, SDL_CONTROLLER_BUTTON_START, SDL_PRESSED);
  Pump();
  EXPECT_FALSE(Platform->IsPaused());
  ASSERT_EQ(Seen.size(), 1u) << "A, B and the stick were the menu's";
  EXPECT_EQ(Seen[0].Message, Wm::Close) << "Quit closes the window";
}
