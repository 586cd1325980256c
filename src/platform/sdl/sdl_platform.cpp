// SDL2 back end. SDL events are translated into window messages with virtual-key codes,
// and mouse positions into frame coordinates whatever the window's scaling.
#include "platform/sdl/sdl_platform.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

namespace {

// Virtual-key code of an SDL key, 0 for keys the game has no code for.
uint32_t VirtualKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + static_cast<uint32_t>(key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + static_cast<uint32_t>(key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return 112 + static_cast<uint32_t>(key - SDLK_F1);
  switch (key) {
    case SDLK_BACKSPACE:
      return 8;
    case SDLK_TAB:
      return 9;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return 13;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return 16;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return 17;
    case SDLK_PAUSE:
      return 19;
    case SDLK_ESCAPE:
      return 27;
    case SDLK_SPACE:
      return 32;
    case SDLK_PAGEUP:
      return 33;
    case SDLK_PAGEDOWN:
      return 34;
    case SDLK_END:
      return 35;
    case SDLK_HOME:
      return 36;
    case SDLK_LEFT:
      return 37;
    case SDLK_UP:
      return 38;
    case SDLK_RIGHT:
      return 39;
    case SDLK_DOWN:
      return 40;
    case SDLK_INSERT:
      return 45;
    case SDLK_DELETE:
      return 46;
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
  TSdlPlatform(TPlatformConfig config, TSdlConfig sdl)
      : TQueuedPlatform(std::move(config)), Sdl(sdl) {}

  ~TSdlPlatform() override {
    CloseNativePresentation();
    DestroyNativeWindow();
    if (Initialised) SDL_Quit();
  }

  bool RegisterWindowClass(uint8_t) override {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
      std::fprintf(stderr, "SDL could not start its video: %s\n", SDL_GetError());
      return false;
    }
    Initialised = true;
    return true;
  }

 protected:
  bool CreateNativeWindow(const std::string& title, uint8_t) override {
    Uint32 flags = SDL_WINDOW_ALLOW_HIGHDPI;
    int w = FrameWidth * std::max(1, Sdl.Scale), h = FrameHeight * std::max(1, Sdl.Scale);
    if (Sdl.Windowed)
      flags |= SDL_WINDOW_RESIZABLE;
    else
      flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    Window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                              flags);
    if (Window == nullptr) return Fail("create the window");
    Renderer = SDL_CreateRenderer(Window, -1, 0);
    if (Renderer == nullptr) Renderer = SDL_CreateRenderer(Window, -1, SDL_RENDERER_SOFTWARE);
    if (Renderer == nullptr) return Fail("create a renderer");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    // Logical size keeps the aspect with black borders and maps mouse events to frame pixels.
    SDL_RenderSetLogicalSize(Renderer, FrameWidth, FrameHeight);
    SDL_SetRenderDrawColor(Renderer, 0, 0, 0, 255);
    SDL_RenderClear(Renderer);
    SDL_RenderPresent(Renderer);
    return true;
  }

  void DestroyNativeWindow() override {
    if (Renderer != nullptr) SDL_DestroyRenderer(Renderer);
    if (Window != nullptr) SDL_DestroyWindow(Window);
    Texture = nullptr;  // destroyed with its renderer
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
    if (Initialised) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
  }

  void PlaceNativeWindow(bool restore) override {
    if (Window == nullptr) return;
    if (restore)
      SDL_RestoreWindow(Window);
    else
      SDL_MinimizeWindow(Window);
  }

  void OpenNativePresentation(int32_t width, int32_t height) override {
    if (Renderer == nullptr) return;
    FrameWidth = width;
    FrameHeight = height;
    SDL_RenderSetLogicalSize(Renderer, width, height);
    Texture = SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                width, height);
    if (Texture == nullptr)
      std::fprintf(stderr, "SDL could not create the frame texture: %s\n", SDL_GetError());
  }

  void PresentNative(const uint16_t* pixels) override {
    if (Texture == nullptr) return;
    SDL_UpdateTexture(Texture, nullptr, pixels, FrameWidth * 2);
    SDL_RenderClear(Renderer);
    SDL_RenderCopy(Renderer, Texture, nullptr, nullptr);
    SDL_RenderPresent(Renderer);
  }

  void CloseNativePresentation() override {
    if (Texture != nullptr) SDL_DestroyTexture(Texture);
    Texture = nullptr;
  }

 private:
  bool Fail(const char* what) {
    std::fprintf(stderr, "SDL could not %s: %s\n", what, SDL_GetError());
    DestroyNativeWindow();
    return false;
  }

  void TranslateKey(const SDL_KeyboardEvent& key) {
    const uint32_t code = VirtualKey(key.keysym.sym);
    if (code == 0) return;
    const bool down = key.type == SDL_KEYDOWN;
    // Alt combinations are system keys: they never reach the key table.
    if (key.keysym.mod & KMOD_ALT)
      Post({down ? Wm::SysKeyDown : Wm::SysKeyUp, code, 0});
    else
      Post({down ? Wm::KeyDown : Wm::KeyUp, code, 0});
  }

  void TranslateMotion(const SDL_MouseMotionEvent& motion) {
    // Positions in the borders lie outside the frame; clamp them onto its edge.
    const int x = std::clamp(motion.x, 0, FrameWidth - 1);
    const int y = std::clamp(motion.y, 0, FrameHeight - 1);
    uint32_t flags = 0;
    if (motion.state & SDL_BUTTON_LMASK) flags |= MkLButton;
    if (motion.state & SDL_BUTTON_RMASK) flags |= MkRButton;
    const SDL_Keymod mod = SDL_GetModState();
    if (mod & KMOD_SHIFT) flags |= MkShift;
    if (mod & KMOD_CTRL) flags |= MkControl;
    Post({Wm::MouseMove, flags, MouseParam(static_cast<uint16_t>(x), static_cast<uint16_t>(y))});
  }

  void TranslateButton(const SDL_MouseButtonEvent& button) {
    const bool down = button.type == SDL_MOUSEBUTTONDOWN;
    if (button.button == SDL_BUTTON_LEFT) Post({down ? Wm::LButtonDown : Wm::LButtonUp, 0, 0});
    if (button.button == SDL_BUTTON_RIGHT) Post({down ? Wm::RButtonDown : Wm::RButtonUp, 0, 0});
  }

  void TranslateWindow(const SDL_WindowEvent& window) {
    switch (window.event) {
      case SDL_WINDOWEVENT_MINIMIZED:
        Post({Wm::Activate, ActivateParam(false, true), 0});
        break;
      case SDL_WINDOWEVENT_RESTORED:
        Post({Wm::Activate, ActivateParam(true, false), 0});
        break;
      case SDL_WINDOWEVENT_FOCUS_LOST:
        Post({Wm::Activate, ActivateParam(false, false), 0});
        break;
      case SDL_WINDOWEVENT_CLOSE:
        Post({Wm::Close, 0, 0});
        break;
      default:
        break;
    }
  }

  void Translate(const SDL_Event& event) {
    switch (event.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        TranslateKey(event.key);
        break;
      case SDL_MOUSEMOTION:
        TranslateMotion(event.motion);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        TranslateButton(event.button);
        break;
      case SDL_WINDOWEVENT:
        TranslateWindow(event.window);
        break;
      case SDL_QUIT:
        Post({Wm::Close, 0, 0});
        break;  // also what SIGINT and SIGTERM become
      default:
        break;
    }
  }

  TSdlConfig Sdl;
  bool Initialised = false;
  SDL_Window* Window = nullptr;
  SDL_Renderer* Renderer = nullptr;
  SDL_Texture* Texture = nullptr;
  int FrameWidth = 800;
  int FrameHeight = 600;
};

}  // namespace

std::unique_ptr<TQueuedPlatform> CreateSdlPlatform(TPlatformConfig config, TSdlConfig sdl) {
  return std::make_unique<TSdlPlatform>(std::move(config), sdl);
}
