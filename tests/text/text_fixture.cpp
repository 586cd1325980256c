// Builders of test fonts and the read-back of rendered texts.
#include "text/text_fixture.h"

#include "gfx/boxes.h"

namespace {

constexpr uint16_t Padding = 0xF81F;  // magenta, outside every cell of the layout

const char* SheetName(int32_t kind) {
  switch (kind) {
    case 1:
      return "Letters";
    case 2:
      return "Digits";
    case 3:
      return "Signs";
    case 4:
      return "HunLetters";
    default:
      return nullptr;
  }
}

const char* SheetSuffix(TSheetKind sheet) {
  switch (sheet) {
    case TSheetKind::Letters:
      return "_engletters.pcx";
    case TSheetKind::Digits:
      return "_numbers.pcx";
    case TSheetKind::Signs:
      return "_signs.pcx";
    case TSheetKind::HunLetters:
      return "_hunletters.pcx";
  }
  return "";
}

}  // namespace

uint16_t CellColour(TSheetKind sheet, int32_t column, int32_t row) {
  // Red names the sheet, green the column, blue the row (from 1, so no cell is black).
  return static_cast<uint16_t>((static_cast<int32_t>(sheet) << 11) | (column << 5) | (row + 1));
}

int32_t SheetColumns(TSheetKind sheet) {
  switch (sheet) {
    case TSheetKind::Letters:
      return 26;
    case TSheetKind::Digits:
      return 10;
    case TSheetKind::Signs:
      return 15;
    case TSheetKind::HunLetters:
      return 9;
  }
  return 0;
}

int32_t SheetRows(TSheetKind sheet) {
  switch (sheet) {
    case TSheetKind::Letters:
      return 2;
    case TSheetKind::Digits:
      return 1;
    case TSheetKind::Signs:
      return 4;
    case TSheetKind::HunLetters:
      return 2;
  }
  return 0;
}

std::string GlyphSheetPcx(TSheetKind sheet, int32_t glyphWidth, int32_t glyphHeight, int32_t width,
                          int32_t height) {
  std::vector<uint8_t> rgb;
  rgb.reserve(static_cast<size_t>(width) * height * 3);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const int32_t column = x / glyphWidth, row = y / glyphHeight;
      uint16_t colour = Padding;
      if (column < SheetColumns(sheet) && row < SheetRows(sheet))
        colour = x % glyphWidth == 0 && y % glyphHeight == 0 ? GlyphCorner
                                                             : CellColour(sheet, column, row);
      // 8-bit channels whose top bits are the RGB565 fields, so the sheet decodes back exactly.
      rgb.push_back(static_cast<uint8_t>((colour >> 11) << 3));
      rgb.push_back(static_cast<uint8_t>(((colour >> 5) & 0x3F) << 2));
      rgb.push_back(static_cast<uint8_t>((colour & 0x1F) << 3));
    }
  return MakePcx(rgb, width, height);
}

void AddFont(TArchiveWriter& archive, const std::string& name, int32_t glyphWidth,
             int32_t glyphHeight) {
  archive.Add(name + ".inf",
              std::to_string(glyphWidth) + "\r\n" + std::to_string(glyphHeight) + "\r\n");
  for (TSheetKind sheet :
       {TSheetKind::Letters, TSheetKind::Digits, TSheetKind::Signs, TSheetKind::HunLetters})
    archive.Add(name + SheetSuffix(sheet),
                GlyphSheetPcx(sheet, glyphWidth, glyphHeight, SheetColumns(sheet) * glyphWidth,
                              SheetRows(sheet) * glyphHeight));
}

std::string DescribeCell(const TSurface& cell) {
  bool blank = true;
  for (int32_t y = 0; y < cell.Height; ++y)
    for (int32_t x = 0; x < cell.Width; ++x)
      blank = blank && PixelAt(cell, x, y) == 0;
  if (blank) return "blank";
  if (cell.Width < 2 || PixelAt(cell, 0, 0) != GlyphCorner) return "garbled";
  const uint16_t colour = PixelAt(cell, 1, 0);
  for (int32_t y = 0; y < cell.Height; ++y)
    for (int32_t x = 0; x < cell.Width; ++x)
      if ((x != 0 || y != 0) && PixelAt(cell, x, y) != colour) return "garbled";
  const char* sheet = SheetName(colour >> 11);
  if (sheet == nullptr || (colour & 0x1F) == 0) return "garbled";
  return std::string(sheet) + " " + std::to_string((colour >> 5) & 0x3F) + "," +
         std::to_string((colour & 0x1F) - 1);
}

std::vector<std::string> ReadBack(const TBaseText& text) {
  std::vector<std::string> rows;
  const TSurface& image = text.Image;
  for (int32_t row = 0; row < text.Rows; ++row) {
    std::string line;
    for (int32_t column = 0; column < text.Columns; ++column) {
      const int32_t left = column * text.GlyphWidth, top = row * text.GlyphHeight;
      const uint16_t first = PixelAt(image, left, top);
      char shown = first == 0 ? '.' : first < 256 ? static_cast<char>(first) : '#';
      for (int32_t y = 0; y < text.GlyphHeight; ++y)
        for (int32_t x = 0; x < text.GlyphWidth; ++x)
          if (PixelAt(image, left + x, top + y) != first) shown = '#';
      line.push_back(shown);
    }
    line.erase(line.find_last_not_of('.') + 1);
    rows.push_back(line);
  }
  return rows;
}

void TTextFixture::SetUp() {
  TResFixture::SetUp();
  Scene.Setup();
  WriteFonts();
}

void TTextFixture::WriteFonts(const std::function<void(TArchiveWriter&)>& extra) {
  TArchiveWriter archive;
  archive.Add("probe.inf", "2\r\n3\r\n");
  AddFont(archive, "tst", 4, 6);
  if (extra) extra(archive);
  archive.WriteTo(Dir + "/FONTS.MPK");
}

std::unique_ptr<TProbeText> TTextFixture::Probe(const std::string& value, int16_t columns,
                                                int16_t rows) {
  auto text = std::make_unique<TProbeText>(0, 0, Scene.Agent, 0, 0, 0, 1, columns, rows, false,
                                           "FONTS", "probe", value);
  text->RenderText();
  return text;
}

TTestPlatform::TBox TTextFixture::FatalBoxOf(const std::function<void()>& build) {
  const size_t before = Platform->Boxes.size();
  EXPECT_THROW(build(), TProgramExit);
  if (Platform->Boxes.size() != before + 1) {
    ADD_FAILURE() << "expected exactly one box, got " << Platform->Boxes.size() - before;
    return {};
  }
  return Platform->Boxes.back();
}
