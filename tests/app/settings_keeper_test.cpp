// The settings file of a run with a screen: written only when the player changes something,
// and then only the keys changed, read afresh, so that two games keep each other's changes; a
// file read in part, a full disk or a write killed part way never costs the player the file.
#include "app/settings_keeper.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "support/run_binary.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr const char* HandWritten =
    "# mine\n"
    "[sound]\n"
    "volume = 70  ; not too loud\n"
    "[elsewhere]\n"
    "colour = blue\n";

TOptions WithFile(const std::string& path) {
  TOptions options;
  options.ConfigFile = path;
  return options;
}

// The keeper's stderr lines while `act` runs.
template <typename F>
std::string Said(F act) {
  testing::internal::CaptureStderr();
  act();
  return testing::internal::GetCapturedStderr();
}

}  // namespace

TEST(SettingsKeeper, AChangeWritesItsOwnKeysAndNotWhatTheCommandLineSaid) {
  const std::string path = ScratchDir("keeper_own_keys") + "/settings.ini";
  WriteWholeFile(path, HandWritten);
  TOptions options = WithFile(path);
  options.Volume = 20;
  options.Window = true;
  TSettingsKeeper keeper(options);
  EXPECT_EQ(keeper.RunSettings().Volume, 20);
  keeper.Changed(keeper.RunSettings());
  EXPECT_EQ(ReadWholeFile(path), HandWritten) << "nothing changed, nothing written";

  TPlayerSettings now = keeper.RunSettings();
  now.Mute = true;
  keeper.Changed(now);
  EXPECT_EQ(ReadWholeFile(path),
            "# mine\n[sound]\nvolume = 70  ; not too loud\nmute = yes\n[elsewhere]\n"
            "colour = blue\n");
  now.Volume = 25;
  keeper.Changed(now);
  EXPECT_EQ(ReadWholeFile(path),
            "# mine\n[sound]\nvolume = 25  ; not too loud\nmute = yes\n[elsewhere]\n"
            "colour = blue\n");
}

TEST(SettingsKeeper, TwoGamesChangingTwoKeysKeepBoth) {
  const std::string path = ScratchDir("keeper_two_games") + "/settings.ini";
  WriteWholeFile(path, HandWritten);
  TSettingsKeeper first(WithFile(path)), second(WithFile(path));
  TPlayerSettings one = first.RunSettings(), two = second.RunSettings();
  one.Volume = 40;
  first.Changed(one);
  two.KeySpeed = 30;
  second.Changed(two);
  one.Scale = 2;
  first.Changed(one);
  std::vector<std::string> warnings;
  const TPlayerSettings kept = LoadSettings(path, warnings).Settings;
  EXPECT_EQ(kept.Volume, 40);
  EXPECT_EQ(kept.KeySpeed, 30);
  EXPECT_EQ(kept.Scale, 2);
}

TEST(SettingsKeeper, AFileReadInPartIsNeverRewrittenAndTheGamePlaysOnWithTheChange) {
  const std::string path = ScratchDir("keeper_part") + "/settings.ini";
  const std::string big = std::string(HandWritten) + std::string(MaxSettingsFileSize, '#') + "\n";
  WriteWholeFile(path, big);
  TPlayerSettings now;
  const std::string said = Said([&] {
    TSettingsKeeper keeper(WithFile(path));
    now = keeper.RunSettings();
    now.Volume = 5;
    keeper.Changed(now);
    now.Mute = true;
    keeper.Changed(now);
    EXPECT_EQ(keeper.RunSettings(), now);
  });
  EXPECT_EQ(ReadWholeFile(path), big);
  EXPECT_NE(said.find(path + ":6: the file is larger than"), std::string::npos) << said;
  EXPECT_NE(said.find("not kept: " + path + " was not read whole"), std::string::npos) << said;
  // With the unknown section's; the change not kept is said once.
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 3) << said;
}

#ifndef _WIN32

TEST(SettingsKeeper, AWriteKilledPartWayLeavesTheOldFileOrTheNew) {
  const std::string path = ScratchDir("keeper_killed") + "/settings.ini";
  // Large enough that a write takes a while to be caught in.
  const std::string padding = "# " + std::string(30000, '-') + "\n";
  const std::string low = padding + "[sound]\nvolume = 10\n" + padding;
  const std::string high = padding + "[sound]\nvolume = 90\n" + padding;
  WriteWholeFile(path, low);
  std::mt19937 random(25);
  for (int round = 0; round < 40; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      TPlayerSettings settings;
      for (std::string error;;) {
        settings.Volume = settings.Volume == 10 ? 90 : 10;
        SaveSettingsEdits(path, settings, DifferingEntries({}, settings), error);
      }
    }
    usleep(std::uniform_int_distribution<useconds_t>(0, 20000)(random));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const std::string kept = ReadWholeFile(path);
    ASSERT_TRUE(kept == low || kept == high)
        << "round " << round << ": " << kept.size() << " bytes of neither";
  }
}

// A small file system of its own, mounted for one test: root only, as CI runs.
class SmallDisk {
 public:
  explicit SmallDisk(const std::string& dir) : Dir(dir) {
    Mounted =
        geteuid() == 0 &&
        std::system(("mount -t tmpfs -o size=64k tmpfs '" + Dir + "' 2>/dev/null").c_str()) == 0;
  }
  ~SmallDisk() {
    if (Mounted) std::system(("umount '" + Dir + "'").c_str());
  }
  // Fills what is left with one file.
  void Fill() const {
    std::FILE* filler = std::fopen((Dir + "/filler").c_str(), "wb");
    const std::string block(4096, 'x');
    while (filler != nullptr &&
           std::fwrite(block.data(), 1, block.size(), filler) == block.size() &&
           std::fflush(filler) == 0) {
    }
    if (filler != nullptr) std::fclose(filler);
  }
  bool ReadOnly() const { return std::system(("mount -o remount,ro '" + Dir + "'").c_str()) == 0; }

  std::string Dir;
  bool Mounted = false;
};

TEST(SettingsKeeper, AFullDiskOrAReadOnlyFolderKeepsTheOldFile) {
  const SmallDisk disk(ScratchDir("keeper_full_disk"));
  if (!disk.Mounted) GTEST_SKIP() << "cannot mount a small tmpfs here (it takes root)";
  const std::string path = disk.Dir + "/settings.ini";
  WriteWholeFile(path, HandWritten);
  disk.Fill();
  TSettingsKeeper keeper(WithFile(path));
  TPlayerSettings now = keeper.RunSettings();
  now.Volume = 33;
  const std::string full = Said([&] { keeper.Changed(now); });
  EXPECT_EQ(ReadWholeFile(path), HandWritten);
  EXPECT_EQ(keeper.RunSettings().Volume, 33);
  EXPECT_NE(full.find("not kept: cannot write " + path), std::string::npos) << full;
  EXPECT_EQ(std::count(full.begin(), full.end(), '\n'), 1) << full;

  fs::remove(disk.Dir + "/filler");
  ASSERT_TRUE(disk.ReadOnly());
  TSettingsKeeper again(WithFile(path));
  now.Mute = true;
  const std::string readOnly = Said([&] { again.Changed(now); });
  EXPECT_EQ(ReadWholeFile(path), HandWritten);
  EXPECT_NE(readOnly.find("not kept: cannot create a file beside " + path), std::string::npos)
      << readOnly;
}

#endif
