// ddlink.dll behind its three exports: GDI's StretchDIBits draws each RGB565 frame (a 16-bit
// bit-field bitmap, masks F800/07E0/001F) into the window's client area, scaled with its
// aspect kept and black borders. A borderless window is first made to cover its monitor.
#include "ddlink/ddlink.h"

namespace {

struct TFrameInfo {
  BITMAPINFOHEADER Header;
  DWORD Masks[3];  // red, green, blue: what BI_BITFIELDS reads after the header
};

HWND Window = nullptr;
int FrameWidth = 0;
int FrameHeight = 0;
TFrameInfo Info = {};

// A pop-up window has no size of its own (it is made with default sizes, which pop-ups do
// not get); as a full-screen presentation would, it takes the whole monitor it is on.
void CoverMonitor(HWND window) {
  if ((GetWindowLongA(window, GWL_STYLE) & WS_POPUP) == 0) return;
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
  const RECT& area = monitor.rcMonitor;
  SetWindowPos(window, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// The largest rectangle of the frame's aspect inside the client area, centred.
RECT FitFrame(const RECT& client) {
  const LONGLONG cw = client.right - client.left, ch = client.bottom - client.top;
  LONGLONG w = cw, h = cw * FrameHeight / FrameWidth;
  if (h > ch) {
    h = ch;
    w = ch * FrameWidth / FrameHeight;
  }
  const LONG left = static_cast<LONG>((cw - w) / 2), top = static_cast<LONG>((ch - h) / 2);
  return {left, top, left + static_cast<LONG>(w), top + static_cast<LONG>(h)};
}

void PaintBorders(HDC dc, const RECT& client, const RECT& frame) {
  const HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  const RECT borders[4] = {{client.left, client.top, client.right, frame.top},
                           {client.left, frame.bottom, client.right, client.bottom},
                           {client.left, frame.top, frame.left, frame.bottom},
                           {frame.right, frame.top, client.right, frame.bottom}};
  for (const RECT& border : borders)
    if (border.right > border.left && border.bottom > border.top) FillRect(dc, &border, black);
}

}  // namespace

BOOL WINAPI GetDefaultDirectDraw(HWND window, int width, int height) {
  Window = nullptr;
  if (width <= 0 || height <= 0 || !IsWindow(window)) return FALSE;
  Window = window;
  FrameWidth = width;
  FrameHeight = height;
  Info = {};
  Info.Header.biSize = sizeof(BITMAPINFOHEADER);
  Info.Header.biWidth = width;
  Info.Header.biHeight = -height;  // top row first
  Info.Header.biPlanes = 1;
  Info.Header.biBitCount = 16;
  Info.Header.biCompression = BI_BITFIELDS;
  Info.Masks[0] = 0xF800;
  Info.Masks[1] = 0x07E0;
  Info.Masks[2] = 0x001F;
  CoverMonitor(window);
  return TRUE;
}

BOOL WINAPI DirectDrawBlit(const void* pixels) {
  // A window closed while the game still runs its last frames simply shows nothing.
  if (Window == nullptr || pixels == nullptr || !IsWindow(Window)) return FALSE;
  RECT client;
  if (!GetClientRect(Window, &client) || client.right <= 0 || client.bottom <= 0) return FALSE;
  const HDC dc = GetDC(Window);
  if (dc == nullptr) return FALSE;
  const RECT frame = FitFrame(client);
  PaintBorders(dc, client, frame);
  SetStretchBltMode(dc, COLORONCOLOR);
  const int lines =
      StretchDIBits(dc, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                    0, 0, FrameWidth, FrameHeight, pixels,
                    reinterpret_cast<const BITMAPINFO*>(&Info), DIB_RGB_COLORS, SRCCOPY);
  // The frame must be on the screen before the caller reuses the buffer.
  GdiFlush();
  ReleaseDC(Window, dc);
  return lines > 0 ? TRUE : FALSE;
}

BOOL WINAPI CloseDirectDraw() {
  Window = nullptr;
  return TRUE;
}
