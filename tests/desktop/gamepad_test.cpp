// A gamepad on the real SDL back end, through SDL's virtual joystick on its dummy video driver:
// the stick steers, A fires and Start pauses, all as the messages the game reads.
#include <SDL.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "platform/sdl/sdl_platform.h"

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

class GamepadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    // The dummy driver's window never has the focus, without which SDL drops pad events.
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    TPlatformConfig config;
    config.Player.FullScreen = false;
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

  std::unique_ptr<TQueuedPlatform> Platform;
  int Index = -1;
  SDL_Joystick* Pad = nullptr;
  std::vector<uint16_t> Pixels = std::vector<uint16_t>(800 * 600, 0x1234);
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
