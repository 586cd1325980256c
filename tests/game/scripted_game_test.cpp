// Whole games through the built program, headless and turbo, with scripted input: how the
// game scene ends and what it shows, read from the run summary and recorded frames.
#include <png.h>

#include <gtest/gtest.h>

#include "game/game_fixture.h"
#include "support/game_data.h"
#include "support/run_binary.h"

namespace {

// The intro runs 901 frames (global 0 to 900), so game frame n is global frame 900 + n, and
// input scripted after global frame f is seen in game frame f - 899.
constexpr int IntroFrames = 901;

class ScriptedGameTest : public TGameFixture {
 protected:
  static const std::string& Data() {
    static const std::string dir = [] {
      const std::string path = ScratchDir("scripted_game_data");
      WriteGameData(path, GameData());
      return path;
    }();
    return dir;
  }
  static TRunResult Quibbet(const std::string& name, const std::string& script,
                            std::vector<std::string> args) {
    const std::string path = ScratchDir("scripted_game_" + name) + "/input.txt";
    WriteWholeFile(path, script);
    args.insert(args.begin(),
                {"--headless", "--turbo", "--data", Data(), "--summary", "-", "--input", path});
    return RunBinary(QUIBBET_BINARY, args);
  }
  // The game scene's line of the summary.
  static std::string GameLine(const std::string& summary) {
    const size_t start = summary.find("{\"name\":\"game\"");
    if (start == std::string::npos) return "";
    return summary.substr(start, summary.find('}', start) - start + 1);
  }
  // One pixel of a recorded frame as 0xRRGGBB; -1 when the file cannot be read.
  static int64_t PixelOf(const std::string& path, int x, int y) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return -1;
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return -1;
    const size_t at = (static_cast<size_t>(y) * image.width + x) * 3;
    return (int64_t{rgb[at]} << 16) | (rgb[at + 1] << 8) | rgb[at + 2];
  }
  static std::string FramePath(const std::string& dir, int global) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame_%06d.png", global);
    return dir + name;
  }
};

constexpr int64_t WinnerRgb = 0x00FFFF;  // 0x07FF widened

}  // namespace

TEST_F(ScriptedGameTest, SpaceShowsTheWinnerAtOnceAndEndsTheGame100FramesLater) {
  const std::string frames = ScratchDir("scripted_game_space_frames");
  // Seen in game frame 50 (global 950).
  const TRunResult run = Quibbet("space", "949 key down 32\n",
                                 {"--seed", "3", "--record", frames, "--record-frames", "949,950"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(GameLine(run.Out),
            "{\"name\":\"game\",\"frames\":150,\"end\":\"finished\",\"ending\":\"space\","
            "\"player_health\":100,\"boss_health\":null,\"crosses_fired\":0,\"hits\":0,"
            "\"boss_frames\":null}");
  EXPECT_NE(run.Out.find("{\"name\":\"credits\""), std::string::npos) << "credits follow";

  const std::string before = FramePath(frames, IntroFrames + 48);
  const std::string shown = FramePath(frames, IntroFrames + 49);
  EXPECT_NE(PixelOf(before, 199, 199), WinnerRgb);
  EXPECT_EQ(PixelOf(shown, 199, 199), WinnerRgb) << "402 x 201, centred";
  EXPECT_EQ(PixelOf(shown, 600, 399), WinnerRgb);
  EXPECT_NE(PixelOf(shown, 198, 199), WinnerRgb);
  EXPECT_NE(PixelOf(shown, 601, 399), WinnerRgb);
  EXPECT_NE(PixelOf(shown, 600, 400), WinnerRgb);
}

TEST_F(ScriptedGameTest, GameWithNoInputIsLost) {
  const TRunResult run = Quibbet("idle", "", {"--seed", "1"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  const std::string line = GameLine(run.Out);
  EXPECT_NE(line.find("\"end\":\"finished\",\"ending\":\"lost\",\"player_health\":"),
            std::string::npos)
      << line;
  const size_t health = line.find("\"player_health\":") + 16;
  EXPECT_LE(std::stoi(line.substr(health)), 0) << line;
  EXPECT_NE(line.find("\"boss_health\":null"), std::string::npos) << line;
}

TEST_F(ScriptedGameTest, SameSeedAndInputGiveTheSameFramesByteForByte) {
  // Fire throughout at one height and step aside from each grenade aimed at the bus, so
  // that the bus lives to meet the bomber, the one user of random numbers, and the boss.
  std::string script = "900 mouse left down\n900 mouse move 400 200\n";
  for (int k = 0; k < 6; ++k)
    script += std::to_string(IntroFrames - 1 + 1105 + 50 * k) + " mouse move 400 " +
              (k % 2 == 0 ? "320" : "200") + "\n";
  const std::vector<int> recorded = {1000, 1800, 2350, 2900, 3400};
  std::string list;
  for (int f : recorded)
    list += (list.empty() ? "" : ",") + std::to_string(f);

  std::vector<std::string> dirs;
  std::vector<std::string> summaries;
  for (const char* seed : {"11", "11", "12"}) {
    dirs.push_back(ScratchDir("scripted_game_same_" + std::to_string(dirs.size())));
    const TRunResult run =
        Quibbet("same", script, {"--seed", seed, "--record", dirs.back(), "--record-frames", list});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    summaries.push_back(run.Out);
  }
  EXPECT_EQ(summaries[0], summaries[1]);
  for (int f : recorded) {
    const std::string a = ReadWholeFile(FramePath(dirs[0], f));
    ASSERT_FALSE(a.empty()) << "frame " << f << " was recorded";
    EXPECT_TRUE(a == ReadWholeFile(FramePath(dirs[1], f))) << "frame " << f;
  }
  // In game frame 1450 the bomber flies to its random points; another seed sends it elsewhere.
  EXPECT_FALSE(ReadWholeFile(FramePath(dirs[0], 2350)) == ReadWholeFile(FramePath(dirs[2], 2350)));
}

TEST_F(ScriptedGameTest, MissingBusPictureEndsTheGameWithItsBoxAndExitOne) {
  const std::string dir = ScratchDir("scripted_game_no_bus");
  TGameDataSet data = GameData();
  data.Pictures.erase("bus.pcx");
  WriteGameData(dir, data);
  const TRunResult run =
      RunBinary(QUIBBET_BINARY, {"--headless", "--turbo", "--data", dir, "--summary", "-"});
  EXPECT_EQ(run.ExitCode, 1) << run.Err;
  EXPECT_NE(run.Err.find("\"bus.pcx\""), std::string::npos) << run.Err;
  EXPECT_EQ(GameLine(run.Out), "{\"name\":\"game\",\"frames\":0,\"end\":\"fatal\"}");
}
