// The Win32 back end. The engine's window procedure runs behind a real one; scripted input
// and the pilot's moves are posted to the window as the messages a mouse and keyboard send,
// so everything reaches the engine through DispatchMessageA.
#include "platform/win32/win32_backend.h"

#include <cstdlib>
#include <cstring>

#include "ddlink/ddlink.h"
#include "gfx/boxes.h"

namespace {

// The one window of the program, for the window procedure, which gets no pointer of ours:
// the window is made without creation data.
TWin32Platform* Current = nullptr;

struct TWindowKind {
  DWORD ExStyle;
  DWORD Style;
  UINT ClassStyle;
};

TWindowKind KindOf(uint8_t kind) {
  switch (kind) {
    case 2:
      return {WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE | WS_SYSMENU, CS_BYTEALIGNWINDOW};
    case 3:
      // A child of a parent window that this program never names: creating it fails.
      return {0, WS_CHILD | WS_VISIBLE | WS_SYSMENU, CS_PARENTDC};
    default:
      return {0, WS_POPUP | WS_VISIBLE | WS_SYSMENU, CS_BYTEALIGNWINDOW};
  }
}

bool BoxesPrintOnly() {
  const char* value = std::getenv(BoxesVariable);
  return value != nullptr && std::strcmp(value, "stderr") == 0;
}

}  // namespace

std::unique_ptr<TPlatform> CreateWin32Platform(TPlatformConfig config, TWin32Config win32) {
  return std::make_unique<TWin32Platform>(std::move(config), win32);
}

TWin32Platform::TWin32Platform(TPlatformConfig config, TWin32Config win32)
    : Policy(std::move(config), *this), Win32(win32), Instance(GetModuleHandleA(nullptr)) {
  if (Win32.Scale < 1) Win32.Scale = 1;
  if (!BoxesPrintOnly()) ShowBox = MessageBoxA;
}

TWin32Platform::~TWin32Platform() {
  Audio.reset();
  Proc = nullptr;
  if (Handle != nullptr) {
    if (Dc != nullptr) ReleaseDC(Handle, Dc);
    Dc = nullptr;
    DestroyWindow(Handle);
  }
  Handle = nullptr;
  if (ModeSwitched) ChangeDisplaySettingsA(nullptr, 0);
  // A program registers once and ends; tests make one back end after another.
  if (ClassRegistered) UnregisterClassA(ClassName, Instance);
  if (Current == this) Current = nullptr;
}

// --- Window ----------------------------------------------------------------------------

bool TWin32Platform::RegisterWindowClass(uint8_t kind) {
  WNDCLASSA windowClass = {};
  windowClass.style = KindOf(kind).ClassStyle;
  windowClass.lpfnWndProc = NativeWindowProc;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = Instance;
  windowClass.hIcon = Icon = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszMenuName = nullptr;
  windowClass.lpszClassName = ClassName;
  if (Icon == nullptr)
    NoticeBox("INTERNAL ERROR",
              "Loading application icon failed !\r\rNOTE : Nevertheless you can continue with "
              "this application");
  ClassRegistered = RegisterClassA(&windowClass) != 0;
  return ClassRegistered;
}

bool TWin32Platform::CreateMainWindow(const std::string& title, uint8_t kind, TWindowProc proc) {
  Current = this;
  Proc = proc;
  TWindowKind style = KindOf(kind);
  int x = 0, y = 0, width = CW_USEDEFAULT, height = CW_USEDEFAULT;
  if (Win32.Windowed) {
    style = {0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, style.ClassStyle};
    RECT frame = {0, 0, Policy.FrameWidth() * Win32.Scale, Policy.FrameHeight() * Win32.Scale};
    AdjustWindowRectEx(&frame, style.Style, FALSE, style.ExStyle);
    x = y = CW_USEDEFAULT;
    width = frame.right - frame.left;
    height = frame.bottom - frame.top;
  }
  // WM_CREATE reaches the engine during this call.
  const HWND window = CreateWindowExA(style.ExStyle, ClassName, title.c_str(), style.Style, x, y,
                                      width, height, nullptr, nullptr, Instance, nullptr);
  RethrowPending();
  if (window == nullptr) return false;
  Handle = window;
  ShowWindow(window, SW_SHOWNORMAL);
  RethrowPending();
  if (!UpdateWindow(window))
    FatalBox("WINDOWS ERROR",
             "Updating window failed !\rAn unknown error occured when calling API-Function "
             "\"UpdateWindow\" !");
  RethrowPending();
  Dc = GetDC(window);
  if (Dc == nullptr)
    FatalBox("WINDOWS ERROR",
             "Retrieve display device context failed !\rAn unknown error occured when calling "
             "API-Function \"GetDC\" !");
  DrawIcon(Dc, 0, 0, Icon);
  return true;
}

LRESULT CALLBACK TWin32Platform::NativeWindowProc(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
  TWin32Platform* self = Current;
  if (self == nullptr || self->Proc == nullptr || self->Pending)
    return DefWindowProcA(window, message, wParam, lParam);
  if (self->Handle == nullptr) self->Handle = window;  // messages of CreateWindowExA itself
  if (message == WM_ACTIVATEAPP && wParam == FALSE) self->FocusLost();
  const TMessage handed{message, static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam)};
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP)
    self->HandedLeft = message == WM_LBUTTONDOWN;
  self->Policy.Handed(handed);
  TDispatch dispatch{window, message, wParam, lParam};
  TDispatch* outer = self->Dispatching;
  self->Dispatching = &dispatch;
  LRESULT result = 0;
  try {
    result = static_cast<LRESULT>(self->Proc(handed));
    if (dispatch.Defaulted) result = dispatch.DefaultResult;
  } catch (...) {
    self->Pending = std::current_exception();
  }
  self->Dispatching = outer;
  if (message == WM_NCDESTROY && window == self->Handle) {
    self->Handle = nullptr;
    self->Dc = nullptr;
  }
  return result;
}

void TWin32Platform::RethrowPending() {
  if (!Pending) return;
  std::exception_ptr pending = Pending;
  Pending = nullptr;
  std::rethrow_exception(pending);
}

uint32_t TWin32Platform::DefWindowProc(const TMessage& msg) {
  TDispatch* d = Dispatching;
  if (d != nullptr && d->Message == msg.Message && static_cast<uint32_t>(d->WParam) == msg.WParam &&
      static_cast<uint32_t>(d->LParam) == msg.LParam) {
    d->DefaultResult = DefWindowProcA(d->Window, d->Message, d->WParam, d->LParam);
    d->Defaulted = true;
    return static_cast<uint32_t>(d->DefaultResult);
  }
  return static_cast<uint32_t>(DefWindowProcA(Handle, msg.Message, msg.WParam, msg.LParam));
}

void TWin32Platform::PostQuitMessage() {
  ::PostQuitMessage(0);
}

bool TWin32Platform::ReleaseDeviceContext() {
  if (Dc == nullptr) return true;
  const HWND window = Dispatching != nullptr ? Dispatching->Window : Handle;
  const bool released = ReleaseDC(window, Dc) != 0;
  Dc = nullptr;
  return released;
}

void TWin32Platform::PlaceWindow(bool restore) {
  if (Handle == nullptr) return;
  WINDOWPLACEMENT placement = {};
  static_assert(sizeof placement == 44, "the placement record is 44 bytes");
  placement.length = sizeof placement;
  if (Win32.Windowed) {
    // A framed window keeps its own size and place on the desktop.
    GetWindowPlacement(Handle, &placement);
  } else {
    placement.ptMinPosition = {0, 0};
    placement.ptMaxPosition = {0, 0};
    placement.rcNormalPosition = {0, 0, Policy.FrameWidth() - 1, Policy.FrameHeight() - 1};
  }
  placement.flags = 0;
  placement.showCmd = restore ? SW_RESTORE : SW_MINIMIZE;
  SetWindowPlacement(Handle, &placement);
  RethrowPending();
}

void TWin32Platform::MessageBox(const std::string& caption, const std::string& text,
                                TBoxKind kind) {
  PrintBox(caption, text);
  if (!ShowBox) return;
  // The texts keep their single carriage returns: that is how the box breaks its lines.
  ShowBox(Handle, text.c_str(), caption.c_str(),
          kind == TBoxKind::Error ? FatalBoxType : NoticeBoxType);
  RethrowPending();
}

int TWin32Platform::ShowCursor(bool show) {
  return ::ShowCursor(show ? TRUE : FALSE);
}

// --- Display ---------------------------------------------------------------------------

bool TWin32Platform::SwitchDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel) {
  // A framed window shares the desktop, whose mode is the user's.
  if (Win32.Windowed) return false;
  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  // The first mode of that size and depth, whatever its refresh rate.
  for (DWORD index = 0; index <= 65534; ++index) {
    if (!EnumDisplaySettingsA(nullptr, index, &mode)) break;
    if (mode.dmPelsWidth == static_cast<DWORD>(width) &&
        mode.dmPelsHeight == static_cast<DWORD>(height) &&
        mode.dmBitsPerPel == static_cast<DWORD>(bitsPerPixel)) {
      ChangeDisplaySettingsA(&mode, 0);
      ModeSwitched = true;
      return true;
    }
  }
  return false;
}

void TWin32Platform::RestoreDisplayMode() {
  ChangeDisplaySettingsA(nullptr, 0);
  ModeSwitched = false;
}

void TWin32Platform::OpenPresentation(int32_t width, int32_t height) {
  Policy.OpenFrames(width, height);
  GetDefaultDirectDraw(Handle, width, height);
}

void TWin32Platform::Present(const uint16_t* pixels) {
  DirectDrawBlit(pixels);
  // Steering moves the pointer once a frame; the moves reach the game with this frame's pump.
  Policy.FramePresented(pixels);
}

void TWin32Platform::PresentNative(const uint16_t* pixels) {
  if (Handle != nullptr) DirectDrawBlit(pixels);
}

void TWin32Platform::ClosePresentation() {
  CloseDirectDraw();
}

void TWin32Platform::WaitForNextFrame() {
  Sleep(Policy.FrameWaitMs());
}

void TWin32Platform::NativeSleep(uint32_t ms) {
  // Sleep wakes on the system's timer tick, 15.6 ms apart unless the process asks for 1 ms;
  // the frames' deadline needs the finer one. The request lasts as long as the process.
  static const bool FineTimer = timeBeginPeriod(1) == TIMERR_NOERROR;
  (void)FineTimer;
  ::Sleep(ms);
}

// --- Sound -----------------------------------------------------------------------------

void TWin32Platform::QueueAudio(const int16_t* samples, size_t frames) {
  if (!Audio) Audio = std::make_unique<TWin32Audio>(Policy.Turbo());
  Audio->Queue(Policy.AsHeard(samples, frames), frames);
}
