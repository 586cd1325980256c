// TSurface: the one RGB565 pixel-surface record (frame buffers, pictures, glyph sheets).
// A surface is a plain value; copies share the pixel block and only the creator frees it.
#pragma once

#include <cstdint>
#include <string>

struct TSurface {
  uint16_t* Pixels = nullptr;  // SizeBytes long; null while not allocated
  uint32_t SizeBytes = 0;
  int32_t Width = 0;
  int32_t MaxX = 0;       // Width - 1
  int32_t HalfWidth = 0;  // whole pixel pairs in a row
  int32_t OddWidth = 0;   // 1 when a row ends in a single pixel
  int32_t Pitch = 0;      // bytes per row, always Width * 2
  int32_t Height = 0;
  int32_t HalfHeight = 0;
  int32_t MaxY = 0;
  bool Allocated = false;  // the pixel block belongs to this record
  std::string Name;        // file the picture came from; set by the PCX loader

  bool operator==(const TSurface&) const = default;
};

// Fills every field but Name from the size and allocates the pixel block (AllocChecked).
// Sizes whose block does not fit in 32 bits end the program with the memory box.
void CreateSurface(TSurface& surface, int32_t width, int32_t height, bool clear);

// Frees the block when this record owns it; safe to call twice.
void FreeSurface(TSurface& surface);

void FillSurface(TSurface& surface, uint16_t colour);

// Pixel (x, y) of a surface, for readers that are not hot loops.
inline uint16_t& PixelAt(const TSurface& surface, int32_t x, int32_t y) {
  return surface
      .Pixels[static_cast<size_t>(y) * static_cast<size_t>(surface.Width) + static_cast<size_t>(x)];
}
