// The drawing routines beside their peers on 800 x 600 RGB565 frames: the C library's fill and
// copy, SDL2's colour-key blits, pixman's ADD and the plain per-pixel reference of the tests.
// Every entry counts the bytes of one frame per iteration, so throughputs compare directly.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <random>

#include "../tests/gfx/blit_reference.h"
#include "gfx/blit.h"
#include "gfx/display.h"
#include "gfx/surface.h"

namespace {

constexpr int32_t FrameWidth = 800;
constexpr int32_t FrameHeight = 600;
constexpr int64_t FrameBytes = int64_t{FrameWidth} * FrameHeight * 2;

// An 800 x 600 surface that frees itself.
struct TFrame {
  TSurface Surface;
  TFrame() { CreateSurface(Surface, FrameWidth, FrameHeight, true); }
  ~TFrame() { FreeSurface(Surface); }
  TFrame(const TFrame&) = delete;
  TFrame& operator=(const TFrame&) = delete;
  uint16_t* Pixels() const { return Surface.Pixels; }
};

void FillRandom(TFrame& frame, uint32_t seed) {
  std::mt19937 random(seed);
  for (int32_t i = 0; i < FrameWidth * FrameHeight; ++i)
    frame.Pixels()[i] = static_cast<uint16_t>(random());
}

// Sprites as pictures have them: 40 x 40 cells, each a diamond of colour on black, so nearly half
// of the pixels (47.5 %) are black and rows alternate black and coloured runs of up to 40 pixels.
void FillSprites(TFrame& frame, uint32_t seed) {
  std::mt19937 random(seed);
  constexpr int32_t Cell = 40, Half = Cell / 2;
  for (int32_t y = 0; y < FrameHeight; ++y)
    for (int32_t x = 0; x < FrameWidth; ++x) {
      const int32_t dx = x % Cell - Half, dy = y % Cell - Half;
      const bool inside = (dx < 0 ? -dx - 1 : dx) + (dy < 0 ? -dy - 1 : dy) < Half;
      frame.Pixels()[y * FrameWidth + x] =
          inside ? static_cast<uint16_t>(random() % 0xFFFF + 1) : uint16_t{0};
    }
}

// Selects a path for one benchmark and puts the best one back afterwards.
struct TPathScope {
  explicit TPathScope(TBlitPath path) { Ok = SelectBlitPath(path); }
  ~TPathScope() { SelectBlitPath(BestBlitPath()); }
  bool Ok;
};

// The blends change the frame they draw on, so iterations after the first see other pixels.
// Every contender does the same work whatever the values (the vector paths and the reference as
// GCC compiles it have no branches on pixels; pixman's ADD only skips zero pixels, which random
// pictures hardly hold), so drawing again onto the same frame measures the same work, and no
// untimed restore (which costs microseconds of its own) is needed.
template <typename TDraw>
void RunBlend(benchmark::State& state, TDraw draw) {
  for (auto _ : state) {
    draw();
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * FrameBytes);
}

// ---- Fill and copy ----------------------------------------------------------------------------

void BM_Memset(benchmark::State& state) {
  TFrame frame;
  for (auto _ : state) {
    std::memset(frame.Pixels(), 0, FrameBytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * FrameBytes);
}
BENCHMARK(BM_Memset);

void BM_FillSurface(benchmark::State& state) {
  TFrame frame;
  for (auto _ : state) {
    FillSurface(frame.Surface, 0);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * FrameBytes);
}
BENCHMARK(BM_FillSurface);

void BM_Memcpy(benchmark::State& state) {
  TFrame source, frame;
  FillRandom(source, 1);
  for (auto _ : state) {
    std::memcpy(frame.Pixels(), source.Pixels(), FrameBytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * FrameBytes);
}
BENCHMARK(BM_Memcpy);

void BM_CopyScreen(benchmark::State& state) {
  TFrame source, frame;
  FillRandom(source, 1);
  Display.Width = FrameWidth;
  Display.Height = FrameHeight;
  for (auto _ : state) {
    CopyScreen(source.Pixels(), frame.Pixels());
    benchmark::ClobberMemory();
  }
  ResetDisplayState();
  state.SetBytesProcessed(state.iterations() * FrameBytes);
}
BENCHMARK(BM_CopyScreen);

// ---- Keyed copy -------------------------------------------------------------------------------

void KeyedOnPath(benchmark::State& state, TBlitPath path) {
  TPathScope scope(path);
  if (!scope.Ok) return state.SkipWithError("this processor lacks the path");
  TFrame sprites, frame;
  FillSprites(sprites, 2);
  FillRandom(frame, 3);
  // Drawing keyed is idempotent, so the frame needs no restoring between iterations.
  for (auto _ : state) {
    PutImageKeyed(frame.Surface, sprites.Surface, 0, 0, 0);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * FrameBytes);
}

void BM_PutImageKeyed(benchmark::State& state) {
  KeyedOnPath(state, BestBlitPath());
}
BENCHMARK(BM_PutImageKeyed);

// The other paths, to show what each step of vector width buys.
void BM_PutImageKeyed_SSE2(benchmark::State& state) {
  KeyedOnPath(state, TBlitPath::Sse2);
}
BENCHMARK(BM_PutImageKeyed_SSE2);

void BM_PutImageKeyed_Portable(benchmark::State& state) {
  KeyedOnPath(state, TBlitPath::Scalar);
}
BENCHMARK(BM_PutImageKeyed_Portable);

// SDL2's blit of the same pictures, colour key 0, surfaces wrapped around the same blocks.
void SdlColorKey(benchmark::State& state, bool rle) {
  TFrame sprites, frame, expected;
  FillSprites(sprites, 2);
  FillRandom(frame, 3);
  FillRandom(expected, 3);
  PutImageKeyed(expected.Surface, sprites.Surface, 0, 0, 0);
  SDL_Surface* source = SDL_CreateRGBSurfaceFrom(sprites.Pixels(), FrameWidth, FrameHeight, 16,
                                                 FrameWidth * 2, 0xF800, 0x07E0, 0x001F, 0);
  SDL_Surface* target = SDL_CreateRGBSurfaceFrom(frame.Pixels(), FrameWidth, FrameHeight, 16,
                                                 FrameWidth * 2, 0xF800, 0x07E0, 0x001F, 0);
  if (source == nullptr || target == nullptr) return state.SkipWithError(SDL_GetError());
  SDL_SetColorKey(source, SDL_TRUE, 0);
  SDL_SetSurfaceRLE(source, rle ? 1 : 0);
  SDL_Rect place{0, 0, FrameWidth, FrameHeight};
  // The first blit builds SDL's blit (and encodes the runs); it must agree with ours.
  SDL_BlitSurface(source, nullptr, target, &place);
  if (std::memcmp(frame.Pixels(), expected.Pixels(), FrameBytes) != 0)
    state.SkipWithError("SDL's result differs from PutImageKeyed");
  else if (SDL_HasSurfaceRLE(source) != (rle ? SDL_TRUE : SDL_FALSE))
    state.SkipWithError("SDL did not take the wanted blit");
  else
    for (auto _ : state) {
      place = {0, 0, FrameWidth, FrameHeight};
      SDL_BlitSurface(source, nullptr, target, &place);
      benchmark::ClobberMemory();
    }
  SDL_FreeSurface(source);
  SDL_FreeSurface(target);
  state.SetBytesProcessed(state.iterations() * FrameBytes);
}

void BM_SDL_BlitColorKey(benchmark::State& state) {
  SdlColorKey(state, false);
}
BENCHMARK(BM_SDL_BlitColorKey);

void BM_SDL_BlitColorKeyRLE(benchmark::State& state) {
  SdlColorKey(state, true);
}
BENCHMARK(BM_SDL_BlitColorKeyRLE);

// ---- Blends -----------------------------------------------------------------------------------

// Mid-fade amounts, as a glow half way in uses them; the vector paths do not depend on them.
constexpr uint8_t Level = 8;

void AddOnPath(benchmark::State& state, TBlitPath path) {
  TPathScope scope(path);
  if (!scope.Ok) return state.SkipWithError("this processor lacks the path");
  TFrame picture, frame;
  FillRandom(picture, 4);
  FillRandom(frame, 5);
  RunBlend(state,
           [&] { PutImageAdd(frame.Surface, picture.Surface, 0, 0, Level, 2 * Level, Level); });
}

void ShadeAddOnPath(benchmark::State& state, TBlitPath path) {
  TPathScope scope(path);
  if (!scope.Ok) return state.SkipWithError("this processor lacks the path");
  TFrame picture, frame;
  FillRandom(picture, 4);
  FillRandom(frame, 5);
  RunBlend(state, [&] {
    PutImageShadeAdd(frame.Surface, picture.Surface, 0, 0, 4 * Level, 4 * Level, 4 * Level);
  });
}

void BM_PutImageAdd(benchmark::State& state) {
  AddOnPath(state, BestBlitPath());
}
BENCHMARK(BM_PutImageAdd);

void BM_PutImageAdd_SSE2(benchmark::State& state) {
  AddOnPath(state, TBlitPath::Sse2);
}
BENCHMARK(BM_PutImageAdd_SSE2);

void BM_PutImageAdd_Portable(benchmark::State& state) {
  AddOnPath(state, TBlitPath::Scalar);
}
BENCHMARK(BM_PutImageAdd_Portable);

void BM_PutImageShadeAdd(benchmark::State& state) {
  ShadeAddOnPath(state, BestBlitPath());
}
BENCHMARK(BM_PutImageShadeAdd);

void BM_PutImageShadeAdd_SSE2(benchmark::State& state) {
  ShadeAddOnPath(state, TBlitPath::Sse2);
}
BENCHMARK(BM_PutImageShadeAdd_SSE2);

void BM_PutImageShadeAdd_Portable(benchmark::State& state) {
  ShadeAddOnPath(state, TBlitPath::Scalar);
}
BENCHMARK(BM_PutImageShadeAdd_Portable);

void BM_PutImageAdd_Scalar(benchmark::State& state) {
  TFrame picture, frame;
  FillRandom(picture, 4);
  FillRandom(frame, 5);
  RunBlend(state, [&] {
    BlitReference::PutImageAdd(frame.Surface, picture.Surface, 0, 0, Level, 2 * Level, Level);
  });
}
BENCHMARK(BM_PutImageAdd_Scalar);

void BM_Pixman_Add(benchmark::State& state) {
  TFrame picture, frame;
  FillRandom(picture, 4);
  FillRandom(frame, 5);
  pixman_image_t* source =
      pixman_image_create_bits(PIXMAN_r5g6b5, FrameWidth, FrameHeight,
                               reinterpret_cast<uint32_t*>(picture.Pixels()), FrameWidth * 2);
  pixman_image_t* target =
      pixman_image_create_bits(PIXMAN_r5g6b5, FrameWidth, FrameHeight,
                               reinterpret_cast<uint32_t*>(frame.Pixels()), FrameWidth * 2);
  RunBlend(state, [&] {
    pixman_image_composite32(PIXMAN_OP_ADD, source, nullptr, target, 0, 0, 0, 0, 0, 0, FrameWidth,
                             FrameHeight);
  });
  pixman_image_unref(source);
  pixman_image_unref(target);
}
BENCHMARK(BM_Pixman_Add);

}  // namespace
