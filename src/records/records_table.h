// The best games as a table for a fixed-width font: the terminal's (--records) and the game's
// own in its menu. Columns are aligned with spaces, numbers to the right.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "records/game_record.h"

struct TRankedGame {
  size_t Rank = 0;  // 1 for the best
  const TGameRecord* Game = nullptr;
  bool Watchable = false;  // its recording is there
  bool OtherData = false;  // played on other game data than this: marked '*'
};

// All: every column; Menu: those that fit the game's 800 pixels in its 8-pixel font.
enum class TTableColumns { All, Menu };

struct TTableText {
  std::string Heads;
  std::vector<std::string> Rows;  // one a game, in the order given
};

TTableText RecordsTable(const std::vector<TRankedGame>& games, TTableColumns columns);

// The note under a table with a game marked '*'.
constexpr std::string_view OtherDataNote = "* played on other game data than this";

// "2026-05-01 14:03" of "2026-05-01T14:03:22".
std::string ShownTime(const std::string& when);
