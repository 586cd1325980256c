// One list of columns, each with its head, its side and how a game fills it; the widths come
// from the longest cell.
#include "records/records_table.h"

#include <algorithm>
#include <optional>

namespace {

using TCell = std::string (*)(const TRankedGame&);

struct TColumn {
  const char* Head;
  bool Right;   // numbers line up on their last digit
  bool InMenu;  // shown in the game's menu too
  TCell Cell;
};

template <typename T>
std::string Number(const std::optional<T>& value) {
  return value ? std::to_string(*value) : "-";
}

// The first column is the rank; its mark stands between it and the second.
const TColumn Columns[] = {
    {"#", true, true, [](const TRankedGame& g) { return std::to_string(g.Rank); }},
    {"Date", false, true, [](const TRankedGame& g) { return ShownTime(g.Game->When); }},
    {"End", false, true,
     [](const TRankedGame& g) {
       return g.Game->End == TGameEnd::GaveUp ? std::string("gave up")
                                              : std::string(EndWord(g.Game->End));
     }},
    {"Health", true, true, [](const TRankedGame& g) { return std::to_string(g.Game->Health); }},
    {"Frames", true, true, [](const TRankedGame& g) { return std::to_string(g.Game->Frames); }},
    {"Boss", true, true, [](const TRankedGame& g) { return Number(g.Game->BossFrames); }},
    {"Fired", true, true,
     [](const TRankedGame& g) { return std::to_string(g.Game->CrossesFired); }},
    {"Hits", true, true, [](const TRankedGame& g) { return std::to_string(g.Game->Hits); }},
    {"Seed", true, false, [](const TRankedGame& g) { return std::to_string(g.Game->Seed); }},
    {"Watch", false, false,
     [](const TRankedGame& g) { return std::string(g.Watchable ? "yes" : "no"); }},
    {"Level", false, false, [](const TRankedGame& g) { return g.Game->Level; }},
};

std::string Padded(const std::string& cell, size_t width, bool right) {
  const std::string pad(width - std::min(width, cell.size()), ' ');
  return right ? pad + cell : cell + pad;
}

// The cells as one line, two spaces between columns, the first of them the rank's mark, no
// blanks at its end.
std::string Line(const std::vector<std::string>& cells, const std::vector<size_t>& widths,
                 const std::vector<const TColumn*>& columns, char mark) {
  std::string line;
  for (size_t c = 0; c < cells.size(); ++c) {
    if (c > 0) line += c == 1 ? std::string(1, mark) + " " : std::string("  ");
    line += Padded(cells[c], widths[c], columns[c]->Right);
  }
  line.erase(line.find_last_not_of(' ') + 1);
  return line;
}

}  // namespace

std::string ShownTime(const std::string& when) {
  std::string shown = when.substr(0, 16);
  if (shown.size() > 10) shown[10] = ' ';
  return shown;
}

TTableText RecordsTable(const std::vector<TRankedGame>& games, TTableColumns which) {
  std::vector<const TColumn*> columns;
  for (const TColumn& column : Columns)
    if (which == TTableColumns::All || column.InMenu) columns.push_back(&column);
  std::vector<std::string> heads;
  std::vector<size_t> widths;
  for (const TColumn* column : columns) {
    heads.emplace_back(column->Head);
    widths.push_back(heads.back().size());
  }
  std::vector<std::vector<std::string>> rows;
  for (const TRankedGame& game : games) {
    std::vector<std::string>& cells = rows.emplace_back();
    for (size_t c = 0; c < columns.size(); ++c) {
      cells.push_back(columns[c]->Cell(game));
      widths[c] = std::max(widths[c], cells.back().size());
    }
  }
  TTableText table{Line(heads, widths, columns, ' '), {}};
  for (size_t r = 0; r < rows.size(); ++r)
    table.Rows.push_back(Line(rows[r], widths, columns, games[r].OtherData ? '*' : ' '));
  return table;
}
