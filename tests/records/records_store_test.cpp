// The records on the disk: the best ten keep their recordings and the rest lose them, the log
// keeps the last thousand and the best, a file read in part or a write that fails leaves the
// files as they were, and a missing recording leaves its game without "watch".
#include "records/records_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "records/records_helpers.h"
#include "support/run_binary.h"

namespace fs = std::filesystem;

namespace {

size_t FilesIn(const std::string& folder) {
  std::error_code ignored;
  if (!fs::is_directory(folder, ignored)) return 0;
  return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

bool Keep(const TRecordsPlace& place, const TGameRecord& game, const std::string& recording) {
  std::vector<std::string> warnings;
  std::string error;
  const bool kept = KeepGame(place, game, recording, warnings, error);
  EXPECT_EQ(warnings, std::vector<std::string>{});
  EXPECT_TRUE(kept || !error.empty());
  return kept;
}

std::vector<TRecordsLine> Lines(const TRecordsPlace& place) {
  std::vector<std::string> warnings;
  return LoadRecords(place, warnings).Lines;
}

}  // namespace

TEST(RecordsStore, TheBestTenKeepTheirRecordingsAndTheOthersLoseThem) {
  const TRecordsPlace place = RecordsPlaceIn(ScratchDir("records_best_ten") + "/made/here");
  // Each game better than the one before, so that each pushes the oldest out of the ten.
  for (int health = 1; health <= 12; ++health)
    ASSERT_TRUE(
        Keep(place, Game(TGameEnd::Won, health, 3000), "# input " + std::to_string(health)));
  const std::vector<TRecordsLine> lines = Lines(place);
  const std::vector<size_t> best = BestGames(lines);
  ASSERT_EQ(best.size(), 10u);
  for (size_t rank = 0; rank < best.size(); ++rank) {
    const TGameRecord& game = *lines[best[rank]].Game;
    EXPECT_EQ(game.Health, 12 - static_cast<int>(rank));
    EXPECT_EQ(ReadWholeFile(RecordingPath(place, game)), "# input " + std::to_string(game.Health));
  }
  EXPECT_EQ(FilesIn(place.Recordings), 10u) << "the recordings of the two others are gone";
  size_t games = 0;
  for (const TRecordsLine& line : lines) {
    if (!line.Game) continue;
    ++games;
    EXPECT_EQ(line.Game->Health > 2, line.Text.find(" input=") != std::string::npos) << line.Text;
  }
  EXPECT_EQ(games, 12u) << "every game stays in the log";
}

TEST(RecordsStore, TheLogKeepsTheLastThousandGamesAndTheBestWithEveryOtherLine) {
  const TRecordsPlace place = RecordsPlaceIn(ScratchDir("records_log"));
  // An old win, 1005 losses each shorter than the one before, a line of another kind.
  std::string text = GameLine(Game(TGameEnd::Won, 50, 3000)) + "\n";
  for (int i = 0; i < 1005; ++i) {
    text += GameLine(Game(TGameEnd::Lost, 0, 5000 - i)) + "\n";
    if (i == 3) text += "a line from elsewhere\n";
  }
  WriteWholeFile(place.File, text);
  std::vector<std::string> warnings;
  std::string error;
  ASSERT_TRUE(KeepGame(place, Game(TGameEnd::Lost, 0, 9000), "", warnings, error)) << error;
  EXPECT_EQ(warnings.size(), 1u) << "the line from elsewhere";
  const std::vector<TRecordsLine> lines = Lines(place);
  ASSERT_EQ(lines.size(), 1002u);
  EXPECT_EQ(lines[0].Game->End, TGameEnd::Won) << "among the best, however old";
  EXPECT_EQ(lines[1].Text, "a line from elsewhere");
  EXPECT_EQ(lines[2].Game->Frames, 5000u - 6) << "the oldest six losses are gone";
  EXPECT_EQ(lines.back().Game->Frames, 9000u);
}

TEST(RecordsStore, AFileReadInPartIsLeftAsItIs) {
  const TRecordsPlace place = RecordsPlaceIn(ScratchDir("records_part"));
  const std::string big = std::string(MaxRecordsFileSize, '#') + "\n";
  WriteWholeFile(place.File, big);
  std::vector<std::string> warnings;
  std::string error;
  EXPECT_FALSE(KeepGame(place, Game(TGameEnd::Won, 100, 10), "x", warnings, error));
  EXPECT_NE(error.find("larger than"), std::string::npos) << error;
  EXPECT_EQ(ReadWholeFile(place.File), big);
  EXPECT_EQ(FilesIn(place.Recordings), 0u);
}

TEST(RecordsStore, AMissingRecordingLeavesItsGameWithoutWatch) {
  const TRecordsPlace place = RecordsPlaceIn(ScratchDir("records_missing"));
  ASSERT_TRUE(Keep(place, Game(TGameEnd::Won, 100, 10), "# input"));
  const TGameRecord game = *Lines(place)[BestGames(Lines(place))[0]].Game;
  ASSERT_FALSE(RecordingPath(place, game).empty());
  fs::remove(RecordingPath(place, game));
  EXPECT_EQ(RecordingPath(place, game), "");
  EXPECT_EQ(Lines(place).back().Game->Recording, game.Recording) << "its line as it was";
}

#ifdef __linux__
TEST(RecordsStore, AFailedWriteLeavesNoRecordingBehind) {
  const TRecordsPlace place = RecordsPlaceIn(ScratchDir("records_failed"));
  std::error_code made;
  fs::create_symlink("/proc/self/no/such/folder/records.txt", place.File, made);
  if (made) GTEST_SKIP() << "no symbolic links here: " << made.message();
  std::vector<std::string> warnings;
  std::string error;
  EXPECT_FALSE(KeepGame(place, Game(TGameEnd::Won, 100, 10), "# input", warnings, error));
  EXPECT_NE(error.find("/proc/self/no/such/folder"), std::string::npos) << error;
  EXPECT_EQ(FilesIn(place.Recordings), 0u);
}
#endif
