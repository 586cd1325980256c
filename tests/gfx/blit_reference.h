// The drawing rules written out literally, one pixel at a time: the reference that the engine's
// routines are compared with in the tests and measured against in the benchmarks.
// Deliberately plain: the clipping steps in their stated order, channels split and saturated by
// comparison, and no vector code, so that it stays a reference and not a second implementation.
#pragma once

#include <cstdint>

#include "gfx/surface.h"

namespace BlitReference {

// The visible part of an image placed at (x, y): columns [Sx, Ex) and rows [Sy, Ey) of the
// image, landing at (Dx, Dy) in the surface.
struct TClip {
  int64_t Sx, Sy, Ex, Ey, Dx, Dy;
};

inline bool Clip(const TSurface& surface, const TSurface& image, int32_t x, int32_t y,
                 TClip& clip) {
  const int64_t W = surface.Width, H = surface.Height, w = image.Width, h = image.Height;
  const int64_t X = x, Y = y;
  if (X >= W || X + w < 1 || Y >= H || Y + h < 1) return false;
  if (X < 0) {
    clip.Sx = -X;
    clip.Dx = 0;
  } else {
    clip.Sx = 0;
    clip.Dx = X;
  }
  if (Y < 0) {
    clip.Sy = -Y;
    clip.Dy = 0;
  } else {
    clip.Sy = 0;
    clip.Dy = Y;
  }
  clip.Ex = X + w > W ? W - X : w;
  clip.Ey = Y + h > H ? H - Y : h;
  return clip.Ex > clip.Sx && clip.Ey > clip.Sy;
}

// Calls pixel(surfacePixel, imagePixel) for every visible pair.
// Kept out of GCC's auto-vectoriser, so that the benchmarks' baseline is the per-pixel loop it
// stands for.
template <typename TPixel>
#if defined(__GNUC__) && !defined(__clang__)
__attribute__((optimize("no-tree-vectorize")))
#endif
inline void
ForEachPair(const TSurface& surface, const TSurface& image, int32_t x, int32_t y, TPixel pixel) {
  TClip c;
  if (!Clip(surface, image, x, y, c)) return;
  for (int64_t row = 0; row < c.Ey - c.Sy; ++row)
    for (int64_t col = 0; col < c.Ex - c.Sx; ++col)
      pixel(surface.Pixels[(c.Dy + row) * surface.Width + c.Dx + col],
            image.Pixels[(c.Sy + row) * image.Width + c.Sx + col]);
}

inline void PutImageClipped(const TSurface& surface, const TSurface& image, int32_t x, int32_t y) {
  ForEachPair(surface, image, x, y, [](uint16_t& s, uint16_t& i) { s = i; });
}

inline void GetImageClipped(const TSurface& surface, const TSurface& image, int32_t x, int32_t y) {
  ForEachPair(surface, image, x, y, [](uint16_t& s, uint16_t& i) { i = s; });
}

inline void PutImageKeyed(const TSurface& surface, const TSurface& image, int32_t x, int32_t y,
                          uint16_t key) {
  ForEachPair(surface, image, x, y, [key](uint16_t& s, uint16_t& i) {
    if (i != key) s = i;
  });
}

struct TRgb {
  int R, G, B;
};

inline TRgb Split(uint16_t pixel) {
  return {pixel >> 11, (pixel >> 5) & 63, pixel & 31};
}

inline uint16_t Join(TRgb c) {
  return static_cast<uint16_t>(c.R << 11 | c.G << 5 | c.B);
}

inline int Floor0(int v) {
  if (v < 0) return 0;
  return v;
}

inline int Top(int v, int top) {
  if (v > top) return top;
  return v;
}

inline uint16_t AddPixel(uint16_t surface, uint16_t image, uint8_t ar, uint8_t ag, uint8_t ab) {
  const TRgb i = Split(image), s = Split(surface);
  const int r = Floor0(i.R - ar), g = Floor0(i.G - ag), b = Floor0(i.B - ab);
  return Join({Top(s.R + r, 31), Top(s.G + g, 63), Top(s.B + b, 31)});
}

inline uint16_t ShadeAddPixel(uint16_t surface, uint16_t image, uint8_t ar, uint8_t ag,
                              uint8_t ab) {
  const TRgb i = Split(image), s = Split(surface);
  return Join({Top(Floor0(s.R - ar) + i.R, 31), Top(Floor0(s.G - ag) + i.G, 63),
               Top(Floor0(s.B - ab) + i.B, 31)});
}

inline void PutImageAdd(const TSurface& surface, const TSurface& image, int32_t x, int32_t y,
                        uint8_t ar, uint8_t ag, uint8_t ab) {
  ForEachPair(surface, image, x, y,
              [=](uint16_t& s, uint16_t& i) { s = AddPixel(s, i, ar, ag, ab); });
}

inline void PutImageShadeAdd(const TSurface& surface, const TSurface& image, int32_t x, int32_t y,
                             uint8_t ar, uint8_t ag, uint8_t ab) {
  ForEachPair(surface, image, x, y,
              [=](uint16_t& s, uint16_t& i) { s = ShadeAddPixel(s, i, ar, ag, ab); });
}

}  // namespace BlitReference
