// The web back end's C++ half. It reaches the page through page_bridge.h, whose other side
// (site/) owns the canvas, the overlays, the events and the audio worklet; what the engine
// decides (the fit of the frame, where a pointer lands, which key is which) stays here, in the
// code the desktop shares. Emscripten's clock and its sleep, which returns to the browser
// through Asyncify, are the only other calls out.
#include "platform/web/web_platform.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "platform/controls.h"
#include "platform/display_fit.h"
#include "platform/web/dom_keys.h"
#include "platform/web/page_bridge.h"

namespace {

class TWebPlatform final : public TQueuedPlatform {
 public:
  TWebPlatform(TPlatformConfig config, const std::vector<uint64_t>& keep)
      : TQueuedPlatform(InTheWindow(std::move(config))), Keep(keep.begin(), keep.end()) {
    KeepsFrames = true;
  }

  uint32_t TickCount() override {
    if (Turbo()) return TQueuedPlatform::TickCount();
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
  }

  void Sleep(uint32_t ms) override {
    const double now = emscripten_get_now();
    Work += now - Woken;
    if (Turbo()) {
      TQueuedPlatform::Sleep(ms);
      // A virtual clock never waits, but the page must still draw and hear its events.
      if (now - Yielded < 16) return;
      emscripten_sleep(0);
      Yielded = emscripten_get_now();
    } else {
      emscripten_sleep(ms);
    }
    Woken = emscripten_get_now();
  }

  bool DataArrived() override { return std::exchange(Arrived, false); }

 protected:
  bool CreateNativeWindow(const std::string&, uint8_t) override {
    Page::Open(FrameWidth(), FrameHeight(), DomKeyNames());
    return true;
  }

  void PollNativeEvents() override {
    TPageEvent event;
    while (Page::NextEvent(event))
      Translate(event);
  }

  bool WaitNativeEvent() override {
    // A hidden page is woken by the page's events, which only come between sleeps.
    TPageEvent event;
    while (!Page::NextEvent(event))
      emscripten_sleep(50);
    Translate(event);
    return true;
  }

  void ShowNativeBox(const std::string& caption, const std::string& text, TBoxKind kind) override {
    Page::ShowBox(caption, text, kind == TBoxKind::Error);
    // A notice waits for its button, as a box does; an error stays up as the program ends.
    if (kind == TBoxKind::Information)
      while (Page::BoxOpen())
        emscripten_sleep(50);
  }

  void ApplyCursor(bool visible) override { Page::ShowCursor(visible); }

  void OpenNativePresentation(int32_t width, int32_t height) override {
    Rgba.assign(static_cast<size_t>(width) * height, 0);
  }

  void PresentNative(const uint16_t* pixels) override {
    const bool keep = Keep.count(PresentedFrames()) != 0;
    // On a virtual clock frames come far faster than a screen shows them: only those the page
    // shows before it next gets control, and those it keeps, are handed over.
    if (Turbo() && !keep && emscripten_get_now() - Yielded < 15) return;
    for (size_t i = 0; i < Rgba.size(); ++i)
      Rgba[i] = Widen(pixels[i]);
    Page::Present(Rgba.data(), FrameWidth(), FrameHeight(), Work);
    Work = 0;
    if (keep) Page::FrameRecorded(PresentedFrames());
  }

  void QueueNativeAudio(const int16_t* samples, size_t frames) override {
    // A virtual clock has no pace for a listener to follow.
    if (!Turbo()) Page::PlaySound(samples, frames);
  }

  // The page's full screen is the browser's to grant; the page says what came of it. A page
  // has no window size of its own.
  bool ToggleNativeFullScreen() override {
    Page::ToggleFullScreen();
    return true;
  }
  TDisplayChoices NativeDisplayChoices() override { return {true, true, false, 1}; }
  void ApplyNativeDisplay() override { Refit(); }

 private:
  // A page starts in the browser's window, whatever the settings say.
  static TPlatformConfig InTheWindow(TPlatformConfig config) {
    config.Player.FullScreen = false;
    return config;
  }

  void Refit() {
    Fit = FitFrame(OutW, OutH, FrameWidth(), FrameHeight(), Player().Fit);
    Page::Fit(Fit.Target.X, Fit.Target.Y, Fit.Target.W, Fit.Target.H, Fit.Multiple, Fit.Smooth);
  }

  // RGB565 to the canvas's bytes R, G, B, A: each channel's top bits repeated into its low
  // ones, as the PNG frames are written, so that both show the same colours.
  static uint32_t Widen(uint16_t p) {
    const uint32_t r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
    return ((r << 3) | (r >> 2)) | ((g << 2) | (g >> 4)) << 8 | ((b << 3) | (b >> 2)) << 16 |
           0xFF000000u;
  }

  void Translate(const TPageEvent& event) {
    switch (event.Kind) {
      case TPageEventKind::PointerMove: {
        const TFramePoint point = PointerToFrame(event.X, event.Y, OutW, OutH, OutW, OutH,
                                                 Fit.Target, FrameWidth(), FrameHeight());
        PointerEvent(static_cast<uint16_t>(point.X), static_cast<uint16_t>(point.Y));
        break;
      }
      case TPageEventKind::Button:
        if (event.Button == LeftButton || event.Button == RightButton)
          ButtonEvent(event.Button == LeftButton, event.Down);
        break;
      case TPageEventKind::Key:
        if (const std::optional<uint8_t> code = DomKeyCode(event.KeyCode))
          KeyEvent(*code, event.Down);
        break;
      case TPageEventKind::Visible:
        if (!event.Down) ReleaseControls();  // a hidden tab hears no key go up
        PostMessage({Wm::Activate, ActivateParam(event.Down, !event.Down), 0});
        break;
      case TPageEventKind::Resize:
        OutW = std::max(1, static_cast<int>(event.X));
        OutH = std::max(1, static_cast<int>(event.Y));
        Refit();
        break;
      case TPageEventKind::Menu:
        RequestPause();
        break;
      case TPageEventKind::Mute:
        RequestMute();
        break;
      case TPageEventKind::FullScreen:
        FullScreenIs(event.Down);
        break;
      case TPageEventKind::PadButton:
        TranslatePadButton(event.Button, event.Down, event.Value);
        break;
      case TPageEventKind::PadAxis:
        if (event.Button == PadStickVertical) PadStickEvent(PadTravel(event.Value));
        break;
      case TPageEventKind::PadGone:
        ReleaseControls();  // a pad pulled out mid-shot must not fire for good
        break;
      case TPageEventKind::Data:
        Arrived = true;
        break;
    }
  }

  // --- Gamepads -----------------------------------------------------------------------
  // The browser's standard layout, mapped as the desktop maps SDL's controllers.

  void TranslatePadButton(int32_t index, bool down, double value) {
    switch (index) {
      case PadA:
        return PadButtonEvent(TPadButton::Fire, down);
      case PadB:
        return PadButtonEvent(TPadButton::Cancel, down);
      case PadRightTrigger:
        return PadTriggerEvent(PadTravel(value));
      case PadBack:
        return PadButtonEvent(TPadButton::Back, down);
      case PadStart:
        return PadButtonEvent(TPadButton::Start, down);
      case PadUp:
        return PadButtonEvent(TPadButton::Up, down);
      case PadDown:
        return PadButtonEvent(TPadButton::Down, down);
      case PadLeft:
        return PadButtonEvent(TPadButton::Left, down);
      case PadRight:
        return PadButtonEvent(TPadButton::Right, down);
      default:
        return;
    }
  }

  // The page's fractions of a stick's or trigger's travel in the pad numbers the policy takes.
  static int32_t PadTravel(double value) {
    return static_cast<int32_t>(std::lround(std::clamp(value, -1.0, 1.0) * TControls::PadTravel));
  }

  // The page's numbers of the mouse buttons (PointerEvent.button).
  static constexpr int32_t LeftButton = 0;
  static constexpr int32_t RightButton = 2;
  // The standard layout's numbers of the pad's buttons and of the left stick's vertical axis
  // (Gamepad.buttons and Gamepad.axes).
  static constexpr int32_t PadA = 0, PadB = 1, PadRightTrigger = 7, PadBack = 8, PadStart = 9,
                           PadUp = 12, PadDown = 13, PadLeft = 14, PadRight = 15;
  static constexpr int32_t PadStickVertical = 1;

  std::set<uint64_t> Keep;  // frames the address asked to record
  std::vector<uint32_t> Rgba;
  int OutW = 800;
  int OutH = 600;
  TFrameFit Fit = FitFrame(800, 600, 800, 600, TFitMode::Sharp);
  double Work = 0;  // milliseconds of the frame spent outside sleeps
  double Woken = emscripten_get_now();
  double Yielded = 0;
  bool Arrived = false;  // the page has written an archive the run started without
};

}  // namespace

std::unique_ptr<TQueuedPlatform> CreateWebPlatform(TPlatformConfig config,
                                                   const std::vector<uint64_t>& recordFrames) {
  return std::make_unique<TWebPlatform>(std::move(config), recordFrames);
}
