// The bomber: its first moves, flight and grenade drops with random points, a full
// magazine, who its grenades spare, the death sequence to the joint explosion, and the
// picture width its random points need.
#include "game/bomber.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "entity/agent.h"
#include "game/game_fixture.h"
#include "game/random.h"
#include "gfx/boxes.h"

using ::testing::ElementsAre;

class BomberTest : public TGameFixture {
 protected:
  TDrumbo* NewDrumbo(int16_t x, int16_t y) { return Place(new TDrumbo(x, y, Agent())); }
  static int Flying(const TDrumbo& d) {
    int n = 0;
    for (TGrenade* g : d.Grenades)
      n += g != nullptr && g->IsFlying() ? 1 : 0;
    return n;
  }
};

TEST_F(BomberTest, RegistersEightyGrenadesBeforeItself) {
  TDrumbo* drumbo = NewDrumbo(800, 10);
  EXPECT_EQ(drumbo->Kind(), KindBomber);
  EXPECT_EQ(drumbo->GetHealth(), 100);
  EXPECT_EQ(drumbo->FallDelay, 20);
  for (int i = 0; i < TDrumbo::PoolSize; ++i) {
    ASSERT_EQ(Scene.EntityAt(static_cast<uint16_t>(2 + i)), drumbo->Grenades[i]) << i;
    EXPECT_EQ(drumbo->Grenades[i]->Owner, drumbo);
  }
  EXPECT_EQ(Scene.EntityAt(82), drumbo);
}

TEST_F(BomberTest, FromTheRightEdgeItReachesTheTopThenDropsAndPicksARandomPoint) {
  SeedRandom(2024);
  std::mt19937 reference(2024);
  TDrumbo* drumbo = NewDrumbo(800, 10);
  EXPECT_TRUE(drumbo->Update());
  EXPECT_EQ(drumbo->GetPosition(), (TPoint16{790, 0})) << "x steps 10, y snaps from 10 to 0";
  EXPECT_EQ(Flying(*drumbo), 0);

  drumbo->Update();
  EXPECT_EQ(drumbo->GetPosition(), (TPoint16{790, 0})) << "arriving, it does not move";
  EXPECT_EQ(Flying(*drumbo), 1);
  EXPECT_TRUE(drumbo->Grenades[0]->IsFlying());
  EXPECT_EQ(drumbo->Grenades[0]->GetPosition(), (TPoint16{790, DrumboH + 10}));
  const uint64_t rx = reference(), ry = reference();
  EXPECT_EQ(drumbo->TargetX, static_cast<int16_t>(((rx * (600 - DrumboW)) >> 32) + 200));
  EXPECT_EQ(drumbo->TargetY, static_cast<int16_t>(((ry * 395) >> 32) + 10));
}

TEST_F(BomberTest, FliesTenPixelsPerAxisAndSnapsWhenCloser) {
  TDrumbo* drumbo = NewDrumbo(500, 300);
  drumbo->TargetX = 300;
  drumbo->TargetY = 306;
  drumbo->Update();
  EXPECT_EQ(drumbo->GetPosition(), (TPoint16{490, 306}));
  EXPECT_EQ(Flying(*drumbo), 0) << "y arrived this frame; the drop comes in the next";
  drumbo->Update();
  EXPECT_EQ(drumbo->GetPosition(), (TPoint16{490, 306}));
  EXPECT_EQ(Flying(*drumbo), 1);

  drumbo->TargetX = 481;
  drumbo->TargetY = 321;
  drumbo->Update();
  EXPECT_EQ(drumbo->GetPosition(), (TPoint16{481, 316})) << "9 away snaps; 15 away steps 10";
}

TEST_F(BomberTest, PointAtItsOwnHeightCountsAsReachedAtOnce) {
  TDrumbo* drumbo = NewDrumbo(500, 300);
  drumbo->TargetX = 250;
  drumbo->TargetY = 300;
  drumbo->Update();
  EXPECT_EQ(drumbo->GetPosition(), (TPoint16{500, 300}));
  EXPECT_EQ(Flying(*drumbo), 1);
  EXPECT_GE(drumbo->TargetX, 200);
  EXPECT_LE(drumbo->TargetX, 799 - DrumboW);
  EXPECT_GE(drumbo->TargetY, 10);
  EXPECT_LE(drumbo->TargetY, 404);
}

TEST_F(BomberTest, WithAllEightyInFlightArrivingDropsNothing) {
  TDrumbo* drumbo = NewDrumbo(500, 300);
  for (TGrenade* g : drumbo->Grenades)
    g->Launch(100, 550);
  drumbo->TargetY = 300;
  SeedRandom(1);
  drumbo->Update();
  EXPECT_EQ(Flying(*drumbo), 80);
  for (TGrenade* g : drumbo->Grenades)
    EXPECT_EQ(g->GetPosition(), (TPoint16{100, 550}));
  std::mt19937 reference(1);
  EXPECT_EQ(drumbo->TargetX,
            static_cast<int16_t>(((uint64_t{reference()} * (600 - DrumboW)) >> 32) + 200))
      << "a new point is chosen all the same";
}

TEST_F(BomberTest, ItsOwnGrenadesSpareItAndOwnerlessOnesDoNot) {
  TDrumbo* drumbo = NewDrumbo(400, 200);
  drumbo->Grenades[5]->Launch(420, 220);
  Frame();
  EXPECT_EQ(drumbo->GetHealth(), 100);
  EXPECT_TRUE(drumbo->Grenades[5]->IsFlying());
  EXPECT_TRUE(Effects().empty());
  drumbo->Grenades[5]->StopFlight();  // it would stop the ownerless grenade first

  auto* ownerless = Place(new TGrenade(Agent(), nullptr));
  ownerless->Launch(static_cast<int16_t>(drumbo->X + 20), static_cast<int16_t>(drumbo->Y + 20));
  Frame();
  EXPECT_EQ(drumbo->GetHealth(), 80);
  EXPECT_FALSE(ownerless->IsFlying());
  EXPECT_EQ(Effects().size(), 1u);
}

TEST_F(BomberTest, HaltStopsItsGrenadesButNotTheBomber) {
  SeedRandom(3);
  TDrumbo* drumbo = NewDrumbo(500, 300);
  drumbo->TargetX = 300;
  drumbo->TargetY = 100;
  Agent()->SetHalted(true);
  Frame();
  EXPECT_EQ(drumbo->GetPosition(), (TPoint16{490, 290}));
  drumbo->TargetY = drumbo->Y;
  Frame();  // drops in its update, after its grenades were updated
  EXPECT_EQ(Flying(*drumbo), 1);
  drumbo->TargetX = 300;
  drumbo->TargetY = 100;
  Frame();
  EXPECT_EQ(Flying(*drumbo), 0);
  EXPECT_EQ(drumbo->GetPosition(), (TPoint16{480, 280}));
}

TEST_F(BomberTest, DeathSequenceEndsInOneJointExplosion) {
  TDrumbo* drumbo = NewDrumbo(400, 100);
  drumbo->TargetX = 300;
  drumbo->TargetY = 50;
  drumbo->Grenades[0]->Launch(700, 500);
  drumbo->SetHealth(0);
  Frame();
  ASSERT_TRUE(drumbo->Dying);
  EXPECT_EQ(drumbo->GetPosition(), (TPoint16{390, 90})) << "it still flies in that frame";
  auto* falling = dynamic_cast<TFallingGrenade*>(Scene.EntityAt(83));
  ASSERT_NE(falling, nullptr);
  EXPECT_EQ(falling->Owner, drumbo);
  EXPECT_EQ(falling->X, 390);
  const int16_t launchedAt = 90 + DrumboH + 30;
  EXPECT_EQ(falling->Y, launchedAt + 2) << "added above the bomber, it fell in that frame too";

  drumbo->TargetY = drumbo->Y;  // would be an arrival, but a dying bomber drops nothing
  Frame(20);
  EXPECT_EQ(drumbo->GetPosition(), (TPoint16{390, 90})) << "hovers 20 frames";
  EXPECT_EQ(Flying(*drumbo), 1);
  Frame();
  EXPECT_EQ(drumbo->Y, 94) << "then falls 4 pixels a frame";

  int frames = 0;
  while (Effects().empty() && frames < 200) {
    drumbo->Hit(5);  // further hits only lower its health
    Frame();
    ++frames;
  }
  // The grenade's top was 70 pixels below the bomber's bottom; it closes 2 pixels a frame,
  // and the boxes touch once the top is strictly above that bottom.
  EXPECT_EQ(frames, 37);
  ASSERT_EQ(Effects().size(), 1u);
  EXPECT_TRUE(InScene(drumbo)) << "both are destroyed at the start of the next frame";
  const int16_t grenadeY = static_cast<int16_t>(falling->Y - 2);  // as the pass saw it
  EXPECT_THAT(Effects(), ElementsAre(TEffect{"explosion", 390 + GrenadeW / 4 - 32,
                                             static_cast<int16_t>(grenadeY - 32), 16, true}));
  EXPECT_EQ(drumbo->GetHealth(), -5 * frames);

  Frame();
  EXPECT_FALSE(InScene(drumbo));
  EXPECT_FALSE(InScene(falling));
  EXPECT_EQ(CountOf<TGrenade>(), 0) << "its whole magazine, in flight or not, went with it";
  EXPECT_EQ(Effects().size(), 1u) << "one explosion for the two";
}

TEST_F(BomberTest, PictureSixHundredWideIsRefusedWithABoxNamingIt) {
  TGameDataSet data = GameData();
  data.Pictures["drumbo.pcx"].Width = 600;
  UseData(data);
  EXPECT_THROW(TDrumbo(800, 10, Agent()), TProgramExit);
  ASSERT_EQ(Platform->Boxes.size(), 1u);
  EXPECT_NE(Platform->Boxes[0].Text.find("drumbo.pcx"), std::string::npos)
      << Platform->Boxes[0].Text;
  EXPECT_EQ(Platform->Boxes[0].Kind, TBoxKind::Error);
  EXPECT_EQ(Scene.EntityAt(2), nullptr) << "no grenade was registered";
}

TEST_F(BomberTest, PictureJustNarrowerThan600LeavesTwoColumnsToChooseFrom) {
  TGameDataSet data = GameData();
  data.Pictures["drumbo.pcx"].Width = 598;
  UseData(data);
  TDrumbo* drumbo = NewDrumbo(800, 10);
  std::set<int16_t> columns;
  for (int i = 0; i < 40; ++i) {
    drumbo->TargetY = drumbo->Y;
    drumbo->Update();
    columns.insert(drumbo->TargetX);
  }
  EXPECT_EQ(columns, (std::set<int16_t>{200, 201}));
}
