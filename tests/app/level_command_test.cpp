// Levels and mods through the built program: a printed level plays the very game it was
// printed from, a bad level file is the command line's fault and a bad level in the data the
// game's box, and a mod of one level and one picture plays on the game's own data.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "res/res_helpers.h"
#include "support/game_data.h"
#include "support/picture_files.h"
#include "support/run_binary.h"

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

TRunResult Quibbet(const std::string& data, std::vector<std::string> args) {
  args.insert(args.begin(), {"--headless", "--turbo", "--data", data});
  return RunBinary(QUIBBET_BINARY, args);
}

std::string GameLine(const std::string& summary) {
  return SummaryScene(summary, "game");
}

// Every frame the two folders hold, compared; how many there were.
size_t CompareFrames(const std::string& a, const std::string& b) {
  size_t compared = 0;
  for (const auto& entry : std::filesystem::directory_iterator(a)) {
    const std::string name = entry.path().filename().string();
    EXPECT_EQ(ReadWholeFile(entry.path().string()), ReadWholeFile(b + "/" + name)) << name;
    ++compared;
  }
  return compared;
}

const std::string Header = "quibbet-level 1\nname Bad\nbackground background.pcx\nmusic game\n";

}  // namespace

TEST(LevelCommand, APrintedLevelPlaysTheVeryGameItWasPrintedFrom) {
  const std::string dir = ScratchDir("level_printed");
  const TRunResult printed = Quibbet(QUIBBET_GAME_DATA_DIR, {"--print-level"});
  ASSERT_EQ(printed.ExitCode, 0) << printed.Err;
  EXPECT_EQ(printed.Err, "");
  const std::string own = dir + "/own.level";
  WriteWholeFile(own, printed.Out);
  for (const char* seed : {"1", "4", "9", "13"}) {
    SCOPED_TRACE(seed);
    const std::vector<std::string> args = {"--autoplay", "--seed", seed, "--summary", "-"};
    std::vector<std::string> withLevel = args;
    withLevel.insert(withLevel.end(), {"--level", own});
    const TRunResult plain = Quibbet(QUIBBET_GAME_DATA_DIR, args);
    EXPECT_THAT(GameLine(plain.Out), HasSubstr("\"ending\":\"won\""));
    EXPECT_EQ(Quibbet(QUIBBET_GAME_DATA_DIR, withLevel).Out, plain.Out);
  }
  const std::vector<std::string> record = {"--autoplay", "--seed", "4", "--record-every", "250"};
  std::vector<std::string> plain = record, withLevel = record;
  plain.insert(plain.end(), {"--record", dir + "/plain"});
  withLevel.insert(withLevel.end(), {"--record", dir + "/level", "--level", own});
  Quibbet(QUIBBET_GAME_DATA_DIR, plain);
  Quibbet(QUIBBET_GAME_DATA_DIR, withLevel);
  EXPECT_GT(CompareFrames(dir + "/plain", dir + "/level"), 15u);
}

TEST(LevelCommand, ABadLevelFileExitsTwoNamingItsFileLineAndReason) {
  const std::string dir = ScratchDir("level_bad_files");
  std::string rows = Header;
  for (int i = 0; i < 1'000'000; ++i)
    rows += "100 m&m 800 0\n";
  const struct {
    const char* Name;
    std::string Text;
    std::string Fault;
  } cases[] = {
      {"empty", "", ":1: the file is empty"},
      {"binary", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), ":1: the line holds a byte"},
      {"enormous-line", std::string(10'000'000, 'x'), ":1: the line is longer than 256"},
      {"million-rows", rows, ":4005: the level has more than 4000 rows"},
      {"missing-argument", Header + "100 m&m 800\n", ":5: 'm&m' takes 2 arguments, not 1"},
      {"out-of-range", Header + "100 text 270 295 20 10 99 hint.txt\n",
       ":5: FADE_OUT of a text must be 1 to 32, not 99"},
      {"unknown-action", Header + "100 dragon 1 2\n", ":5: unknown action 'dragon'"},
      {"missing-picture", "quibbet-level 1\nname N\nbackground none.pcx\nmusic game\n5 boss\n",
       ":3: SPRITES.MPK holds no picture 'none.pcx'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string path = dir + "/" + c.Name + ".level";
    WriteWholeFile(path, c.Text);
    const TRunResult run =
        Quibbet(QUIBBET_GAME_DATA_DIR, {"--level", path, "--summary", dir + "/summary.json"});
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_THAT(run.Err, StartsWith(path + c.Fault));
    EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
    EXPECT_EQ(Quibbet(QUIBBET_GAME_DATA_DIR, {"--level", path, "--print-level"}).ExitCode, 2);
  }
  EXPECT_FALSE(std::filesystem::exists(dir + "/summary.json")) << "nothing ran";
}

TEST(LevelCommand, ABadLevelInTheDataIsTheGamesBoxAndExitsOne) {
  const std::string mod = ScratchDir("level_bad_in_data");
  TArchiveWriter().Add("game.level", Header + "100 m&m 800\n").WriteTo(mod + "/LEVELS.MPK");
  const TRunResult run = Quibbet(QUIBBET_GAME_DATA_DIR, {"--mod", mod, "--summary", "-"});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_THAT(run.Err, HasSubstr("LEVEL ERROR"));
  EXPECT_THAT(
      run.Err,
      HasSubstr("game.level in " +
                (std::filesystem::absolute(mod).lexically_normal() / "LEVELS.MPK").string() +
                ":5: 'm&m' takes 2"));
  EXPECT_EQ(GameLine(run.Out), "") << "no scene ran";
  EXPECT_EQ(Quibbet(QUIBBET_GAME_DATA_DIR, {"--mod", mod, "--print-level"}).ExitCode, 1);
}

TEST(LevelCommand, AModOfALevelAndOnePicturePlaysOnTheGamesOwnData) {
  const std::string data = ScratchDir("level_mod_data"), mod = ScratchDir("level_mod");
  WriteGameData(data);
  const std::string level =
      "quibbet-level 1\nname Short night\nbackground night.pcx\nmusic night\nwon-at 150\n"
      "5 text 270 295 20 10 10 hint.txt\n50 m&m 800 0\n";
  constexpr uint16_t Night = 0x0010;  // RGB565 of (0, 0, 128)
  std::vector<uint8_t> rgb;
  for (int i = 0; i < 1000 * 600; ++i)
    rgb.insert(rgb.end(), {0, 0, 128});
  TArchiveWriter().Add("game.level", level).WriteTo(mod + "/LEVELS.MPK");
  TArchiveWriter().Add("night.pcx", MakePcx(rgb, 1000, 600)).WriteTo(mod + "/SPRITES.MPK");

  EXPECT_EQ(Quibbet(data, {"--mod", mod, "--print-level"}).Out, level);
  const TRunResult run = Quibbet(data, {"--mod", mod, "--summary", "-", "--record", mod + "/frames",
                                        "--record-frames", "1000"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_THAT(GameLine(run.Out), StartsWith("{\"name\":\"game\",\"frames\":250,\"end\":"
                                            "\"finished\",\"ending\":\"won\""));
  EXPECT_THAT(GameLine(run.Out), HasSubstr("\"boss_health\":null"));
  uint32_t width = 0, height = 0;
  const std::vector<uint8_t> frame = ReadPng(mod + "/frames/frame_001000.png", width, height);
  ASSERT_EQ(frame.size(), 800u * 600 * 3);
  auto pixel = [&](int x, int y) {
    const size_t at = (static_cast<size_t>(y) * width + x) * 3;
    return (frame[at] << 16) | (frame[at + 1] << 8) | frame[at + 2];
  };
  EXPECT_EQ(pixel(400, 590), 0x000084) << "the mod's background, " << Night;
  EXPECT_EQ(pixel(30, 60), 0xFFFF00) << "the game's own bus, at the top without a mouse";
}

TEST(LevelCommand, AFolderThatIsNoModIsTheCommandLinesFault) {
  const std::string dir = ScratchDir("level_no_mod");
  const TRunResult run = Quibbet(QUIBBET_GAME_DATA_DIR, {"--mod", dir});
  EXPECT_EQ(run.ExitCode, 2);
  EXPECT_THAT(run.Err, HasSubstr("quibbet: --mod " + dir + " holds none of SPRITES.MPK"));
}

TEST(LevelCommand, ThePlayersModsAreListedAndPlayedByName) {
  const std::string home = ScratchDir("level_mod_home");
  const std::string mods = home + "/quibbet/mods";
  const std::vector<std::string> env = {"XDG_DATA_HOME=" + home};
  for (const char* folder : {"/empty", "/dusk", "/broken"})
    std::filesystem::create_directories(mods + folder);
  TArchiveWriter()
      .Add("game.level",
           "quibbet-level 1\nname Dusk\nbackground background.pcx\nmusic game\n"
           "won-at 60\n50 m&m 800 0\n")
      .WriteTo(mods + "/dusk/LEVELS.MPK");
  WriteWholeFile(mods + "/broken/TEXTS.MPK", "not an archive");

  const TRunResult list = RunBinary(QUIBBET_BINARY, {"--mods"}, env);
  ASSERT_EQ(list.ExitCode, 0) << list.Err;
  EXPECT_THAT(list.Out, HasSubstr("dusk  " + mods +
                                  "/dusk\n  archives  LEVELS.MPK (1 file)\n"
                                  "  level     Dusk\n"));
  EXPECT_THAT(list.Out, HasSubstr("broken  " + mods + "/broken\n  cannot be used: "));
  EXPECT_THAT(list.Out, Not(HasSubstr("empty"))) << "a folder of no archives is no mod";
  EXPECT_THAT(list.Out, HasSubstr("  " + mods + "\n"));

  const TRunResult run = RunBinary(
      QUIBBET_BINARY,
      {"--headless", "--turbo", "--data", QUIBBET_GAME_DATA_DIR, "--mod", "dusk", "--summary", "-"},
      env);
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_THAT(GameLine(run.Out),
              HasSubstr("\"frames\":160,\"end\":\"finished\",\"ending\":\"won\""));
  const TRunResult unknown = RunBinary(QUIBBET_BINARY, {"--headless", "--mod", "nosuch"}, env);
  EXPECT_EQ(unknown.ExitCode, 2);
  EXPECT_THAT(unknown.Err, HasSubstr("--mod nosuch is no folder, and no mod has that name"));
}
