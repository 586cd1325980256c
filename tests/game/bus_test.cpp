// The player's bus: its place in the scene, steering limits, the fire cadence with an empty
// magazine, and the blood and explosion its hits show.
#include "game/bus.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "entity/agent.h"
#include "game/enemies.h"
#include "game/game_fixture.h"
#include "game/status_display.h"
#include "gfx/window.h"

using ::testing::ElementsAre;

class BusTest : public TGameFixture {
 protected:
  static constexpr int16_t StartY = (600 - BusH) / 2;

  // The bus in its scene: displays in slots 2 and 3, crosses in 4 to 13, the bus in 14.
  TPlayerBus* NewBus() { return Place(new TPlayerBus(Agent())); }
  int Flying(const TPlayerBus& bus) {
    int n = 0;
    for (THolyCross* cross : bus.Crosses)
      n += cross->IsFlying() ? 1 : 0;
    return n;
  }
  static TEffect Blood(int16_t busY) {
    return {"blood", 5 + BusW / 2 - 32, static_cast<int16_t>(busY + BusH / 2 - 32), 4, true};
  }
  static TEffect Explosion(int16_t busY) {
    return {"explosion", 5 + BusW / 4 - 32, static_cast<int16_t>(busY - 32), 16, true};
  }
};

TEST_F(BusTest, StartsAtTheLeftEdgeWithItsDisplaysAndCrossesInEarlierSlots) {
  TPlayerBus* bus = NewBus();
  EXPECT_EQ(bus->X, 5);
  EXPECT_EQ(bus->Y, 274) << "(600 - 51) / 2 truncates";
  EXPECT_EQ(bus->GetHealth(), 100);
  EXPECT_EQ(bus->Kind(), KindPlayer);
  EXPECT_EQ(Agent()->FindPlayer(), bus);

  ASSERT_EQ(Scene.EntityAt(2), bus->HealthDisplay);
  EXPECT_EQ(bus->HealthDisplay->GetPosition(), (TPoint16{10, 10}));
  EXPECT_EQ(bus->HealthDisplay->Watched, bus);
  EXPECT_EQ(bus->HealthDisplay->MaxHealth, 100);
  ASSERT_EQ(Scene.EntityAt(3), bus->AmmoDisplay);
  EXPECT_EQ(bus->AmmoDisplay->GetPosition(), (TPoint16{45, 10}));
  for (int i = 0; i < TPlayerBus::MagazineSize; ++i) {
    EXPECT_EQ(Scene.EntityAt(static_cast<uint16_t>(4 + i)), bus->Crosses[i]) << i;
    EXPECT_EQ(bus->Crosses[i]->Owner, bus);
    EXPECT_FALSE(bus->Crosses[i]->IsFlying());
  }
  EXPECT_EQ(Scene.EntityAt(14), bus);
}

TEST_F(BusTest, FollowsTheMouseBetween40And425) {
  TPlayerBus* bus = NewBus();
  const std::pair<uint16_t, int16_t> cases[] = {{0, 40},    {39, 40},   {40, 40},
                                                {41, 41},   {300, 300}, {424, 424},
                                                {425, 425}, {426, 425}, {599, 425}};
  for (const auto& [mouse, y] : cases) {
    Input.MouseY = mouse;
    Input.MouseX = 700;
    EXPECT_TRUE(bus->Update());
    EXPECT_EQ(bus->Y, y) << "mouse at " << mouse;
    EXPECT_EQ(bus->X, 5) << "the cursor's x is not used";
  }
}

TEST_F(BusTest, HeldButtonFiresEverySixthFrameFromBesideTheBus) {
  TPlayerBus* bus = NewBus();
  Input.MouseY = 200;
  Input.MouseLeft = true;
  std::vector<int> shots;
  int flying = 0;
  for (int frame = 1; frame <= 19; ++frame) {
    Frame();
    if (Flying(*bus) > flying) shots.push_back(frame);
    flying = Flying(*bus);
    if (frame == 1) {
      EXPECT_EQ(bus->Crosses[0]->GetPosition(), (TPoint16{5 + BusW + 5, 200 + BusH / 2}));
      EXPECT_EQ(Shown(*bus->AmmoDisplay), " 9");
    }
  }
  EXPECT_THAT(shots, ElementsAre(1, 7, 13, 19));
  EXPECT_EQ(bus->Shots.Fired, 4u);
  EXPECT_EQ(bus->Crosses[1]->X, 5 + BusW + 5 + 12 * 5) << "launched in frame 7, moved since";

  Input.MouseLeft = false;
  Frame(6);
  EXPECT_EQ(Flying(*bus), 4) << "no shot without the button";
}

TEST_F(BusTest, EmptyMagazineFiresNothingAndTheNextShotLeavesWhenACrossIsBack) {
  TPlayerBus* bus = NewBus();
  Input.MouseY = 200;
  Input.MouseLeft = true;
  // All ten in flight; the fourth is 14 pixels from going idle at x 801.
  for (int i = 0; i < TPlayerBus::MagazineSize; ++i)
    bus->Crosses[i]->Launch(i == 3 ? 786 : 100, 500);
  Frame(2);
  EXPECT_EQ(Flying(*bus), 10);
  EXPECT_EQ(bus->FireCooldown, 0) << "an empty magazine starts no cooldown";
  EXPECT_EQ(Shown(*bus->AmmoDisplay), " 0");
  EXPECT_EQ(bus->Crosses[3]->X, 796);

  Frame();  // the cross goes idle in its own update, before the bus's
  EXPECT_TRUE(bus->Crosses[3]->IsFlying()) << "launched again in the same frame";
  EXPECT_EQ(bus->Crosses[3]->GetPosition(), (TPoint16{5 + BusW + 5, 200 + BusH / 2}));
  EXPECT_EQ(bus->FireCooldown, 5);
  EXPECT_EQ(Shown(*bus->AmmoDisplay), " 0");
}

TEST_F(BusTest, TwoHitsInOneFrameShowTwoBloodSplashes) {
  TPlayerBus* bus = NewBus();
  Input.MouseY = StartY;
  Place(new TMnM(20, 280, Agent()));
  Place(new TMnM(40, 290, Agent()));
  Frame();
  EXPECT_EQ(bus->GetHealth(), 70);
  EXPECT_THAT(Effects(), ElementsAre(Blood(StartY), Blood(StartY)));
  EXPECT_EQ(CountOf<TMnM>(), 2) << "they go at the start of the next frame";
  Frame();
  EXPECT_EQ(CountOf<TMnM>(), 0);
}

TEST_F(BusTest, KillingHitShowsTheExplosionAndLaterHitsNothing) {
  TPlayerBus* bus = NewBus();
  bus->Y = 300;
  bus->Hit(15);
  EXPECT_EQ(bus->GetHealth(), 85);
  bus->Hit(85);
  EXPECT_EQ(bus->GetHealth(), 0);
  EXPECT_THAT(Effects(), ElementsAre(Blood(300), Explosion(300)));
  bus->Hit(20);
  bus->Hit(-50);  // not even healing reaches a dead bus
  EXPECT_EQ(bus->GetHealth(), 0);
  EXPECT_EQ(Effects().size(), 2u);
}

TEST_F(BusTest, CarrotOnSixtyLeavesMinusFifteenShownInThreeCharacters) {
  TPlayerBus* bus = NewBus();
  Input.MouseY = StartY;
  bus->SetHealth(60);
  Place(new TCarrot(30, 280, Agent()));
  Frame();
  EXPECT_EQ(bus->GetHealth(), -15);
  EXPECT_EQ(Shown(*bus->HealthDisplay), "-15") << "the display is updated after the pass";
  EXPECT_THAT(Effects(), ElementsAre(Explosion(StartY)));
}

TEST_F(BusTest, DeadBusIsNotDrawnButStillSteersAndFires) {
  TPlayerBus* bus = NewBus();
  bus->SetHealth(0);
  Input.MouseY = 100;
  Input.MouseLeft = true;
  EXPECT_FALSE(bus->Update());
  EXPECT_EQ(bus->Y, 100);
  EXPECT_TRUE(bus->Crosses[0]->IsFlying());
}

TEST_F(BusTest, ItsOwnCrossesPassThroughIt) {
  TPlayerBus* bus = NewBus();
  Input.MouseY = StartY;
  bus->Crosses[0]->Launch(20, 290);
  Frame();
  EXPECT_EQ(bus->GetHealth(), 100);
  EXPECT_TRUE(bus->Crosses[0]->IsFlying());
  EXPECT_TRUE(Effects().empty());
}
