#include "support/picture_files.h"

#include <fstream>
#include <vector>

#include "gfx/pcx.h"

void WriteFlatPcx(const std::string& dir, const std::string& name, int32_t width, int32_t height,
                  uint16_t colour) {
  // 8-bit channels whose top bits are the RGB565 colour, so the picture decodes back to it.
  const uint8_t r = static_cast<uint8_t>((colour >> 11) << 3);
  const uint8_t g = static_cast<uint8_t>(((colour >> 5) & 0x3F) << 2);
  const uint8_t b = static_cast<uint8_t>((colour & 0x1F) << 3);
  std::vector<uint8_t> rgb;
  for (int32_t i = 0; i < width * height; ++i)
    rgb.insert(rgb.end(), {r, g, b});
  std::vector<uint8_t> file;
  EncodePcx(rgb.data(), width, height, file);
  std::ofstream(dir + "/" + name, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}
