// The web back end's C++ half. Each call into the page goes through one EM_JS function below
// to the page's host object (site/page.js), which owns the canvas, the overlays, the events
// and the audio worklet; what the engine decides (the fit of the frame, where a pointer lands,
// which key is which) stays here, in the code the desktop shares.
#include "platform/web/web_platform.h"

#include <emscripten.h>

#include <algorithm>
#include <set>
#include <vector>

#include "platform/display_fit.h"

namespace {

// ---- The page -------------------------------------------------------------------------
// EM_JS bodies go through the C preprocessor: strings in them are double-quoted.

EM_JS(void, HostOpen, (int width, int height), { Module["quibbetHost"].open(width, height); });

// The next event of the page into `event` (kind, then three values); 0 when there is none.
EM_JS(int, HostNextEvent, (int32_t * event), {
  const next = Module["quibbetHost"].nextEvent();
  if (!next) return 0;
  for (let i = 0; i < 4; ++i)
    HEAP32[(event >> 2) + i] = next[i] | 0;
  return 1;
});

EM_JS(void, HostFit, (int x, int y, int w, int h, int multiple, int smooth),
      { Module["quibbetHost"].fit(x, y, w, h, multiple, smooth); });

EM_JS(void, HostPresent, (const uint8_t* rgba, int width, int height, double workMs), {
  Module["quibbetHost"].present(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height,
                                workMs);
});

EM_JS(void, HostBox, (const char* caption, const char* text, int error),
      { Module["quibbetHost"].box(UTF8ToString(caption), UTF8ToString(text), error != 0); });

EM_JS(int, HostBoxOpen, (), { return Module["quibbetHost"].boxOpen() ? 1 : 0; });

EM_JS(void, HostCursor, (int visible), { Module["quibbetHost"].cursor(visible != 0); });

EM_JS(void, HostAudio, (const int16_t* samples, int frames),
      { Module["quibbetHost"].audio(HEAP16.subarray(samples >> 1, (samples >> 1) + 2 * frames)); });

EM_JS(void, HostKeepFrame, (double index), { Module["quibbetHost"].keepFrame(index); });

// ---- Events ---------------------------------------------------------------------------

// What the page sends, as page.js numbers them.
enum TWebEvent : int32_t {
  PointerMove = 1,  // x, y in output pixels of the canvas
  Button = 2,       // button (0 left, 2 right), down
  Key = 3,          // virtual-key code, down
  Visible = 4,      // shown
  Resize = 5,       // output width, height
};

class TWebPlatform final : public TQueuedPlatform {
 public:
  TWebPlatform(TPlatformConfig config, const std::vector<uint64_t>& keep)
      : TQueuedPlatform(std::move(config)), Keep(keep.begin(), keep.end()) {
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

 protected:
  bool CreateNativeWindow(const std::string&, uint8_t) override {
    HostOpen(FrameWidth, FrameHeight);
    return true;
  }

  void PollNativeEvents() override {
    int32_t event[4];
    while (HostNextEvent(event) != 0)
      Translate(event);
  }

  bool WaitNativeEvent() override {
    // A hidden page is woken by the page's events, which only come between sleeps.
    int32_t event[4];
    while (HostNextEvent(event) == 0)
      emscripten_sleep(50);
    Translate(event);
    return true;
  }

  void ShowNativeBox(const std::string& caption, const std::string& text, TBoxKind kind) override {
    HostBox(caption.c_str(), text.c_str(), kind == TBoxKind::Error ? 1 : 0);
    // A notice waits for its button, as a box does; an error stays up as the program ends.
    if (kind == TBoxKind::Information)
      while (HostBoxOpen() != 0)
        emscripten_sleep(50);
  }

  void ApplyCursor(bool visible) override { HostCursor(visible ? 1 : 0); }

  void OpenNativePresentation(int32_t width, int32_t height) override {
    FrameWidth = width;
    FrameHeight = height;
    Rgba.assign(static_cast<size_t>(width) * height, 0);
  }

  void PresentNative(const uint16_t* pixels) override {
    const bool keep = Keep.count(PresentedFrames()) != 0;
    // On a virtual clock frames come far faster than a screen shows them: only those the page
    // shows before it next gets control, and those it keeps, are handed over.
    if (Turbo() && !keep && emscripten_get_now() - Yielded < 15) return;
    for (size_t i = 0; i < Rgba.size(); ++i)
      Rgba[i] = Widen(pixels[i]);
    HostPresent(reinterpret_cast<const uint8_t*>(Rgba.data()), FrameWidth, FrameHeight, Work);
    Work = 0;
    if (keep) HostKeepFrame(static_cast<double>(PresentedFrames()));
  }

  void QueueNativeAudio(const int16_t* samples, size_t frames) override {
    // A virtual clock has no pace for a listener to follow.
    if (!Turbo()) HostAudio(samples, static_cast<int>(frames));
  }

 private:
  // RGB565 to the canvas's bytes R, G, B, A: each channel's top bits repeated into its low
  // ones, as the PNG frames are written, so that both show the same colours.
  static uint32_t Widen(uint16_t p) {
    const uint32_t r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
    return ((r << 3) | (r >> 2)) | ((g << 2) | (g >> 4)) << 8 | ((b << 3) | (b >> 2)) << 16 |
           0xFF000000u;
  }

  void Translate(const int32_t* event) {
    switch (event[0]) {
      case PointerMove: {
        const TFramePoint point = PointerToFrame(event[1], event[2], OutW, OutH, OutW, OutH,
                                                 Fit.Target, FrameWidth, FrameHeight);
        PointerEvent(static_cast<uint16_t>(point.X), static_cast<uint16_t>(point.Y));
        break;
      }
      case Button:
        if (event[1] == 0 || event[1] == 2) ButtonEvent(event[1] == 0, event[2] != 0);
        break;
      case Key:
        if (event[1] > 0 && event[1] < 256)
          KeyEvent(static_cast<uint32_t>(event[1]), event[2] != 0);
        break;
      case Visible:
        if (event[1] == 0) ReleaseControls();  // a hidden tab hears no key go up
        PostMessage({Wm::Activate, ActivateParam(event[1] != 0, event[1] == 0), 0});
        break;
      case Resize:
        OutW = std::max(1, static_cast<int>(event[1]));
        OutH = std::max(1, static_cast<int>(event[2]));
        Fit = FitFrame(OutW, OutH, FrameWidth, FrameHeight, TFitMode::Sharp);
        HostFit(Fit.Target.X, Fit.Target.Y, Fit.Target.W, Fit.Target.H, Fit.Multiple,
                Fit.Smooth ? 1 : 0);
        break;
      default:
        break;
    }
  }

  std::set<uint64_t> Keep;  // frames the page keeps for whoever asks (tests)
  std::vector<uint32_t> Rgba;
  int FrameWidth = 800;
  int FrameHeight = 600;
  int OutW = 800;
  int OutH = 600;
  TFrameFit Fit = FitFrame(800, 600, 800, 600, TFitMode::Sharp);
  double Work = 0;  // milliseconds of the frame spent outside sleeps
  double Woken = emscripten_get_now();
  double Yielded = 0;
};

}  // namespace

std::unique_ptr<TQueuedPlatform> CreateWebPlatform(TPlatformConfig config,
                                                   const std::vector<uint64_t>& keepFrames) {
  return std::make_unique<TWebPlatform>(std::move(config), keepFrames);
}
