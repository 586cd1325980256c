// The checker: a row that would fill the scene past what it holds, counting every enemy as
// alive for as long as it can be, and rows that come after a level is won.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "level/level.h"
#include "level/level_in_force.h"

using ::testing::HasSubstr;

namespace {

TLevel Parsed(const std::string& rows) {
  TLevelNote error;
  std::optional<TLevel> level = ParseLevel(
      "quibbet-level 1\nname Checked\nbackground background.pcx\nmusic game\n" + rows, error);
  EXPECT_TRUE(level) << error.Line << ": " << error.Reason;
  return level.value_or(TLevel{});
}

std::string Grenades(int count, int frame) {
  return std::to_string(frame) + " grenade 800 300 every 1 times " + std::to_string(count) + "\n";
}

}  // namespace

TEST(LevelCheck, TheGamesOwnLevelFitsTheScene) {
  EXPECT_TRUE(CheckLevel(BuiltinLevel()).empty());
}

// The bus holds 15 slots, the bomber 81, the boss 83, a spent grenade keeps its 1; 5 are kept
// for explosions and the ending: 195 may be taken.
TEST(LevelCheck, TheRowThatFillsTheSceneIsNamedOnce) {
  EXPECT_TRUE(CheckLevel(Parsed("10 bomber 800 10\n" + Grenades(16, 20) + "100 boss\n")).empty());
  const std::vector<TLevelNote> notes =
      CheckLevel(Parsed("10 bomber 800 10\n" + Grenades(17, 20) + "100 boss\n"));
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].Line, 7);
  EXPECT_THAT(notes[0].Reason, HasSubstr("at frame 100 the scene would hold 196 entities"));
  EXPECT_EQ(CheckLevel(Parsed("10 bomber 800 10\n20 bomber 800 10\n30 boss\n")).size(), 1u);
}

TEST(LevelCheck, EnemiesThatGoFreeTheirSlots) {
  // 98 m&ms and the boss fill 196 slots; an m&m is counted for 100 frames from its start.
  EXPECT_TRUE(CheckLevel(Parsed("1 m&m 800 0 every 1 times 97\n98 boss\n")).empty());
  EXPECT_EQ(CheckLevel(Parsed("1 m&m 800 0 every 1 times 98\n98 boss\n")).size(), 1u);
  EXPECT_EQ(CheckLevel(Parsed("1 m&m 800 0 every 1 times 98\n100 boss\n")).size(), 1u);
  EXPECT_TRUE(CheckLevel(Parsed("1 m&m 800 0 every 1 times 98\n101 boss\n")).empty());
  // A carrot for 800 frames.
  EXPECT_EQ(CheckLevel(Parsed("1 carrot 800 40 every 1 times 98\n800 boss\n")).size(), 1u);
  EXPECT_TRUE(CheckLevel(Parsed("1 carrot 800 40 every 1 times 98\n801 boss\n")).empty());
  // A text until it has faded in, held and faded out: 22 frames here.
  EXPECT_TRUE(CheckLevel(Parsed("1 text 0 0 10 5 5 a.txt every 1 times 98\n98 boss\n")).empty());
}

TEST(LevelCheck, RowsAfterTheWinAreNamed) {
  const std::vector<TLevelNote> notes =
      CheckLevel(Parsed("won-at 500\n100 m&m 800 0\n500 m&m 800 0\n501 carrot 800 40\n"));
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].Line, 8);
  EXPECT_THAT(notes[0].Reason, HasSubstr("won at frame 500, before this row"));
}
