// SDL2 back end. SDL events become window messages with virtual-key codes, pointer positions
// become frame pixels whatever the window's size and the screen's density, and each frame is
// drawn through a streaming RGB565 texture fitted to the output (see display_fit.h).
#include "platform/sdl/sdl_platform.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

#include "platform/keys.h"
#include "platform/sdl/sdl_audio.h"

namespace {

// The virtual-key code of an SDL key, 0 for keys the game has no code for.
uint32_t VirtualKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return Vk::A + static_cast<uint32_t>(key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return Vk::Digit0 + static_cast<uint32_t>(key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return Vk::F1 + static_cast<uint32_t>(key - SDLK_F1);
  switch (key) {
    case SDLK_BACKSPACE:
      return Vk::Backspace;
    case SDLK_TAB:
      return Vk::Tab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return Vk::Return;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return Vk::Shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return Vk::Control;
    case SDLK_PAUSE:
      return Vk::Pause;
    case SDLK_ESCAPE:
      return Vk::Escape;
    case SDLK_SPACE:
      return Vk::Space;
    case SDLK_PAGEUP:
      return Vk::PageUp;
    case SDLK_PAGEDOWN:
      return Vk::PageDown;
    case SDLK_END:
      return Vk::End;
    case SDLK_HOME:
      return Vk::Home;
    case SDLK_LEFT:
      return Vk::Left;
    case SDLK_UP:
      return Vk::Up;
    case SDLK_RIGHT:
      return Vk::Right;
    case SDLK_DOWN:
      return Vk::Down;
    case SDLK_INSERT:
      return Vk::Insert;
    case SDLK_DELETE:
      return Vk::Delete;
    case SDLK_KP_PLUS:
      return Vk::KeypadPlus;
    case SDLK_KP_MINUS:
      return Vk::KeypadMinus;
    case SDLK_EQUALS:  // the key with + on it
      return Vk::Plus;
    case SDLK_MINUS:
      return Vk::Minus;
    default:
      return 0;
  }
}

std::string WithLineFeeds(std::string text) {
  std::replace(text.begin(), text.end(), '\r', '\n');
  return text;
}

class TSdlPlatform : public TQueuedPlatform {
 public:
  explicit TSdlPlatform(TPlatformConfig config) : TQueuedPlatform(std::move(config)) {
    KeepsFrames = true;
  }

  // Every way out of the program passes here (main() owns the back end and unwinds to it
  // after a fatal box too): the window, and with it a full screen and a pointer grab, goes.
  ~TSdlPlatform() override {
    Audio.reset();
    for (const auto& [id, pad] : Pads)
      SDL_GameControllerClose(pad);
    CloseNativePresentation();
    DestroyNativeWindow();
    if (Initialised) {
      SDL_ShowCursor(SDL_ENABLE);
      SDL_Quit();
    }
  }

  bool RegisterWindowClass(uint8_t) override {
    // A player who switches to another program without minimizing expects the game to run
    // on behind it, full screen or not.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // SDL also turns SIGINT and SIGTERM into SDL_QUIT, which closes the window: the run then
    // ends like any closed window, releasing the screen and the pointer.
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
      std::fprintf(stderr, "SDL could not start its video: %s\n", SDL_GetError());
      return false;
    }
    Initialised = true;
    // A pad is optional: without SDL's controller support the game plays on without one.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
      std::fprintf(stderr, "quibbet: no gamepad support (%s)\n", SDL_GetError());
    return true;
  }

 protected:
  bool CreateNativeWindow(const std::string& title, uint8_t) override {
    // Full screen takes the desktop's own mode; the windowed size is kept for Alt+Enter.
    // Hidden until the renderer exists: an OpenGL renderer makes SDL create the window
    // anew, which would flash it on the screen twice.
    Uint32 flags = SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN;
    if (Player().FullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    const int scale = std::clamp(Player().Scale, 1, 16);
    WindowScale = scale;
    Window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                              FrameWidth() * scale, FrameHeight() * scale, flags);
    if (Window == nullptr) return Fail("create the window");
    Renderer = SDL_CreateRenderer(Window, -1, 0);
    if (Renderer == nullptr) Renderer = SDL_CreateRenderer(Window, -1, SDL_RENDERER_SOFTWARE);
    if (Renderer == nullptr) return Fail("create a renderer");
    SDL_ShowWindow(Window);
    SDL_SetRenderDrawColor(Renderer, 0, 0, 0, 255);
    SDL_RenderClear(Renderer);
    SDL_RenderPresent(Renderer);
    if (CursorHidden) SDL_SetWindowMouseGrab(Window, SDL_TRUE);
    return true;
  }

  void DestroyNativeWindow() override {
    DestroyTextures();
    if (Renderer != nullptr) SDL_DestroyRenderer(Renderer);
    if (Window != nullptr) {
      SDL_SetWindowMouseGrab(Window, SDL_FALSE);
      SDL_DestroyWindow(Window);
    }
    Renderer = nullptr;
    Window = nullptr;
  }

  void PollNativeEvents() override {
    SDL_Event event;
    while (SDL_PollEvent(&event))
      Translate(event);
  }

  bool WaitNativeEvent() override {
    SDL_Event event;
    if (SDL_WaitEvent(&event) == 0) return false;
    Translate(event);
    return true;
  }

  void ShowNativeBox(const std::string& caption, const std::string& text, TBoxKind kind) override {
    const Uint32 flags =
        kind == TBoxKind::Error ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    SDL_ShowSimpleMessageBox(flags, caption.c_str(), WithLineFeeds(text).c_str(), Window);
  }

  void ApplyCursor(bool visible) override {
    CursorHidden = !visible;
    if (!Initialised) return;
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
    // A hidden cursor means the game has the mouse: it stays inside the window, so the bus
    // follows it over the borders and no click lands on another program. SDL holds the grab
    // only while the window has the focus and gives it up when the focus goes.
    if (Window != nullptr) SDL_SetWindowMouseGrab(Window, visible ? SDL_FALSE : SDL_TRUE);
  }

  void PlaceNativeWindow(bool restore) override {
    if (Window == nullptr) return;
    if (restore)
      SDL_RestoreWindow(Window);
    else
      SDL_MinimizeWindow(Window);
  }

  void OpenNativePresentation(int32_t, int32_t) override {
    if (Renderer == nullptr) return;
    CreateFrameTexture();
  }

  void PresentNative(const uint16_t* pixels) override {
    if (Frame == nullptr) return;
    SDL_UpdateTexture(Frame, nullptr, pixels, FrameWidth() * 2);
    HasFrame = true;
    Draw();
  }

  void CloseNativePresentation() override {
    DestroyTextures();
    HasFrame = false;
  }

  void QueueNativeAudio(const int16_t* samples, size_t frames) override {
    if (!Audio) Audio = std::make_unique<TSdlAudio>(Turbo());
    Audio->Queue(samples, frames);
  }

 private:
  bool Fail(const char* what) {
    std::fprintf(stderr, "SDL could not %s: %s\n", what, SDL_GetError());
    DestroyNativeWindow();
    return false;
  }

  // --- Presentation ------------------------------------------------------------------

  void CreateFrameTexture() {
    Frame = SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                              FrameWidth(), FrameHeight());
    if (Frame == nullptr)
      std::fprintf(stderr, "SDL could not create the frame texture: %s\n", SDL_GetError());
  }

  void DestroyTextures() {
    if (Enlarged != nullptr) SDL_DestroyTexture(Enlarged);
    if (Frame != nullptr) SDL_DestroyTexture(Frame);
    Enlarged = nullptr;
    Frame = nullptr;
    EnlargedMultiple = 0;
  }

  TFrameFit CurrentFit(int& outW, int& outH) const {
    // The renderer's output counts real pixels; on a high-DPI screen the window's size does
    // not.
    if (SDL_GetRendererOutputSize(Renderer, &outW, &outH) != 0) {
      outW = FrameWidth();
      outH = FrameHeight();
    }
    return FitFrame(outW, outH, FrameWidth(), FrameHeight(), Player().Fit);
  }

  // The frame enlarged by whole pixels into a target texture, which the last step then
  // smooths; the frame itself when the renderer cannot draw into textures.
  SDL_Texture* Enlarge(int multiple) {
    if (!SDL_RenderTargetSupported(Renderer)) return Frame;
    if (Enlarged == nullptr || EnlargedMultiple != multiple) {
      if (Enlarged != nullptr) SDL_DestroyTexture(Enlarged);
      Enlarged = SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                   FrameWidth() * multiple, FrameHeight() * multiple);
      EnlargedMultiple = multiple;
      if (Enlarged == nullptr) return Frame;
      SDL_SetTextureScaleMode(Enlarged, SDL_ScaleModeLinear);
    }
    SDL_SetRenderTarget(Renderer, Enlarged);
    SDL_SetTextureScaleMode(Frame, SDL_ScaleModeNearest);
    SDL_RenderCopy(Renderer, Frame, nullptr, nullptr);
    SDL_SetRenderTarget(Renderer, nullptr);
    return Enlarged;
  }

  void Draw() {
    if (Frame == nullptr || !HasFrame) return;
    int outW = 0, outH = 0;
    const TFrameFit fit = CurrentFit(outW, outH);
    SDL_Texture* source = fit.Smooth && fit.Multiple > 1 ? Enlarge(fit.Multiple) : Frame;
    if (source == Frame)
      SDL_SetTextureScaleMode(Frame, fit.Smooth ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    const SDL_Rect target{fit.Target.X, fit.Target.Y, fit.Target.W, fit.Target.H};
    SDL_SetRenderDrawColor(Renderer, 0, 0, 0, 255);
    SDL_RenderClear(Renderer);
    SDL_RenderCopy(Renderer, source, nullptr, &target);
    SDL_RenderPresent(Renderer);
  }

  bool ToggleNativeFullScreen() override {
    if (Window == nullptr) return false;
    const bool full = (SDL_GetWindowFlags(Window) & SDL_WINDOW_FULLSCREEN) != 0;
    if (SDL_SetWindowFullscreen(Window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) == 0) return true;
    std::fprintf(stderr, "SDL could not switch full screen: %s\n", SDL_GetError());
    return false;
  }

  TDisplayChoices NativeDisplayChoices() override {
    TDisplayChoices choices{true, true, true, 1};
    // As large a window as the desktop holds beside its panels, and never less than the one
    // the player already has.
    SDL_Rect usable{};
    const int display = Window != nullptr ? SDL_GetWindowDisplayIndex(Window) : 0;
    if (SDL_GetDisplayUsableBounds(std::max(display, 0), &usable) == 0)
      choices.MaxScale = std::min(usable.w / FrameWidth(), usable.h / FrameHeight());
    choices.MaxScale = std::clamp(std::max(choices.MaxScale, Player().Scale), 1, 16);
    return choices;
  }

  void ApplyNativeDisplay() override {
    if (Window == nullptr) return;
    // Only a new scale sizes the window, which the player may have sized by hand; full
    // screen keeps the size for when the window comes back.
    const int scale = std::clamp(Player().Scale, 1, 16);
    if (scale != WindowScale) {
      WindowScale = scale;
      SDL_SetWindowSize(Window, FrameWidth() * scale, FrameHeight() * scale);
      if ((SDL_GetWindowFlags(Window) & SDL_WINDOW_FULLSCREEN) == 0)
        SDL_SetWindowPosition(Window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    Draw();  // at the new fit
  }

  // --- Events ------------------------------------------------------------------------

  void TranslateKey(const SDL_KeyboardEvent& key) {
    // A key held repeats; the game's key table and the controls need it once.
    if (key.repeat != 0) return;
    const bool down = key.type == SDL_KEYDOWN;
    const bool alt = (key.keysym.mod & KMOD_ALT) != 0;
    // Alt+Enter belongs to the window, not to the game.
    if (alt && (key.keysym.sym == SDLK_RETURN || key.keysym.sym == SDLK_KP_ENTER)) {
      if (down) RequestFullScreen();
      return;
    }
    const uint32_t code = VirtualKey(key.keysym.sym);
    if (code == 0) return;
    // Alt combinations are system keys and never reach the key table. A release always
    // does: a key let go while Alt is held would otherwise stay down for good.
    if (down && alt)
      PostMessage({Wm::SysKeyDown, code, 0});
    else
      KeyEvent(code, down);
  }

  void TranslateMotion(const SDL_MouseMotionEvent& motion) {
    int windowW = 0, windowH = 0, outW = 0, outH = 0;
    SDL_GetWindowSize(Window, &windowW, &windowH);
    const TFrameFit fit = CurrentFit(outW, outH);
    const TFramePoint point = PointerToFrame(motion.x, motion.y, windowW, windowH, outW, outH,
                                             fit.Target, FrameWidth(), FrameHeight());
    PointerEvent(static_cast<uint16_t>(point.X), static_cast<uint16_t>(point.Y));
  }

  void TranslateButton(const SDL_MouseButtonEvent& button) {
    const bool down = button.type == SDL_MOUSEBUTTONDOWN;
    if (button.button == SDL_BUTTON_LEFT) ButtonEvent(true, down);
    if (button.button == SDL_BUTTON_RIGHT) ButtonEvent(false, down);
  }

  // --- Gamepads -----------------------------------------------------------------------

  void TranslatePadDevice(const SDL_ControllerDeviceEvent& device) {
    if (device.type == SDL_CONTROLLERDEVICEADDED) {
      if (SDL_GameController* pad = SDL_GameControllerOpen(device.which))
        Pads[SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad))] = pad;
      return;
    }
    const auto found = Pads.find(device.which);
    if (found == Pads.end()) return;
    SDL_GameControllerClose(found->second);
    Pads.erase(found);
    ReleaseControls();  // a pad pulled out mid-shot must not fire for good
  }

  void TranslatePadButton(const SDL_ControllerButtonEvent& button) {
    const bool down = button.type == SDL_CONTROLLERBUTTONDOWN;
    switch (button.button) {
      case SDL_CONTROLLER_BUTTON_A:
        return PadButtonEvent(TPadButton::Fire, down);
      case SDL_CONTROLLER_BUTTON_DPAD_UP:
        return PadButtonEvent(TPadButton::Up, down);
      case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return PadButtonEvent(TPadButton::Down, down);
      case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return PadButtonEvent(TPadButton::Left, down);
      case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return PadButtonEvent(TPadButton::Right, down);
      case SDL_CONTROLLER_BUTTON_B:
        return PadButtonEvent(TPadButton::Cancel, down);
      case SDL_CONTROLLER_BUTTON_START:
        return PadButtonEvent(TPadButton::Start, down);
      case SDL_CONTROLLER_BUTTON_BACK:
        return PadButtonEvent(TPadButton::Back, down);
      default:
        return;
    }
  }

  void TranslatePadAxis(const SDL_ControllerAxisEvent& axis) {
    if (axis.axis == SDL_CONTROLLER_AXIS_LEFTY) PadStickEvent(axis.value);
    if (axis.axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT) PadTriggerEvent(axis.value);
  }

  void TranslateWindow(const SDL_WindowEvent& window) {
    // The engine only pauses for a minimized window. Focus and minimizing come as separate
    // events in either order, so each message carries both states as they now stand.
    switch (window.event) {
      case SDL_WINDOWEVENT_MINIMIZED:
        Minimized = true;
        break;
      case SDL_WINDOWEVENT_RESTORED:
      case SDL_WINDOWEVENT_MAXIMIZED:
      case SDL_WINDOWEVENT_SHOWN:
        if (!Minimized) return;
        Minimized = false;
        break;
      case SDL_WINDOWEVENT_FOCUS_GAINED:
        Focused = true;
        break;
      case SDL_WINDOWEVENT_FOCUS_LOST:
        Focused = false;
        FocusLost();  // keys let go in another window never come back here
        break;
      case SDL_WINDOWEVENT_EXPOSED:
      case SDL_WINDOWEVENT_SIZE_CHANGED:
        Draw();  // the last frame again, fitted to the new size
        return;
      case SDL_WINDOWEVENT_CLOSE:
        PostMessage({Wm::Close, 0, 0});
        return;
      default:
        return;
    }
    PostMessage({Wm::Activate, ActivateParam(Focused && !Minimized, Minimized), 0});
  }

  void Translate(const SDL_Event& event) {
    switch (event.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        TranslateKey(event.key);
        break;
      case SDL_MOUSEMOTION:
        if (Window != nullptr) TranslateMotion(event.motion);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        TranslateButton(event.button);
        break;
      case SDL_WINDOWEVENT:
        if (Window != nullptr) TranslateWindow(event.window);
        break;
      case SDL_RENDER_DEVICE_RESET:
        // The textures went with the device; the next frame refills a new one.
        if (Renderer != nullptr && Frame != nullptr) {
          DestroyTextures();
          HasFrame = false;
          CreateFrameTexture();
        }
        break;
      case SDL_CONTROLLERDEVICEADDED:
      case SDL_CONTROLLERDEVICEREMOVED:
        TranslatePadDevice(event.cdevice);
        break;
      case SDL_CONTROLLERBUTTONDOWN:
      case SDL_CONTROLLERBUTTONUP:
        TranslatePadButton(event.cbutton);
        break;
      case SDL_CONTROLLERAXISMOTION:
        TranslatePadAxis(event.caxis);
        break;
      case SDL_QUIT:
        PostMessage({Wm::Close, 0, 0});
        break;  // also what SIGINT and SIGTERM become
      default:
        break;
    }
  }

  std::unique_ptr<TSdlAudio> Audio;
  std::map<SDL_JoystickID, SDL_GameController*> Pads;
  bool Initialised = false;
  SDL_Window* Window = nullptr;
  SDL_Renderer* Renderer = nullptr;
  SDL_Texture* Frame = nullptr;     // the frame as presented, RGB565
  SDL_Texture* Enlarged = nullptr;  // the frame at EnlargedMultiple, for the smoothing step
  int EnlargedMultiple = 0;
  int WindowScale = 1;    // the scale the window was last sized for
  bool HasFrame = false;  // Frame holds a presented frame that can be drawn again
  bool CursorHidden = false;
  bool Minimized = false;
  bool Focused = true;
};

}  // namespace

std::unique_ptr<TQueuedPlatform> CreateSdlPlatform(TPlatformConfig config) {
  return std::make_unique<TSdlPlatform>(std::move(config));
}
