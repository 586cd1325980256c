// fuzz_text: the input chooses a text box, a font's metrics file and a text (see
// fuzz_text_input.h). The font package is written to the scratch folder with glyph sheets
// made by the engine's own encoder, then a text entity is built, rendered and drawn as
// the game does it.
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <tuple>
#include <vector>

#include "fuzz_support.h"
#include "fuzz_text_input.h"
#include "gfx/boxes.h"
#include "gfx/pcx.h"
#include "res/image_cache.h"
#include "res/packfile.h"
#include "res/res_helpers.h"
#include "text/font_text.h"

namespace {

constexpr const char* FontName = "fz";
constexpr const char* FontPackage = "FONTS";
// Inputs whose pictures would exceed this many pixels are skipped: they are no different
// from smaller ones, only slower, and a slow input starves the search.
constexpr int64_t MostPixels = int64_t{1} << 20;

struct TSheet {
  const char* Suffix;
  int32_t Columns, Rows;  // of glyph cells in the sheet's layout
};
constexpr TSheet Sheets[] = {
    {"_engletters.pcx", 26, 2},
    {"_numbers.pcx", 10, 1},
    {"_signs.pcx", 15, 4},
    {"_hunletters.pcx", 9, 2},
};

// The first two lines of the metrics as a cursor reads them: CR, LF or CR LF ends a line,
// an LF right after a line end goes with it, a line keeps its first 255 characters.
std::vector<std::string> MetricsLines(const std::string& metrics) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (lines.size() < 2) {
    std::string line;
    bool ended = false;
    while (pos < metrics.size() && !ended) {
      const char c = metrics[pos++];
      ended = c == '\r' || c == '\n';
      if (!ended && line.size() < 255) line.push_back(c);
    }
    if (ended && pos < metrics.size() && metrics[pos] == '\n') ++pos;
    lines.push_back(line);
  }
  return lines;
}

// The glyph size a metrics line gives: a whole line of one optionally signed decimal
// number from 1 to 256; nothing for any other line, which the engine must refuse.
std::optional<int32_t> GlyphSize(const std::string& line) {
  std::string_view digits = line;
  if (!digits.empty() && digits[0] == '+') digits.remove_prefix(1);
  if (digits.empty() || (line[0] == '+' && digits[0] == '-')) return std::nullopt;
  int32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  if (value < 1 || value > TBaseText::MaxGlyphSize) return std::nullopt;
  return value;
}

// A sheet of distinct colours per cell, so a glyph cut from the wrong place shows. Kept
// between inputs: encoding is the slow part, and the same sizes come up again and again.
const std::string& SheetPcx(int32_t width, int32_t height, int32_t glyphWidth,
                            int32_t glyphHeight) {
  static std::map<std::tuple<int32_t, int32_t, int32_t, int32_t>, std::string> made;
  const auto key = std::make_tuple(width, height, glyphWidth, glyphHeight);
  if (auto found = made.find(key); found != made.end()) return found->second;
  if (made.size() > 64) made.clear();
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      const int32_t cx = x % glyphWidth, cy = y % glyphHeight;
      const bool ink = cx > 0 && cy > 0 && (cx + cy) % 3 != 0;
      p[0] = ink ? static_cast<uint8_t>(0x40 + (x / glyphWidth) * 7) : 0;
      p[1] = ink ? static_cast<uint8_t>(0xC0 + (y / glyphHeight) * 13) : 0;
      p[2] = ink ? 0xFF : 0;
    }
  std::vector<uint8_t> file;
  if (!EncodePcx(rgb.data(), width, height, file)) std::abort();
  return made[key] = ToBytes(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzPlatform& platform = FuzzSetup();
  TTextFuzzInput input;
  if (!input.Decode(data, size)) return 0;
  const int16_t columns = static_cast<int16_t>(1 + input.Columns % 40);
  const int16_t rows = static_cast<int16_t>(1 + input.Rows % 10);
  const std::vector<std::string> lines = MetricsLines(input.Metrics);
  const std::optional<int32_t> width = GlyphSize(lines[0]), height = GlyphSize(lines[1]);
  const bool metricsValid = width && height;
  // Refused metrics still get sheets, of a size that makes no difference.
  const int32_t glyphWidth = metricsValid ? *width : 8;
  const int32_t glyphHeight = metricsValid ? *height : 8;
  const int32_t scale = 1 + input.SheetScale % 128;
  if (int64_t{columns} * glyphWidth * rows * glyphHeight > MostPixels ||
      int64_t{60} * glyphWidth * glyphHeight * scale / 64 * scale / 64 > MostPixels)
    return 0;

  std::string value = input.Text;
  // A literal value starting with '&' names a resource; keep those inside the scratch folder.
  const bool namesResource = !value.empty() && value[0] == '&';
  if (namesResource && value.find('/') != std::string::npos) return 0;
  TArchiveWriter package;
  package.Add(std::string(FontName) + ".inf", input.Metrics);
  for (const TSheet& sheet : Sheets) {
    const int32_t width = std::max(1, sheet.Columns * glyphWidth * scale / 64);
    const int32_t height = std::max(1, sheet.Rows * glyphHeight * scale / 64);
    package.Add(FontName + std::string(sheet.Suffix),
                SheetPcx(width, height, glyphWidth, glyphHeight));
  }
  const bool fromPackage = (input.Flags & TTextFuzzInput::FromPackage) != 0;
  if (fromPackage) {
    package.Add("story.txt", input.Text);
    value = "&story.txt@" + std::string(FontPackage);
  }
  const std::string bytes = package.Bytes();
  WriteScratchFile(PackfileDiskName(FontPackage), bytes.data(), bytes.size());

  const int boxes = platform.Boxes;
  std::unique_ptr<TEngText> text;
  try {
    if (input.Flags & TTextFuzzInput::Hungarian)
      text = std::make_unique<THunText>(input.X, input.Y, nullptr, 0, 0, 0, 1, columns, rows, false,
                                        FontPackage, FontName, value);
    else
      text = std::make_unique<TEngText>(input.X, input.Y, nullptr, 0, 0, 0, 1, columns, rows, false,
                                        FontPackage, FontName, value);
  } catch (const TProgramExit& exit) {
    // Refused metrics or a missing text: one box, and nothing left loaded or open.
    FUZZ_CHECK(!metricsValid || (namesResource && !fromPackage));
    FUZZ_CHECK(exit.Code == 1 && platform.Boxes == boxes + 1);
    for (const TPackfileSlot& slot : Packfiles.PackfileSlots)
      FUZZ_CHECK(!slot.Archive);
    FUZZ_CHECK(ImageCache.Nodes.empty());
    ResetEngineTables();
    return 0;
  }
  FUZZ_CHECK(metricsValid && platform.Boxes == boxes);
  FUZZ_CHECK(text->GlyphWidth == glyphWidth && text->GlyphHeight == glyphHeight);
  FUZZ_CHECK(text->Image.Width == columns * glyphWidth && text->Image.Height == rows * glyphHeight);

  text->SetTint(input.Tint[0] % 32, input.Tint[1] % 64, input.Tint[2] % 32);
  text->RenderText();
  // The stored text now ends with its line end; rendering it again changes nothing.
  const std::vector<uint16_t> first(text->Image.Pixels,
                                    text->Image.Pixels + text->Image.SizeBytes / 2);
  text->RenderText();
  FUZZ_CHECK(std::memcmp(first.data(), text->Image.Pixels, text->Image.SizeBytes) == 0);

  // One frame for the whole run: a fresh 800 x 600 block per input would cost more than
  // everything else here together.
  static TSurface frame = [] {
    TSurface created;
    CreateSurface(created, 800, 600, true);
    return created;
  }();
  for (int step = 0; step < 3; ++step)
    text->Draw(frame);

  text.reset();
  FUZZ_CHECK(ImageCache.Nodes.empty());  // every sheet handed back
  ResetEngineTables();
  return 0;
}
