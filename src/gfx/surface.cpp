// Surface geometry, allocation and the frame clear.
#include "gfx/surface.h"

#include <algorithm>
#include <cstring>

#include "gfx/boxes.h"
#include "gfx/memory.h"

void CreateSurface(TSurface& surface, int32_t width, int32_t height, bool clear) {
  // The record stores the size in 32 bits; a surface whose block would not fit cannot
  // be described, so it counts as memory that cannot be had.
  const int64_t bytes = static_cast<int64_t>(width) * height * 2;
  if (width < 0 || height < 0 || bytes > UINT32_MAX)
    FatalBox("MEMORY ERROR !", "Not enough memory to run this application !");
  surface.SizeBytes = static_cast<uint32_t>(bytes);
  surface.Width = width;
  surface.MaxX = width - 1;
  surface.HalfWidth = width / 2;
  surface.OddWidth = width % 2;
  surface.Pitch = width * 2;
  surface.Height = height;
  surface.HalfHeight = height / 2;
  surface.MaxY = height - 1;
  surface.Pixels = nullptr;
  AllocChecked(surface.Pixels, surface.SizeBytes);
  surface.Allocated = true;
  if (clear) FillSurface(surface, 0);
}

void FreeSurface(TSurface& surface) {
  if (!surface.Allocated) return;
  FreeChecked(surface.Pixels);
  surface.Allocated = false;
}

void FillSurface(TSurface& surface, uint16_t colour) {
  if (surface.Pixels == nullptr) return;
  // The count comes from SizeBytes, so nothing past the block is touched whatever the other
  // fields say. A colour whose two bytes agree (black, every frame's clear) is a byte fill,
  // and the C library's memset is the fastest store loop the processor has.
  const size_t count = surface.SizeBytes / 2;
  if ((colour & 0xFF) == (colour >> 8)) {
    std::memset(surface.Pixels, colour & 0xFF, count * 2);
    return;
  }
  std::fill_n(surface.Pixels, count, colour);
}
