// The menu's page laid out: "PAUSED" large at the top, the page's name, its items in one
// centred column (values in a column of their own), and a hint at the bottom.
#include "menu/menu_layout.h"

#include <algorithm>

namespace {

constexpr const char* Title = "PAUSED";
constexpr int TitleScale = 3;
constexpr int TitleTop = 24;
constexpr int Gap = 16;     // between the title, the heading and the items
constexpr int Margin = 24;  // kept free at either side of the widest column at twice the size
constexpr int PanelBorder = 12;
constexpr size_t MinColumns = 16;  // so that a page of short words still has a panel to read

TMenuText Centred(std::string text, int32_t width, int32_t y, int scale, int cellW, TMenuInk ink) {
  const auto w = static_cast<int32_t>(text.size()) * cellW * scale;
  return {std::move(text), (width - w) / 2, y, scale, ink};
}

// The item's text: the label alone, or the label, then its value in the values' column with
// arrows when Left and Right change it.
std::string LineText(const TMenuLine& line, size_t valueColumn) {
  if (line.Value.empty()) return line.Label;
  std::string text = line.Label;
  text.resize(std::max(valueColumn, text.size() + 1), ' ');
  return text + (line.Changes ? "< " + line.Value + " >" : line.Value);
}

}  // namespace

TMenuLayout LayOutMenu(const TMenuModel& model, int32_t width, int32_t height, int cellW,
                       int cellH) {
  TMenuLayout layout;
  layout.Texts.push_back(Centred(Title, width, TitleTop, TitleScale, cellW, TMenuInk::Title));
  int32_t top = TitleTop + cellH * TitleScale + Gap;
  if (const std::string heading = model.Heading(); !heading.empty()) {
    layout.Texts.push_back(Centred(heading, width, top, 2, cellW, TMenuInk::Dim));
    top += cellH * 2 + Gap;
  }

  const size_t count = model.Items().size();
  std::vector<TMenuLine> lines;
  size_t valueColumn = 0;
  for (size_t i = 0; i < count; ++i) {
    lines.push_back(model.Line(i));
    if (!lines.back().Value.empty())
      valueColumn = std::max(valueColumn, lines.back().Label.size() + 2);
  }
  std::vector<std::string> texts;
  size_t columns = MinColumns;
  for (const TMenuLine& line : lines) {
    texts.push_back(LineText(line, valueColumn));
    columns = std::max(columns, texts.back().size());
  }
  // Twice the font's size where the widest item fits so (a long table of records does not).
  const int scale = static_cast<int64_t>(columns) * cellW * 2 <= width - 2 * Margin ? 2 : 1;
  const int32_t lineHeight = cellH * scale;
  const int32_t gap = scale * 4;
  const int32_t pitch = lineHeight + gap;
  const int32_t noteTop = height - cellH - PanelBorder;
  const auto block = static_cast<int32_t>(count) * pitch - gap;
  const int32_t first = top + std::max(0, (noteTop - Gap - top - block) / 2);
  const auto columnWidth = static_cast<int32_t>(columns) * cellW * scale;
  const int32_t left = (width - columnWidth) / 2;

  layout.Panel = {left - 2 * PanelBorder, first - PanelBorder, columnWidth + 4 * PanelBorder,
                  block + 2 * PanelBorder};
  layout.Selected = model.Selected();
  for (size_t i = 0; i < count; ++i) {
    const int32_t y = first + static_cast<int32_t>(i) * pitch;
    layout.Lines.push_back({left - PanelBorder, y - gap / 2, columnWidth + 2 * PanelBorder, pitch});
    const TMenuInk ink = !lines[i].Choosable     ? TMenuInk::Dim
                         : i == model.Selected() ? TMenuInk::Chosen
                                                 : TMenuInk::Plain;
    layout.Texts.push_back({texts[i], left, y, scale, ink});
  }
  if (const std::string note = model.Note(); !note.empty())
    layout.Texts.push_back(Centred(note, width, noteTop, 1, cellW, TMenuInk::Dim));
  return layout;
}

std::optional<size_t> LineAt(const TMenuLayout& layout, int32_t x, int32_t y) {
  for (size_t i = 0; i < layout.Lines.size(); ++i) {
    const TFitRect& box = layout.Lines[i];
    if (x >= box.X && x < box.X + box.W && y >= box.Y && y < box.Y + box.H) return i;
  }
  return std::nullopt;
}
