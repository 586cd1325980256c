// The records' keeper: loading and ranking for a listing, the JSON of --records, the menu's
// hooks, and the record of a game made from the run's report.
#include "app/records_keeper.h"

#include <cstdio>
#include <ctime>

#include "app/replay.h"
#include "app/run.h"
#include "res/player_folders.h"

namespace {

// The local time now, "2026-05-01T14:03:22".
std::string LocalTimeNow() {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  char text[32] = "1970-01-01T00:00:00";
  if (local != nullptr) std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", local);
  return text;
}

std::string GameJson(const TRankedGame& ranked) {
  const TGameRecord& game = *ranked.Game;
  // Built by appending only: GCC 12 reports false overlaps on chains of operator+.
  std::string json = "{\"rank\":";
  json += std::to_string(ranked.Rank);
  json += ",\"when\":" + JsonString(game.When);
  json += ",\"ending\":" + JsonString(std::string(EndWord(game.End)));
  json += ",\"seed\":" + std::to_string(game.Seed);
  json += ",\"frames\":" + std::to_string(game.Frames);
  json += ",\"boss_frames\":" + JsonNumber(game.BossFrames);
  json += ",\"health\":" + std::to_string(game.Health);
  json += ",\"crosses_fired\":" + std::to_string(game.CrossesFired);
  json += ",\"hits\":" + std::to_string(game.Hits);
  json += ",\"level\":" + JsonString(game.Level);
  json += ",\"data\":" + JsonString(game.Data);
  json += ",\"other_data\":";
  json += ranked.OtherData ? "true" : "false";
  json += ",\"watch\":";
  json += ranked.Watchable ? "true" : "false";
  json += '}';
  return json;
}

}  // namespace

TRecordsKeeper::TRecordsKeeper()
    : TRecordsKeeper(RecordsPlaceIn(PlayerFoldersOfThisProcess().Data)) {}

TRecordsKeeper::TRecordsKeeper(TRecordsPlace place) : Place(std::move(place)) {}

void TRecordsKeeper::Say(const std::string& what) {
  if (Said.insert(what).second) std::fprintf(stderr, "quibbet: %s\n", what.c_str());
}

std::vector<TRankedGame> TRecordsKeeper::Ranked(TRecords& records) {
  std::vector<std::string> warnings;
  records = LoadRecords(Place, warnings);
  for (const std::string& warning : warnings)
    Say(warning);
  const std::string here = DataFingerprint();
  std::vector<TRankedGame> ranked;
  for (size_t line : BestGames(records.Lines)) {
    const TGameRecord& game = *records.Lines[line].Game;
    const bool other = !game.Data.empty() && !here.empty() && game.Data != here;
    ranked.push_back({ranked.size() + 1, &game, !RecordingPath(Place, game).empty(), other});
  }
  return ranked;
}

int TRecordsKeeper::Print(bool json) {
  if (Place.File.empty()) {
    Say("no data folder is known for the records (set XDG_DATA_HOME or HOME)");
    return 1;
  }
  TRecords records;
  const std::vector<TRankedGame> ranked = Ranked(records);
  std::string text;
  if (json) {
    size_t games = 0;
    for (const TRecordsLine& line : records.Lines)
      games += line.Game ? 1 : 0;
    text = "{\"records\":[";
    for (const TRankedGame& game : ranked)
      text += (game.Rank > 1 ? "," : "") + GameJson(game);
    text += "],\"games\":" + std::to_string(games) + "}\n";
  } else if (ranked.empty()) {
    text = "No games kept yet: a game played to its end is kept in " + Place.File + "\n";
  } else {
    const TTableText table = RecordsTable(ranked, TTableColumns::All);
    text = table.Heads + "\n";
    bool marked = false;
    for (size_t i = 0; i < ranked.size(); ++i) {
      text += table.Rows[i] + "\n";
      marked = marked || ranked[i].OtherData;
    }
    if (marked) text += std::string(OtherDataNote) + "\n";
  }
  std::fputs(text.c_str(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

std::string TRecordsKeeper::RecordingOf(uint32_t rank) {
  TRecords records;
  const std::vector<TRankedGame> ranked = Ranked(records);
  if (rank == 0 || rank > ranked.size()) {
    Say("there is no game " + std::to_string(rank) + " in the records (quibbet --records " +
        "lists " + std::to_string(ranked.size()) + ")");
    return "";
  }
  const std::string path = RecordingPath(Place, *ranked[rank - 1].Game);
  if (path.empty())
    Say("game " + std::to_string(rank) + " of the records has no recording to watch");
  return path;
}

TRecordsHooks TRecordsKeeper::Hooks() {
  TRecordsHooks hooks;
  hooks.View = [this] {
    ViewedRanks = Ranked(Viewed);
    const TTableText table = RecordsTable(ViewedRanks, TTableColumns::Menu);
    TRecordsView view{table.Heads, table.Rows, {}};
    for (const TRankedGame& game : ViewedRanks)
      view.Watchable.push_back(game.Watchable);
    return view;
  };
  hooks.Watch = [this](size_t row) {
    if (row < ViewedRanks.size()) WatchAsked = RecordingPath(Place, *ViewedRanks[row].Game);
  };
  return hooks;
}

std::string TRecordsKeeper::TakeWatch() {
  return std::exchange(WatchAsked, "");
}

void TRecordsKeeper::KeepRun(const TOptions& options, const TRunReport& report,
                             const std::string& events) {
  const TSceneRecord* scene = GameSceneOf(report);
  if (!PlaysLive(options) || scene == nullptr || !report.Seed) return;
  const TGameFigures& figures = *scene->Game;
  const std::optional<TGameEnd> end = EndOfSummaryWord(figures.Ending);
  if (!end) return;
  TGameRecord game;
  game.When = LocalTimeNow();
  game.End = *end;
  game.Seed = *report.Seed;
  game.Frames = scene->Frames;
  game.BossFrames = figures.BossFrames;
  game.Health = figures.PlayerHealth;
  game.CrossesFired = figures.CrossesFired;
  game.Hits = figures.Hits;
  game.Level = report.Level.empty() ? std::string(BuiltInLevel) : report.Level;
  game.Data = DataFingerprint();
  std::vector<std::string> warnings;
  std::string error;
  const bool kept =
      KeepGame(Place, game, RecordedScript(events, report.Seed, game.Data), warnings, error);
  for (const std::string& warning : warnings)
    Say(warning);
  if (!kept) Say("the game is not kept in the records: " + error);
}
