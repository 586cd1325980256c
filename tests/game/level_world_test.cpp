// The world playing a level of its own: the level's background, its rows at their frames,
// the win of a level without a boss, and the slots the checker counts for what it starts.
#include <gtest/gtest.h>

#include <memory>

#include "app/game_scene.h"
#include "entity/agent.h"
#include "game/bomber.h"
#include "game/boss.h"
#include "game/bus.h"
#include "game/enemies.h"
#include "game/game_fixture.h"
#include "game/world.h"
#include "level/level_in_force.h"
#include "text/font_text.h"

namespace {

constexpr uint16_t NightColour = 0x0010;

class LevelWorldTest : public TGameFixture {
 protected:
  void SetUp() override {
    TGameFixture::SetUp();
    TGameDataSet data = GameData();
    data.Pictures["night.pcx"] = {1000, 600, NightColour};
    UseData(data);
  }
  void TearDown() override {
    Game.reset();
    TGameFixture::TearDown();
  }
  // Sets up the game scene on a level of these header lines and rows.
  void Play(const std::string& lines) {
    TLevelNote error;
    std::optional<TLevel> level =
        ParseLevel("quibbet-level 1\nname Test\nmusic game\n" + lines, error);
    ASSERT_TRUE(level) << error.Line << ": " << error.Reason;
    SetLevelInForce(*level);
    Game = std::make_unique<TGameScene>();
    Game->Setup();
    Stage = Game.get();
    World = Game->World;
  }
  int Occupied() const {
    int count = 0;
    for (PBaseEntity e : Game->Slots)
      if (e != nullptr) ++count;
    return count;
  }

  std::unique_ptr<TGameScene> Game;
  TGameWorld* World = nullptr;
};

}  // namespace

TEST_F(LevelWorldTest, TheLevelsBackgroundScrollsBehindItsRows) {
  Play("background night.pcx\n2 m&m 700 300\n3 carrot 600 100 every 2 times 2\n9 boss\n");
  Frame(2);
  EXPECT_EQ(PixelAt(Game->FrameBuffer, 10, 590), NightColour);
  EXPECT_EQ(CountOf<TMnM>(), 1);
  Frame(3);
  EXPECT_EQ(CountOf<TCarrot>(), 2) << "at frames 3 and 5";
  Frame(3);
  EXPECT_EQ(World->Boss, nullptr);
  Frame();
  ASSERT_NE(World->Boss, nullptr);
  EXPECT_EQ(CountOf<TZelvina>(), 1);
}

TEST_F(LevelWorldTest, EveryActionStartsWhereItsRowSays) {
  Play(
      "background background.pcx\n"
      "1 text 100 200 5 2 2 hint.txt\n"
      "1 grenade 700 333\n"
      "1 grenade 790 bus\n"
      "1 bomber 600 50\n"
      "2 boss\n");
  Frame();
  std::vector<THunText*> texts;
  std::vector<TGrenade*> grenades;
  for (PBaseEntity e : Game->Slots) {
    if (auto* text = dynamic_cast<THunText*>(e)) texts.push_back(text);
    if (auto* grenade = dynamic_cast<TGrenade*>(e); grenade != nullptr && !grenade->Owner)
      grenades.push_back(grenade);
  }
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->GetPosition(), (TPoint16{100, 200}));
  EXPECT_EQ(texts[0]->HoldTicks, 5);
  EXPECT_EQ(texts[0]->FadeIn, 2);
  EXPECT_EQ(texts[0]->FadeOut, 2);
  ASSERT_EQ(grenades.size(), 2u);
  EXPECT_EQ(grenades[0]->GetPosition(), (TPoint16{700 - 15, 333})) << "flown one frame";
  // The height the bus had when the world ran, before its own first move.
  EXPECT_EQ(grenades[1]->GetPosition(), (TPoint16{790 - 15, (600 - BusH) / 2}));
  EXPECT_EQ(CountOf<TDrumbo>(), 1);
}

TEST_F(LevelWorldTest, ALevelWithoutABossIsWonByTheBusFlyingOnToItsFrame) {
  Play("background background.pcx\nwon-at 30\n10 m&m 800 0\n");
  Frame(29);
  EXPECT_EQ(World->Ending, TGameEnding::None);
  Frame();
  EXPECT_EQ(World->Ending, TGameEnding::Won);
  EXPECT_TRUE(Game->Agent->IsHalted());
  EXPECT_EQ(World->Boss, nullptr);
  EXPECT_EQ(CountOf<TCenteredKeyedPicture>(), 1);
}

TEST_F(LevelWorldTest, ABusDownAtTheWinningFrameHasLost) {
  Play("background background.pcx\nwon-at 30\n10 m&m 800 0\n");
  Frame(29);
  World->Player->SetHealth(0);
  Frame();
  EXPECT_EQ(World->Ending, TGameEnding::Lost);
}

// The checker counts 81 slots for the bomber and 83 for the boss (level_check.cpp).
TEST_F(LevelWorldTest, TheBomberAndTheBossTakeTheSlotsTheCheckerCounts) {
  Play("background background.pcx\n2 bomber 800 10\n3 boss\n");
  Frame();
  const int before = Occupied();
  EXPECT_EQ(before, 15) << "the agent, the world, the bus, its displays and crosses";
  Frame();
  EXPECT_EQ(Occupied() - before, 81);
  Frame();
  EXPECT_EQ(Occupied() - before, 81 + 83);
}
