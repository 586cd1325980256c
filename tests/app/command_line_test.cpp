// The program through its command line, headless and turbo: summaries, exit codes,
// scripted input and recorded frames read back from their PNG files.
#include <png.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/frame_recorder.h"
#include "support/run_binary.h"

namespace {

TRunResult Quibbet(std::vector<std::string> args) {
  args.insert(args.begin(), {"--headless", "--turbo", "--summary", "-"});
  return RunBinary(QUIBBET_BINARY, args);
}

std::string ScriptFile(const std::string& name, const std::string& text) {
  const std::string path = ScratchDir("scripts_" + name) + "/input.txt";
  WriteWholeFile(path, text);
  return path;
}

// Decodes a PNG into 8-bit RGB; empty on failure.
std::vector<uint8_t> ReadPng(const std::string& path, uint32_t& width, uint32_t& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
  width = image.width;
  height = image.height;
  return rgb;
}

}  // namespace

TEST(CommandLine, PlainRunReportsEverySceneAndExitsCleanly) {
  const TRunResult run = Quibbet({});
  EXPECT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(run.Out,
            "{\"exit_code\":0,\"frames\":60,\"scenes\":["
            "{\"name\":\"intro\",\"frames\":20,\"end\":\"finished\"},"
            "{\"name\":\"game\",\"frames\":20,\"end\":\"finished\"},"
            "{\"name\":\"credits\",\"frames\":20,\"end\":\"finished\"}]}\n");
}

TEST(CommandLine, MaxFramesEndsTheProgramInTheRunningScene) {
  const TRunResult run = Quibbet({"--max-frames", "25"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Out,
            "{\"exit_code\":0,\"frames\":25,\"scenes\":["
            "{\"name\":\"intro\",\"frames\":20,\"end\":\"finished\"},"
            "{\"name\":\"game\",\"frames\":5,\"end\":\"max-frames\"}]}\n");
}

TEST(CommandLine, EscapeHeldAtTheEndOfTheGameSkipsTheCredits) {
  const TRunResult run = Quibbet({"--input", ScriptFile("esc", "30 key down 27\n")});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_NE(run.Out.find("{\"name\":\"game\",\"frames\":11,\"end\":\"escape\"}]}"),
            std::string::npos)
      << run.Out;
}

TEST(CommandLine, ClosedWindowIsANormalEnd) {
  const TRunResult run = Quibbet({"--input", ScriptFile("close", "3 window close\n")});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_NE(run.Out.find("{\"name\":\"intro\",\"frames\":4,\"end\":\"closed\"}"), std::string::npos)
      << run.Out;
}

TEST(CommandLine, MinimizeAndRestoreLoseNoFrame) {
  const TRunResult run =
      Quibbet({"--input", ScriptFile("minimize", "5 window minimize\n6 window restore\n")});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_NE(run.Out.find("\"frames\":60,"), std::string::npos) << run.Out;
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
  const TRunResult run =
      RunBinary(QUIBBET_BINARY, {"--headless", "--turbo", "--max-frames", "1", "--summary", path});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(ReadWholeFile(path),
            "{\"exit_code\":0,\"frames\":1,\"scenes\":["
            "{\"name\":\"intro\",\"frames\":1,\"end\":\"max-frames\"}]}\n");
}

TEST(CommandLine, RecordsTheListedFramesAsFullSizePictures) {
  const std::string dir = ScratchDir("record_list");
  const TRunResult run = Quibbet({"--record", dir, "--record-frames", "0,21,59,60"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names,
            (std::vector<std::string>{"frame_000000.png", "frame_000021.png", "frame_000059.png"}));
  uint32_t width = 0, height = 0;
  const std::vector<uint8_t> rgb = ReadPng(dir + "/frame_000021.png", width, height);
  EXPECT_EQ(width, 800u);
  EXPECT_EQ(height, 600u);
  EXPECT_EQ(std::count(rgb.begin(), rgb.end(), 0), 800 * 600 * 3) << "stand-in frames are black";
}

TEST(CommandLine, RecordEveryKthFrame) {
  const std::string dir = ScratchDir("record_every");
  ASSERT_EQ(Quibbet({"--record", dir, "--record-every", "25"}).ExitCode, 0);
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    (void)entry;
    ++count;
  }
  EXPECT_EQ(count, 3u);  // frames 0, 25 and 50
  EXPECT_TRUE(std::filesystem::exists(dir + "/frame_000050.png"));
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
                {"--turbo", "--summary", "-", "--input", ScriptFile("sdl", "25 window close\n")},
                {"SDL_VIDEODRIVER=dummy"});
  EXPECT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_NE(run.Out.find("{\"name\":\"game\",\"frames\":6,\"end\":\"closed\"}"), std::string::npos)
      << run.Out;
}
