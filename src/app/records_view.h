// What the in-game menu shows of the player's records, and how it asks to watch one: the
// records' keeper fills it, the menu only draws it, so neither knows the other's files.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

struct TRecordsView {
  // The table as the menu draws it in a fixed-width font: the column heads, then one line a
  // record, best first, columns aligned with spaces.
  std::string Heads;
  std::vector<std::string> Rows;
  // Per row: whether its recording is there to be watched again.
  std::vector<bool> Watchable;
};

// The hooks a program entry gives the run for its records; empty when the run keeps none
// (headless runs, the browser before it keeps files).
struct TRecordsHooks {
  std::function<TRecordsView()> View;
  // Asks for the record in row `row` of the view to be played once this run has ended; the
  // menu then ends the run as its Quit does.
  std::function<void(size_t row)> Watch;
};
