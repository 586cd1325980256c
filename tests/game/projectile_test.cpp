// Projectiles: flight and going idle, the collision rule between shots and against actors,
// grenade explosions, the halted game, owners taking their shots with them, and pools.
#include "game/projectile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "entity/agent.h"
#include "game/bus.h"
#include "game/enemies.h"
#include "game/game_fixture.h"
#include "gfx/window.h"

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

class ProjectileTest : public TGameFixture {
 protected:
  // An owner for shots, far from everything the tests aim at.
  TVictim* Shooter() { return Place(new TVictim(600, 550, Agent())); }
  template <typename T>
  T* Shot(TMovingEntity* owner, int16_t x, int16_t y) {
    T* shot = Place(new T(Agent(), owner));
    shot->Launch(x, y);
    return shot;
  }
};

TEST_F(ProjectileTest, EachKindMovesItsWayAndStartsIdleWithAnEmptyBox) {
  THolyCross cross(Agent(), nullptr);
  TMedRed pellet(Agent(), nullptr);
  TGrenade grenade(Agent(), nullptr);
  TFallingGrenade falling(Agent(), nullptr);
  for (TProjectile* p :
       {static_cast<TProjectile*>(&cross), static_cast<TProjectile*>(&pellet),
        static_cast<TProjectile*>(&grenade), static_cast<TProjectile*>(&falling)}) {
    EXPECT_EQ(p->Kind(), KindProjectile);
    EXPECT_EQ(p->GetHealth(), 1);
    EXPECT_FALSE(p->IsFlying());
    ExpectBox(*p, {0, 0}, {0, 0});
    p->Launch(400, 300);
  }
  EXPECT_EQ(cross.Damage, 5);
  EXPECT_EQ(pellet.Damage, 5);
  EXPECT_EQ(grenade.Damage, 20);
  EXPECT_EQ(falling.Damage, 20);
  ExpectBox(cross, {400, 300}, {400 + CrossW, 300 + CrossH});
  ExpectBox(grenade, {400, 300}, {400 + GrenadeW, 300 + GrenadeH});

  for (TProjectile* p : {static_cast<TProjectile*>(&cross), static_cast<TProjectile*>(&pellet),
                         static_cast<TProjectile*>(&grenade), static_cast<TProjectile*>(&falling)})
    EXPECT_TRUE(p->Update());
  EXPECT_EQ(cross.GetPosition(), (TPoint16{405, 300}));
  EXPECT_EQ(pellet.GetPosition(), (TPoint16{395, 300}));
  EXPECT_EQ(grenade.GetPosition(), (TPoint16{385, 300}));
  EXPECT_EQ(falling.GetPosition(), (TPoint16{400, 302}));

  cross.StopFlight();
  EXPECT_FALSE(cross.Update());
  EXPECT_EQ(cross.X, 410) << "an idle shot keeps drifting unseen";
  ExpectBox(cross, {0, 0}, {0, 0});
}

TEST_F(ProjectileTest, CrossLaunchedPast795GoesIdleInItsFirstUpdateAndIsNeverDrawn) {
  THolyCross cross(Agent(), nullptr);
  cross.Launch(795, 100);
  EXPECT_TRUE(cross.Update()) << "x 800 is still on the screen";
  EXPECT_FALSE(cross.Update());
  EXPECT_FALSE(cross.IsFlying());

  cross.Launch(796, 100);
  EXPECT_FALSE(cross.Update());
  EXPECT_FALSE(cross.IsFlying());
  for (int i = 0; i < 3; ++i)
    EXPECT_FALSE(cross.Update());
}

TEST_F(ProjectileTest, LeftFlyingShotsGoIdleOnlyOnceWhollyPastTheLeftEdge) {
  TMedRed pellet(Agent(), nullptr);
  pellet.Launch(-PelletW + 5, 100);
  EXPECT_TRUE(pellet.Update()) << "x = -width is not yet past the edge";
  EXPECT_EQ(pellet.X, -PelletW);
  EXPECT_FALSE(pellet.Update());

  TGrenade grenade(Agent(), nullptr);
  grenade.Launch(-GrenadeW + 15, 100);
  EXPECT_TRUE(grenade.Update());
  EXPECT_FALSE(grenade.Update());
}

TEST_F(ProjectileTest, FlyingShotStrikesOneActorOnceAndStops) {
  TVictim* first = Place(new TVictim(300, 300, Agent()));
  TVictim* second = Place(new TVictim(305, 305, Agent()));
  THolyCross* cross = Shot<THolyCross>(Shooter(), 310, 310);
  Frame();
  EXPECT_THAT(first->Hits, ElementsAre(5));
  EXPECT_TRUE(second->Hits.empty()) << "a stopped shot strikes nothing more in the pass";
  EXPECT_FALSE(cross->IsFlying());
  EXPECT_EQ(cross->GetHealth(), 1);
  EXPECT_TRUE(Effects().empty()) << "only grenades explode";
}

TEST_F(ProjectileTest, CrossesTallyTheActorsTheyStrikeAndNotTheShotsTheyMeet) {
  TShotTally tally;
  TVictim* shooter = Shooter();
  Place(new TVictim(300, 300, Agent()));
  Place(new THolyCross(Agent(), shooter, &tally))->Launch(310, 310);
  TMedRed* pellet = Shot<TMedRed>(nullptr, 400, 100);
  Place(new THolyCross(Agent(), shooter, &tally))->Launch(pellet->X + 3, pellet->Y + 3);
  Frame();
  EXPECT_EQ(tally.Hits, 1u);
  EXPECT_FALSE(pellet->IsFlying());
}

TEST_F(ProjectileTest, HitIsDecidedWithTheBoxOfTheFrameStart) {
  TVictim* victim = Place(new TVictim(770, 300, Agent()));
  THolyCross* cross = Shot<THolyCross>(Shooter(), 796, 310);
  Frame();
  EXPECT_THAT(victim->Hits, ElementsAre(5));
  EXPECT_FALSE(cross->IsFlying());
}

TEST_F(ProjectileTest, HostileShotsStopEachOtherAndFriendlyOnesPass) {
  TVictim* boss = Shooter();
  TVictim* bus = Shooter();
  TMedRed* a = Shot<TMedRed>(boss, 400, 300);
  TMedRed* b = Shot<TMedRed>(boss, 405, 305);
  TGrenade* g1 = Shot<TGrenade>(nullptr, 100, 100);
  TGrenade* g2 = Shot<TGrenade>(nullptr, 105, 105);
  Frame();
  EXPECT_TRUE(a->IsFlying());
  EXPECT_TRUE(b->IsFlying());
  EXPECT_TRUE(g1->IsFlying()) << "ownerless grenades share their (absent) owner";
  EXPECT_TRUE(g2->IsFlying());

  THolyCross* cross = Shot<THolyCross>(bus, a->X + 3, a->Y + 3);
  Frame();
  EXPECT_FALSE(a->IsFlying());
  EXPECT_FALSE(cross->IsFlying());
  EXPECT_TRUE(b->IsFlying()) << "the cross stopped at the first pellet";
  EXPECT_TRUE(Effects().empty());
  EXPECT_TRUE(boss->Hits.empty());
  EXPECT_TRUE(bus->Hits.empty());
}

TEST_F(ProjectileTest, CrossAndGrenadeStopEachOtherAndTheGrenadeExplodes) {
  TGrenade* grenade = Shot<TGrenade>(nullptr, 300, 200);
  THolyCross* cross = Shot<THolyCross>(Shooter(), 305, 205);
  Frame();
  EXPECT_FALSE(grenade->IsFlying());
  EXPECT_FALSE(cross->IsFlying());
  EXPECT_THAT(Effects(), ElementsAre(TEffect{"explosion", 300, 200 - 32, 16, true}));
}

TEST_F(ProjectileTest, GrenadeDeals20ToTheBusAndExplodesAtItsCornerMovedUp) {
  Input.MouseY = 274;
  TPlayerBus* bus = Place(new TPlayerBus(Agent()));
  TGrenade* grenade = Shot<TGrenade>(nullptr, 50, 280);
  Frame();
  EXPECT_EQ(bus->GetHealth(), 80);
  EXPECT_FALSE(grenade->IsFlying());
  EXPECT_THAT(Effects(), UnorderedElementsAre(
                             TEffect{"explosion", 50, 280 - 32, 16, true},
                             TEffect{"blood", 5 + BusW / 2 - 32, 274 + BusH / 2 - 32, 4, true}));
  Frame(20);
  EXPECT_TRUE(Effects().empty()) << "both effects play once and are destroyed";
  EXPECT_EQ(CountOf<TGrenade>(), 1) << "an ownerless grenade stays registered, idle";
}

TEST_F(ProjectileTest, IdleGrenadeTouchedAtTheOriginNeitherStrikesNorExplodes) {
  // An idle box is the point (0, 0), which lies inside a box that straddles the origin.
  TVictim* victim = Place(new TVictim(-10, -10, Agent()));
  TGrenade* grenade = Place(new TGrenade(Agent(), nullptr));
  Frame();
  EXPECT_TRUE(victim->Hits.empty());
  EXPECT_FALSE(grenade->IsFlying());
  EXPECT_TRUE(Effects().empty());
}

TEST_F(ProjectileTest, AfterHaltedALaunchedShotIsDrawnOneFrameThenIdle) {
  THolyCross* inFlight = Shot<THolyCross>(Shooter(), 100, 100);
  Frame();
  Agent()->SetHalted(true);
  EXPECT_TRUE(inFlight->Update()) << "drawn in the frame it is halted";
  EXPECT_FALSE(inFlight->IsFlying());
  EXPECT_FALSE(inFlight->Update());

  TMedRed pellet(Agent(), nullptr);
  pellet.Launch(500, 100);
  EXPECT_TRUE(pellet.Update());
  EXPECT_FALSE(pellet.Update());
  TGrenade grenade(Agent(), nullptr);
  grenade.Launch(500, 100);
  EXPECT_TRUE(grenade.Update());
  EXPECT_FALSE(grenade.IsFlying());
}

TEST_F(ProjectileTest, FallingGrenadeIgnoresTheHaltAndEveryoneButItsOwner) {
  TVictim* owner = Shooter();
  TVictim* other = Place(new TVictim(300, 300, Agent()));
  TFallingGrenade* falling = Shot<TFallingGrenade>(owner, 305, 290);
  Agent()->SetHalted(true);
  Frame(3);
  EXPECT_TRUE(falling->IsFlying());
  EXPECT_EQ(falling->Y, 296);
  EXPECT_TRUE(other->Hits.empty());
  EXPECT_TRUE(InScene(falling));
  EXPECT_TRUE(InScene(other));
  EXPECT_TRUE(Effects().empty());
}

TEST_F(ProjectileTest, FallingGrenadeMeetingItsOwnerTakesBothInOneExplosion) {
  TVictim* owner = Place(new TVictim(300, 300, Agent()));
  TFallingGrenade* falling = Shot<TFallingGrenade>(owner, 310, 330);
  Frame();
  EXPECT_TRUE(owner->Hits.empty());
  EXPECT_THAT(Effects(),
              ElementsAre(TEffect{"explosion", 310 + GrenadeW / 4 - 32, 330 - 32, 16, true}));
  Frame();
  EXPECT_FALSE(InScene(owner));
  EXPECT_FALSE(InScene(falling));
  EXPECT_EQ(Effects().size(), 1u);
}

TEST_F(ProjectileTest, ShotsGoWithTheirOwnerAndOnlyThem) {
  TVictim* owner = Shooter();
  TVictim* stranger = Shooter();
  THolyCross* idle = Place(new THolyCross(Agent(), owner));
  THolyCross* flying = Shot<THolyCross>(owner, 100, 100);
  THolyCross* other = Shot<THolyCross>(stranger, 100, 400);
  TGrenade* ownerless = Shot<TGrenade>(nullptr, 700, 400);
  Agent()->QueueDestroy(owner);
  Frame();
  EXPECT_FALSE(InScene(owner));
  EXPECT_FALSE(InScene(idle));
  EXPECT_FALSE(InScene(flying));
  EXPECT_TRUE(InScene(other));
  EXPECT_TRUE(InScene(ownerless));
}

TEST_F(ProjectileTest, PoolScanStopsAtTheFirstGap) {
  TGrenade a(Agent(), nullptr), b(Agent(), nullptr), c(Agent(), nullptr);
  a.Launch(0, 0);
  TGrenade* const full[3] = {&a, &b, &c};
  EXPECT_EQ(FirstIdle(full), &b);
  EXPECT_EQ(CountIdle(full), 2);
  TGrenade* const gapped[3] = {&a, nullptr, &c};
  EXPECT_EQ(FirstIdle(gapped), nullptr) << "a gap ends the scan";
  EXPECT_EQ(CountIdle(gapped), 1);
}
