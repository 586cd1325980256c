// Text entities: font metrics from the font package, text values, the word-wrapping layout
// and the tinted rendering into the entity's own picture.
#include "text/base_text.h"

#include <charconv>
#include <optional>

#include "gfx/blit.h"
#include "gfx/boxes.h"
#include "res/packfile.h"
#include "res/resource.h"

namespace {

// A signed decimal integer that fills the whole line and fits in 32 bits; anything else,
// blanks included, is not a number.
std::optional<int32_t> ParseMetricsInteger(std::string_view line) {
  std::string_view digits = line;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  // from_chars takes a minus itself; a second sign after the plus is not a number.
  if (digits.empty() || (line.front() == '+' && digits.front() == '-')) return std::nullopt;
  int32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

// Frees a surface on every way out of a scope, fatal boxes included.
struct TSurfaceGuard {
  TSurface& Surface;
  ~TSurfaceGuard() { FreeSurface(Surface); }
};

}  // namespace

TBaseText::TBaseText(int16_t x, int16_t y, TAgentEntity* agent, uint16_t frameDelay,
                     uint16_t holdTicks, uint16_t fadeIn, uint16_t fadeOut, int16_t columns,
                     int16_t rows, bool destroyAtEnd, const std::string& fontPackage,
                     const std::string& fontName, const std::string& textValue)
    : TGlowSprite(x, y, agent, frameDelay, holdTicks, destroyAtEnd, "", fadeIn, fadeOut) {
  SetText(textValue);
  SetTint(0, 0, 0);
  Columns = columns;
  Rows = rows;
  // An empty box would be a picture of no pixels that the layout still writes lines into.
  if (columns < 1 || rows < 1)
    FatalBox("Font error!", "A text in font \"" + fontName + "\" has a box of " +
                                std::to_string(columns) + " x " + std::to_string(rows) +
                                " glyph cells!\rA text box has at least one column and one row.");
  LoadFontMetrics(fontPackage, fontName);
  // Both factors are at most 32767 x 256, so neither side overflows 32 bits; a picture whose
  // block cannot be had ends with the memory box.
  static_assert(int64_t{INT16_MAX} * MaxGlyphSize <= INT32_MAX);
  try {
    CreateSurface(Image, int32_t{Columns} * GlyphWidth, int32_t{Rows} * GlyphHeight, true);
  } catch (...) {
    FreeSurface(GlyphCell);  // no destructor runs for a half-built text
    throw;
  }
  OwnsImage = true;
}

TBaseText::~TBaseText() {
  // The picture is our own, not the cache's: the sprite's destructor must not release it.
  if (OwnsImage) {
    FreeSurface(Image);
    OwnsImage = false;
  }
  FreeSurface(GlyphCell);
}

void TBaseText::LoadFontMetrics(const std::string& fontPackage, const std::string& fontName) {
  const uint8_t slot = PackfileOpen(fontPackage);
  if (slot > 244) FatalBox("Package error!", "Couldn't locate package \"" + fontPackage + "\"!");
  auto cursor = OpenCursor(PackfileObject(slot), fontName + ".inf");
  if (!cursor) {
    PackfileClose(slot);
    FatalBox("Font error!", "Font \"" + fontName + "\" is not available!");
  }
  // Both lines are read and the package closed before either is judged, so a bad value
  // leaves no archive open behind the box. A missing line reads as empty.
  const std::string widthLine = CursorReadLine(*cursor);
  const std::string heightLine = CursorReadLine(*cursor);
  FreeCursor(cursor);
  PackfileClose(slot);

  const std::string caption = "Font metrics error: " + fontName + ".inf in " + fontPackage;
  const auto width = ParseMetricsInteger(widthLine);
  if (!width) FatalBox(caption, "\"" + widthLine + "\" is an invalid integer");
  const auto height = ParseMetricsInteger(heightLine);
  if (!height) FatalBox(caption, "\"" + heightLine + "\" is an invalid integer");
  if (*width < 1 || *width > MaxGlyphSize || *height < 1 || *height > MaxGlyphSize)
    FatalBox("Font error!", "Font \"" + fontName + "\" has glyphs of " + std::to_string(*width) +
                                " x " + std::to_string(*height) + " pixels!\rA glyph is 1 to " +
                                std::to_string(MaxGlyphSize) + " pixels wide and high.");
  GlyphWidth = static_cast<int16_t>(*width);
  GlyphHeight = static_cast<int16_t>(*height);
  CreateSurface(GlyphCell, GlyphWidth, GlyphHeight, true);
}

void TBaseText::SetText(const std::string& value) {
  Text = LoadTextValue(value);
}

void TBaseText::SetTint(uint8_t red, uint8_t green, uint8_t blue) {
  TintRed = red;
  TintGreen = green;
  TintBlue = blue;
}

// ---- Layout -----------------------------------------------------------------------------

void TBaseText::RenderText() {
  // The last line is only drawn by a line end; the stored text keeps the one added here.
  if (Text.empty() || Text.back() != '\n') Text.push_back('\n');
  // The status displays render every frame; the same text in the same tint gives the same
  // picture, so only a change is drawn.
  const TRenderedAs wanted{Text, TintRed, TintGreen, TintBlue};
  if (Rendered == wanted) return;
  Rendered = wanted;

  TSurface scratch;
  CreateSurface(scratch, Image.Width, Image.Height, true);
  TSurfaceGuard guard{scratch};

  std::string line;
  std::string word;
  int32_t lineNumber = 0;
  const int64_t columns = Columns;
  for (size_t pos = 0; lineNumber <= Rows - 1 && pos < Text.size(); ++pos) {
    const char ch = Text[pos];
    if (ch == ' ') {
      if (static_cast<int64_t>(line.size() + word.size()) + 1 <= columns) {
        line += word;
      } else {
        DrawLine(scratch, line, lineNumber++);
        line = word;
      }
      line += ' ';
      word.clear();
    } else if (ch == '\n') {
      // A word that does not fit behind the line goes alone on the next one, even when it
      // does not fit there either: it is clipped at the right edge.
      const bool carried = static_cast<int64_t>(line.size() + word.size()) > columns;
      if (!carried) line += word;
      DrawLine(scratch, line, lineNumber++);
      if (carried) DrawLine(scratch, word, lineNumber++);
      line.clear();
      word.clear();
    } else if (ch != '\r') {
      word.push_back(ch);
    }
  }

  FillSurface(Image, 0);
  PutImageAdd(Image, scratch, 0, 0, TintRed, TintGreen, TintBlue);
}

void TBaseText::DrawLine(const TSurface& scratch, std::string_view line, int32_t lineNumber) {
  const int64_t y = int64_t{lineNumber} * GlyphHeight;
  if (y >= scratch.Height) return;  // a carried word below the last row
  for (size_t j = 0; j < line.size(); ++j) {
    const int64_t x = static_cast<int64_t>(j) * GlyphWidth;
    // The rest of the line lies right of the box, so a word of any length costs no more
    // than the box is wide.
    if (x >= scratch.Width) break;
    RenderGlyph(static_cast<uint8_t>(line[j]));
    PutImageClipped(scratch, GlyphCell, static_cast<int32_t>(x), static_cast<int32_t>(y));
  }
}
