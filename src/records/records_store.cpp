// Where the records live, the ranking over the file's lines, and the one edit a kept game
// makes: the line added, the log trimmed, the recordings that go with the best.
#include "records/records_store.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "res/small_file.h"
#include "res/whole_file_writer.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* FileHeader[] = {
    "# Save Quibbet! records: the games played to their end, one line each; the last 1000",
    "# and the ten best. The best keep their input in recordings/, to be watched again:",
    "# quibbet --records lists them, quibbet --watch N plays one.",
};

// "20260501-140322-17.input" for a game that ended at 2026-05-01T14:03:22 with seed 17, or
// with "-2", "-3"... when that is taken.
std::string FreeRecordingName(const TRecordsPlace& place, const TGameRecord& game) {
  std::string digits;
  for (char c : game.When)
    if (c >= '0' && c <= '9') digits += c;
  const std::string stem = digits.substr(0, 8) + "-" +
                           digits.substr(std::min<size_t>(8, digits.size())) + "-" +
                           std::to_string(game.Seed);
  std::string name = stem + ".input";
  std::error_code looked;
  for (int n = 2; n < 1000 && fs::exists(fs::path(place.Recordings) / name, looked); ++n)
    name = stem + "-" + std::to_string(n) + ".input";
  return name;
}

}  // namespace

TRecordsPlace RecordsPlaceIn(const std::string& folder) {
  if (folder.empty()) return {};
  return {(fs::path(folder) / "records.txt").string(), (fs::path(folder) / "recordings").string()};
}

TRecords LoadRecords(const TRecordsPlace& place, std::vector<std::string>& warnings) {
  TRecords records;
  const TSmallFile file = ReadSmallFile(place.File, MaxRecordsFileSize);
  switch (file.State) {
    case TSmallFileState::Missing:
      return records;
    case TSmallFileState::Unreadable:
      records.Whole = false;
      records.Problem = "cannot be read (" + file.Problem + ")";
      warnings.push_back(place.File + ": " + records.Problem);
      return records;
    case TSmallFileState::Cut:
      records.Whole = false;
      records.Problem = "is larger than " + std::to_string(MaxRecordsFileSize) + " bytes";
      break;
    case TSmallFileState::Whole:
      break;
  }
  records.Lines = ParseRecords(file.Bytes, place.File, warnings);
  return records;
}

std::vector<size_t> BestGames(const std::vector<TRecordsLine>& lines, size_t count) {
  std::vector<size_t> games;
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].Game) games.push_back(i);
  std::stable_sort(games.begin(), games.end(), [&lines](size_t a, size_t b) {
    return RanksBefore(*lines[a].Game, *lines[b].Game);
  });
  games.resize(std::min(games.size(), count));
  return games;
}

std::string RecordingPath(const TRecordsPlace& place, const TGameRecord& game) {
  if (game.Recording.empty() || place.Recordings.empty()) return "";
  const fs::path path = fs::path(place.Recordings) / game.Recording;
  std::error_code looked;
  return fs::is_regular_file(path, looked) ? path.string() : "";
}

namespace {

// Writes the new game's recording, before its line names it, so that no line names a file
// that is not there; the path written, or "" with a warning when it cannot be.
std::string KeepRecording(const TRecordsPlace& place, TRecordsLine& line,
                          std::string_view recording, std::vector<std::string>& warnings) {
  TGameRecord& game = *line.Game;
  game.Recording = FreeRecordingName(place, game);
  const std::string path = (fs::path(place.Recordings) / game.Recording).string();
  std::string why;
  if (!WriteFileWhole(path, recording, why)) {
    warnings.push_back("the game's recording is not kept: " + why);
    game.Recording.clear();
    return "";
  }
  line.Text = GameLine(game);
  return path;
}

// The lines that stay: the last LogCount games and the best, with every other line; the games
// that are not among the best lose their recordings, whose names go to `unused`.
std::vector<TRecordsLine> LinesKept(std::vector<TRecordsLine>& lines,
                                    const std::vector<size_t>& best,
                                    std::vector<std::string>& unused) {
  std::set<std::string> bestRecordings;
  for (size_t i : best)
    if (!lines[i].Game->Recording.empty()) bestRecordings.insert(lines[i].Game->Recording);
  size_t gamesAfter = 0;  // games on the lines after the one looked at
  std::vector<TRecordsLine> kept;
  for (size_t i = lines.size(); i-- > 0;) {
    TRecordsLine& line = lines[i];
    if (!line.Game) {
      kept.push_back(std::move(line));
      continue;
    }
    const bool isBest = std::find(best.begin(), best.end(), i) != best.end();
    const bool inLog = gamesAfter++ < LogCount;
    if (!isBest && !line.Game->Recording.empty()) {
      if (bestRecordings.count(line.Game->Recording) == 0) unused.push_back(line.Game->Recording);
      line.Text = WithoutRecording(line.Text);
      line.Game->Recording.clear();
    }
    if (isBest || inLog) kept.push_back(std::move(line));
  }
  std::reverse(kept.begin(), kept.end());
  return kept;
}

}  // namespace

bool KeepGame(const TRecordsPlace& place, TGameRecord game, std::string_view recording,
              std::vector<std::string>& warnings, std::string& error) {
  if (place.File.empty()) {
    error = "no data folder is known (set XDG_DATA_HOME or HOME)";
    return false;
  }
  TRecords records = LoadRecords(place, warnings);
  if (!records.Whole) {
    error = place.File + " " + records.Problem + ", so it is left as it is";
    return false;
  }
  std::vector<TRecordsLine>& lines = records.Lines;
  if (lines.empty())
    for (const char* comment : FileHeader)
      lines.push_back({comment, std::nullopt});
  game.Recording.clear();
  lines.push_back({GameLine(game), game});
  const std::vector<size_t> best = BestGames(lines);
  std::string written;
  if (std::find(best.begin(), best.end(), lines.size() - 1) != best.end())
    written = KeepRecording(place, lines.back(), recording, warnings);
  std::vector<std::string> unused;
  const std::vector<TRecordsLine> kept = LinesKept(lines, best, unused);
  if (!WriteFileWhole(place.File, FormatRecords(kept), error)) {
    std::error_code ignored;
    if (!written.empty()) fs::remove(written, ignored);
    return false;
  }
  for (const std::string& name : unused) {
    std::error_code ignored;
    fs::remove(fs::path(place.Recordings) / name, ignored);
  }
  return true;
}
