// The boss: her entrance, the duel's cadence and approach, the series of quick hits that
// sends her dashing (and the pause that restarts it), her dashes, and the half-box that
// alternates from frame to frame.
#include "game/boss.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "entity/agent.h"
#include "game/bus.h"
#include "game/game_fixture.h"
#include "game/status_display.h"
#include "gfx/window.h"

using ::testing::ElementsAre;

class BossTest : public TGameFixture {
 protected:
  static constexpr int16_t StartY = (600 - BossH) / 2;  // 219: her centre at 299
  static constexpr int16_t InPlaceX = 780 - BossW;

  // A bus whose centre (274 + 51 / 2 = 299) is level with hers.
  TPlayerBus* LevelBus() {
    Input.MouseY = 274;
    return Place(new TPlayerBus(Agent()));
  }
  TZelvina* NewBoss() { return Place(new TZelvina(Agent())); }
  // A boss past her entrance, dueling `target`.
  TZelvina* Dueling(TBaseEntity* target) {
    TZelvina* boss = NewBoss();
    boss->X = InPlaceX;
    boss->Target = target;
    return boss;
  }
  // `idle` updates without a hit, then a hit and the update that counts it.
  static void HitAfter(TZelvina& boss, int idle) {
    for (int i = 0; i < idle; ++i)
      boss.Update();
    boss.Hit(5);
    boss.Update();
  }
  static int Flying(const TZelvina& boss) {
    int n = 0;
    for (TMedRed* p : boss.Pellets)
      n += p->IsFlying() ? 1 : 0;
    return n;
  }
};

TEST_F(BossTest, StartsAtTheRightEdgeWithDisplaysAndEightyPelletsBeforeHer) {
  TZelvina* boss = NewBoss();
  EXPECT_EQ(boss->GetPosition(), (TPoint16{799, StartY}));
  EXPECT_EQ(boss->GetHealth(), 200);
  EXPECT_EQ(boss->Kind(), KindBoss);
  ASSERT_EQ(Scene.EntityAt(2), boss->HealthDisplay);
  EXPECT_EQ(boss->HealthDisplay->GetPosition(), (TPoint16{750, 10}));
  EXPECT_EQ(boss->HealthDisplay->MaxHealth, 200);
  EXPECT_EQ(boss->HealthDisplay->Watched, boss);
  ASSERT_EQ(Scene.EntityAt(3), boss->AmmoDisplay);
  EXPECT_EQ(boss->AmmoDisplay->GetPosition(), (TPoint16{720, 10}));
  for (int i = 0; i < TZelvina::PoolSize; ++i) {
    ASSERT_EQ(Scene.EntityAt(static_cast<uint16_t>(4 + i)), boss->Pellets[i]);
    EXPECT_EQ(boss->Pellets[i]->Owner, boss);
  }
  EXPECT_EQ(Scene.EntityAt(84), boss);
}

TEST_F(BossTest, FirstFrameOnlySlidesInFindsThePlayerAndTogglesHerBox) {
  TPlayerBus* bus = LevelBus();
  TZelvina* boss = NewBoss();
  boss->Hit(5);
  EXPECT_TRUE(boss->Update());
  EXPECT_EQ(boss->GetPosition(), (TPoint16{798, StartY}));
  EXPECT_EQ(boss->Target, bus);
  EXPECT_TRUE(boss->BoxToggle);
  EXPECT_EQ(Flying(*boss), 0) << "lined up, but the duel starts in the next frame";
  EXPECT_EQ(boss->HitCount, 0);

  boss->Update();
  EXPECT_EQ(Flying(*boss), 1);
  EXPECT_EQ(boss->Pellets[0]->GetPosition(), (TPoint16{797 - 10, StartY + BossH / 2}));
  EXPECT_EQ(boss->HitCount, 1) << "the entrance frame's hit is counted now";
  EXPECT_FALSE(boss->BoxToggle);
}

TEST_F(BossTest, SlidesInUntilHerRightEdgeIsTwentyFromTheScreenEdge) {
  TZelvina* boss = NewBoss();
  for (int i = 0; i < 200; ++i)
    boss->Update();
  EXPECT_EQ(boss->X, InPlaceX);
  EXPECT_EQ(boss->Y, StartY) << "with no player she only slides";
  EXPECT_EQ(boss->Target, nullptr);
}

TEST_F(BossTest, LinedUpSheFiresAtOnceThenEveryEleventhFrame) {
  LevelBus();
  TZelvina* boss = NewBoss();
  std::vector<int> shots;
  int flying = 0;
  for (int frame = 1; frame <= 36; ++frame) {
    Frame();
    if (Flying(*boss) > flying) shots.push_back(frame);
    flying = Flying(*boss);
  }
  EXPECT_THAT(shots, ElementsAre(2, 13, 24, 35));
  EXPECT_EQ(boss->Y, StartY);
  EXPECT_EQ(Shown(*boss->AmmoDisplay), "76");
}

TEST_F(BossTest, OutOfLineSheClosesInFivePixelsAFrameWhileTheCooldownRuns) {
  TVictim* player = Place(new TVictim(5, 45, Agent(), KindPlayer));  // centre y 65
  TZelvina* boss = Dueling(player);
  boss->FireCooldown = 3;
  boss->Update();
  EXPECT_EQ(boss->Y, StartY - 5);
  EXPECT_EQ(boss->FireCooldown, 2);
  EXPECT_EQ(Flying(*boss), 0);

  boss->Y = 16;  // centre 96: 31 below the player's
  boss->FireCooldown = 0;
  boss->Update();
  EXPECT_EQ(boss->Y, 11);
  EXPECT_EQ(Flying(*boss), 0);
  boss->Y = 15;  // centre 95: 30 counts as lined up
  boss->Update();
  EXPECT_EQ(boss->Y, 15);
  EXPECT_EQ(Flying(*boss), 1);
  EXPECT_EQ(boss->FireCooldown, 10);

  player->Y = 500;  // centre 520: she moves down
  boss->Update();
  EXPECT_EQ(boss->Y, 20);
  EXPECT_EQ(boss->FireCooldown, 9);
}

TEST_F(BossTest, FiveHitsEachWithinThirtyFramesSendHerDashing) {
  TZelvina* boss = Dueling(LevelBus());
  HitAfter(*boss, 0);
  for (int i = 0; i < 3; ++i)
    HitAfter(*boss, 29);
  EXPECT_EQ(boss->HitCount, 4);
  EXPECT_EQ(boss->Mode, TZelvina::Duel);
  HitAfter(*boss, 29);
  EXPECT_EQ(boss->Mode, TZelvina::DashDown) << "her centre is at 299, in the upper half";
  EXPECT_EQ(boss->HitCount, 0);
  EXPECT_EQ(boss->Y, StartY + 10) << "the dash starts in the same update";
}

TEST_F(BossTest, PauseOfMoreThanThirtyFramesRestartsTheCountAtOne) {
  TZelvina* boss = Dueling(LevelBus());
  HitAfter(*boss, 0);
  for (int i = 0; i < 3; ++i)
    HitAfter(*boss, 29);
  HitAfter(*boss, 30);
  EXPECT_EQ(boss->HitCount, 1);
  EXPECT_EQ(boss->HitFrames, 0);
  for (int i = 0; i < 3; ++i)
    HitAfter(*boss, 29);
  EXPECT_EQ(boss->Mode, TZelvina::Duel) << "four in the new series";
  HitAfter(*boss, 29);
  EXPECT_EQ(boss->Mode, TZelvina::DashDown);
}

TEST_F(BossTest, SeveralHitsInOneFrameCountOnce) {
  TZelvina* boss = Dueling(LevelBus());
  for (int i = 0; i < 6; ++i)
    boss->Hit(5);
  boss->Update();
  EXPECT_EQ(boss->HitCount, 1);
  EXPECT_EQ(boss->GetHealth(), 170);
  EXPECT_FALSE(boss->WasHit);
}

TEST_F(BossTest, HitFramesStopsAt255SoALongPauseNeverLooksQuick) {
  TZelvina* boss = Dueling(LevelBus());
  HitAfter(*boss, 0);
  for (int i = 0; i < 300; ++i)
    boss->Update();
  EXPECT_EQ(boss->HitFrames, 255);
  boss->Hit(5);
  boss->Update();
  EXPECT_EQ(boss->HitCount, 1);

  HitAfter(*boss, 255);  // a byte that wrapped would read 0 here
  EXPECT_EQ(boss->HitCount, 1);
  EXPECT_EQ(boss->Mode, TZelvina::Duel);
}

TEST_F(BossTest, CentreAtExactly300DashesDownAndBelowItUp) {
  TZelvina* down = Dueling(LevelBus());
  down->Y = 300 - BossH / 2;
  down->HitCount = 4;
  down->Hit(5);
  down->Update();
  EXPECT_EQ(down->Mode, TZelvina::DashDown);

  TZelvina* up = Dueling(down->Target);
  up->Y = 301 - BossH / 2;
  up->HitCount = 4;
  up->Hit(5);
  up->Update();
  EXPECT_EQ(up->Mode, TZelvina::DashUp);
}

TEST_F(BossTest, DashMovesTenAndFiresEveryFrameUntilPastItsEdge) {
  TZelvina* boss = Dueling(LevelBus());
  boss->Mode = TZelvina::DashDown;
  boss->Y = 215;
  boss->FireCooldown = 7;
  int frames = 0;
  while (boss->Mode == TZelvina::DashDown && frames < 100) {
    boss->Update();
    ++frames;
    EXPECT_EQ(Flying(*boss), frames);
  }
  EXPECT_EQ(frames, 22);
  EXPECT_EQ(boss->Y, 435) << "425 itself is not past the edge";
  EXPECT_EQ(boss->Pellets[21]->GetPosition(), (TPoint16{InPlaceX - 10, 435 + BossH / 2}));

  boss->Mode = TZelvina::DashUp;
  boss->Y = 220;
  frames = 0;
  while (boss->Mode == TZelvina::DashUp && frames < 100) {
    boss->Update();
    ++frames;
  }
  EXPECT_EQ(frames, 20);
  EXPECT_EQ(boss->Y, 20) << "30 itself is not past the edge";
  EXPECT_EQ(Flying(*boss), 42);
}

TEST_F(BossTest, DashWithAllPelletsInFlightFiresNothing) {
  TZelvina* boss = Dueling(LevelBus());
  for (TMedRed* p : boss->Pellets)
    p->Launch(300, 550);
  boss->Mode = TZelvina::DashUp;
  boss->Update();
  EXPECT_EQ(boss->Y, StartY - 10);
  for (TMedRed* p : boss->Pellets)
    EXPECT_EQ(p->GetPosition(), (TPoint16{300, 550}));
  EXPECT_EQ(Shown(*boss->AmmoDisplay), " 0");
}

TEST_F(BossTest, HerBoxIsTheFullUpperHalfOrTheNarrowedLowerHalf) {
  TZelvina* boss = NewBoss();
  boss->X = 600;
  boss->Y = 100;
  boss->BoxToggle = true;
  ExpectBox(*boss, {600, 100}, {600 + BossW, 100 + BossH / 2});
  boss->BoxToggle = false;
  ExpectBox(*boss, {610, 100 + BossH / 2}, {600 + BossW - 10, 100 + BossH});
}

TEST_F(BossTest, CrossesStrikeEachHalfOnlyInItsFrames) {
  TVictim* shooter = Place(new TVictim(5, 550, Agent(), KindPlayer));
  auto* cross = Place(new THolyCross(Agent(), shooter));
  TZelvina* boss = NewBoss();
  boss->X = InPlaceX;  // 659; her box halves split at y 219 + 80 = 299
  struct TAim {
    int16_t X, Y;
    int UpperHits, LowerHits;  // per frame with that half
  };
  const TAim aims[] = {
      {InPlaceX + 30, StartY + 20, 1, 0},   // upper half
      {InPlaceX + 30, StartY + 100, 0, 1},  // lower half
      {InPlaceX - 8, StartY + 100, 0, 0},   // ends 1 pixel short of the narrowed left edge
      {InPlaceX - 6, StartY + 100, 0, 1},
      {InPlaceX + BossW - 10, StartY + 100, 0, 0},  // starts on the narrowed right edge
      {InPlaceX + BossW - 12, StartY + 100, 0, 1},
  };
  for (const TAim& aim : aims) {
    for (int frame = 0; frame < 4; ++frame) {
      const bool upper = boss->BoxToggle;
      const int16_t before = boss->GetHealth();
      cross->Launch(aim.X, aim.Y);
      Frame();
      EXPECT_EQ((before - boss->GetHealth()) / 5, upper ? aim.UpperHits : aim.LowerHits)
          << "aim " << aim.X << "," << aim.Y << (upper ? " upper" : " lower");
    }
  }
}

TEST_F(BossTest, SheStaysAndActsAfterHerHealthRunsOut) {
  TZelvina* boss = Dueling(LevelBus());
  boss->SetHealth(0);
  EXPECT_TRUE(boss->Update());
  EXPECT_EQ(Flying(*boss), 1);
}
