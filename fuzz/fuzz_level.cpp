// fuzz_level: the input is a level file. A level the parser accepts keeps every range and
// cap, is won one way only, reads back as itself from its written form, and spreads out
// into as many starts as its rows promise; a refused one names a line of the text and why.
#include <algorithm>
#include <string_view>

#include "fuzz_support.h"
#include "level/level.h"

namespace {

void CheckRow(const TLevelRow& row, size_t& starts, bool& boss) {
  FUZZ_CHECK(row.Frame >= 1);
  FUZZ_CHECK(row.X >= 0 && row.X <= 800 && row.Y >= 0 && row.Y <= 600);
  FUZZ_CHECK(row.Times >= 1 && row.Times <= MaxRepeats);
  FUZZ_CHECK((row.Times == 1) == (row.Every == 0));
  FUZZ_CHECK(uint32_t{row.Frame} + uint32_t{row.Every} * (row.Times - 1u) <= 65535u);
  FUZZ_CHECK(!row.AtBus || row.Action == TLevelAction::Grenade);
  if (row.Action == TLevelAction::Text) {
    FUZZ_CHECK(row.FadeIn <= 32 && row.FadeOut >= 1 && row.FadeOut <= 32 && row.Hold <= 1000);
    FUZZ_CHECK(!row.TextFile.empty() && row.TextFile.size() <= MaxLevelFileNameLength);
    FUZZ_CHECK(row.TextFile.find_first_of("@/\\") == std::string::npos);
  }
  if (row.Action == TLevelAction::Boss) {
    FUZZ_CHECK(!boss && row.Times == 1);
    boss = true;
  }
  starts += row.Times;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
  TLevelNote error;
  const std::optional<TLevel> level = ParseLevel(text, error);
  if (!level) {
    FUZZ_CHECK(error.Line >= 1 && error.Line <= lines);
    FUZZ_CHECK(!error.Reason.empty());
    return 0;
  }
  FUZZ_CHECK(!level->Name.empty() && level->Name.size() <= MaxLevelNameLength);
  FUZZ_CHECK(!level->Rows.empty() && level->Rows.size() <= MaxLevelRows);
  size_t starts = 0;
  bool boss = false;
  uint16_t lastFrame = 0;
  for (const TLevelRow& row : level->Rows) {
    CheckRow(row, starts, boss);
    FUZZ_CHECK(row.Frame >= lastFrame && row.Line >= 1 && row.Line <= lines);
    lastFrame = row.Frame;
  }
  FUZZ_CHECK(starts <= MaxLevelEvents);
  FUZZ_CHECK(boss != (level->WonAt != 0));

  const std::string written = FormatLevel(*level);
  TLevelNote again;
  const std::optional<TLevel> reread = ParseLevel(written, again);
  FUZZ_CHECK(reread && FormatLevel(*reread) == written);

  const std::vector<TLevelEvent> schedule = LevelSchedule(*level);
  FUZZ_CHECK(schedule.size() == starts);
  FUZZ_CHECK(
      std::is_sorted(schedule.begin(), schedule.end(),
                     [](const TLevelEvent& a, const TLevelEvent& b) { return a.Frame < b.Frame; }));
  for (const TLevelNote& note : CheckLevel(*level))
    FUZZ_CHECK(note.Line >= 1 && note.Line <= lines && !note.Reason.empty());
  return 0;
}
