// records.txt line by line: a game reads back as it was written, a line the game cannot read
// is kept as it is with one warning, and the ranking and the table a player sees.
#include "records/records_file.h"

#include <gtest/gtest.h>

#include "records/records_helpers.h"
#include "records/records_table.h"

namespace {

std::vector<int> WarnedLines(const std::vector<std::string>& warnings) {
  std::vector<int> lines;
  for (const std::string& warning : warnings) {
    EXPECT_EQ(warning.rfind("r.txt:", 0), 0u) << warning;
    EXPECT_NE(warning.find("; the line is kept as it is and skipped"), std::string::npos)
        << warning;
    lines.push_back(std::atoi(warning.c_str() + 6));
  }
  return lines;
}

}  // namespace

// ---- Lines ----------------------------------------------------------------------------------

TEST(RecordsFile, AGameReadsBackAsItWasWritten) {
  TGameRecord game = Game(TGameEnd::GaveUp, -15, 4000000000ull);
  game.Seed = 4294967295u;
  game.BossFrames = 388;
  game.Data = "3f09c1d2a4b5e6f7";
  game.Recording = "20260501-140322-17.input";
  game.Level = "A \"quoted\" name\twith a tab";
  const std::string line = GameLine(game);
  EXPECT_EQ(line,
            "game when=2026-05-01T14:03:22 ending=gave-up seed=4294967295 frames=4000000000 "
            "boss-frames=388 health=-15 fired=131 hits=77 data=3f09c1d2a4b5e6f7 "
            "input=20260501-140322-17.input level=\"A ?quoted? name?with a tab\"");
  std::string problem;
  const auto read = ParseGameLine(line, problem);
  ASSERT_TRUE(read) << problem;
  game.Level = "A ?quoted? name?with a tab";
  EXPECT_EQ(GameLine(*read), GameLine(game));
  EXPECT_EQ(read->BossFrames, 388u);
  EXPECT_EQ(WithoutRecording(line).find("input="), std::string::npos);
  EXPECT_EQ(WithoutRecording(line).size(), line.size() - 31);
}

TEST(RecordsFile, DamagedLinesAreKeptAsTheyAreWithOneWarningEach) {
  const std::string good = GameLine(Game(TGameEnd::Won, 60, 2412));
  const std::string text =
      "# a comment\n"
      "\n" +
      good + "\n" +                                     // 3
      good + " later=field\r\n" +                       // 4: a later version's field, CR LF
      "gamer when=x\n" +                                // 5: not a game
      good.substr(0, 40) + "\n" +                       // 6: cut short
      good + " seed=3\n" +                              // 7: seed twice
      "game when=2026-05-01T14:03:22 ending=drawn\n" +  // 8
      good + " level=\"open\n" +                        // 9
      good + " input=../../etc/passwd.input\n" +        // 10: a name leading elsewhere
      good + " health=40000\n" +                        // 11: twice, and out of range
      "game " + std::string(2000, 'x') + "\n" +         // 12: too long
      "  " + good + "  \n" +                            // 13: blanks around
      good;                                             // 14: no line end
  std::vector<std::string> warnings;
  const std::vector<TRecordsLine> lines = ParseRecords(text, "r.txt", warnings);
  EXPECT_EQ(WarnedLines(warnings), (std::vector<int>{5, 6, 7, 8, 9, 10, 11, 12}));
  ASSERT_EQ(lines.size(), 14u);
  for (size_t line : {2u, 3u, 12u, 13u})
    EXPECT_TRUE(lines[line].Game) << "line " << line + 1;
  EXPECT_EQ(FormatRecords(lines), text + "\n") << "every byte kept";
}

TEST(RecordsFile, RecordingNamesNeverLeadOutOfTheirFolder) {
  for (const char* name : {"20260501-140322-17.input", "a.input", "x_y-2.input"})
    EXPECT_TRUE(IsRecordingName(name)) << name;
  for (const char* name : {"", ".input", "../a.input", "a/b.input", "a\\b.input", ".a.input",
                           "a.txt", "C:a.input", "a .input"})
    EXPECT_FALSE(IsRecordingName(name)) << name;
}

// ---- Ranking and the table ------------------------------------------------------------------

TEST(RecordsRanking, WonBeforeGaveUpBeforeLostThenMoreHealthThenFewerFrames) {
  const TGameRecord order[] = {Game(TGameEnd::Won, 100, 4000), Game(TGameEnd::Won, 60, 3000),
                               Game(TGameEnd::Won, 60, 3001),  Game(TGameEnd::GaveUp, 100, 10),
                               Game(TGameEnd::Lost, 0, 900),   Game(TGameEnd::Lost, -20, 10)};
  for (size_t a = 0; a < std::size(order); ++a)
    for (size_t b = 0; b < std::size(order); ++b)
      EXPECT_EQ(RanksBefore(order[a], order[b]), a < b) << a << " against " << b;
}

TEST(RecordsTable, ColumnsLineUpAndOtherDataIsMarked) {
  TGameRecord won = Game(TGameEnd::Won, 60, 2412), gaveUp = Game(TGameEnd::GaveUp, 100, 812);
  won.BossFrames = 388;
  gaveUp.Seed = 3735928559u;
  gaveUp.CrossesFired = 4;
  gaveUp.Hits = 0;
  std::vector<TRankedGame> games{{1, &won, true, false}, {2, &gaveUp, false, true}};
  for (size_t i = 3; i <= 10; ++i)
    games.push_back({i, &won, true, false});
  const TTableText all = RecordsTable(games, TTableColumns::All);
  EXPECT_EQ(all.Heads,
            " #  Date              End      Health  Frames  Boss  Fired  Hits        Seed  Watch"
            "  Level");
  EXPECT_EQ(all.Rows[0],
            " 1  2026-05-01 14:03  won          60    2412   388    131    77          17  yes  "
            "  Save Quibbet!");
  EXPECT_EQ(all.Rows[1],
            " 2* 2026-05-01 14:03  gave up     100     812     -      4     0  3735928559  no   "
            "  Save Quibbet!");
  EXPECT_EQ(all.Rows[9].substr(0, 4), "10  ");
  const TTableText menu = RecordsTable(games, TTableColumns::Menu);
  EXPECT_EQ(menu.Heads, " #  Date              End      Health  Frames  Boss  Fired  Hits");
  EXPECT_EQ(menu.Rows[1], " 2* 2026-05-01 14:03  gave up     100     812     -      4     0");
}
