// The mod the game ships, as the build makes it: its level plays on the game's data without
// a warning, and the pilot wins it on most seeds and reaches an ending on every one, in a
// game of another length than the game's own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/run_binary.h"

namespace {

const std::string Morning = std::string(QUIBBET_MODS_DIR) + "/morning";

TRunResult Quibbet(std::vector<std::string> args) {
  args.insert(args.begin(), {"--headless", "--turbo", "--data", QUIBBET_GAME_DATA_DIR});
  return RunBinary(QUIBBET_BINARY, args);
}

std::string GameLine(const std::string& summary) {
  return SummaryScene(summary, "game");
}

std::string GameFrames(const std::string& line) {
  const size_t at = line.find("\"frames\":") + 9;
  return line.substr(at, line.find(',', at) - at);
}

}  // namespace

TEST(ShippedMod, TheMorningLevelIsItsOwnAndWarnsOfNothing) {
  const TRunResult printed = Quibbet({"--mod", Morning, "--print-level"});
  EXPECT_EQ(printed.ExitCode, 0);
  EXPECT_EQ(printed.Err, "");
  EXPECT_THAT(printed.Out, ::testing::HasSubstr("\nname       Morning over the valley\n"));
  for (const char* action : {" text ", " m&m ", " carrot ", " grenade ", " bomber ", " boss"})
    EXPECT_THAT(printed.Out, ::testing::HasSubstr(action));
}

TEST(ShippedMod, ThePilotWinsTheMorningOnMostSeedsAndEndsItOnAll) {
  int wins = 0;
  for (const char* seed : {"1", "2", "3", "4", "5"}) {
    SCOPED_TRACE(seed);
    const TRunResult run =
        Quibbet({"--mod", Morning, "--autoplay", "--seed", seed, "--summary", "-"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const std::string game = GameLine(run.Out);
    EXPECT_THAT(game, ::testing::HasSubstr("\"end\":\"finished\""));
    if (game.find("\"ending\":\"won\"") != std::string::npos) ++wins;
    const std::string own = GameLine(Quibbet({"--autoplay", "--seed", seed, "--summary", "-"}).Out);
    EXPECT_NE(GameFrames(game), GameFrames(own));
  }
  EXPECT_GE(wins, 3);
}
