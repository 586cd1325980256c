// The player's records as the desktop entry keeps them (src/records): a game played live to
// its end is kept after the run; --records prints them, and --watch N and the menu's Records
// play one again. What is wrong with the files goes to stderr, each line once a run.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "app/options.h"
#include "app/records_view.h"
#include "app/report.h"
#include "records/records_store.h"
#include "records/records_table.h"

class TRecordsKeeper {
 public:
  // The records in the player's data folder.
  TRecordsKeeper();
  explicit TRecordsKeeper(TRecordsPlace place);

  // --records: the table, or JSON, on stdout; the exit code.
  int Print(bool json);

  // --watch N: the file of game N's recording, or "" after one line on stderr saying why not.
  std::string RecordingOf(uint32_t rank);

  // The view and the watch the menu uses; Watch asks for the recording that TakeWatch gives.
  TRecordsHooks Hooks();
  // The recording the menu last asked to watch, once; "" when none.
  std::string TakeWatch();

  // Keeps the run's game when a person played it to an ending, with its input (`events`, as
  // the run recorded them); says in one line when it cannot.
  void KeepRun(const TOptions& options, const TRunReport& report, const std::string& events);

 private:
  // Loads the records and ranks the best, saying each new warning once.
  std::vector<TRankedGame> Ranked(TRecords& records);
  void Say(const std::string& what);

  TRecordsPlace Place;
  std::set<std::string> Said;
  TRecords Viewed;  // what the menu's view shows, for its Watch
  std::vector<TRankedGame> ViewedRanks;
  std::string WatchAsked;
};
