#include "support/picture_files.h"

#include <png.h>

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

std::vector<uint8_t> ReadPng(const std::string& path, uint32_t& width, uint32_t& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
  width = image.width;
  height = image.height;
  return rgb;
}
