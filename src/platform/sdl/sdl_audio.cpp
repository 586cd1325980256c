// Opening the device quietly, the callback, and closing in the right order.
#include "platform/sdl/sdl_audio.h"

#include <SDL.h>

#include <cstdio>
#include <string>

#if defined(__unix__)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// A device buffer of 882 frames (20 ms) keeps the whole delay under 100 ms. It lasts a whole
// number of milliseconds, and it is long: a driver that paces itself by sleeping that long
// for each buffer (SDL's disk driver, the tests' device) oversleeps by a fraction of a
// millisecond each time, and only over 20 ms does that stay within the 2 % the stream can
// follow.
constexpr Uint16 DeviceFrames = AudioRate / 50;

// Sound libraries print their own complaints while SDL tries them one after another (ALSA
// names every card it cannot find); the player gets one line from the game instead.
class TQuietStderr {
 public:
  TQuietStderr() {
#if defined(__unix__)
    std::fflush(stderr);
    Saved = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    if (Saved >= 0 && null >= 0) dup2(null, STDERR_FILENO);
    if (null >= 0) close(null);
#endif
  }
  ~TQuietStderr() {
#if defined(__unix__)
    std::fflush(stderr);
    if (Saved >= 0) {
      dup2(Saved, STDERR_FILENO);
      close(Saved);
    }
#endif
  }
  TQuietStderr(const TQuietStderr&) = delete;
  TQuietStderr& operator=(const TQuietStderr&) = delete;

 private:
  int Saved = -1;
};

void SDLCALL Feed(void* userdata, Uint8* stream, int len) {
  auto* audio = static_cast<TAudioStream*>(userdata);
  audio->Pull(reinterpret_cast<int16_t*>(stream), static_cast<size_t>(len) / 4, SteadyClockUs());
}

}  // namespace

TSdlAudio::TSdlAudio(bool exact) : Stream(exact) {}

TSdlAudio::~TSdlAudio() {
  if (Device == 0) return;
  // A callback waiting for samples that will not come must go before the device can close.
  Stream.Finish(TAudioStream::FinishLimit);
  SDL_CloseAudioDevice(Device);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool TSdlAudio::Open() {
  SDL_AudioSpec want{};
  want.freq = AudioRate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = DeviceFrames;
  want.callback = Feed;
  want.userdata = &Stream;
  std::string error;
  {
    TQuietStderr quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      error = SDL_GetError();
    } else {
      // SDL converts to whatever the device really takes.
      Device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
      if (Device == 0) {
        error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
      }
    }
  }
  if (Device == 0) {
    std::fprintf(stderr, "quibbet: no sound device (%s): the game plays on without sound\n",
                 error.c_str());
    return false;
  }
  SDL_PauseAudioDevice(Device, 0);
  return true;
}

void TSdlAudio::Queue(const int16_t* samples, size_t frames) {
  if (!Tried) {
    Tried = true;
    Open();
  }
  if (Device != 0) Stream.Push(samples, frames, SteadyClockUs());
}
