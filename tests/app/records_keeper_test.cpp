// What the records keep of a run: a game a person played live to an ending, never one of the
// pilot, a script, a recording, a virtual clock or a run without a screen; nor a game that
// ended without an ending.
#include "app/records_keeper.h"

#include <gtest/gtest.h>

#include "support/run_binary.h"

namespace {

TRunReport GameReport(const std::string& ending) {
  TRunReport report;
  report.Seed = 5;
  TSceneRecord game{"game", 150, "finished", {}, {}};
  game.Game = TGameFigures{ending, 80, std::nullopt, 12, 3, std::nullopt};
  report.Scenes = {{"intro", 10, "escape", {}, {}}, game};
  return report;
}

size_t GamesKept(const TRecordsPlace& place) {
  std::vector<std::string> warnings;
  return BestGames(LoadRecords(place, warnings).Lines).size();
}

}  // namespace

TEST(RecordsKeeper, OnlyAGamePlayedLiveToAnEndingIsKept) {
  const TRecordsPlace place = RecordsPlaceIn(ScratchDir("records_keeper_live"));
  TRecordsKeeper keeper(place);
  const auto keep = [&keeper](const TOptions& options, const std::string& ending) {
    keeper.KeepRun(options, GameReport(ending), "1 key down 32\n");
  };
  TOptions autoplay, input, turbo, headless, watch;
  autoplay.Autoplay = true;
  input.InputFile = "script.txt";
  turbo.Turbo = true;
  headless.Headless = true;
  watch.Watch = 1;
  for (const TOptions& options : {autoplay, input, turbo, headless, watch})
    keep(options, "won");
  keep(TOptions{}, "none");
  EXPECT_EQ(GamesKept(place), 0u);

  keep(TOptions{}, "space");
  ASSERT_EQ(GamesKept(place), 1u);
  std::vector<std::string> warnings;
  const TRecords records = LoadRecords(place, warnings);
  const TGameRecord& game = *records.Lines[BestGames(records.Lines)[0]].Game;
  EXPECT_EQ(game.End, TGameEnd::GaveUp);
  EXPECT_EQ(game.Seed, 5u);
  EXPECT_EQ(game.Frames, 150u);
  EXPECT_EQ(game.Health, 80);
  EXPECT_EQ(game.CrossesFired, 12u);
  EXPECT_EQ(game.Hits, 3u);
  EXPECT_FALSE(RecordingPath(place, game).empty()) << "the best keep their input";
}
