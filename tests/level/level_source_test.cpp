// Where a run's level comes from: a level file, else the data's game.level with the mods'
// over it, else the game's own; what it names must be in the data; and the level names the
// music the game plays.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "audio/sound_bank.h"
#include "level/builtin_level.h"
#include "level/level_in_force.h"
#include "level/level_source.h"
#include "res/mods.h"
#include "res/res_helpers.h"
#include "support/game_data.h"
#include "support/run_binary.h"
#include "support/sound_files.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

std::string LevelText(const std::string& name, const std::string& more = "") {
  return "quibbet-level 1\nname " + name + "\nbackground background.pcx\nmusic game\n" + more +
         "5 text 1 1 1 1 1 hint.txt\n10 boss\n";
}

class LevelSourceTest : public TResFixture {
 protected:
  void SetUp() override {
    TResFixture::SetUp();
    WriteGameData(Dir);
  }
  // A folder holding LEVELS.MPK with `text` as game.level.
  static void WriteLevelArchive(const std::string& folder, const std::string& text) {
    std::filesystem::create_directories(folder);
    TArchiveWriter().Add("game.level", text).WriteTo(folder + "/LEVELS.MPK");
  }
  std::string LevelFile(const std::string& text) { return WriteData("own.level", text); }
};

}  // namespace

TEST_F(LevelSourceTest, WithoutALevelInTheDataTheGamesOwnIsPlayed) {
  const TLevelChoice choice = ChooseLevel("");
  EXPECT_EQ(choice.Fault, "");
  EXPECT_FALSE(choice.FromFile);
  EXPECT_EQ(choice.Text, BuiltinLevelText());
  EXPECT_EQ(FormatLevel(choice.Level), FormatLevel(BuiltinLevel()));
}

TEST_F(LevelSourceTest, TheDatasLevelIsPlayedAndTheLastModsOverIt) {
  WriteLevelArchive(Dir, LevelText("Data"));
  EXPECT_EQ(ChooseLevel("").Level.Name, "Data");
  const std::string first = Dir + "/first", second = Dir + "/second", none = Dir + "/none";
  WriteLevelArchive(first, LevelText("First"));
  WriteLevelArchive(second, LevelText("Second"));
  std::filesystem::create_directories(none);
  TArchiveWriter().Add("other.txt", "x").WriteTo(none + "/TEXTS.MPK");
  SetModFolders({first, second, none});
  const TLevelChoice choice = ChooseLevel("");
  EXPECT_EQ(choice.Level.Name, "Second");
  EXPECT_EQ(choice.Text, LevelText("Second"));
  // A level file named for the run wins over them all.
  EXPECT_EQ(ChooseLevel(LevelFile(LevelText("File"))).Level.Name, "File");
}

TEST_F(LevelSourceTest, ABadLevelInTheDataIsLeftForTheGamesBox) {
  const std::string mod = Dir + "/mod";
  WriteLevelArchive(mod, LevelText("Mod", "name again\n"));
  SetModFolders({mod});
  const TLevelChoice choice = ChooseLevel("");
  EXPECT_FALSE(choice.FromFile);
  EXPECT_EQ(choice.Fault,
            "game.level in " +
                (std::filesystem::absolute(mod).lexically_normal() / "LEVELS.MPK").string() +
                ":5: 'name' is given twice (first on line 2)");

  WriteData("LEVELS.MPK", "MPK\x02 not an archive");
  SetModFolders({});
  EXPECT_EQ(ChooseLevel("").Fault, "LEVELS.MPK: File is not a Packfile");
}

TEST_F(LevelSourceTest, PicturesAndTextsALevelNamesMustBeInTheData) {
  const std::string night = "quibbet-level 1\nname N\nbackground night.pcx\nmusic game\n10 boss\n";
  const std::string path = LevelFile(night);
  const TLevelChoice picture = ChooseLevel(path);
  EXPECT_TRUE(picture.FromFile);
  EXPECT_EQ(picture.Fault, path + ":3: SPRITES.MPK holds no picture 'night.pcx'");

  const TLevelChoice text = ChooseLevel(
      LevelFile(LevelText("T") + "20 text 1 1 1 1 1 hint.txt\n30 text 1 1 1 1 1 missing.txt\n"));
  EXPECT_EQ(text.Fault, path + ":8: TEXTS.MPK holds no text 'missing.txt'");

  SetModFolders({Dir});  // the data's archives again, as a mod
  EXPECT_THAT(ChooseLevel(LevelFile(night)).Fault,
              HasSubstr("SPRITES.MPK (with the mods) holds no"));

  const TLevelChoice unread = ChooseLevel(Dir + "/nothing.level");
  EXPECT_EQ(unread.Fault, Dir + "/nothing.level: No such file or directory");
}

TEST_F(LevelSourceTest, MusicTheDataLacksAndTheCheckersFindingsAreWarnings) {
  WriteSoundArchive(Dir, {{"game.wav", LevelWav(7, 3)}});
  const std::string path = LevelFile(
      "quibbet-level 1\nname N\nbackground background.pcx\nmusic night\n"
      "10 bomber 800 10\n20 bomber 800 10\n30 boss\n");
  const TLevelChoice choice = ChooseLevel(path);
  EXPECT_EQ(choice.Fault, "");
  EXPECT_EQ(choice.Level.Music, "night");
  ASSERT_EQ(choice.Warnings.size(), 2u);
  EXPECT_EQ(choice.Warnings[0], path +
                                    ":4: warning: SOUNDS.MPK holds no music 'night.ogg or .wav': "
                                    "the level plays without music");
  EXPECT_THAT(choice.Warnings[1],
              HasSubstr(path + ":7: warning: at frame 30 the scene would hold"));
}

TEST_F(LevelSourceTest, TheLevelNamesTheMusicTheGamePlays) {
  WriteSoundArchive(Dir, {{"game.wav", LevelWav(7, 3)}, {"night.wav", LevelWav(9, 3)}});
  TLevel night = BuiltinLevel();
  night.Music = "night";
  SetLevelInForce(night);
  testing::internal::CaptureStderr();
  const TSoundBank bank = LoadSoundBank();
  testing::internal::GetCapturedStderr();
  ASSERT_TRUE(bank.Music[static_cast<size_t>(TMusic::Game)]);
  int16_t samples[2];
  EXPECT_EQ(bank.Music[static_cast<size_t>(TMusic::Game)]->Read(samples, 1), 1u);
  EXPECT_THAT(samples, ElementsAre(9, 9));
}
