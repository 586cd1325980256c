// fuzz_records: the input is a records file. Whatever its bytes, each warning names the file
// and a line of it (at most one a line), every line is kept as the file has it, every game
// read writes a line that reads back as the same game, and a game line without its recording
// is still that game.
#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "fuzz_support.h"
#include "records/records_store.h"

namespace {

std::optional<TGameRecord> ReadBack(std::string_view line) {
  std::string problem;
  return ParseGameLine(line, problem);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Through a file, so that reading and its size limit are fuzzed as well.
  static const TRecordsPlace place = RecordsPlaceIn(FuzzScratch());
  WriteScratchFile("records.txt", data, size);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const long lines = static_cast<long>(std::count(text.begin(), text.end(), '\n')) + 1;
  std::vector<std::string> warnings;
  const TRecords records = LoadRecords(place, warnings);

  long lastLine = 0;
  for (const std::string& warning : warnings) {
    FUZZ_CHECK(warning.compare(0, place.File.size() + 1, place.File + ":") == 0);
    const long line = std::strtol(warning.c_str() + place.File.size() + 1, nullptr, 10);
    FUZZ_CHECK(line > lastLine && line <= lines);
    lastLine = line;
  }
  if (records.Whole) {
    const std::string again = FormatRecords(records.Lines);
    FUZZ_CHECK(again == text || again == std::string(text) + "\n");
  }
  for (const TRecordsLine& line : records.Lines) {
    if (!line.Game) continue;
    const std::optional<TGameRecord> written = ReadBack(GameLine(*line.Game));
    FUZZ_CHECK(written && GameLine(*written) == GameLine(*line.Game));
    const std::optional<TGameRecord> unwatchable = ReadBack(WithoutRecording(line.Text));
    FUZZ_CHECK(unwatchable && unwatchable->Recording.empty());
    FUZZ_CHECK(unwatchable->Frames == line.Game->Frames && unwatchable->When == line.Game->When);
  }
  const std::vector<size_t> best = BestGames(records.Lines);
  FUZZ_CHECK(best.size() <= BestCount);
  for (size_t i = 1; i < best.size(); ++i)
    FUZZ_CHECK(!RanksBefore(*records.Lines[best[i]].Game, *records.Lines[best[i - 1]].Game));
  return 0;
}
