// settings.ini: every field survives a save and a load; a damaged file keeps what it can
// with one warning a broken line; a save that fails leaves the old file as it was.
#include "app/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/run_binary.h"

namespace fs = std::filesystem;

namespace {

TPlayerSettings NothingAsDefault() {
  TPlayerSettings settings;
  settings.FullScreen = false;
  settings.Scale = 16;
  settings.Fit = TFitMode::Integer;
  settings.Volume = 0;
  settings.Mute = true;
  settings.Keys.Up = {'I'};
  settings.Keys.Down = {'K', 40, 98};
  settings.Keys.Fire = {32};
  settings.Keys.Pause = {27, 19};
  settings.Keys.VolumeDown = {109};
  settings.Keys.VolumeUp = {107};
  settings.Keys.Mute = {'0'};
  settings.Keys.FullScreen = {112};
  settings.Keys.Screenshot = {186, 0};
  settings.KeySpeed = 60;
  settings.PadDeadZone = 90;
  settings.PauseOnFocusLoss = true;
  return settings;
}

// The line numbers the warnings name, each having checked that it names the file.
std::vector<int> WarnedLines(const std::vector<std::string>& warnings, const std::string& file) {
  std::vector<int> lines;
  for (const std::string& warning : warnings) {
    EXPECT_EQ(warning.rfind(file + ":", 0), 0u) << warning;
    lines.push_back(std::atoi(warning.c_str() + file.size() + 1));
  }
  return lines;
}

}  // namespace

// ---- Saving and loading -----------------------------------------------------------------

TEST(SettingsFile, EveryFieldSurvivesASaveAndALoad) {
  const std::string path = ScratchDir("settings_round_trip") + "/made/on/the/way/settings.ini";
  std::string error;
  ASSERT_TRUE(SaveSettings(path, TPlayerSettings{}, error)) << error;
  ASSERT_TRUE(SaveSettings(path, NothingAsDefault(), error)) << error;  // over the first
  std::vector<std::string> warnings;
  EXPECT_EQ(LoadSettings(path, warnings), NothingAsDefault());
  EXPECT_EQ(warnings, std::vector<std::string>{});
  EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(path).parent_path()), {}), 1)
      << "settings.ini alone, no temporary file beside it";
}

TEST(SettingsFile, MissingFileIsQuietAndUnreadableOneIsReportedOnce) {
  const std::string dir = ScratchDir("settings_unreadable");
  std::vector<std::string> warnings;
  EXPECT_EQ(LoadSettings(dir + "/settings.ini", warnings), TPlayerSettings{});
  EXPECT_EQ(warnings, std::vector<std::string>{});
  fs::create_directory(dir + "/folder.ini");
  EXPECT_EQ(LoadSettings(dir + "/folder.ini", warnings), TPlayerSettings{});
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].rfind(dir + "/folder.ini: ", 0), 0u) << warnings[0];
}

TEST(SettingsFile, SaveThatCannotCompleteSaysWhereAndLeavesWhatWasThere) {
  const std::string dir = ScratchDir("settings_blocked");
  fs::create_directories(dir + "/settings.ini/kept");  // a folder where the file should be
  std::string error;
  EXPECT_FALSE(SaveSettings(dir + "/settings.ini", TPlayerSettings{}, error));
  EXPECT_NE(error.find(dir + "/settings.ini"), std::string::npos) << error;
  EXPECT_TRUE(fs::is_directory(dir + "/settings.ini/kept"));

  WriteWholeFile(dir + "/file", "");  // a file where a folder should be
  error.clear();
  EXPECT_FALSE(SaveSettings(dir + "/file/quibbet/settings.ini", TPlayerSettings{}, error));
  EXPECT_NE(error.find(dir + "/file"), std::string::npos) << error;
}

TEST(SettingsFile, SaveThroughASymbolicLinkKeepsTheLink) {
  const fs::path dir = ScratchDir("settings_link");
  WriteWholeFile((dir / "kept.ini").string(), "");
  std::error_code made;
  fs::create_symlink("kept.ini", dir / "settings.ini", made);
  if (made) GTEST_SKIP() << "no symbolic links here: " << made.message();
  std::string error;
  ASSERT_TRUE(SaveSettings((dir / "settings.ini").string(), NothingAsDefault(), error)) << error;
  EXPECT_TRUE(fs::is_symlink(dir / "settings.ini"));
  EXPECT_EQ(ReadWholeFile((dir / "kept.ini").string()), FormatSettings(NothingAsDefault()));
}

// ---- Reading a damaged file -------------------------------------------------------------

TEST(SettingsParse, BrokenLinesKeepTheirDefaultsWithOneWarningEach) {
  std::vector<std::string> warnings;
  const TPlayerSettings settings = ParseSettings(
      "orphan = 1\n"           // 1: before any section
      "[display]\n"            //
      "full-screen = maybe\n"  // 3
      "scale = 3\n"            //
      "fit = blurry\n"         // 5
      "just some words\n"      // 6: no '='
      "[sound]\n"              //
      "volume = 101\n"         // 8
      "mute = yes\n"           //
      "loudness = 5\n"         // 10: unknown key
      "[cheats]\n"             // 11: unknown section, its entries skipped
      "lives = 99\n"           //
      "[controls\n"            // 13: not closed
      "fire = Space\n"         //
      "[controls]\n"           //
      "up = Up Jump\n"         // 16: no such key
      "down =\n"               // 17
      "key-speed = 1e3\n"      // 18
      "pad-dead-zone = -1\n"   // 19
      "pad-dead-zone = 0\n"    //
      "pause-on-focus-loss = on",
      "f.ini", warnings);
  EXPECT_EQ(WarnedLines(warnings, "f.ini"),
            (std::vector<int>{1, 3, 5, 6, 8, 10, 11, 13, 16, 17, 18, 19}));
  TPlayerSettings expected;
  expected.Scale = 3;
  expected.Mute = true;
  expected.PadDeadZone = 0;
  expected.PauseOnFocusLoss = true;
  EXPECT_EQ(settings, expected);
}

TEST(SettingsParse, FileCutMidLineIsReadAsFarAsItGoes) {
  const std::string whole = FormatSettings(NothingAsDefault());
  for (size_t size = 0; size <= whole.size(); ++size) {
    std::vector<std::string> warnings;
    ParseSettings(std::string_view(whole).substr(0, size), "cut.ini", warnings);
    EXPECT_LE(warnings.size(), 1u) << "cut after " << size << " bytes";
  }
  std::vector<std::string> warnings;
  EXPECT_EQ(ParseSettings("[sound]\nvolume = 40\nmute = ye", "cut.ini", warnings).Volume, 40);
  EXPECT_EQ(WarnedLines(warnings, "cut.ini"), std::vector<int>{3});
}

TEST(SettingsParse, HandWrittenFormsAreAccepted) {
  std::vector<std::string> warnings;
  const TPlayerSettings settings = ParseSettings(
      "\xEF\xBB\xBF; written on Windows\r\n"
      "  [ Display ]  # the screen\r\n"
      "\tFULL-SCREEN\t=\tOff\r\n"
      "Fit=Integer;whole multiples\r\n"
      "\r\n"
      "[controls]\r\n"
      "fire = control space   # both\r\n"
      "[display]\r\n"
      "scale = 007\r\n",
      "hand.ini", warnings);
  EXPECT_EQ(warnings, std::vector<std::string>{});
  EXPECT_FALSE(settings.FullScreen);
  EXPECT_EQ(settings.Fit, TFitMode::Integer);
  EXPECT_EQ(settings.Keys.Fire, (std::vector<uint8_t>{17, 32}));
  EXPECT_EQ(settings.Scale, 7);
}

TEST(SettingsParse, OversizedFileIsReadToItsLastWholeLineWithinTheLimit) {
  std::string text = "[sound]\nvolume = 30\n";
  text += std::string(MaxSettingsFileSize - 5 - text.size(), '#') + "\n";
  text += "volume = 100\n";  // "volu" within the limit, the rest beyond
  std::vector<std::string> warnings;
  EXPECT_EQ(ParseSettings(text, "big.ini", warnings).Volume, 30);
  EXPECT_EQ(WarnedLines(warnings, "big.ini"), std::vector<int>{4});
}
