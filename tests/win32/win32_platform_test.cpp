// The Win32 back end under the engine: the message table through the real window procedure,
// the pump and its quit message, the minimized wait, boxes, the cursor count, the placement,
// the display mode and frames shown through ddlink.dll. Needs a desktop (Wine on Xvfb will do).
#include "platform/win32/win32_backend.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "app/scene.h"
#include "gfx/boxes.h"
#include "gfx/display.h"
#include "gfx/window.h"
#include "platform/scripted_menu.h"
#include "support/engine_fixture.h"
#include "support/test_scene.h"
#include "win32/monitor_cover.h"

namespace {

struct TBoxCall {
  HWND Owner;
  std::string Text, Caption;
  UINT Type;
};

class Win32PlatformTest : public TEngineFixture {
 protected:
  void SetUp() override {
    TEngineFixture::SetUp();
    UseWin32({});
  }

  void TearDown() override {
    SetPlatform(nullptr);
    Win32.reset();
    TEngineFixture::TearDown();
  }

  // Installs a Win32 back end on the virtual clock whose boxes are recorded, not shown.
  void UseWin32(TPlatformConfig config) {
    config.Turbo = true;
    SetPlatform(nullptr);
    Win32.reset();
    ResetInputState();
    ResetDisplayState();
    Win32 = std::make_unique<TWin32Platform>(std::move(config), TWin32Config{});
    Win32->ShowBox = [this](HWND owner, const char* text, const char* caption, UINT type) {
      Boxes.push_back({owner, text, caption, type});
      return IDOK;
    };
    SetPlatform(Win32.get());
  }

  void OpenWin32Window() {
    OpenWindow();
    ASSERT_NE(Win32->Window(), nullptr) << "no desktop to make the window on";
  }

  void Post(UINT message, WPARAM wParam, LPARAM lParam) {
    ASSERT_TRUE(PostMessageA(Win32->Window(), message, wParam, lParam));
  }

  // Puts the desktop's pointer there, so that the moves the system makes of it agree with the
  // test's, and hands the game the move.
  void PointerAt(int x, int y) {
    SetCursorPos(x, y);
    Post(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    PumpMessages();
  }

  // The system's cursor show count, read without moving it.
  static int CursorCount() {
    const int count = ::ShowCursor(TRUE) - 1;
    ::ShowCursor(FALSE);
    return count;
  }

  std::unique_ptr<TWin32Platform> Win32;
  std::vector<TBoxCall> Boxes;
};

// --- Window and message table ------------------------------------------------------------

TEST_F(Win32PlatformTest, MainWindowIsABorderlessPopUpOfTheGamesClass) {
  OpenWin32Window();
  const HWND window = Win32->Window();
  EXPECT_TRUE(Input.WindowAlive);  // WM_CREATE reached the engine inside CreateWindowExA
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  EXPECT_STREQ(name, "QVID window");
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  EXPECT_EQ(style & (WS_POPUP | WS_VISIBLE | WS_SYSMENU), WS_POPUP | WS_VISIBLE | WS_SYSMENU);
  EXPECT_EQ(style & WS_CAPTION, 0);
  EXPECT_EQ(GetClassLongA(window, GCL_STYLE), CS_BYTEALIGNWINDOW);
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(GetClassLongPtrA(window, GCLP_HBRBACKGROUND)),
            GetStockObject(BLACK_BRUSH));
  EXPECT_NE(Win32->DeviceContext(), nullptr);
}

TEST_F(Win32PlatformTest, MouseMoveSetsAButtonOnlyWhenItsFlagIsTheWholeParameter) {
  OpenWin32Window();
  Post(WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(10, 20));  // wParam 5
  PumpMessages();
  EXPECT_EQ(Input.MouseX, 10);
  EXPECT_EQ(Input.MouseY, 20);
  EXPECT_FALSE(Input.MouseLeft);

  Post(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 40));
  PumpMessages();
  EXPECT_EQ(Input.MouseY, 40);
  EXPECT_TRUE(Input.MouseLeft);

  // A move never clears a button; only its own up message does.
  Post(WM_MOUSEMOVE, 0, MAKELPARAM(31, 41));
  PumpMessages();
  EXPECT_TRUE(Input.MouseLeft);
  Post(WM_LBUTTONUP, 0, 0);
  Post(WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(32, 42));
  PumpMessages();
  EXPECT_FALSE(Input.MouseLeft);
  EXPECT_TRUE(Input.MouseRight);
}

TEST_F(Win32PlatformTest, KeyDownAndUpDriveTheKeyTableAndAltKeysNeverReachIt) {
  OpenWin32Window();
  Post(WM_KEYDOWN, Vk::Letter('A'), 0);
  Post(WM_KEYDOWN, VK_SPACE, 0);
  PumpMessages();
  EXPECT_EQ(Input.Keys[Vk::Letter('A')], 1);
  EXPECT_EQ(Input.Keys[Vk::Space], 1);
  Post(WM_KEYUP, Vk::Letter('A'), 0);
  Post(WM_SYSKEYDOWN, Vk::Letter('X'), 0);
  PumpMessages();
  EXPECT_EQ(Input.Keys[Vk::Letter('A')], 0);
  EXPECT_EQ(Input.Keys[Vk::Space], 1);
  EXPECT_EQ(Input.Keys[Vk::Letter('X')], 0);
}

TEST_F(Win32PlatformTest, ClosingDestroysTheWindowAndThePumpStopsAtTheQuitMessage) {
  OpenWin32Window();
  const HWND window = Win32->Window();
  Post(WM_CLOSE, 0, 0);
  // The close goes through DefWindowProcA, which destroys the window; WM_DESTROY posts the
  // quit message, which comes back to the engine instead of being dispatched.
  TMessage msg;
  ASSERT_TRUE(Win32->PeekMessage(msg));
  EXPECT_EQ(msg.Message, Wm::Quit);
  EXPECT_FALSE(Input.WindowAlive);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Win32->Window(), nullptr);
  EXPECT_EQ(Win32->DeviceContext(), nullptr);  // released on WM_DESTROY
  EXPECT_FALSE(Win32->PeekMessage(msg));
}

TEST_F(Win32PlatformTest, MinimizedWindowStopsTheFrameLoopUntilRestored) {
  TPlatformConfig config;
  TScriptError error;
  config.Script = ParseInputScript(
      "2 window minimize\n"
      "2 key down 65\n"
      "9 window restore\n"
      "12 key down 27\n",
      error);
  ASSERT_TRUE(config.Script);
  UseWin32(std::move(config));
  OpenWin32Window();
  TTestScene scene;
  scene.Setup();
  std::vector<uint64_t> framesSeen;
  bool ranMinimized = false, keySeen = false;
  auto* watcher = new TProbe(nullptr, "w");
  watcher->OnUpdate = [&] {
    framesSeen.push_back(Display.FramesPresented);
    ranMinimized = ranMinimized || !Input.WindowActive;
    keySeen = keySeen || Input.Keys[Vk::Letter('A')] != 0;
  };
  scene.Agent->Add(watcher);
  // Minimized after frame 2, the loop waits inside the pump; the script's restore is what
  // wakes it, and the key pressed meanwhile reads as up. Escape after frame 12 ends it.
  EXPECT_EQ(scene.Run(), TSceneEnd::Escape);
  EXPECT_FALSE(ranMinimized);
  EXPECT_FALSE(keySeen);
  EXPECT_EQ(framesSeen.size(), 13u);
  EXPECT_EQ(Win32->PresentedFrames(), 13u);
}

TEST_F(Win32PlatformTest, LosingTheFocusWithoutMinimizingKeepsTheWindowActive) {
  OpenWin32Window();
  Post(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
  PumpMessages();
  EXPECT_TRUE(Input.WindowActive);
  Post(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0);
  PumpMessages();
  EXPECT_FALSE(Input.WindowActive);
}

TEST_F(Win32PlatformTest, ScriptedMovesArePostedWithTheFlagsOfTheHeldButtons) {
  TPlatformConfig config;
  TScriptError error;
  config.Script = ParseInputScript(
      "0 mouse left down\n"
      "1 mouse move 100 200\n",
      error);
  ASSERT_TRUE(config.Script);
  UseWin32(std::move(config));
  OpenWin32Window();
  Win32->Present(nullptr);  // frame 0 is on the screen: its events are due
  PumpMessages();
  EXPECT_TRUE(Input.MouseLeft);
  ClearMouseButtons();
  Win32->Present(nullptr);
  PumpMessages();
  // The move carries MK_LBUTTON, as a real one with the button held does, so the window
  // procedure sets the button again.
  EXPECT_TRUE(Input.MouseLeft);
  EXPECT_EQ(Input.MouseX, 100);
  EXPECT_EQ(Input.MouseY, 200);
}

// --- The player's controls and the pause ---------------------------------------------------

// A message as the keyboard sends it: its repeat count is one.
constexpr LPARAM FromKeyboard = 1;

TEST_F(Win32PlatformTest, KeysSteerFireSetTheVolumeAndTakeScreenshotsWhilePostedKeysStayTheGames) {
  TPlatformConfig config;
  std::vector<uint16_t> shot;
  config.Screenshot = [&](const uint16_t* pixels, int32_t width, int32_t height) {
    shot.assign(pixels, pixels + width * height);
  };
  int volume = -1;
  config.SettingsChanged = [&](const TPlayerSettings& player) { volume = player.Volume; };
  UseWin32(std::move(config));
  OpenWin32Window();
  OpenDisplay(800, 600);
  PointerAt(50, 100);
  std::vector<uint16_t> frame(800 * 600, 0x07E0);
  Post(WM_KEYDOWN, VK_DOWN, FromKeyboard);
  Post(WM_KEYDOWN, VK_DOWN, FromKeyboard | (1 << 30));  // held: a repeat
  Post(WM_KEYDOWN, Vk::Letter('Z'), FromKeyboard);
  PumpMessages();
  EXPECT_EQ(Input.Keys[Vk::Down], 0);
  EXPECT_TRUE(Input.MouseLeft);
  Win32->Present(frame.data());
  PumpMessages();
  EXPECT_EQ(Input.MouseY, 100 + Win32->Player().KeySpeed);
  Post(WM_KEYUP, VK_DOWN, FromKeyboard);
  Post(WM_KEYUP, Vk::Letter('Z'), FromKeyboard);
  Post(WM_KEYDOWN, VK_F12, FromKeyboard);
  Post(WM_KEYDOWN, VK_OEM_MINUS, FromKeyboard);
  Post(WM_KEYDOWN, VK_DOWN, 0);  // a script's key
  PumpMessages();
  Win32->Present(frame.data());
  PumpMessages();
  EXPECT_EQ(Input.MouseY, 100 + Win32->Player().KeySpeed);  // one release stops it
  EXPECT_FALSE(Input.MouseLeft);
  EXPECT_EQ(shot, frame);
  EXPECT_EQ(volume, 90);
  EXPECT_EQ(Input.Keys[Vk::Down], 1);
  CloseDisplay();
}

TEST_F(Win32PlatformTest, PauseHandsTheGameOnlyWhatWasLetGoAndWhereThePointerWent) {
  TPlatformConfig config;
  TScriptedMenu menu;  // which takes nothing: the pause's own rules decide
  menu.TakesClicks = false;
  config.Menu = &menu;
  TInputRecording recording;
  config.Recording = &recording;
  UseWin32(std::move(config));
  OpenWin32Window();
  OpenDisplay(800, 600);
  PointerAt(10, 10);
  std::vector<uint16_t> frame(800 * 600, 0x001F);
  Win32->Present(frame.data());
  Post(WM_KEYDOWN, Vk::Letter('Z'), FromKeyboard);  // fire held into the pause
  Post(WM_KEYDOWN, Vk::Letter('P'), FromKeyboard);
  Post(WM_KEYUP, Vk::Letter('P'), FromKeyboard);
  Post(WM_MOUSEMOVE, 0, MAKELPARAM(70, 200));
  Post(WM_KEYDOWN, VK_SPACE, FromKeyboard);
  Post(WM_KEYUP, Vk::Letter('Z'), FromKeyboard);
  Post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(70, 200));  // pressed in the pause, held after it
  Post(WM_KEYDOWN, Vk::Letter('P'), FromKeyboard);
  PumpMessages();
  EXPECT_EQ(menu.Drawn, 1);
  EXPECT_EQ(Input.Keys[Vk::Space], 0);
  EXPECT_EQ(Input.MouseY, 200);
  EXPECT_TRUE(Input.MouseLeft);
  // What the game was handed, in order, is what a replay hands it.
  const std::string& lines = recording.Lines();
  size_t at = 0;
  for (std::string line : {"0 mouse left down\n", "0 mouse left up\n", "0 mouse move 70 200\n",
                           "0 mouse left down\n"}) {
    at = lines.find(line, at);
    ASSERT_NE(at, std::string::npos) << line << "is missing from\n" << lines;
    at += line.size();
  }
  EXPECT_EQ(lines.find("key down"), std::string::npos) << lines;
  CloseDisplay();
}

TEST_F(Win32PlatformTest, TheMenuHearsKeysAndTheMouseFirstInFramePixelsAndKeepsItsPresses) {
  TPlatformConfig config;
  TScriptedMenu menu;
  menu.OnPress = [](uint32_t code) {
    if (code == Vk::Letter('Z')) return TScriptedMenu::Takes(true);
    if (code == Vk::Return) return TScriptedMenu::Ends(TMenuEnd::Resume);
    return TMenuAnswer{};
  };
  config.Menu = &menu;
  TInputRecording recording;
  config.Recording = &recording;
  UseWin32(std::move(config));
  OpenWin32Window();
  OpenDisplay(800, 600);
  std::vector<uint16_t> frame(800 * 600, 0x001F);
  Win32->Present(frame.data());
  RECT client{};
  ASSERT_TRUE(GetClientRect(Win32->Window(), &client));
  Post(WM_KEYDOWN, Vk::Letter('P'), FromKeyboard);
  Post(WM_KEYUP, Vk::Letter('P'), FromKeyboard);
  Post(WM_KEYDOWN, Vk::Letter('Z'), FromKeyboard);              // fire, the menu's now
  Post(WM_KEYDOWN, Vk::Letter('Z'), FromKeyboard | (1 << 30));  // held: a repeat
  Post(WM_KEYUP, Vk::Letter('Z'), FromKeyboard);
  Post(WM_KEYDOWN, Vk::Letter('Z'), FromKeyboard);  // again, after its release
  Post(WM_KEYUP, Vk::Letter('Z'), FromKeyboard);
  // The window covers the monitor; the frame's last pixel is its client area's.
  Post(WM_MOUSEMOVE, 0, MAKELPARAM(client.right - 1, client.bottom - 1));
  Post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - 1, client.bottom - 1));
  Post(WM_KEYDOWN, VK_RETURN, FromKeyboard);
  PumpMessages();
  EXPECT_EQ(menu.Opened, 1);
  EXPECT_EQ(menu.Presses, (std::vector<uint32_t>{Vk::Letter('Z'), Vk::Letter('Z'), Vk::Return}));
  ASSERT_FALSE(menu.Points.empty());
  EXPECT_EQ(menu.Points.back(), std::make_pair(799, 599));
  EXPECT_FALSE(Input.MouseLeft) << "the click was the menu's";
  EXPECT_EQ(Input.Keys[Vk::Letter('Z')], 0);
  const std::string& lines = recording.Lines();
  EXPECT_EQ(lines.find("down"), std::string::npos) << lines;
  CloseDisplay();
}

// --- Boxes -------------------------------------------------------------------------------

TEST_F(Win32PlatformTest, BoxesAreOwnedByTheWindowAndKeepTheirTypesAndCarriageReturns) {
  OpenWin32Window();
  NoticeBox("INTERNAL ERROR", "Loading failed !\r\rNOTE : go on");
  EXPECT_THROW(FatalBox("I/O ERROR", "File access denied !\rFile : SPRITES"), TProgramExit);
  ASSERT_EQ(Boxes.size(), 2u);
  EXPECT_EQ(Boxes[0].Owner, Win32->Window());
  EXPECT_EQ(Boxes[0].Type, 0x50040u);
  EXPECT_EQ(Boxes[0].Caption, "INTERNAL ERROR");
  EXPECT_EQ(Boxes[0].Text, "Loading failed !\r\rNOTE : go on");
  EXPECT_EQ(Boxes[1].Type, 0x50010u);
  EXPECT_EQ(Boxes[1].Text, "File access denied !\rFile : SPRITES");
}

TEST_F(Win32PlatformTest, BoxBeforeTheWindowExistsHasNoOwner) {
  EXPECT_THROW(FatalBox("HARDWARE ERROR !", "Your CPU does not support the MMX technology !"),
               TProgramExit);
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Owner, nullptr);
}

TEST_F(Win32PlatformTest, BoxesVariableMakesBoxesPrintOnly) {
  _putenv_s(BoxesVariable, "stderr");
  TWin32Platform printing({}, {});
  _putenv_s(BoxesVariable, "");
  TWin32Platform showing({}, {});
  EXPECT_FALSE(printing.ShowBox);
  EXPECT_TRUE(showing.ShowBox);
}

// --- Cursor, placement, display mode, presentation -----------------------------------------

TEST_F(Win32PlatformTest, CursorCountMovesOnlyWhenTheCursorChangesState) {
  const int start = CursorCount();
  SetCursorVisible(false);
  SetCursorVisible(false);
  EXPECT_EQ(CursorCount(), start - 1);
  SetCursorVisible(true);
  SetCursorVisible(true);
  EXPECT_EQ(CursorCount(), start);
}

TEST_F(Win32PlatformTest, PlacementMinimizesAndRestoresToTheDisplaysRectangle) {
  OpenWin32Window();
  const HWND window = Win32->Window();
  PlaceWindow(false);
  PumpMessages();
  EXPECT_TRUE(IsIconic(window));
  EXPECT_FALSE(Input.WindowActive);
  PlaceWindow(true);
  PumpMessages();
  EXPECT_FALSE(IsIconic(window));
  EXPECT_TRUE(Input.WindowActive);
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  ASSERT_TRUE(GetWindowPlacement(window, &placement));
  EXPECT_EQ(placement.rcNormalPosition.left, 0);
  EXPECT_EQ(placement.rcNormalPosition.top, 0);
  EXPECT_EQ(placement.rcNormalPosition.right, 799);
  EXPECT_EQ(placement.rcNormalPosition.bottom, 599);
}

TEST_F(Win32PlatformTest, DisplayModeSwitchTakesOnlyAModeTheSystemLists) {
  DEVMODEA current = {};
  current.dmSize = sizeof current;
  ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current));
  // A size no display offers leaves the mode alone.
  EXPECT_FALSE(Win32->SwitchDisplayMode(801, 601, 16));
  // The current mode is listed, so switching to it succeeds and changes nothing visible.
  EXPECT_TRUE(Win32->SwitchDisplayMode(static_cast<int32_t>(current.dmPelsWidth),
                                       static_cast<int32_t>(current.dmPelsHeight),
                                       static_cast<int32_t>(current.dmBitsPerPel)));
  Win32->RestoreDisplayMode();
}

TEST_F(Win32PlatformTest, OpenDisplayCoversTheMonitorAndFramesReachTheWindow) {
  OpenWin32Window();
  const HWND window = Win32->Window();
  OpenDisplay(800, 600);
  EXPECT_TRUE(CoversItsMonitor(window));

  std::vector<uint16_t> frame(800 * 600, 0xF800);  // red
  PresentSurface(frame.data());
  EXPECT_EQ(Win32->PresentedFrames(), 1u);
  RECT client;
  ASSERT_TRUE(GetClientRect(window, &client));
  const HDC dc = GetDC(window);
  const COLORREF centre = GetPixel(dc, client.right / 2, client.bottom / 2);
  ReleaseDC(window, dc);
  EXPECT_GE(GetRValue(centre), 0xF0);
  EXPECT_EQ(GetGValue(centre), 0);
  EXPECT_EQ(GetBValue(centre), 0);
  CloseDisplay();
}

}  // namespace
