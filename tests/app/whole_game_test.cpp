// The built program on the game's own data, headless and turbo: the whole sequence, the
// pilot winning, every way out of every scene, and repeatable frames.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/run_binary.h"

namespace {

TRunResult Play(std::vector<std::string> args) {
  args.insert(args.begin(),
              {"--headless", "--turbo", "--data", QUIBBET_GAME_DATA_DIR, "--summary", "-"});
  return RunBinary(QUIBBET_BINARY, args);
}

std::string Script(const std::string& name, const std::string& text) {
  const std::string path = ScratchDir("whole_game_" + name) + "/input.txt";
  WriteWholeFile(path, text);
  return path;
}

std::string SceneLine(const std::string& summary, const std::string& name) {
  const size_t start = summary.find("{\"name\":\"" + name + "\"");
  if (start == std::string::npos) return "";
  return summary.substr(start, summary.find('}', start) - start + 1);
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

TEST(WholeGame, WithoutInputTheIntroPlaysTheBusIsLostAndTheCreditsRoll) {
  const TRunResult run = Play({"--seed", "7"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(SceneLine(run.Out, "intro"),
            "{\"name\":\"intro\",\"frames\":901,\"end\":\"finished\"}");
  EXPECT_TRUE(Has(SceneLine(run.Out, "game"), "\"ending\":\"lost\",\"player_health\":")) << run.Out;
  EXPECT_EQ(SceneLine(run.Out, "credits"),
            "{\"name\":\"credits\",\"frames\":721,\"end\":\"finished\"}");
}

class PilotTest : public ::testing::TestWithParam<int> {};

TEST_P(PilotTest, WinsTheGame) {
  const TRunResult run = Play({"--autoplay", "--seed", std::to_string(GetParam())});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_TRUE(Has(SceneLine(run.Out, "game"), "\"end\":\"finished\",\"ending\":\"won\""))
      << run.Out;
  EXPECT_TRUE(Has(SceneLine(run.Out, "game"), "\"boss_health\":0")) << run.Out;
}

INSTANTIATE_TEST_SUITE_P(TwentySeeds, PilotTest, ::testing::Range(1, 21));

TEST(WholeGame, EscapeEndsEachScene) {
  const TRunResult intro =
      Play({"--input", Script("esc_intro", "100 key down 27\n101 key up 27\n")});
  EXPECT_EQ(SceneLine(intro.Out, "intro"),
            "{\"name\":\"intro\",\"frames\":101,\"end\":\"escape\"}");
  EXPECT_TRUE(Has(SceneLine(intro.Out, "game"), "\"end\":\"finished\"")) << intro.Out;

  // Nothing is pumped between the end of the game's loop and the credits test, so the key
  // that ended the game is still down there: the credits are skipped.
  const TRunResult game =
      Play({"--input", Script("esc_game", "1000 key down 27\n1001 key up 27\n")});
  EXPECT_EQ(game.ExitCode, 0);
  EXPECT_TRUE(
      Has(SceneLine(game.Out, "game"), "\"frames\":100,\"end\":\"escape\",\"ending\":\"none\""))
      << game.Out;
  EXPECT_EQ(SceneLine(game.Out, "credits"), "");
}

TEST(WholeGame, EscapeEndsTheCredits) {
  // The pilot wins with seed 1; Escape 30 frames after the game is over ends the credits.
  const TRunResult won = Play({"--autoplay", "--seed", "1"});
  const std::string game = SceneLine(won.Out, "game");
  const size_t at = game.find("\"frames\":") + 9;
  const uint64_t gameFrames = std::stoull(game.substr(at));
  const uint64_t escape = 901 + gameFrames + 29;
  const TRunResult run = Play({"--autoplay", "--seed", "1", "--input",
                               Script("esc_credits", std::to_string(escape) + " key down 27\n")});
  EXPECT_EQ(SceneLine(run.Out, "credits"),
            "{\"name\":\"credits\",\"frames\":30,\"end\":\"escape\"}")
      << run.Out;
}

TEST(WholeGame, ClosingTheWindowInTheGameEndsTheRunCleanly) {
  const TRunResult run = Play({"--autoplay", "--input", Script("close", "1500 window close\n")});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_TRUE(Has(SceneLine(run.Out, "game"), "\"frames\":600,\"end\":\"closed\"")) << run.Out;
  // Later scenes still run their one frame each, as they always have.
  EXPECT_EQ(SceneLine(run.Out, "credits"),
            "{\"name\":\"credits\",\"frames\":1,\"end\":\"closed\"}");
}

TEST(WholeGame, MinimizingInTheMiddleOfTheGameLosesNoFrame) {
  const TRunResult plain = Play({"--autoplay", "--seed", "3"});
  const TRunResult paused =
      Play({"--autoplay", "--seed", "3", "--input",
            Script("minimize", "2000 window minimize\n2001 window restore\n")});
  EXPECT_EQ(paused.ExitCode, 0);
  EXPECT_EQ(paused.Out, plain.Out);
}

TEST(WholeGame, SameSeedAndInputGiveTheSameFrames) {
  const std::string script =
      "950 mouse move 100 200\n950 mouse left down\n1200 mouse move 100 400\n";
  auto record = [&](const std::string& name) {
    const std::string dir = ScratchDir(name);
    const TRunResult run = Play({"--seed", "11", "--input", Script(name, script), "--record", dir,
                                 "--record-every", "97", "--max-frames", "2300"});
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    return dir;
  };
  const std::string first = record("frames_a"), second = record("frames_b");
  size_t compared = 0;
  for (const auto& entry : std::filesystem::directory_iterator(first)) {
    const std::string name = entry.path().filename().string();
    ASSERT_TRUE(std::filesystem::exists(second + "/" + name)) << name;
    EXPECT_EQ(ReadWholeFile(entry.path().string()), ReadWholeFile(second + "/" + name)) << name;
    ++compared;
  }
  EXPECT_EQ(compared, 24u);  // frames 0, 97, ..., 2231
}

TEST(WholeGame, ATurboRunWithoutASeedPlaysAGameOfItsOwnAndNamesItsSeed) {
  auto seedOf = [](const std::string& summary) {
    const size_t at = summary.find("\"seed\":");
    return at == std::string::npos ? std::string()
                                   : summary.substr(at + 7, summary.find(',', at) - at - 7);
  };
  const TRunResult first = Play({"--autoplay", "--max-frames", "2500"});
  const TRunResult second = Play({"--autoplay", "--max-frames", "2500"});
  const std::string seed = seedOf(first.Out);
  ASSERT_FALSE(seed.empty());
  ASSERT_NE(seed, "null") << first.Out;
  EXPECT_NE(seed, seedOf(second.Out)) << "the seed comes from the real clock";
  // The seed it names plays that very game again.
  EXPECT_EQ(Play({"--autoplay", "--max-frames", "2500", "--seed", seed}).Out, first.Out);
}
