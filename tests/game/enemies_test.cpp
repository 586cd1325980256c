// The carrot and the m&m: the carrot's first direction, bounce and left edge, what each
// rams and ignores, and the m&m's search for the player and its homing.
#include "game/enemies.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "entity/agent.h"
#include "game/bus.h"
#include "game/game_fixture.h"
#include "gfx/window.h"

using ::testing::ElementsAre;

class EnemiesTest : public TGameFixture {};

// ---- Carrot ----------------------------------------------------------------------------

TEST_F(EnemiesTest, CarrotChoosesItsFirstDirectionByItsCentreWithoutMoving) {
  struct TCase {
    int16_t Y;
    int16_t SecondY;
  };
  // 400 moves up; 40 moves down; the centre at exactly 300 (270 + 61 / 2) still moves down.
  for (const TCase c : {TCase{400, 395}, TCase{40, 45}, TCase{270, 275}, TCase{271, 266}}) {
    TCarrot carrot(800, c.Y, Agent());
    EXPECT_TRUE(carrot.Update());
    EXPECT_EQ(carrot.GetPosition(), (TPoint16{799, c.Y})) << "no vertical move at first";
    carrot.Update();
    EXPECT_EQ(carrot.Y, c.SecondY) << "from y " << c.Y;
    EXPECT_EQ(carrot.X, 798);
  }
}

TEST_F(EnemiesTest, CarrotBouncesBetween40AndABottomEdgeOf425) {
  struct TCase {
    int16_t StartY, Top, Bottom;
  };
  // From 40 it reaches 40 again on its way up and turns only below it; from 44 its bottom
  // edge reaches 425 exactly and turns only past it.
  for (const TCase c : {TCase{40, 35, 365}, TCase{44, 39, 369}}) {
    TCarrot carrot(700, c.StartY, Agent());
    int16_t top = c.StartY, bottom = c.StartY;
    for (int i = 0; i < 300; ++i) {
      carrot.Update();
      top = std::min(top, carrot.Y);
      bottom = std::max(bottom, carrot.Y);
    }
    EXPECT_EQ(bottom, c.Bottom) << "from " << c.StartY;
    EXPECT_EQ(top, c.Top) << "from " << c.StartY;
    EXPECT_EQ(carrot.X, 400);
  }
}

TEST_F(EnemiesTest, CarrotPastTheLeftEdgeIsDestroyed) {
  TCarrot* carrot = Place(new TCarrot(11, 200, Agent()));
  Frame(2);
  EXPECT_EQ(carrot->X, 9);
  EXPECT_TRUE(InScene(carrot)) << "x 10 is kept; at 9 it is queued";
  Frame();
  EXPECT_FALSE(InScene(carrot));
}

TEST_F(EnemiesTest, TwoCarrotsThatTouchDestroyEachOther) {
  TCarrot* a = Place(new TCarrot(400, 200, Agent()));
  TCarrot* b = Place(new TCarrot(410, 210, Agent()));
  Frame();
  EXPECT_EQ(a->GetHealth(), 25);
  EXPECT_EQ(b->GetHealth(), 25);
  Frame();
  EXPECT_FALSE(InScene(a));
  EXPECT_FALSE(InScene(b));
  EXPECT_TRUE(Effects().empty()) << "no effect animation for enemies";
}

TEST_F(EnemiesTest, CarrotKillsAnMnMThatIgnoresIt) {
  TMnM* mnm = Place(new TMnM(410, 210, Agent()));
  TCarrot* carrot = Place(new TCarrot(400, 200, Agent()));
  Frame();
  EXPECT_EQ(mnm->GetHealth(), 20 - 75);
  EXPECT_EQ(carrot->GetHealth(), 100);
  Frame();
  EXPECT_FALSE(InScene(mnm));
  EXPECT_FALSE(InScene(carrot)) << "a ramming carrot goes too";
}

TEST_F(EnemiesTest, CarrotRamsAnyActorButLeavesShotsToTheirRule) {
  TVictim* boss = Place(new TVictim(400, 200, Agent(), KindBoss));
  TCarrot* carrot = Place(new TCarrot(410, 210, Agent()));
  Frame();
  EXPECT_THAT(boss->Hits, ElementsAre(75));

  TVictim* owner = Place(new TVictim(600, 550, Agent(), KindPlayer));
  TCarrot* shotAt = Place(new TCarrot(200, 100, Agent()));
  shotAt->SetHealth(10);
  auto* cross = Place(new THolyCross(Agent(), owner));
  cross->Launch(205, 105);
  Frame();
  EXPECT_FALSE(InScene(carrot));
  EXPECT_EQ(shotAt->GetHealth(), 5) << "a cross deals 5";
  EXPECT_EQ(cross->GetHealth(), 1) << "the carrot deals nothing to a shot";
  EXPECT_TRUE(InScene(shotAt));
  cross->Launch(shotAt->X + 5, shotAt->Y + 5);
  Frame();
  EXPECT_EQ(shotAt->GetHealth(), 0);
  Frame();
  EXPECT_FALSE(InScene(shotAt)) << "shot down";
}

// ---- M&m -------------------------------------------------------------------------------

TEST_F(EnemiesTest, MnMWithNoPlayerStaysAndSearchesEveryFrame) {
  TShyPlayer* player = Place(new TShyPlayer(5, 280, Agent()));
  TMnM* mnm = Place(new TMnM(500, 300, Agent()));
  Frame(3);
  EXPECT_EQ(mnm->GetPosition(), (TPoint16{500, 300}));
  EXPECT_EQ(player->Asked, 3);
  EXPECT_EQ(mnm->Target, nullptr);

  player->Found = true;
  Frame();
  EXPECT_EQ(mnm->Target, player);
  EXPECT_EQ(mnm->GetPosition(), (TPoint16{500, 300})) << "finding is all it does that frame";
  Frame();
  EXPECT_EQ(player->Asked, 4) << "no search while it has its target";
  // The player's centre is 280 + 40 / 2 = 300; the m&m's 300 + 31 / 2 = 315.
  EXPECT_EQ(mnm->GetPosition(), (TPoint16{490, 290}));
}

TEST_F(EnemiesTest, MnMHomesWithADeadBandOfTenAndStopsAtThePlayersLeftEdge) {
  TVictim* player = Place(new TVictim(5, 280, Agent(), KindPlayer));  // centre y 300
  struct TCase {
    int16_t X, Y;
    TPoint16 After;
  };
  const TCase cases[] = {
      {300, 295, {290, 295}},  // centre 310: within the band
      {300, 296, {290, 286}},  // centre 311: up
      {300, 275, {290, 275}},  // centre 290: within the band
      {300, 274, {290, 284}},  // centre 289: down
      {14, 285, {4, 285}},     // left of x 5 after this step
      {4, 285, {4, 285}},      // no further than the player's left edge
      {5, 285, {5, 285}},
  };
  for (const TCase& c : cases) {
    TMnM mnm(c.X, c.Y, Agent());
    mnm.Target = player;
    EXPECT_TRUE(mnm.Update());
    EXPECT_EQ(mnm.GetPosition(), c.After) << "from " << c.X << "," << c.Y;
  }
}

TEST_F(EnemiesTest, MnMRamsThePlayerFor15AndVanishes) {
  Input.MouseY = 274;
  TPlayerBus* bus = Place(new TPlayerBus(Agent()));
  TMnM* mnm = Place(new TMnM(95, 280, Agent()));
  Frame(2);  // finds the bus, then steps into it
  EXPECT_EQ(mnm->X, 85);
  EXPECT_EQ(bus->GetHealth(), 100);
  Frame();
  EXPECT_EQ(bus->GetHealth(), 85);
  Frame();
  EXPECT_FALSE(InScene(mnm));
}

TEST_F(EnemiesTest, MnMShotDownOnItsWayDealsNothingToTheBus) {
  Input.MouseY = 274;
  TPlayerBus* bus = Place(new TPlayerBus(Agent()));
  TMnM* mnm = Place(new TMnM(95, 280, Agent()));
  Frame();
  mnm->SetHealth(5);
  bus->Crosses[0]->Launch(100, 285);
  Frame();  // the cross kills it, then it steps into the bus
  EXPECT_EQ(mnm->X, 85);
  EXPECT_FALSE(mnm->IsAlive());
  Frame();
  EXPECT_FALSE(InScene(mnm));
  EXPECT_EQ(bus->GetHealth(), 100);
}

TEST_F(EnemiesTest, MnMIgnoresActorsOtherThanThePlayer) {
  TVictim* victim = Place(new TVictim(500, 300, Agent(), KindCarrot));
  TMnM* mnm = Place(new TMnM(505, 305, Agent()));
  Frame(2);
  EXPECT_TRUE(victim->Hits.empty());
  EXPECT_TRUE(InScene(mnm));
}

TEST_F(EnemiesTest, MnMDropsADestroyedTargetAndSearchesAgain) {
  TVictim* player = Place(new TVictim(5, 280, Agent(), KindPlayer));
  TMnM* mnm = Place(new TMnM(500, 300, Agent()));
  mnm->Target = player;
  Agent()->QueueDestroy(player);
  EXPECT_EQ(mnm->Target, nullptr) << "at once, though the player is still in its slot";
  EXPECT_TRUE(InScene(player));
  Frame();
  EXPECT_EQ(mnm->GetPosition(), (TPoint16{500, 300}));
}
