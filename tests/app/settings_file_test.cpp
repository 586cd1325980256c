// settings.ini: every field survives a save and a load; a damaged file keeps what it can
// with one warning a broken line; an edit changes only the values it is about; a save that
// fails, or would follow a read that did not see the whole file, leaves the file as it was.
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

TSettingsEntries Every() {
  return TSettingsEntries().set();
}

bool SaveAll(const std::string& path, const TPlayerSettings& settings, std::string& error) {
  return SaveSettingsEdits(path, settings, Every(), error);
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
  ASSERT_TRUE(SaveAll(path, TPlayerSettings{}, error)) << error;
  EXPECT_EQ(ReadWholeFile(path), FormatSettings({})) << "a new file is the documented one";
  ASSERT_TRUE(SaveAll(path, NothingAsDefault(), error)) << error;  // over the first
  EXPECT_EQ(ReadWholeFile(path), FormatSettings(NothingAsDefault()));
  std::vector<std::string> warnings;
  EXPECT_EQ(LoadSettings(path, warnings).Settings, NothingAsDefault());
  EXPECT_EQ(warnings, std::vector<std::string>{});
  EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(path).parent_path()), {}), 1)
      << "settings.ini alone, no temporary file beside it";
}

TEST(SettingsFile, MissingFileIsQuietAndUnreadableOneIsReportedOnce) {
  const std::string dir = ScratchDir("settings_unreadable");
  std::vector<std::string> warnings;
  const TLoadedSettings missing = LoadSettings(dir + "/settings.ini", warnings);
  EXPECT_EQ(missing.Settings, TPlayerSettings{});
  EXPECT_TRUE(missing.Whole) << "a first run writes the file at its first change";
  EXPECT_EQ(warnings, std::vector<std::string>{});
  fs::create_directory(dir + "/folder.ini");
  const TLoadedSettings unreadable = LoadSettings(dir + "/folder.ini", warnings);
  EXPECT_EQ(unreadable.Settings, TPlayerSettings{});
  EXPECT_FALSE(unreadable.Whole);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].rfind(dir + "/folder.ini: ", 0), 0u) << warnings[0];
}

TEST(SettingsFile, SaveThatCannotCompleteSaysWhereAndLeavesWhatWasThere) {
  const std::string dir = ScratchDir("settings_blocked");
  fs::create_directories(dir + "/settings.ini/kept");  // a folder where the file should be
  std::string error;
  EXPECT_FALSE(SaveAll(dir + "/settings.ini", TPlayerSettings{}, error));
  EXPECT_NE(error.find(dir + "/settings.ini"), std::string::npos) << error;
  EXPECT_TRUE(fs::is_directory(dir + "/settings.ini/kept"));

  WriteWholeFile(dir + "/file", "");  // a file where a folder should be
  error.clear();
  EXPECT_FALSE(SaveAll(dir + "/file/quibbet/settings.ini", TPlayerSettings{}, error));
  EXPECT_NE(error.find(dir + "/file"), std::string::npos) << error;
}

TEST(SettingsFile, SaveThroughASymbolicLinkKeepsTheLink) {
  const fs::path dir = ScratchDir("settings_link");
  WriteWholeFile((dir / "kept.ini").string(), "");
  std::error_code made;
  fs::create_symlink("kept.ini", dir / "settings.ini", made);
  if (made) GTEST_SKIP() << "no symbolic links here: " << made.message();
  std::string error;
  ASSERT_TRUE(SaveAll((dir / "settings.ini").string(), NothingAsDefault(), error)) << error;
  EXPECT_TRUE(fs::is_symlink(dir / "settings.ini"));
  std::vector<std::string> warnings;
  EXPECT_EQ(ParseSettings(ReadWholeFile((dir / "kept.ini").string()), "kept.ini", warnings),
            NothingAsDefault());
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

// ---- Editing ----------------------------------------------------------------------------

namespace {

// A file as a player might write it: comments everywhere, a typo, an unknown key and
// section, a key given twice, odd case and spacing.
constexpr const char* HandWritten =
    "# my settings\n"
    "\n"
    "[Sound]   ; loud\n"
    "Volume=1OO   # a typo: the game keeps 100\n"
    "volume = 70\n"
    "echo = lots\n"
    "\n"
    "[cheats]\n"
    "mute = yes\n"
    "\n"
    "# the keys\n"
    "[controls]\n"
    "fire = Z  ; and nothing else\n"
    "\n";

}  // namespace

TEST(SettingsEdit, OnlyTheChangedValuesAreRewrittenWhereTheyWereRead) {
  TPlayerSettings settings;
  settings.Volume = 35;
  settings.Keys.Fire = {Vk::Letter('X'), Vk::Control};
  const TSettingsEntries entries = DifferingEntries({}, settings);
  settings.Scale = 4;  // not among the entries edited
  EXPECT_EQ(EditSettings(HandWritten, settings, entries),
            "# my settings\n"
            "\n"
            "[Sound]   ; loud\n"
            "Volume=1OO   # a typo: the game keeps 100\n"
            "volume = 35\n"
            "echo = lots\n"
            "\n"
            "[cheats]\n"
            "mute = yes\n"
            "\n"
            "# the keys\n"
            "[controls]\n"
            "fire = X Ctrl  ; and nothing else\n"
            "\n");
  EXPECT_EQ(EditSettings(HandWritten, settings, {}), HandWritten);
}

TEST(SettingsEdit, MissingKeysJoinTheirSectionAndMissingSectionsComeLast) {
  TPlayerSettings settings;
  settings.Mute = true;    // [sound]: after its last line with something on it
  settings.KeySpeed = 60;  // [controls]: the file's last section
  settings.Scale = 16;     // [display]: no such section
  EXPECT_EQ(EditSettings(HandWritten, settings, DifferingEntries({}, settings)),
            "# my settings\n"
            "\n"
            "[Sound]   ; loud\n"
            "Volume=1OO   # a typo: the game keeps 100\n"
            "volume = 70\n"
            "echo = lots\n"
            "mute = yes\n"
            "\n"
            "[cheats]\n"
            "mute = yes\n"
            "\n"
            "# the keys\n"
            "[controls]\n"
            "fire = Z  ; and nothing else\n"
            "key-speed = 60\n"
            "\n"
            "\n"
            "[display]\n"
            "scale = 16\n");
  // Windows' line ends, no line end at the end, a value left empty.
  settings.FullScreen = false;
  settings.Keys.Down = {Vk::Letter('K')};
  EXPECT_EQ(
      EditSettings("[controls]\r\ndown =\r\nup = W", settings, DifferingEntries({}, settings)),
      "[controls]\r\ndown = K\r\nup = W\r\nkey-speed = 60\r\n"
      "\r\n[display]\r\nfull-screen = no\r\nscale = 16\r\n\r\n[sound]\r\nmute = yes\r\n");
  // The empty value is filled in before the keys added after it.
  settings.Volume = 40;
  EXPECT_EQ(EditSettings("[sound]\nvolume =", settings, DifferingEntries({}, settings)),
            "[sound]\nvolume = 40\nmute = yes\n\n[display]\nfull-screen = no\nscale = 16\n"
            "\n[controls]\ndown = K\nkey-speed = 60\n");
}

TEST(SettingsEdit, AnEditedTextReadsAsTheEditAndAsBeforeElsewhere) {
  const std::string texts[] = {"", HandWritten, FormatSettings({}),
                               "[display\nscale = 3\n[sound]\nmute = on"};
  for (const std::string& text : texts) {
    for (size_t i = 0; i < SettingsEntryCount; ++i) {
      TSettingsEntries entries;
      entries.set(i);
      std::vector<std::string> ignored;
      const TPlayerSettings before = ParseSettings(text, "", ignored);
      const TPlayerSettings after =
          ParseSettings(EditSettings(text, NothingAsDefault(), entries), "", ignored);
      EXPECT_EQ(DifferingEntries(after, NothingAsDefault())[i], false) << i << " in " << text;
      EXPECT_EQ((DifferingEntries(after, before) & ~entries).none(), true) << i << " in " << text;
    }
  }
}

TEST(SettingsEdit, AFileTheGameCannotReadWholeIsNeverWritten) {
  const std::string dir = ScratchDir("settings_not_whole");
  std::string big = "[sound]\nvolume = 30\n" + std::string(MaxSettingsFileSize, '#') + "\n";
  WriteWholeFile(dir + "/big.ini", big);
  std::string error;
  EXPECT_FALSE(SaveAll(dir + "/big.ini", TPlayerSettings{}, error));
  EXPECT_NE(error.find("larger than"), std::string::npos) << error;
  EXPECT_EQ(ReadWholeFile(dir + "/big.ini"), big);
  std::vector<std::string> warnings;
  EXPECT_FALSE(LoadSettings(dir + "/big.ini", warnings).Whole);

  // A loop of links cannot be read, and the writer would replace the last link.
  std::error_code made;
  fs::create_symlink("loop.ini", dir + "/loop.ini", made);
  if (made) GTEST_SKIP() << "no symbolic links here: " << made.message();
  EXPECT_FALSE(LoadSettings(dir + "/loop.ini", warnings).Whole);
  EXPECT_FALSE(SaveAll(dir + "/loop.ini", TPlayerSettings{}, error));
  EXPECT_NE(error.find("cannot be read"), std::string::npos) << error;
  EXPECT_TRUE(fs::is_symlink(dir + "/loop.ini"));
}
