// Mods laid over the data: a member a mod holds is read from it, the rest from the game's
// archive, the last mod on top; an archive only a mod holds opens; a damaged one spoils its
// archive; a folder that is no mod is named for what it lacks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "gfx/memory.h"
#include "gfx/pcx.h"
#include "res/file_load.h"
#include "res/mods.h"
#include "res/packfile.h"
#include "res/res_helpers.h"
#include "res/resource.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class ModsTest : public TResFixture {
 protected:
  void SetUp() override {
    TResFixture::SetUp();
    TArchiveWriter()
        .Add("hint.txt", "game hint")
        .Add("intro.txt", "game intro")
        .WriteTo(Dir + "/TEXTS.MPK");
  }
  // A mod folder holding TEXTS.MPK with these members.
  std::string Mod(const std::string& name,
                  const std::vector<std::pair<std::string, std::string>>& texts) {
    const std::string folder = Dir + "/" + name;
    std::filesystem::create_directories(folder);
    TArchiveWriter archive;
    for (const auto& [member, data] : texts)
      archive.Add(member, data);
    archive.WriteTo(folder + "/TEXTS.MPK");
    return folder;
  }
};

}  // namespace

TEST_F(ModsTest, AModsMemberIsReadAndTheRestComesFromTheGame) {
  SetModFolders({Mod("mod", {{"HINT.TXT", "mod hint"}, {"new.txt", "mod only"}})});
  EXPECT_EQ(LoadTextValue("&hint.txt@TEXTS"), "mod hint");
  EXPECT_EQ(LoadTextValue("&intro.txt@TEXTS"), "game intro");
  EXPECT_EQ(LoadTextValue("&new.txt@TEXTS"), "mod only");
  SetModFolders({});
  EXPECT_EQ(LoadTextValue("&hint.txt@TEXTS"), "game hint");
}

TEST_F(ModsTest, TheLastModWins) {
  const std::string first = Mod("first", {{"hint.txt", "first"}, {"intro.txt", "first intro"}});
  const std::string second = Mod("second", {{"hint.txt", "second"}});
  SetModFolders({first, second});
  EXPECT_EQ(LoadTextValue("&hint.txt@TEXTS"), "second");
  EXPECT_EQ(LoadTextValue("&intro.txt@TEXTS"), "first intro");
  const uint8_t slot = PackfileOpen("TEXTS");
  ASSERT_LE(slot, PackfileSlotCount);
  std::vector<std::string> layers;
  for (const TPackLayer& layer : PackfileObject(slot)->Layers)
    layers.push_back(std::filesystem::path(layer.Path).parent_path().filename().string());
  EXPECT_THAT(layers, ElementsAre("second", "first", std::filesystem::path(Dir).filename()));
}

TEST_F(ModsTest, PicturesAndLinesComeThroughTheOverlayToo) {
  const std::string mod = Dir + "/mod";
  std::filesystem::create_directories(mod);
  TArchiveWriter()
      .Add("dot.pcx", MakePcx({10, 20, 30, 40, 50, 60}, 2, 1))
      .Add("metrics.inf", "8\r\n16\r\n")
      .WriteTo(mod + "/SPRITES.MPK");
  SetModFolders({mod});
  TSurface picture;
  LoadPcx("dot.pcx", "SPRITES", picture);  // the game's data has no SPRITES.MPK at all
  EXPECT_EQ(picture.Width, 2);
  FreeSurface(picture);
  std::unique_ptr<TPackCursor> cursor =
      OpenCursor(PackfileObject(PackfileOpen("SPRITES")), "metrics.inf");
  ASSERT_TRUE(cursor);
  EXPECT_EQ(CursorReadLine(*cursor), "8");
  EXPECT_EQ(CursorReadLine(*cursor), "16");
}

TEST_F(ModsTest, ADamagedModArchiveSpoilsItsArchive) {
  const std::string mod = Mod("mod", {});
  WriteBytes(mod + "/TEXTS.MPK", "MPK\x01");
  SetModFolders({mod});
  EXPECT_EQ(PackfileOpen("TEXTS"), PackErrNotPackfile);
  EXPECT_EQ(PackfileOpen("SPRITES"), PackErrPackfileNotFound) << "no layer anywhere";
}

TEST_F(ModsTest, AFolderIsAModWhenItsArchivesAreArchives) {
  EXPECT_EQ(ModFolderFault(Mod("good", {{"hint.txt", "x"}})), "");
  const std::string empty = Dir + "/empty";
  std::filesystem::create_directories(empty);
  EXPECT_EQ(ModFolderFault(empty), empty +
                                       " holds none of SPRITES.MPK, FONTS.MPK, TEXTS.MPK, "
                                       "SOUNDS.MPK, LEVELS.MPK: it is no mod");
  const std::string damaged = Mod("damaged", {{"hint.txt", "x"}});
  WriteBytes(damaged + "/LEVELS.MPK", "not an archive");
  EXPECT_EQ(ModFolderFault(damaged),
            (std::filesystem::path(damaged) / "LEVELS.MPK").string() + ": File is not a Packfile");
  EXPECT_THAT(ModFolderFault(Dir + "/TEXTS.MPK"), HasSubstr("is not a folder"));
  EXPECT_EQ(PackfileObject(1), nullptr) << "nothing left open";
}

TEST_F(ModsTest, AnArchiveNamedByItsPathIsThatFileAlone) {
  SetModFolders({Mod("mod", {{"hint.txt", "mod hint"}})});
  EXPECT_EQ(ArchiveLayerPaths("TEXTS").size(), 2u);
  EXPECT_THAT(ArchiveLayerPaths(Dir + "/TEXTS.MPK"), ElementsAre(Dir + "/TEXTS.MPK"));
  uint8_t* bytes = nullptr;
  const uint32_t size = LoadSubFile("hint.txt", Dir + "/TEXTS.MPK", bytes);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), size), "game hint");
  FreeChecked(bytes);
}
