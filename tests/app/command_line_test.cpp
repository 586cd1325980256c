// The program through its command line, headless and turbo: summaries, exit codes,
// scripted input and recorded frames read back from their PNG files.
#include <png.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/frame_recorder.h"
#include "support/game_data.h"
#include "support/picture_files.h"
#include "support/run_binary.h"

namespace {

// Archives made for these tests, written once per test process.
const std::string& TestData() {
  static const std::string dir = [] {
    const std::string path = ScratchDir("command_line_data");
    WriteGameData(path);
    return path;
  }();
  return dir;
}

TRunResult Quibbet(std::vector<std::string> args) {
  args.insert(args.begin(), {"--headless", "--turbo", "--data", TestData(), "--summary", "-"});
  return RunBinary(QUIBBET_BINARY, args);
}

// The summary line of one scene, as the run printed it.
std::string SceneLine(const std::string& summary, const std::string& name) {
  const size_t start = summary.find("{\"name\":\"" + name + "\"");
  if (start == std::string::npos) return "";
  return summary.substr(start, summary.find('}', start) - start + 1);
}

std::string ScriptFile(const std::string& name, const std::string& text) {
  const std::string path = ScratchDir("scripts_" + name) + "/input.txt";
  WriteWholeFile(path, text);
  return path;
}

}  // namespace

TEST(CommandLine, PlainRunPlaysIntroGameAndCredits) {
  const TRunResult run = Quibbet({"--seed", "1"});
  EXPECT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(SceneLine(run.Out, "intro"),
            "{\"name\":\"intro\",\"frames\":901,\"end\":\"finished\"}");
  EXPECT_NE(SceneLine(run.Out, "game").find("\"end\":\"finished\",\"ending\":\"lost\""),
            std::string::npos)
      << run.Out;
  EXPECT_EQ(SceneLine(run.Out, "credits"),
            "{\"name\":\"credits\",\"frames\":721,\"end\":\"finished\"}");
}

TEST(CommandLine, MaxFramesEndsTheProgramInTheRunningScene) {
  const TRunResult run = Quibbet({"--max-frames", "905"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Out.substr(0, run.Out.find("\"seed\"")), "{\"exit_code\":0,\"frames\":905,");
  EXPECT_NE(SceneLine(run.Out, "game").find("\"frames\":4,\"end\":\"max-frames\""),
            std::string::npos)
      << run.Out;
  EXPECT_EQ(SceneLine(run.Out, "credits"), "");
}

TEST(CommandLine, EscapeHeldAtTheEndOfTheGameSkipsTheCredits) {
  const TRunResult run = Quibbet({"--input", ScriptFile("esc", "950 key down 27\n")});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_NE(SceneLine(run.Out, "game").find("\"frames\":50,\"end\":\"escape\""), std::string::npos)
      << run.Out;
  EXPECT_EQ(SceneLine(run.Out, "credits"), "");
}

TEST(CommandLine, EscapeInTheCreditsEndsThem) {
  const TRunResult run =
      Quibbet({"--seed", "1", "--input", ScriptFile("esc_credits", "950 key down 65\n")});
  ASSERT_EQ(run.ExitCode, 0);
  const uint64_t total = std::stoull(run.Out.substr(run.Out.find("\"frames\":") + 9));
  const TRunResult escaped =
      Quibbet({"--seed", "1", "--input",
               ScriptFile("esc_credits2", std::to_string(total - 700) + " key down 27\n")});
  EXPECT_NE(SceneLine(escaped.Out, "credits").find("\"frames\":22,\"end\":\"escape\""),
            std::string::npos)
      << escaped.Out;
}

TEST(CommandLine, ClosedWindowIsANormalEnd) {
  const TRunResult run = Quibbet({"--input", ScriptFile("close", "3 window close\n")});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(SceneLine(run.Out, "intro"), "{\"name\":\"intro\",\"frames\":4,\"end\":\"closed\"}");
}

TEST(CommandLine, MinimizeAndRestoreLoseNoFrame) {
  const TRunResult plain = Quibbet({"--seed", "5"});
  const TRunResult paused =
      Quibbet({"--seed", "5", "--input",
               ScriptFile("minimize", "1200 window minimize\n1201 window restore\n")});
  EXPECT_EQ(paused.ExitCode, 0);
  EXPECT_EQ(paused.Out, plain.Out);
}

TEST(CommandLine, BadUsageExitsWithTwoAndSaysWhy) {
  TRunResult run = Quibbet({"--no-such-option"});
  EXPECT_EQ(run.ExitCode, 2);
  EXPECT_NE(run.Err.find("--no-such-option"), std::string::npos) << run.Err;
  EXPECT_EQ(Quibbet({"--max-frames", "lots"}).ExitCode, 2);
  EXPECT_EQ(Quibbet({"--scale", "0"}).ExitCode, 2);
  EXPECT_EQ(Quibbet({"--input", "/no/such/script"}).ExitCode, 2);
  EXPECT_EQ(Quibbet({"stray"}).ExitCode, 2);
}

TEST(CommandLine, MalformedScriptLineIsNamedWithExitTwo) {
  const std::string path = ScriptFile("bad", "# fine\n0 key down 27\n1 key dwn 27\n");
  const TRunResult run = Quibbet({"--input", path});
  EXPECT_EQ(run.ExitCode, 2);
  EXPECT_NE(run.Err.find(path + ":3:"), std::string::npos) << run.Err;
  EXPECT_TRUE(run.Out.empty()) << "nothing ran, so nothing is summarised";
}

TEST(CommandLine, HelpAndVersionAnswerAndExitZero) {
  const TRunResult help = RunBinary(QUIBBET_BINARY, {"--help"});
  EXPECT_EQ(help.ExitCode, 0);
  for (const char* option :
       {"--data", "--window", "--scale", "--headless", "--turbo", "--seed", "--input",
        "--max-frames", "--record", "--record-every", "--record-frames", "--summary", "--version"})
    EXPECT_NE(help.Out.find(option), std::string::npos) << option;
  const TRunResult version = RunBinary(QUIBBET_BINARY, {"--version"});
  EXPECT_EQ(version.ExitCode, 0);
  EXPECT_NE(version.Out.find("quibbet"), std::string::npos);
}

TEST(CommandLine, SummaryGoesToAFile) {
  const std::string path = ScratchDir("summary") + "/run.json";
  const TRunResult run = RunBinary(QUIBBET_BINARY, {"--headless", "--turbo", "--data", TestData(),
                                                    "--max-frames", "1", "--summary", path});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(ReadWholeFile(path),
            "{\"exit_code\":0,\"frames\":1,\"seed\":null,\"scenes\":["
            "{\"name\":\"intro\",\"frames\":1,\"end\":\"max-frames\"}]}\n");
}

TEST(CommandLine, RecordsTheListedFramesAsFullSizePictures) {
  const std::string dir = ScratchDir("record_list");
  const TRunResult run =
      Quibbet({"--max-frames", "60", "--record", dir, "--record-frames", "0,21,59,60"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names,
            (std::vector<std::string>{"frame_000000.png", "frame_000021.png", "frame_000059.png"}));
  uint32_t width = 0, height = 0;
  const std::vector<uint8_t> rgb = ReadPng(dir + "/frame_000000.png", width, height);
  EXPECT_EQ(width, 800u);
  EXPECT_EQ(height, 600u);
  EXPECT_EQ(std::count(rgb.begin(), rgb.end(), 0), 800 * 600 * 3) << "the intro starts black";
}

TEST(CommandLine, RecordEveryKthFrame) {
  const std::string dir = ScratchDir("record_every");
  ASSERT_EQ(Quibbet({"--max-frames", "60", "--record", dir, "--record-every", "25"}).ExitCode, 0);
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    (void)entry;
    ++count;
  }
  EXPECT_EQ(count, 3u);  // frames 0, 25 and 50
  EXPECT_TRUE(std::filesystem::exists(dir + "/frame_000050.png"));
}

TEST(CommandLine, MissingArchiveEndsWithItsBoxAndExitOne) {
  const std::string empty = ScratchDir("no_data");
  const TRunResult run =
      RunBinary(QUIBBET_BINARY, {"--headless", "--turbo", "--data", empty, "--summary", "-"});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Err.find("SPRITES"), std::string::npos) << run.Err;
  EXPECT_NE(run.Out.find("\"exit_code\":1"), std::string::npos) << run.Out;
  EXPECT_NE(SceneLine(run.Out, "intro").find("\"end\":\"fatal\""), std::string::npos) << run.Out;
}

TEST(FramePng, ChannelsAreWidenedByBitReplication) {
  const std::string path = ScratchDir("png") + "/colours.png";
  const uint16_t pixels[4] = {0xF800, 0x07E0, 0x001F, 0x0821};  // red, green, blue, (1,1,1)
  std::string reason;
  ASSERT_TRUE(WriteRgb565Png(path, pixels, 2, 2, reason)) << reason;
  uint32_t width = 0, height = 0;
  const std::vector<uint8_t> rgb = ReadPng(path, width, height);
  ASSERT_EQ(rgb.size(), 12u);
  EXPECT_EQ(rgb, (std::vector<uint8_t>{255, 0, 0, 0, 255, 0, 0, 0, 255, 8, 4, 8}));
}

TEST(FramePng, UnwritablePathIsReported) {
  const uint16_t pixel = 0;
  std::string reason;
  EXPECT_FALSE(WriteRgb565Png("/no/such/folder/x.png", &pixel, 1, 1, reason));
  EXPECT_FALSE(reason.empty());
}

TEST(CommandLine, DisplayBackEndRunsTheSequenceWithoutAScreen) {
  // SDL's dummy video driver gives the real back end a window that is never shown.
  const TRunResult run =
      RunBinary(QUIBBET_BINARY,
                {"--turbo", "--data", TestData(), "--summary", "-", "--input",
                 ScriptFile("sdl", "925 window close\n")},
                {"SDL_VIDEODRIVER=dummy", "XDG_CONFIG_HOME=" + ScratchDir("sdl_settings")});
  EXPECT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_NE(SceneLine(run.Out, "game").find("\"frames\":25,\"end\":\"closed\""), std::string::npos)
      << run.Out;
}

TEST(CommandLine, RecordedIntroShowsAPageOnlyOnceItHasStarted) {
  const std::string dir = ScratchDir("record_page");
  // Page 1 starts at frame 120 and is at full strength 31 frames later.
  ASSERT_EQ(
      Quibbet({"--max-frames", "160", "--record", dir, "--record-frames", "119,151"}).ExitCode, 0);
  uint32_t width = 0, height = 0;
  const std::vector<uint8_t> before = ReadPng(dir + "/frame_000119.png", width, height);
  const std::vector<uint8_t> full = ReadPng(dir + "/frame_000151.png", width, height);
  ASSERT_EQ(full.size(), 800u * 600u * 3u);
  // The first glyph cell of the page's first line: the test font's ink starts one pixel in.
  const size_t ink = (451u * 800u + 246u) * 3u;
  EXPECT_EQ(before[ink], 0);
  EXPECT_EQ(full[ink], 255);
  EXPECT_EQ(full[ink + 1], 255);
  EXPECT_EQ(full[ink + 2], 255);
  const size_t outside = (451u * 800u + 240u) * 3u;  // left of the page
  EXPECT_EQ(full[outside], 0);
}
