// PCX decoding from memory: our loader beside SDL2_image's IMG_Load_RW on the same bytes,
// a 1600 x 600 24-bit run-length-encoded picture of gradients and flat areas.
#include <SDL.h>
#include <SDL_image.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "gfx/pcx.h"

namespace {

constexpr int32_t Width = 1600;
constexpr int32_t Height = 600;

// A backdrop-like picture: smooth gradients (single bytes in the encoding) crossed by flat
// bands and blocks (runs), about the mix of the game's own backgrounds.
const std::vector<uint8_t>& BenchFile() {
  static const std::vector<uint8_t> file = [] {
    std::vector<uint8_t> rgb(static_cast<size_t>(Width) * Height * 3);
    for (int32_t y = 0; y < Height; ++y)
      for (int32_t x = 0; x < Width; ++x) {
        uint8_t* p = &rgb[(static_cast<size_t>(y) * Width + x) * 3];
        const bool flat = (y / 60) % 3 == 1 || ((x / 100) % 4 == 0 && y > 300);
        if (flat) {
          p[0] = static_cast<uint8_t>(40 + (x / 100) * 10);
          p[1] = 90;
          p[2] = 200;
        } else {
          p[0] = static_cast<uint8_t>(x * 255 / (Width - 1));
          p[1] = static_cast<uint8_t>(y * 255 / (Height - 1));
          p[2] = static_cast<uint8_t>((x + 2 * y) & 0xFF);
        }
      }
    std::vector<uint8_t> encoded;
    if (!EncodePcx(rgb.data(), Width, Height, encoded)) std::abort();
    return encoded;
  }();
  return file;
}

void BM_LoadPcx(benchmark::State& state) {
  const std::vector<uint8_t>& file = BenchFile();
  for (auto _ : state) {
    TSurface surface;
    LoadPcxFromMemory(file.data(), file.size(), "bench.pcx", surface);
    benchmark::DoNotOptimize(surface.Pixels);
    FreeSurface(surface);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(file.size()));
  state.counters["file_bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_LoadPcx)->Unit(benchmark::kMillisecond);

void BM_LoadPcx_SDLimage(benchmark::State& state) {
  const std::vector<uint8_t>& file = BenchFile();
  for (auto _ : state) {
    SDL_RWops* rw = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
    SDL_Surface* surface = IMG_Load_RW(rw, 1);
    if (surface == nullptr) {
      state.SkipWithError(IMG_GetError());
      break;
    }
    benchmark::DoNotOptimize(surface->pixels);
    SDL_FreeSurface(surface);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_LoadPcx_SDLimage)->Unit(benchmark::kMillisecond);

}  // namespace
