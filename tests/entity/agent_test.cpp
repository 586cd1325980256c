// The agent: deferred destruction with its notifications, the collision pass and the
// player search.
#include "entity/agent.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/engine_fixture.h"
#include "support/test_scene.h"

class AgentTest : public TEngineFixture {
 protected:
  void SetUp() override {
    TEngineFixture::SetUp();
    Scene.Setup();
  }
  TBoxProbe* AddBox(const std::string& name, TPoint16 a, TPoint16 b) {
    auto* box = new TBoxProbe(&Log, name, a, b);
    Scene.Agent->Add(box);
    return box;
  }
  TProbe* AddProbe(const std::string& name) {
    auto* probe = new TProbe(&Log, name);
    Scene.Agent->Add(probe);
    return probe;
  }
  bool Collides(TPoint16 a1, TPoint16 a2, TPoint16 b1, TPoint16 b2) {
    Log.clear();
    auto* a = AddBox("a", a1, a2);
    auto* b = AddBox("b", b1, b2);
    Scene.Agent->Update();
    const bool hit = !Log.empty();
    Scene.Remove(a);
    Scene.Remove(b);
    Log.clear();
    return hit;
  }

  TEventLog Log;
  TTestScene Scene;
};

TEST_F(AgentTest, AgentSitsInSlotOneAndIsNeverDrawn) {
  EXPECT_EQ(Scene.EntityAt(1), Scene.Agent);
  EXPECT_FALSE(Scene.Agent->Update());
}

TEST_F(AgentTest, SelfQueuedEntityIsDrawnThisFrameAndGoneBeforeTheNextUpdate) {
  TProbe* probe = AddProbe("p");
  TProbe* later = AddProbe("q");
  probe->OnUpdate = [&] { Scene.Agent->QueueDestroy(probe); };
  Scene.UpdateAndDraw();
  EXPECT_EQ(Log, (TEventLog{"p:update", "p:draw", "q:update", "q:draw"}));
  Log.clear();
  Scene.UpdateAndDraw();
  EXPECT_EQ(Log, (TEventLog{"p:dtor", "q:update", "q:draw"}));
  EXPECT_EQ(Scene.EntityAt(2), nullptr);
  EXPECT_EQ(Scene.EntityAt(3), later);
}

TEST_F(AgentTest, QueuingTwiceDestroysOnce) {
  TProbe* probe = AddProbe("p");
  Scene.Agent->QueueDestroy(probe);
  Scene.Agent->QueueDestroy(probe);
  Scene.Agent->Update();
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "p:dtor"), 1);
  EXPECT_TRUE(Scene.Agent->Destroyer->Pending.empty());
}

TEST_F(AgentTest, QueueDestroyNotifiesEveryOccupiedSlotInOrderIncludingItself) {
  TProbe* first = AddProbe("first");
  TProbe* victim = AddProbe("victim");
  TProbe* last = AddProbe("last");
  TEventLog heard;
  for (TProbe* p : {first, victim, last})
    p->OnDestroyed = [&heard, p](TBaseEntity* e) {
      heard.push_back(p->Name + (e == nullptr ? "" : "<-" + static_cast<TProbe*>(e)->Name));
    };
  Scene.Remove(first);  // leaves a hole in slot 2
  Scene.Agent->QueueDestroy(victim);
  EXPECT_EQ(heard, (TEventLog{"victim<-victim", "last<-victim"}));
  Scene.Agent->QueueDestroy(nullptr);  // nothing queued, nobody told
  EXPECT_EQ(Scene.Agent->Destroyer->Pending.size(), 1u);
  EXPECT_EQ(Scene.EntityAt(3), victim) << "still in its slot until the next frame";
  (void)last;
}

TEST_F(AgentTest, EntitiesQueuedDuringThePassWaitForTheNextFrame) {
  TBoxProbe* a = AddBox("a", {0, 0}, {10, 10});
  TBoxProbe* b = AddBox("b", {5, 5}, {15, 15});
  a->OnCollide = [&](TCollidable&) { Scene.Agent->QueueDestroy(b); };
  Scene.Agent->Update();
  EXPECT_EQ(Scene.EntityAt(3), b) << "both stay in the pass and in their slots";
  EXPECT_EQ(Log, (TEventLog{"a:collide:b@5,5,15,15", "b:collide:a@0,0,10,10"}));
  Log.clear();
  Scene.Agent->Update();
  EXPECT_EQ(Log, (TEventLog{"b:dtor"}));
}

TEST_F(AgentTest, TouchTestLooksOnlyAtCornersStrictlyInside) {
  EXPECT_TRUE(Collides({0, 0}, {10, 10}, {5, 5}, {15, 15}));
  EXPECT_FALSE(Collides({0, 0}, {10, 10}, {10, 0}, {20, 10})) << "shared edge";
  EXPECT_FALSE(Collides({0, 0}, {10, 10}, {10, 10}, {20, 20})) << "shared corner";
  EXPECT_FALSE(Collides({0, 0}, {10, 10}, {0, 0}, {10, 10})) << "identical boxes";
  EXPECT_FALSE(Collides({0, 10}, {30, 20}, {10, 0}, {20, 30})) << "plus sign";
  EXPECT_TRUE(Collides({0, 0}, {30, 30}, {10, 10}, {20, 20})) << "nested";
  EXPECT_TRUE(Collides({10, 10}, {20, 20}, {0, 0}, {30, 30})) << "nested, other order";
  EXPECT_TRUE(Collides({-20, -20}, {-5, -5}, {-10, -10}, {0, 0})) << "negative coordinates";
  // An idle projectile's empty box touches only boxes with (0, 0) strictly inside.
  EXPECT_TRUE(Collides({0, 0}, {0, 0}, {-1, -1}, {1, 1}));
  EXPECT_FALSE(Collides({0, 0}, {0, 0}, {0, 0}, {5, 5}));
}

TEST_F(AgentTest, CollideIsCalledOnTheLowerSlotFirstEachWithTheOthersBox) {
  AddBox("low", {0, 0}, {10, 10});
  AddBox("high", {5, 6}, {15, 16});
  Scene.Agent->Update();
  EXPECT_EQ(Log, (TEventLog{"low:collide:high@5,6,15,16", "high:collide:low@0,0,10,10"}));
}

TEST_F(AgentTest, EveryPairIsTestedOncePerPassAndNonCollidablesAreSkipped) {
  AddBox("a", {0, 0}, {10, 10});
  AddProbe("plain");
  AddBox("b", {2, 2}, {12, 12});
  AddBox("c", {4, 4}, {14, 14});
  Scene.Agent->Update();
  EXPECT_EQ(Log,
            (TEventLog{"a:collide:b@2,2,12,12", "b:collide:a@0,0,10,10", "a:collide:c@4,4,14,14",
                       "c:collide:a@0,0,10,10", "b:collide:c@4,4,14,14", "c:collide:b@2,2,12,12"}));
}

TEST_F(AgentTest, OuterBoxIsReadOncePerStepInnerBoxesFreshForEachPair) {
  TBoxProbe* a = AddBox("a", {0, 0}, {10, 10});
  TBoxProbe* b = AddBox("b", {5, 5}, {15, 15});
  TBoxProbe* c = AddBox("c", {5, 5}, {15, 15});
  // After touching b, a moves away; c is still tested against a's old box.
  a->OnCollide = [&](TCollidable& other) {
    if (&other == static_cast<TCollidable*>(b)) {
      a->TopLeft = {100, 100};
      a->BottomRight = {110, 110};
      c->TopLeft = {101, 101};  // c moves onto a's new place: read fresh, it misses the old
      c->BottomRight = {111, 111};
    }
  };
  Scene.Agent->Update();
  EXPECT_EQ(Log, (TEventLog{"a:collide:b@5,5,15,15", "b:collide:a@0,0,10,10"}));
}

TEST_F(AgentTest, ChangesMadeByCollideAreSeenByTheRestOfThePass) {
  AddBox("a", {0, 0}, {10, 10});
  TBoxProbe* b = AddBox("b", {5, 5}, {15, 15});
  AddBox("c", {50, 50}, {60, 60});
  TBoxProbe* d = AddBox("d", {70, 70}, {80, 80});
  b->OnCollide = [&](TCollidable&) {
    if (Scene.EntityAt(6) != nullptr) return;
    d->TopLeft = {52, 52};  // d moves onto c: their pair, tested later, touches
    d->BottomRight = {62, 62};
    Scene.Agent->Add(new TBoxProbe(&Log, "new", {-5, -5}, {5, 5}));  // slot 6, above all
  };
  Scene.Agent->Update();
  EXPECT_EQ(Log, (TEventLog{"a:collide:b@5,5,15,15", "b:collide:a@0,0,10,10",
                            "a:collide:new@-5,-5,5,5", "new:collide:a@0,0,10,10",
                            "c:collide:d@52,52,62,62", "d:collide:c@50,50,60,60"}));
}

TEST_F(AgentTest, FindPlayerReturnsTheFirstPlayerFromTheStartSlot) {
  struct TPlayerProbe : TProbe {
    using TProbe::TProbe;
    TBaseEntity* AsPlayer() override { return this; }
  };
  EXPECT_EQ(Scene.Agent->FindPlayer(), nullptr);
  TProbe* gap = AddProbe("gap");
  auto* p1 = new TPlayerProbe(&Log, "p1");
  Scene.Agent->Add(p1);
  auto* p2 = new TPlayerProbe(&Log, "p2");
  Scene.Agent->Add(p2);
  Scene.Remove(gap);  // empty slots are skipped
  EXPECT_EQ(Scene.Agent->FindPlayer(), p1);
  EXPECT_EQ(Scene.Agent->FindPlayerFrom(4), p2);
  EXPECT_EQ(Scene.Agent->FindPlayerFrom(5), nullptr);
  EXPECT_EQ(Scene.Agent->FindPlayerFrom(-3), p1);
}

TEST_F(AgentTest, FlagsAreSetOnlyAndSpritePackageIsKept) {
  EXPECT_FALSE(Scene.Agent->IsHalted());
  EXPECT_FALSE(Scene.Agent->IsFinished());
  Scene.Agent->SetHalted(true);
  Scene.Agent->Finish();
  Scene.Agent->SetSpritePackage("SPRITES");
  EXPECT_TRUE(Scene.Agent->IsHalted());
  EXPECT_TRUE(Scene.Agent->IsFinished());
  EXPECT_EQ(Scene.Agent->GetSpritePackage(), "SPRITES");
}
