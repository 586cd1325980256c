// The drawing routines: one clipping rule for all of them, the copies (the C library's copy is
// already the fastest row mover), the portable per-pixel path, and the choice of vector path.
// The vector paths live in blit_sse2.cpp and blit_avx2.cpp.
#include "gfx/blit.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "gfx/blit_paths.h"
#include "gfx/display.h"

// ---- Portable per-pixel path ------------------------------------------------------------------

namespace {

// kept + max(reduced - amount, 0) for one channel, saturated at `top`. Everything stays in
// 16 bits (sums of two channels are at most 126) so that compilers can vectorise the rows.
inline uint16_t BlendChannel(uint16_t kept, uint16_t reduced, uint16_t amount, uint16_t top) {
  const uint16_t left = reduced > amount ? static_cast<uint16_t>(reduced - amount) : uint16_t{0};
  const uint16_t sum = static_cast<uint16_t>(kept + left);
  return sum < top ? sum : top;
}

inline uint16_t BlendPixel(uint16_t kept, uint16_t reduced, TBlendAmounts amounts) {
  const uint16_t red = BlendChannel(kept >> 11, reduced >> 11, amounts.Red, 31);
  const uint16_t green = BlendChannel((kept >> 5) & 63, (reduced >> 5) & 63, amounts.Green, 63);
  const uint16_t blue = BlendChannel(kept & 31, reduced & 31, amounts.Blue, 31);
  return static_cast<uint16_t>(red << 11 | green << 5 | blue);
}

template <typename TOp>
inline void ScalarRows(const TBlitRect& rect, TOp op) {
  const uint16_t* src = rect.Src;
  uint16_t* dst = rect.Dst;
  for (int32_t row = 0; row < rect.Height; ++row, src += rect.SrcStride, dst += rect.DstStride)
    for (int32_t i = 0; i < rect.Width; ++i)
      dst[i] = op(dst[i], src[i]);
}

void KeyedScalar(const TBlitRect& rect, uint16_t key) {
  ScalarRows(rect, [key](uint16_t d, uint16_t s) { return s == key ? d : s; });
}

void AddScalar(const TBlitRect& rect, TBlendAmounts amounts) {
  ScalarRows(rect, [amounts](uint16_t d, uint16_t s) { return BlendPixel(d, s, amounts); });
}

void ShadeAddScalar(const TBlitRect& rect, TBlendAmounts amounts) {
  ScalarRows(rect, [amounts](uint16_t d, uint16_t s) { return BlendPixel(s, d, amounts); });
}

}  // namespace

const TBlitKernels BlitScalarKernels = {KeyedScalar, AddScalar, ShadeAddScalar};

// ---- Path choice ------------------------------------------------------------------------------

namespace {

const TBlitKernels* ActiveKernels = nullptr;  // chosen on first use
TBlitPath ActivePath = TBlitPath::Scalar;

const TBlitKernels* KernelsFor(TBlitPath path) {
  if (!BlitPathSupported(path)) return nullptr;
  switch (path) {
#if defined(__x86_64__) || defined(__i386__)
    case TBlitPath::Sse2:
      return &BlitSse2Kernels;
    case TBlitPath::Avx2:
      return &BlitAvx2Kernels;
#endif
    default:
      return &BlitScalarKernels;
  }
}

const TBlitKernels& Kernels() {
  if (ActiveKernels == nullptr) SelectBlitPath(BestBlitPath());
  return *ActiveKernels;
}

}  // namespace

bool BlitPathSupported(TBlitPath path) {
  switch (path) {
    case TBlitPath::Scalar:
      return true;
#if defined(__x86_64__) || defined(__i386__)
    case TBlitPath::Sse2:
      __builtin_cpu_init();
      return __builtin_cpu_supports("sse2");
    case TBlitPath::Avx2:
      __builtin_cpu_init();
      return __builtin_cpu_supports("avx2");
#endif
    default:
      return false;
  }
}

TBlitPath BestBlitPath() {
  for (const TBlitPath path : {TBlitPath::Avx2, TBlitPath::Sse2})
    if (BlitPathSupported(path)) return path;
  return TBlitPath::Scalar;
}

TBlitPath CurrentBlitPath() {
  Kernels();
  return ActivePath;
}

bool SelectBlitPath(TBlitPath path) {
  const TBlitKernels* kernels = KernelsFor(path);
  if (kernels == nullptr) return false;
  ActiveKernels = kernels;
  ActivePath = path;
  return true;
}

// ---- Clipping ---------------------------------------------------------------------------------

namespace {

// The visible part of an image placed with its top-left pixel at (x, y) in the surface, as
// pointers into both blocks. The arithmetic is 64-bit so that no position overflows; records
// without pixels or with no area give nothing to draw.
bool Clip(const TSurface& surface, const TSurface& image, int32_t x, int32_t y, bool toSurface,
          TBlitRect& rect) {
  if (surface.Pixels == nullptr || image.Pixels == nullptr) return false;
  assert(surface.Pitch == surface.Width * 2 && image.Pitch == image.Width * 2 &&
         "a surface's rows must follow each other without a gap");
  const int64_t surfaceW = surface.Width, surfaceH = surface.Height;
  const int64_t imageW = image.Width, imageH = image.Height;
  if (x >= surfaceW || x + imageW < 1 || y >= surfaceH || y + imageH < 1) return false;
  const int64_t sx = x < 0 ? -int64_t{x} : 0, dx = x < 0 ? 0 : x;
  const int64_t sy = y < 0 ? -int64_t{y} : 0, dy = y < 0 ? 0 : y;
  const int64_t ex = x + imageW > surfaceW ? surfaceW - x : imageW;
  const int64_t ey = y + imageH > surfaceH ? surfaceH - y : imageH;
  if (ex <= sx || ey <= sy) return false;

  const ptrdiff_t surfaceStride = surface.Pitch / 2, imageStride = image.Pitch / 2;
  uint16_t* const inSurface = surface.Pixels + dy * surfaceStride + dx;
  uint16_t* const inImage = image.Pixels + sy * imageStride + sx;
  rect.Width = static_cast<int32_t>(ex - sx);
  rect.Height = static_cast<int32_t>(ey - sy);
  if (toSurface)
    rect.Src = inImage, rect.SrcStride = imageStride, rect.Dst = inSurface,
    rect.DstStride = surfaceStride;
  else
    rect.Src = inSurface, rect.SrcStride = surfaceStride, rect.Dst = inImage,
    rect.DstStride = imageStride;
  return true;
}

// Both channels' amounts above the channel's top take the channel to 0 anyway.
TBlendAmounts ReducedAmounts(uint8_t red, uint8_t green, uint8_t blue) {
  return {std::min<uint8_t>(red, 31), std::min<uint8_t>(green, 63), std::min<uint8_t>(blue, 31)};
}

void CopyRect(const TBlitRect& rect) {
  const size_t rowBytes = static_cast<size_t>(rect.Width) * 2;
  // Rows that follow each other in both blocks are one block (full frames, whole pictures).
  if (rect.SrcStride == rect.Width && rect.DstStride == rect.Width) {
    std::memmove(rect.Dst, rect.Src, rowBytes * static_cast<size_t>(rect.Height));
    return;
  }
  const uint16_t* src = rect.Src;
  uint16_t* dst = rect.Dst;
  for (int32_t row = 0; row < rect.Height; ++row, src += rect.SrcStride, dst += rect.DstStride)
    std::memmove(dst, src, rowBytes);
}

}  // namespace

// ---- Routines ---------------------------------------------------------------------------------

void PutImage(const TSurface& surface, const TSurface& image, int32_t x, int32_t y) {
  PutImageClipped(surface, image, x, y);
}

void GetImage(const TSurface& surface, const TSurface& image, int32_t x, int32_t y) {
  GetImageClipped(surface, image, x, y);
}

void PutImageClipped(const TSurface& surface, const TSurface& image, int32_t x, int32_t y) {
  TBlitRect rect;
  if (Clip(surface, image, x, y, true, rect)) CopyRect(rect);
}

void GetImageClipped(const TSurface& surface, const TSurface& image, int32_t x, int32_t y) {
  TBlitRect rect;
  if (Clip(surface, image, x, y, false, rect)) CopyRect(rect);
}

void PutImageKeyed(const TSurface& surface, const TSurface& image, int32_t x, int32_t y,
                   uint16_t key) {
  TBlitRect rect;
  if (Clip(surface, image, x, y, true, rect)) Kernels().Keyed(rect, key);
}

void PutImageAdd(const TSurface& surface, const TSurface& image, int32_t x, int32_t y, uint8_t red,
                 uint8_t green, uint8_t blue) {
  TBlitRect rect;
  if (Clip(surface, image, x, y, true, rect)) Kernels().Add(rect, ReducedAmounts(red, green, blue));
}

void PutImageShadeAdd(const TSurface& surface, const TSurface& image, int32_t x, int32_t y,
                      uint8_t red, uint8_t green, uint8_t blue) {
  TBlitRect rect;
  if (Clip(surface, image, x, y, true, rect))
    Kernels().ShadeAdd(rect, ReducedAmounts(red, green, blue));
}

void CopyScreen(const uint16_t* source, uint16_t* destination) {
  if (source == nullptr || destination == nullptr || Display.Width <= 0 || Display.Height <= 0)
    return;
  if (source == destination) return;
  // All of width x height x 2 bytes, also when that is not a whole number of 256-byte blocks.
  const size_t bytes = static_cast<size_t>(Display.Width) * static_cast<size_t>(Display.Height) * 2;
  std::memcpy(destination, source, bytes);
}
