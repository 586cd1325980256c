// The game world in its game scene: the timetable by frame, the grenades aimed at the bus's
// height, the three endings in their order, and the count-down to the scene's end.
#include "game/world.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <typeindex>

#include "app/game_scene.h"
#include "entity/agent.h"
#include "game/bomber.h"
#include "game/boss.h"
#include "game/bus.h"
#include "game/enemies.h"
#include "game/game_fixture.h"
#include "gfx/window.h"
#include "text/font_text.h"

using ::testing::ElementsAreArray;

class WorldTest : public TGameFixture {
 protected:
  void SetUp() override {
    TGameFixture::SetUp();
    Game = std::make_unique<TGameScene>();
    Game->Setup();
    Stage = Game.get();
    World = Game->World;
    Bus = World->Player;
  }
  void TearDown() override {
    Game.reset();
    Benched.reset();
    TGameFixture::TearDown();
  }
  // Takes the bus out of its slot but keeps it, so that no enemy finds a player and the
  // world's view of it is the test's to set.
  void BenchTheBus() {
    for (PBaseEntity& slot : Game->Slots)
      if (slot == Bus) slot = nullptr;
    Benched.reset(Bus);
  }
  // The boss as the world makes her, without waiting for frame 1900.
  TZelvina* BossNow() {
    World->Boss = new TZelvina(Game->Agent);
    Game->Agent->Add(World->Boss);
    return World->Boss;
  }
  template <typename T>
  std::vector<T*> All() {
    std::vector<T*> found;
    for (PBaseEntity e : Game->Slots)
      if (auto* t = dynamic_cast<T*>(e)) found.push_back(t);
    return found;
  }

  std::unique_ptr<TGameScene> Game;
  std::unique_ptr<TPlayerBus> Benched;
  TGameWorld* World = nullptr;
  TPlayerBus* Bus = nullptr;
};

TEST_F(WorldTest, StartsAtFrameZeroWithTheBusAndNoBoss) {
  EXPECT_EQ(World->ScrollPos, 0);
  EXPECT_EQ(World->Boss, nullptr);
  EXPECT_EQ(World->EndTimer, 0);
  EXPECT_EQ(World->GetPosition(), (TPoint16{0, 0}));
  EXPECT_EQ(Game->EntityAt(15), Bus) << "after its two displays and ten crosses";
  Frame();
  EXPECT_EQ(World->ScrollPos, 1);
  EXPECT_EQ(PixelAt(Game->FrameBuffer, 799, 599), BackgroundColour) << "drawn every frame";
}

TEST_F(WorldTest, TimetableStartsEveryWaveAtItsFrame) {
  BenchTheBus();
  struct TCategory {
    const char* Name;
    std::function<bool(PBaseEntity)> Is;
  };
  const TCategory categories[] = {
      {"hint", [](PBaseEntity e) { return dynamic_cast<THunText*>(e) != nullptr; }},
      {"m&m", [](PBaseEntity e) { return dynamic_cast<TMnM*>(e) != nullptr; }},
      {"carrot", [](PBaseEntity e) { return dynamic_cast<TCarrot*>(e) != nullptr; }},
      {"grenade",
       [](PBaseEntity e) {
         auto* g = dynamic_cast<TGrenade*>(e);
         return g != nullptr && g->Owner == nullptr;
       }},
      {"bomber", [](PBaseEntity e) { return dynamic_cast<TDrumbo*>(e) != nullptr; }},
      {"boss", [](PBaseEntity e) { return dynamic_cast<TZelvina*>(e) != nullptr; }},
  };
  // By address and type: a destroyed entity's storage may be reused in the same frame.
  std::set<std::pair<PBaseEntity, std::type_index>> seen;
  std::vector<std::string> events;
  std::map<uint16_t, int16_t> busY;  // the height the bus had in each frame
  for (uint16_t frame = 1; frame <= 1900; ++frame) {
    Benched->Y = static_cast<int16_t>(40 + (frame * 37) % 380);
    busY[frame] = Benched->Y;
    Frame();
    ASSERT_EQ(World->ScrollPos, frame);
    for (PBaseEntity e : Game->Slots) {
      if (e == nullptr || !seen.insert({e, std::type_index(typeid(*e))}).second) continue;
      for (const TCategory& c : categories) {
        if (!c.Is(e)) continue;
        const TPoint16 at = e->GetPosition();
        events.push_back(std::to_string(frame) + " " + c.Name + " " + std::to_string(at.X) + "," +
                         std::to_string(at.Y));
      }
    }
  }
  // Every newcomer was updated once in the frame it arrived: m&ms found no player, a carrot
  // chose its direction and crept 1, a grenade flew 15, the bomber made its first move and
  // the boss slid in by 1.
  auto grenadeAt = [&](uint16_t frame) {
    return std::to_string(frame) + " grenade 785," + std::to_string(busY[frame]);
  };
  const std::vector<std::string> expected = {
      "5 hint 270,295",  "100 m&m 800,600",     "170 m&m 800,0",     "230 m&m 800,0",
      "280 m&m 800,600", "350 grenade 785,325", "400 carrot 799,40", "600 carrot 799,400",
      grenadeAt(1100),   grenadeAt(1150),       grenadeAt(1200),     grenadeAt(1250),
      grenadeAt(1300),   grenadeAt(1350),       "1400 bomber 790,0", "1900 boss 798,219",
  };
  EXPECT_THAT(events, ElementsAreArray(expected));
  EXPECT_EQ(World->Boss, All<TZelvina>().front());
  EXPECT_EQ(World->EndTimer, 0);
}

TEST_F(WorldTest, ClockWrapsAndTheTimetableStartsOver) {
  World->ScrollPos = 65534;
  Frame(2);
  EXPECT_EQ(World->ScrollPos, 0);
  Frame(4);
  EXPECT_TRUE(All<THunText>().empty());
  Frame();
  EXPECT_EQ(All<THunText>().size(), 1u);
}

TEST_F(WorldTest, BusDeathShowsTheFingerOpaqueCentredAndHalts) {
  Bus->SetHealth(0);
  Frame();
  EXPECT_EQ(World->Ending, TGameEnding::Lost);
  EXPECT_TRUE(Game->Agent->IsHalted());
  const auto pictures = All<TCenteredPicture>();
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(pictures[0]->GetPosition(), (TPoint16{(800 - FingerW) / 2, (600 - FingerH) / 2}));
  EXPECT_TRUE(All<TCenteredKeyedPicture>().empty());
  EXPECT_EQ(PixelAt(Game->FrameBuffer, 400, 300), FingerColour) << "shown at once";
}

TEST_F(WorldTest, BossDeathShowsTheWinnerKeyedCentredAndHalts) {
  BossNow()->SetHealth(-3);
  Frame();
  EXPECT_EQ(World->Ending, TGameEnding::Won);
  EXPECT_TRUE(Game->Agent->IsHalted());
  const auto pictures = All<TCenteredKeyedPicture>();
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(pictures[0]->GetPosition(), (TPoint16{199, 199})) << "402 and 201 wide and high";
  EXPECT_EQ(PixelAt(Game->FrameBuffer, 199, 199), WinnerColour);
  EXPECT_EQ(PixelAt(Game->FrameBuffer, 198, 199), BackgroundColour);
}

TEST_F(WorldTest, BossFramesCountFromHerArrivalToHerFall) {
  Frame(3);
  EXPECT_EQ(World->BossFrames, 0u);
  TZelvina* boss = BossNow();
  Frame(4);
  EXPECT_EQ(World->BossFrames, 4u);
  boss->SetHealth(0);
  Frame(5);
  EXPECT_EQ(World->BossFrames, 4u) << "not the frame she fell in, nor after";
}

TEST_F(WorldTest, BossAndBusDyingInOneFrameIsAWin) {
  BossNow()->SetHealth(0);
  Bus->SetHealth(0);
  Frame();
  EXPECT_EQ(World->Ending, TGameEnding::Won);
  EXPECT_EQ(All<TCenteredKeyedPicture>().size(), 1u);
  EXPECT_TRUE(All<TCenteredPicture>().empty());
  EXPECT_EQ(World->EndTimer, 100);
}

TEST_F(WorldTest, SpaceEndsWithTheWinnerWithoutHaltingTheGame) {
  Input.MouseY = 200;
  Frame();
  Bus->Crosses[0]->Launch(300, 100);
  Input.Keys[Vk::Space] = 1;
  Frame();
  EXPECT_EQ(World->Ending, TGameEnding::Space);
  EXPECT_FALSE(Game->Agent->IsHalted());
  EXPECT_EQ(All<TCenteredKeyedPicture>().size(), 1u);
  EXPECT_EQ(PixelAt(Game->FrameBuffer, 400, 300), WinnerColour) << "shown at once";
  Frame(3);
  EXPECT_TRUE(Bus->Crosses[0]->IsFlying()) << "shots keep flying";
  EXPECT_EQ(Bus->Crosses[0]->X, 320);
  EXPECT_EQ(All<TCenteredKeyedPicture>().size(), 1u) << "held Space starts nothing more";
}

TEST_F(WorldTest, LaterEventsChangeNothingOnceAnEndingBegan) {
  Input.Keys[Vk::Space] = 1;
  Frame();
  Input.Keys[Vk::Space] = 0;
  Frame(10);
  Bus->SetHealth(0);
  BossNow()->SetHealth(0);
  Frame();
  EXPECT_EQ(World->Ending, TGameEnding::Space);
  EXPECT_FALSE(Game->Agent->IsHalted());
  EXPECT_TRUE(All<TCenteredPicture>().empty());
  EXPECT_EQ(All<TCenteredKeyedPicture>().size(), 1u);
  EXPECT_EQ(World->EndTimer, 100 - 11);
}

TEST_F(WorldTest, LostGameStaysLostWhenTheBossDiesLater) {
  Bus->SetHealth(-1);
  Frame();
  BossNow()->SetHealth(0);
  Input.Keys[Vk::Space] = 1;
  Frame();
  EXPECT_EQ(World->Ending, TGameEnding::Lost);
  EXPECT_TRUE(All<TCenteredKeyedPicture>().empty());
}

TEST_F(WorldTest, AgentIsFinishedExactlyOneHundredFramesAfterTheEndingBegan) {
  Frame(7);
  Bus->SetHealth(0);
  Frame();  // the ending begins in this frame
  for (int i = 1; i <= 99; ++i) {
    Frame();
    ASSERT_FALSE(Game->Agent->IsFinished()) << i << " frames after";
  }
  Frame();
  EXPECT_TRUE(Game->Agent->IsFinished());
  EXPECT_EQ(World->EndTimer, 1);
}
