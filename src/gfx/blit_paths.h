// What the drawing routines hand to a code path once clipping is done: the visible rectangle as
// two row pointers with their strides, and one table of per-pixel loops for each path.
// Only the drawing routines include this; it holds no inline code, so files built with other
// instruction sets can share it.
#pragma once

#include <cstddef>
#include <cstdint>

// A clipped rectangle, never empty: Width >= 1 pixels by Height >= 1 rows.
struct TBlitRect {
  const uint16_t* Src;
  uint16_t* Dst;
  ptrdiff_t SrcStride;  // pixels from one row to the next
  ptrdiff_t DstStride;
  int32_t Width;
  int32_t Height;
};

// Amounts already reduced to the channel's range (31, 63, 31): taking more than a channel holds
// gives the same floor of 0, and the reduced values fit the vector paths' 16-bit lanes.
struct TBlendAmounts {
  uint8_t Red;
  uint8_t Green;
  uint8_t Blue;
};

struct TBlitKernels {
  void (*Keyed)(const TBlitRect& rect, uint16_t key);
  void (*Add)(const TBlitRect& rect, TBlendAmounts amounts);       // Dst + (Src - amounts)
  void (*ShadeAdd)(const TBlitRect& rect, TBlendAmounts amounts);  // (Dst - amounts) + Src
};

extern const TBlitKernels BlitScalarKernels;
#if defined(__x86_64__) || defined(__i386__)
extern const TBlitKernels BlitSse2Kernels;
extern const TBlitKernels BlitAvx2Kernels;
#endif
