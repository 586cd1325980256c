// The drawing routines: rectangle copies between surfaces, the keyed copy, the two saturating
// blends and the full-frame copy. Every surface routine clips to both surfaces, so any position
// is safe; the blends and the keyed copy run on SSE2 or AVX2 where the processor has them.
#pragma once

#include <cstdint>

#include "gfx/surface.h"

// In every routine the surface comes first and the image second, whichever way the pixels
// move; (x, y) is where the image's top-left pixel lies in the surface. The records are only
// read: the routines write the pixel blocks they point at.

// Copies the image into the surface. Same as PutImageClipped: the part outside is dropped.
void PutImage(const TSurface& surface, const TSurface& image, int32_t x, int32_t y);

// Fills the image from the surface region at (x, y). Same as GetImageClipped: image pixels whose
// place lies outside the surface keep their values.
void GetImage(const TSurface& surface, const TSurface& image, int32_t x, int32_t y);

void PutImageClipped(const TSurface& surface, const TSurface& image, int32_t x, int32_t y);
void GetImageClipped(const TSurface& surface, const TSurface& image, int32_t x, int32_t y);

// Copies every image pixel that differs from `key`; the surface keeps its pixel elsewhere.
void PutImageKeyed(const TSurface& surface, const TSurface& image, int32_t x, int32_t y,
                   uint16_t key);

// Per channel: surface + max(image - amount, 0), saturated at the channel's top (31, 63, 31).
// Amounts of 32, 64, 32 or more leave the surface as it was.
void PutImageAdd(const TSurface& surface, const TSurface& image, int32_t x, int32_t y, uint8_t red,
                 uint8_t green, uint8_t blue);

// Per channel: max(surface - amount, 0) + image, saturated at the channel's top. Amounts of 64
// on every channel replace the surface's rectangle with the image, black pixels included.
void PutImageShadeAdd(const TSurface& surface, const TSurface& image, int32_t x, int32_t y,
                      uint8_t red, uint8_t green, uint8_t blue);

// Copies one display-size frame (the size given to OpenDisplay, width x height x 2 bytes);
// both blocks must hold that many bytes. Copies nothing while no display size is set.
void CopyScreen(const uint16_t* source, uint16_t* destination);

// ---- Code paths -------------------------------------------------------------------------------
// The routines pick the fastest path the processor has on first use. Tests and benchmarks choose
// a path to compare them; every path gives the same pixels for every input.

enum class TBlitPath : uint8_t { Scalar, Sse2, Avx2 };

bool BlitPathSupported(TBlitPath path);
TBlitPath BestBlitPath();
TBlitPath CurrentBlitPath();
// Returns false, changing nothing, when this processor or build lacks the path.
bool SelectBlitPath(TBlitPath path);
