// Moving entities, the base of every actor: health in 16-bit signed arithmetic, kind codes,
// boxes truncated to 16 bits, the target dropped when it goes, and the keyed draw.
#include "entity/moving.h"

#include <gtest/gtest.h>

#include "entity/agent.h"
#include "game/game_fixture.h"

class MovingTest : public TGameFixture {};

TEST_F(MovingTest, StartsWithItsPictureHealthAndNoTarget) {
  TMovingEntity actor(12, -7, Agent(), "victim.pcx", 33);
  EXPECT_EQ(actor.GetPosition(), (TPoint16{12, -7}));
  EXPECT_EQ(actor.Image.Width, VictimW);
  EXPECT_EQ(actor.GetHealth(), 33);
  EXPECT_EQ(actor.Target, nullptr);
  EXPECT_EQ(actor.Kind(), KindMoving);
  EXPECT_EQ(actor.AsCollidable(), &actor);
  EXPECT_EQ(actor.AsPlayer(), nullptr);
  EXPECT_TRUE(actor.Update());

  TPlayerEntity player(0, 0, Agent(), "victim.pcx", 1);
  EXPECT_EQ(player.Kind(), KindPlayer);
  EXPECT_EQ(player.AsPlayer(), &player);
}

TEST_F(MovingTest, AliveOnlyAboveZeroAndHealthWrapsIn16Bits) {
  TMovingEntity actor(0, 0, Agent(), "victim.pcx", 1);
  EXPECT_TRUE(actor.IsAlive());
  actor.Hit(1);
  EXPECT_FALSE(actor.IsAlive()) << "0 is dead";
  actor.Hit(5);
  EXPECT_EQ(actor.GetHealth(), -5);
  EXPECT_FALSE(actor.IsAlive());
  actor.Hit(-20);
  EXPECT_EQ(actor.GetHealth(), 15) << "a negative damage heals";

  actor.SetHealth(32767);
  actor.ChangeHealth(1);
  EXPECT_EQ(actor.GetHealth(), -32768);
  EXPECT_FALSE(actor.IsAlive());
  actor.SetHealth(-32768);
  actor.Hit(1);
  EXPECT_EQ(actor.GetHealth(), 32767);
  actor.SetHealth(10);
  actor.Hit(-32768);  // its negation does not fit in 16 bits either
  EXPECT_EQ(actor.GetHealth(), 10 - 32768);
}

TEST_F(MovingTest, HitGoesThroughTheVirtualChangeOfHealth) {
  struct TCounting : TMovingEntity {
    using TMovingEntity::TMovingEntity;
    void ChangeHealth(int16_t delta) override {
      Deltas.push_back(delta);
      TMovingEntity::ChangeHealth(delta);
    }
    std::vector<int16_t> Deltas;
  } actor(0, 0, Agent(), "victim.pcx", 50);
  actor.Hit(7);
  EXPECT_EQ(actor.Deltas, (std::vector<int16_t>{-7}));
  EXPECT_EQ(actor.GetHealth(), 43);
}

TEST_F(MovingTest, BoxIsThePictureItsFarCornerTruncatedTo16Bits) {
  TMovingEntity actor(100, 200, Agent(), "victim.pcx", 1);
  TPoint16 a, b;
  actor.GetBounds(a, b);
  EXPECT_EQ(a, (TPoint16{100, 200}));
  EXPECT_EQ(b, (TPoint16{100 + VictimW, 200 + VictimH}));
  actor.X = 32767 - 10;
  actor.Y = -32768;
  actor.GetBounds(a, b);
  EXPECT_EQ(b, (TPoint16{static_cast<int16_t>(32767 - 10 + VictimW - 65536), -32768 + VictimH}));
  EXPECT_TRUE(BoundsOf(&actor, a, b));
  EXPECT_FALSE(BoundsOf(Agent(), a, b)) << "the agent takes no part in collisions";
  EXPECT_FALSE(BoundsOf(nullptr, a, b));
}

TEST_F(MovingTest, TargetIsDroppedWhenItIsQueuedForDestruction) {
  TVictim* target = Place(new TVictim(0, 0, Agent()));
  TVictim* other = Place(new TVictim(100, 0, Agent()));
  TVictim* follower = Place(new TVictim(200, 0, Agent()));
  follower->Target = target;
  Agent()->QueueDestroy(other);
  EXPECT_EQ(follower->Target, target);
  Agent()->QueueDestroy(target);
  EXPECT_EQ(follower->Target, nullptr);
  EXPECT_TRUE(InScene(target)) << "gone only when the next frame starts";
  Frame();
  EXPECT_FALSE(InScene(target));
}

TEST_F(MovingTest, DrawsItsPictureKeyedAtItsPlace) {
  TMovingEntity actor(-10, 590, Agent(), "victim.pcx", 1);
  FillSurface(Scene.FrameBuffer, 0x1111);
  actor.Draw(Scene.FrameBuffer);
  EXPECT_EQ(PixelAt(Scene.FrameBuffer, 0, 599), 0x4208) << "clipped at the frame's edges";
  EXPECT_EQ(PixelAt(Scene.FrameBuffer, VictimW - 10, 599), 0x1111);
  EXPECT_EQ(PixelAt(Scene.FrameBuffer, 0, 589), 0x1111);
}

TEST_F(MovingTest, CollisionSideLeadsBackToItsEntity) {
  TVictim victim(0, 0, Agent());
  TCollidable* side = victim.AsCollidable();
  ASSERT_NE(side, nullptr);
  EXPECT_EQ(EntityOf(*side), &victim);
}
