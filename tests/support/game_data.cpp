#include "support/game_data.h"

#include <vector>

#include "gfx/pcx.h"
#include "res/res_helpers.h"

namespace {

std::string PicturePcx(int32_t width, int32_t height, uint16_t colour) {
  const uint8_t r = static_cast<uint8_t>((colour >> 11) << 3);
  const uint8_t g = static_cast<uint8_t>(((colour >> 5) & 0x3F) << 2);
  const uint8_t b = static_cast<uint8_t>((colour & 0x1F) << 3);
  std::vector<uint8_t> rgb;
  rgb.reserve(static_cast<size_t>(width) * height * 3);
  for (int32_t i = 0; i < width * height; ++i)
    rgb.insert(rgb.end(), {r, g, b});
  std::vector<uint8_t> file;
  EncodePcx(rgb.data(), width, height, file);
  return ToBytes(file);
}

// A glyph sheet of columns x rows cells, each a block of ink with a one-pixel black margin.
std::string GlyphSheet(int columns, int rows, int16_t w, int16_t h) {
  const int32_t width = columns * w, height = rows * h;
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3, 0);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const int cx = x % w, cy = y % h;
      if (cx > 0 && cx < w - 1 && cy > 0 && cy < h - 1)
        for (int c = 0; c < 3; ++c)
          rgb[(static_cast<size_t>(y) * width + x) * 3 + c] = 0xFF;
    }
  std::vector<uint8_t> file;
  EncodePcx(rgb.data(), width, height, file);
  return ToBytes(file);
}

}  // namespace

TGameDataSet DefaultGameData() {
  TGameDataSet set;
  auto& p = set.Pictures;
  p["background.pcx"] = {1600, 600, 0x2945};
  p["bus.pcx"] = {80, 50, 0xFFE0};
  p["holycross.pcx"] = {16, 16, 0xFFFF};
  p["med_red.pcx"] = {12, 12, 0xF800};
  p["grenade.pcx"] = {16, 16, 0x07E0};
  p["carrot.pcx"] = {30, 60, 0xFC00};
  p["m&m.pcx"] = {30, 30, 0x001F};
  p["drumbo.pcx"] = {100, 60, 0x8410};
  p["zelvina.pcx"] = {120, 160, 0xF81F};
  p["winner.pcx"] = {400, 200, 0x07FF};
  p["finger.pcx"] = {300, 300, 0xFFE0};
  p["2008.pcx"] = {210, 60, 0xFFFF};
  p["quibbet.pcx"] = {256, 80, 0xFFFF};
  p["quon.pcx"] = {268, 80, 0xFFFF};
  for (int i = 0; i < 16; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "explosion%02d.pcx", i);
    p[name] = {64, 64, 0xFD20};
  }
  for (int i = 0; i < 4; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "blood%02d.pcx", i);
    p[name] = {64, 64, 0xB000};
  }
  auto& t = set.Texts;
  for (int i = 1; i <= 4; ++i)
    t["intro_f" + std::to_string(i) + ".txt"] = "Page " + std::to_string(i);
  t["hint.txt"] = "Mouse steers.\r\nLeft button fires.\r\n";
  for (int i = 1; i <= 5; ++i) {
    t["credits_t" + std::to_string(i) + ".txt"] = "Heading " + std::to_string(i);
    t["credits_n" + std::to_string(i) + ".txt"] = "Names " + std::to_string(i);
  }
  return set;
}

void WriteGameData(const std::string& dir, const TGameDataSet& set) {
  TArchiveWriter sprites;
  for (const auto& [name, picture] : set.Pictures)
    sprites.Add(name, PicturePcx(picture.Width, picture.Height, picture.Colour));
  sprites.WriteTo(dir + "/SPRITES.MPK");

  TArchiveWriter fonts;
  const int16_t w = set.GlyphWidth, h = set.GlyphHeight;
  for (const char* font : {"fixedsys", "courier"}) {
    const std::string f = font;
    fonts.Add(f + ".inf", std::to_string(w) + "\r\n" + std::to_string(h) + "\r\n");
    fonts.Add(f + "_engletters.pcx", GlyphSheet(26, 2, w, h));
    fonts.Add(f + "_numbers.pcx", GlyphSheet(10, 1, w, h));
    fonts.Add(f + "_signs.pcx", GlyphSheet(15, 4, w, h));
    fonts.Add(f + "_hunletters.pcx", GlyphSheet(9, 2, w, h));
  }
  fonts.WriteTo(dir + "/FONTS.MPK");

  TArchiveWriter texts;
  for (const auto& [name, text] : set.Texts)
    texts.Add(name, text);
  texts.WriteTo(dir + "/TEXTS.MPK");
}
