// The game scene: its slots after Setup, the hidden cursor, the seed, its summary fields,
// and its ends through the frame loop (an ending's count-down, or Escape at once).
#include "app/game_scene.h"

#include <gtest/gtest.h>

#include <random>

#include "app/settings.h"
#include "entity/agent.h"
#include "game/boss.h"
#include "game/bus.h"
#include "game/game_fixture.h"
#include "game/random.h"
#include "game/status_display.h"
#include "game/world.h"
#include "gfx/boxes.h"
#include "gfx/display.h"
#include "gfx/window.h"

class GameSceneTest : public TGameFixture {
 protected:
  void TearDown() override {
    Game.reset();
    TGameFixture::TearDown();
  }
  TGameScene& SetUpGame() {
    Game = std::make_unique<TGameScene>();
    Game->Setup();
    Stage = Game.get();
    return *Game;
  }
  // The scene's own members of its summary line, as JSON text.
  std::string Report() const {
    TSceneRecord record;
    Game->AddToReport(record);
    std::string text;
    for (const auto& [key, value] : record.Extra)
      text += key + "=" + value + " ";
    return text;
  }
  // The first `count` values of Random(1000) against a generator seeded with `seed`.
  static void ExpectSeeded(uint32_t seed, int count = 5) {
    std::mt19937 reference(seed);
    for (int i = 0; i < count; ++i)
      EXPECT_EQ(Random(1000), (uint64_t{reference()} * 1000) >> 32) << "draw " << i;
  }

  std::unique_ptr<TGameScene> Game;
};

TEST_F(GameSceneTest, AgentInSlotOneWorldInSlotTwoAndTheWorldsOwnFromThree) {
  TGameScene& game = SetUpGame();
  EXPECT_EQ(game.EntityAt(1), game.Agent);
  ASSERT_NE(game.World, nullptr);
  EXPECT_EQ(game.EntityAt(2), game.World);
  TPlayerBus* bus = game.World->Player;
  EXPECT_EQ(game.EntityAt(3), bus->HealthDisplay);
  EXPECT_EQ(game.EntityAt(4), bus->AmmoDisplay);
  EXPECT_EQ(game.EntityAt(5), bus->Crosses[0]);
  EXPECT_EQ(game.EntityAt(15), bus);
  int agents = 0;
  for (PBaseEntity e : game.Slots)
    agents += e == game.Agent ? 1 : 0;
  EXPECT_EQ(agents, 1) << "slot 2 no longer holds the agent";
  for (int i = 16; i <= TScene::SlotCount; ++i)
    EXPECT_EQ(game.EntityAt(i), nullptr) << i;
  EXPECT_EQ(game.Agent->GetSpritePackage(), "SPRITES");
}

TEST_F(GameSceneTest, CursorIsHiddenForTheGame) {
  OpenWindow();
  ASSERT_TRUE(Input.CursorShown);
  SetUpGame();
  EXPECT_FALSE(Input.CursorShown);
  EXPECT_LT(Platform->CursorCount(), 0);
}

TEST_F(GameSceneTest, SeedIsTheTickCountAtSetupUnlessOneWasGiven) {
  TPlatformConfig config;
  config.VirtualStartTicks = 4'000'123'456u;
  UsePlatform(std::move(config));
  const uint32_t ticks = Platform->TickCount();
  SetUpGame();
  ExpectSeeded(ticks);

  Game.reset();
  Settings.Seed = 42;
  SetUpGame();
  ExpectSeeded(42);
}

TEST_F(GameSceneTest, SummaryNamesTheEndingAndBothHealths) {
  SetUpGame();
  EXPECT_EQ(Report(),
            "ending=\"none\" player_health=100 boss_health=null crosses_fired=0 hits=0 "
            "boss_frames=null ");
  TGameWorld* world = Game->World;
  world->Player->SetHealth(-15);
  Frame();
  EXPECT_EQ(Report(),
            "ending=\"lost\" player_health=-15 boss_health=null crosses_fired=0 hits=0 "
            "boss_frames=null ");

  Game.reset();
  SetUpGame();
  auto* boss = new TZelvina(Game->Agent);
  Game->Agent->Add(boss);
  Game->World->Boss = boss;
  boss->SetHealth(0);
  Frame();
  EXPECT_EQ(Report(),
            "ending=\"won\" player_health=100 boss_health=0 crosses_fired=0 hits=0 boss_frames=0 ");

  Game.reset();
  SetUpGame();
  Input.Keys[Vk::Space] = 1;
  Frame();
  EXPECT_EQ(Report(),
            "ending=\"space\" player_health=100 boss_health=null crosses_fired=0 hits=0 "
            "boss_frames=null ");
}

TEST_F(GameSceneTest, MissingPictureWhileTheWorldIsBuiltEndsCleanly) {
  for (const char* missing : {"bus.pcx", "holycross.pcx"}) {
    TGameDataSet data = GameData();
    data.Pictures.erase(missing);
    UseData(data);
    Platform->Boxes.clear();
    EXPECT_THROW(SetUpGame(), TProgramExit) << missing;
    ASSERT_EQ(Platform->Boxes.size(), 1u);
    EXPECT_NE(Platform->Boxes[0].Text.find(missing), std::string::npos) << Platform->Boxes[0].Text;
    int agents = 0;
    for (PBaseEntity e : Game->Slots)
      agents += e == Game->Agent ? 1 : 0;
    EXPECT_EQ(agents, 1) << "slot 2 is given back, so the agent is destroyed once";
    Game.reset();
  }
}

class GameSceneRunTest : public GameSceneTest {
 protected:
  void SetUp() override {
    GameSceneTest::SetUp();
    OpenWindow();
    OpenDisplay(800, 600);
  }
};

TEST_F(GameSceneRunTest, SpaceEndsTheSceneOneHundredFramesAfterTheEndingBegan) {
  TGameScene& game = SetUpGame();
  Input.Keys[Vk::Space] = 1;  // seen in the first frame
  EXPECT_EQ(game.Run(), TSceneEnd::Finished);
  EXPECT_EQ(game.FramesRun, 101u);
  EXPECT_EQ(game.World->Ending, TGameEnding::Space);
}

TEST_F(GameSceneRunTest, EscapeEndsTheSceneAtOnceWithoutAnEnding) {
  TGameScene& game = SetUpGame();
  Input.Keys[Vk::Escape] = 1;
  EXPECT_EQ(game.Run(), TSceneEnd::Escape);
  EXPECT_EQ(game.FramesRun, 1u);
  EXPECT_EQ(game.World->Ending, TGameEnding::None);
  EXPECT_EQ(CountOf<TCenteredKeyedPicture>() + CountOf<TCenteredPicture>(), 0);
  EXPECT_EQ(Report(),
            "ending=\"none\" player_health=100 boss_health=null crosses_fired=0 hits=0 "
            "boss_frames=null ");
}
