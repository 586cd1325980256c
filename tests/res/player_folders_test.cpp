// The player's folders under each platform's rules, each given an environment of its own.
#include "res/player_folders.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A folder this machine calls absolute ("/home/ann", or "Z:\home\ann" under Windows).
fs::path Absolute(const char* path) {
  return fs::current_path().root_path() / path;
}

std::string Ours(const fs::path& base) {
  return (base / "quibbet").string();
}

TFolderInputs HomeOnly(TFolderRules rules) {
  TFolderInputs inputs;
  inputs.Rules = rules;
  inputs.Home = Absolute("home/ann").string();
  return inputs;
}

}  // namespace

TEST(PlayerFolders, XdgRulesTakeEachAbsoluteVariable) {
  TFolderInputs inputs = HomeOnly(TFolderRules::Xdg);
  inputs.XdgConfigHome = Absolute("cfg").string();
  inputs.XdgDataHome = Absolute("data").string();
  inputs.XdgDataDirs = Absolute("srv").string() + ":" + Absolute("usr").string();
  inputs.XdgPicturesDir = Absolute("pics").string();
  const TPlayerFolders folders = PlayerFolders(inputs);
  EXPECT_EQ(folders.Config, Ours(Absolute("cfg")));
  EXPECT_EQ(folders.Data, Ours(Absolute("data")));
  EXPECT_EQ(folders.Pictures, Ours(Absolute("pics")));
#ifndef _WIN32  // ':' separates the list, and is part of a Windows drive's name
  EXPECT_EQ(folders.SystemData, (std::vector<std::string>{"/srv/quibbet", "/usr/quibbet"}));
#endif
}

TEST(PlayerFolders, XdgRulesFallBackToTheHomeFolderForUnsetEmptyAndRelativeValues) {
  const fs::path home = Absolute("home/ann");
  TFolderInputs inputs = HomeOnly(TFolderRules::Xdg);
  for (const char* value : {"", "relative"}) {
    inputs.XdgConfigHome = inputs.XdgDataHome = inputs.XdgPicturesDir = value;
    const TPlayerFolders folders = PlayerFolders(inputs);
    EXPECT_EQ(folders.Config, Ours(home / ".config")) << value;
    EXPECT_EQ(folders.Data, Ours(home / ".local" / "share")) << value;
    EXPECT_EQ(folders.Pictures, Ours(home / "Pictures")) << value;
  }
#ifndef _WIN32
  EXPECT_EQ(PlayerFolders(inputs).SystemData,
            (std::vector<std::string>{"/usr/local/share/quibbet", "/usr/share/quibbet"}));
  inputs.XdgDataDirs = "share:/opt/share";  // a relative entry is left out
  EXPECT_EQ(PlayerFolders(inputs).SystemData, std::vector<std::string>{"/opt/share/quibbet"});
#endif
}

TEST(PlayerFolders, WithoutAHomeOnlyTheSystemFoldersAreKnown) {
  TFolderInputs inputs;
  inputs.Rules = TFolderRules::Xdg;
  inputs.AppData = Absolute("AppData/Roaming").string();  // not a Unix player's
  inputs.UserProfile = Absolute("Users/ann").string();
  const TPlayerFolders folders = PlayerFolders(inputs);
  EXPECT_EQ(folders.Config, "");
  EXPECT_EQ(folders.Data, "");
  EXPECT_EQ(folders.Pictures, "");
}

TEST(PlayerFolders, WindowsRulesUseTheProfilesFolders) {
  TFolderInputs inputs;
  inputs.Rules = TFolderRules::Windows;
  inputs.AppData = Absolute("Users/ann/AppData/Roaming").string();
  inputs.UserProfile = Absolute("Users/ann").string();
  inputs.XdgDataDirs = Absolute("srv").string();
  TPlayerFolders folders = PlayerFolders(inputs);
  EXPECT_EQ(folders.Config, Ours(inputs.AppData));
  EXPECT_EQ(folders.Data, Ours(inputs.AppData));
  EXPECT_EQ(folders.SystemData, std::vector<std::string>{});
  EXPECT_EQ(folders.Pictures, Ours(Absolute("Users/ann") / "Pictures"));

  // A home folder (MSYS, Wine) is taken for data and pictures as on Unix; the settings stay
  // in %APPDATA% unless $XDG_CONFIG_HOME names a folder.
  inputs.Home = Absolute("home/ann").string();
  folders = PlayerFolders(inputs);
  EXPECT_EQ(folders.Config, Ours(inputs.AppData));
  EXPECT_EQ(folders.Data, Ours(Absolute("home/ann") / ".local" / "share"));
  EXPECT_EQ(folders.Pictures, Ours(Absolute("home/ann") / "Pictures"));
  inputs.XdgConfigHome = Absolute("cfg").string();
  EXPECT_EQ(PlayerFolders(inputs).Config, Ours(Absolute("cfg")));
}

TEST(PlayerFolders, TheBrowsersFoldersAreFixedUnderOneRoot) {
  TFolderInputs inputs = HomeOnly(TFolderRules::Browser);
  inputs.XdgConfigHome = Absolute("cfg").string();
  const TPlayerFolders folders = PlayerFolders(inputs);
  EXPECT_EQ(folders.Config, "/quibbet/config");
  EXPECT_EQ(folders.Data, "/quibbet/data");
  EXPECT_EQ(folders.SystemData, std::vector<std::string>{});
  EXPECT_EQ(folders.Pictures, "/quibbet/pictures");
}
