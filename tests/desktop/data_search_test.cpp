// The data search order: --data alone when given, then the working directory, the player's
// data folder, the installed folder beside the program and the system's data folders (their
// XDG rules are the player folders' own test); and a run that finds no archives naming every
// place it searched.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/data_search.h"
#include "support/game_data.h"
#include "support/run_binary.h"

namespace fs = std::filesystem;

namespace {

void TouchArchives(const fs::path& dir, std::initializer_list<const char*> names) {
  fs::create_directories(dir);
  for (const char* name : names)
    WriteWholeFile((dir / name).string(), "MPK");
}

void TouchAllArchives(const fs::path& dir) {
  TouchArchives(dir, {"SPRITES.MPK", "FONTS.MPK", "TEXTS.MPK"});
}

void WriteGameDataInto(const fs::path& dir) {
  fs::create_directories(dir);
  WriteGameData(dir.string());
}

// The game alone in a folder of its own: no data beside it and no build tree around it.
std::string LoneProgram(const std::string& name) {
  const fs::path dir = fs::path(ScratchDir(name)) / "bin";
  fs::create_directories(dir);
  fs::copy_file(QUIBBET_BINARY, dir / "quibbet");
  return (dir / "quibbet").string();
}

}  // namespace

TEST(DataSearch, PathFollowsTheDocumentedOrder) {
  TDataSearchInputs inputs;
  inputs.ProgramDir = "/opt/quibbet/bin";
  inputs.Folders.Data = "/home/ann/data/quibbet";
  inputs.Folders.SystemData = {"/srv/share/quibbet", "/usr/share/quibbet"};
  EXPECT_EQ(DataSearchPath(inputs),
            (std::vector<std::string>{"", "/home/ann/data/quibbet", "/opt/quibbet/share/quibbet",
                                      "/srv/share/quibbet", "/usr/share/quibbet"}));
  inputs.Folders.Data.clear();  // no home at all: nothing to look for there
  EXPECT_EQ(DataSearchPath(inputs),
            (std::vector<std::string>{"", "/opt/quibbet/share/quibbet", "/srv/share/quibbet",
                                      "/usr/share/quibbet"}));
}

TEST(DataSearch, RepeatsAreDropped) {
  TDataSearchInputs inputs;
  inputs.Folders.Data = "/usr/share/quibbet";
  inputs.Folders.SystemData = {"/usr/share/quibbet", "/usr/share/quibbet"};
  inputs.ProgramDir = "/usr/bin";
  EXPECT_EQ(DataSearchPath(inputs), (std::vector<std::string>{"", "/usr/share/quibbet"}));
}

TEST(DataSearch, BuildTreeDataFolderIsSearchedOnlyForAProgramInABuildTree) {
  const fs::path tree = ScratchDir("search_build_tree");
  TDataSearchInputs inputs;
  inputs.ProgramDir = (tree / "src").string();
  const auto withoutCache = DataSearchPath(inputs);
  EXPECT_EQ(std::count(withoutCache.begin(), withoutCache.end(), (tree / "data").string()), 0);
  WriteWholeFile((tree / "CMakeCache.txt").string(), "");
  const auto withCache = DataSearchPath(inputs);
  EXPECT_EQ(std::count(withCache.begin(), withCache.end(), (tree / "data").string()), 1);
}

TEST(DataSearch, FirstFolderHoldingAllThreeArchivesWins) {
  const fs::path root = ScratchDir("search_first");
  TouchArchives(root / "home" / "quibbet", {"SPRITES.MPK", "FONTS.MPK"});  // incomplete
  TouchAllArchives(root / "prefix" / "share" / "quibbet");
  TouchAllArchives(root / "system" / "quibbet");
  TDataSearchInputs inputs;
  inputs.Folders.Data = (root / "home" / "quibbet").string();
  inputs.ProgramDir = (root / "prefix" / "bin").string();
  inputs.Folders.SystemData = {(root / "system" / "quibbet").string()};
  const TDataSearch search = FindGameData("", inputs);
  EXPECT_TRUE(search.Found);
  EXPECT_EQ(search.Dir, (root / "prefix" / "share" / "quibbet").string());

  fs::remove_all(root / "prefix");
  EXPECT_EQ(FindGameData("", inputs).Dir, (root / "system" / "quibbet").string());
}

TEST(DataSearch, ArchivesMustBeRegularFilesWithTheirExactNames) {
  const fs::path root = ScratchDir("search_names");
  TouchArchives(root / "lower", {"sprites.mpk", "FONTS.MPK", "TEXTS.MPK"});
  fs::create_directories(root / "folder" / "SPRITES.MPK");
  TouchArchives(root / "folder", {"FONTS.MPK", "TEXTS.MPK"});
  EXPECT_FALSE(HoldsArchives((root / "lower").string()));
  EXPECT_FALSE(HoldsArchives((root / "folder").string()));
  TouchAllArchives(root / "right");
  EXPECT_TRUE(HoldsArchives((root / "right").string()));
}

TEST(DataSearch, DataOptionIsTheOnlyPlaceSearched) {
  const fs::path root = ScratchDir("search_option");
  TouchAllArchives(root / "system" / "quibbet");
  TDataSearchInputs inputs;
  inputs.Folders.SystemData = {(root / "system" / "quibbet").string()};
  const TDataSearch search = FindGameData((root / "empty").string(), inputs);
  EXPECT_FALSE(search.Found);
  EXPECT_EQ(search.Dir, (root / "empty").string()) << "the missing archive is reported there";
  EXPECT_EQ(search.Searched, std::vector<std::string>{(root / "empty").string()});
}

TEST(DataSearch, NothingFoundLeavesTheWorkingDirectoryAndNamesEveryPlace) {
  TDataSearchInputs inputs;
  inputs.Folders.Data = "/nowhere/home/quibbet";
  inputs.Folders.SystemData = {"/nowhere/system/quibbet"};
  const TDataSearch search = FindGameData("", inputs);
  EXPECT_FALSE(search.Found);
  EXPECT_EQ(search.Dir, "");
  const std::string text = DescribeSearch(search);
  EXPECT_NE(text.find("the working directory (" + fs::current_path().string() + ")"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("  /nowhere/home/quibbet\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  /nowhere/system/quibbet\n"), std::string::npos) << text;
}

TEST(DataSearch, ProgramWithoutDataBesideItFindsItInXdgFolders) {
  const std::string program = LoneProgram("search_run_xdg");
  const fs::path root = fs::path(program).parent_path().parent_path();
  WriteGameDataInto(root / "system" / "quibbet");
  WriteGameDataInto(root / "user" / "quibbet");
  const std::vector<std::string> args{"--headless", "--turbo", "--max-frames", "3"};
  const std::string home = "HOME=" + (root / "home").string();
  const TRunResult fromDirs =
      RunBinary(program, args,
                {home, "XDG_DATA_HOME=", "XDG_DATA_DIRS=/nowhere:" + (root / "system").string()});
  EXPECT_EQ(fromDirs.ExitCode, 0) << fromDirs.Err;
  const TRunResult fromHome = RunBinary(
      program, args, {home, "XDG_DATA_HOME=" + (root / "user").string(), "XDG_DATA_DIRS=/nowhere"});
  EXPECT_EQ(fromHome.ExitCode, 0) << fromHome.Err;
}

TEST(DataSearch, MissingArchivesEndTheRunNamingThePlacesSearched) {
  const std::string program = LoneProgram("search_run_missing");
  const fs::path root = fs::path(program).parent_path().parent_path();
  const TRunResult run =
      RunBinary(program, {"--headless", "--turbo"},
                {"HOME=" + (root / "home").string(), "XDG_DATA_HOME=", "XDG_DATA_DIRS=/nowhere"});
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_NE(run.Err.find("SPRITES"), std::string::npos) << "the box names the archive:\n"
                                                        << run.Err;
  for (const std::string& place :
       {std::string("the working directory"), (root / "home" / ".local/share/quibbet").string(),
        (root / "share" / "quibbet").string(), std::string("/nowhere/quibbet")})
    EXPECT_NE(run.Err.find(place), std::string::npos) << place << " in\n" << run.Err;
}
