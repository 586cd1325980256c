// ddlink.dll on its own: frames fitted into a window's client area with black borders, a
// borderless window made to cover its monitor, and calls without presentation doing nothing.
// Needs a desktop (Wine on Xvfb will do).
#include "ddlink/ddlink.h"

#include <gtest/gtest.h>

#include <vector>

#include "win32/monitor_cover.h"

namespace {

class DdlinkTest : public ::testing::Test {
 protected:
  static constexpr const char* ClassName = "ddlink test window";

  void SetUp() override {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = ClassName;
    ASSERT_NE(RegisterClassA(&windowClass), 0);
  }

  void TearDown() override {
    CloseDirectDraw();
    if (Window != nullptr) DestroyWindow(Window);
    UnregisterClassA(ClassName, GetModuleHandleA(nullptr));
  }

  // A framed window whose client area is width x height.
  void MakeFramedWindow(int width, int height) {
    RECT frame = {0, 0, width, height};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    Window = CreateWindowExA(0, ClassName, "test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                             frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(Window, nullptr) << "no desktop to make the window on";
    UpdateWindow(Window);
  }

  COLORREF PixelAt(int x, int y) {
    const HDC dc = GetDC(Window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(Window, dc);
    return colour;
  }

  HWND Window = nullptr;
};

TEST_F(DdlinkTest, FrameIsScaledIntoTheClientAreaWithItsAspectAndBlackBorders) {
  MakeFramedWindow(300, 100);
  // A 4 x 2 frame: its left column red, the rest blue.
  std::vector<uint16_t> frame = {0xF800, 0x001F, 0x001F, 0x001F,  //
                                 0xF800, 0x001F, 0x001F, 0x001F};
  ASSERT_TRUE(GetDefaultDirectDraw(Window, 4, 2));
  ASSERT_TRUE(DirectDrawBlit(frame.data()));
  // 300 x 100 holds the frame at 200 x 100, from x 50: one frame pixel is 50 x 50.
  EXPECT_EQ(PixelAt(25, 50), RGB(0, 0, 0));
  EXPECT_EQ(PixelAt(275, 50), RGB(0, 0, 0));
  EXPECT_GE(GetRValue(PixelAt(75, 25)), 0xF0);
  EXPECT_EQ(GetBValue(PixelAt(75, 25)), 0);
  EXPECT_GE(GetBValue(PixelAt(225, 75)), 0xF0);
  EXPECT_EQ(GetRValue(PixelAt(225, 75)), 0);
}

TEST_F(DdlinkTest, BorderlessWindowIsMadeToCoverItsMonitor) {
  Window = CreateWindowExA(0, ClassName, "test", WS_POPUP | WS_VISIBLE, 0, 0, CW_USEDEFAULT,
                           CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(Window, nullptr) << "no desktop to make the window on";
  ASSERT_TRUE(GetDefaultDirectDraw(Window, 800, 600));
  EXPECT_TRUE(CoversItsMonitor(Window));
}

TEST_F(DdlinkTest, WithoutPresentationOrWindowNothingIsDrawn) {
  std::vector<uint16_t> frame(4 * 2, 0xFFFF);
  EXPECT_FALSE(DirectDrawBlit(frame.data()));
  EXPECT_FALSE(GetDefaultDirectDraw(nullptr, 4, 2));
  EXPECT_FALSE(DirectDrawBlit(frame.data()));
  MakeFramedWindow(40, 20);
  ASSERT_TRUE(GetDefaultDirectDraw(Window, 4, 2));
  EXPECT_FALSE(DirectDrawBlit(nullptr));
  // A window closed under the presentation: the frames of the scenes still to come go nowhere.
  DestroyWindow(Window);
  Window = nullptr;
  EXPECT_FALSE(DirectDrawBlit(frame.data()));
}

}  // namespace
