// Scene slots and the frame loop: order, placement, the exit tests and the pause while
// minimized.
#include "app/scene.h"

#include <gtest/gtest.h>

#include "gfx/display.h"
#include "gfx/window.h"
#include "support/engine_fixture.h"
#include "support/test_scene.h"

class SceneTest : public TEngineFixture {
 protected:
  TEventLog Log;
};

TEST_F(SceneTest, EntityAtAnswersOnlyForSlotsOneTo200) {
  TTestScene scene;
  auto* last = new TProbe(nullptr, "last");
  scene.Slots[199] = last;
  EXPECT_EQ(scene.EntityAt(0), nullptr);
  EXPECT_EQ(scene.EntityAt(201), nullptr);
  EXPECT_EQ(scene.EntityAt(200), last);
}

TEST_F(SceneTest, PlaceFillsTheLowestFreeSlot) {
  TTestScene scene;
  auto* a = new TProbe(nullptr, "a");
  auto* b = new TProbe(nullptr, "b");
  auto* c = new TProbe(nullptr, "c");
  auto* d = new TProbe(nullptr, "d");
  scene.Place(a);
  scene.Place(b);
  scene.Place(c);
  EXPECT_EQ(scene.EntityAt(2), b);
  scene.Remove(b);
  EXPECT_EQ(scene.EntityAt(2), nullptr);
  scene.Place(d);
  EXPECT_EQ(scene.EntityAt(2), d);
  EXPECT_EQ(scene.EntityAt(3), c);
}

TEST_F(SceneTest, RemovingAnAbsentEntityChangesAndDestroysNothing) {
  TTestScene scene;
  TProbe outside(&Log, "outside");
  scene.Place(new TProbe(&Log, "inside"));
  scene.Remove(&outside);
  EXPECT_TRUE(Log.empty());
  EXPECT_NE(scene.EntityAt(1), nullptr);
}

TEST_F(SceneTest, DestroyingASceneDestroysFromSlot200Down) {
  {
    TTestScene scene;
    scene.Slots[0] = new TProbe(&Log, "1");
    scene.Slots[4] = new TProbe(&Log, "5");
    scene.Slots[199] = new TProbe(&Log, "200");
  }
  EXPECT_EQ(Log, (TEventLog{"200:dtor", "5:dtor", "1:dtor"}));
}

TEST_F(SceneTest, FullSceneKeepsFurtherEntitiesOutOfTheLoopButOwnsThem) {
  {
    TTestScene scene;
    for (int i = 0; i < TScene::SlotCount; ++i)
      scene.Place(new TProbe(nullptr, "filler"));
    auto* extra = new TProbe(&Log, "extra");
    scene.Place(extra);
    scene.UpdateAndDraw();
    EXPECT_TRUE(Log.empty()) << "an entity without a slot is never updated";
    scene.Remove(extra);  // in no slot: nothing happens
    EXPECT_TRUE(Log.empty());
  }
  EXPECT_EQ(Log, (TEventLog{"extra:dtor"})) << "the scene still frees it";
}

TEST_F(SceneTest, FrameUpdatesInSlotOrderAndDrawsOnlyWhatAsksToBeDrawn) {
  TTestScene scene;
  scene.Setup();
  scene.Agent->Add(new TProbe(&Log, "shown"));
  scene.Agent->Add(new TProbe(&Log, "hidden", false));
  scene.UpdateAndDraw();
  scene.UpdateAndDraw();
  EXPECT_EQ(Log, (TEventLog{"shown:update", "shown:draw", "hidden:update", "shown:update",
                            "shown:draw", "hidden:update"}));
}

TEST_F(SceneTest, EntityPlacedAboveTheCurrentSlotRunsInTheSameFrame) {
  TTestScene scene;
  scene.Setup();
  auto* hole = new TProbe(&Log, "hole");
  scene.Agent->Add(hole);
  auto* spawner = new TProbe(&Log, "spawner");
  scene.Agent->Add(spawner);
  scene.Remove(hole);  // slot 2 free, below the spawner in slot 3
  Log.clear();
  spawner->OnUpdate = [&] {
    if (scene.EntityAt(2) != nullptr) return;
    scene.Agent->Add(new TProbe(&Log, "child1"));
    scene.Agent->Add(new TProbe(&Log, "child2"));
  };
  scene.UpdateAndDraw();
  // child1 lands in slot 2 (below: next frame); child2 in slot 4 (above: this frame).
  EXPECT_EQ(Log, (TEventLog{"spawner:update", "spawner:draw", "child2:update", "child2:draw"}));
}

TEST_F(SceneTest, AgentFinishedInTheFirstFrameStillPresentsThatFrame) {
  OpenWindow();
  TTestScene scene;
  scene.Setup();
  auto* probe = new TProbe(&Log, "p");
  probe->OnUpdate = [&] { scene.Agent->Finish(); };
  scene.Agent->Add(probe);
  EXPECT_EQ(scene.Run(), TSceneEnd::Finished);
  EXPECT_EQ(scene.FramesRun, 1u);
  EXPECT_EQ(Display.FramesPresented, 1u);
  EXPECT_EQ(Log, (TEventLog{"p:update", "p:draw"}));
}

TEST_F(SceneTest, EscapeHeldBeforeRunEndsAfterOneFrame) {
  OpenWindow();
  Input.Keys[Vk::Escape] = 1;
  TTestScene scene;
  scene.Setup();
  EXPECT_EQ(scene.Run(), TSceneEnd::Escape);
  EXPECT_EQ(scene.FramesRun, 1u);
}

TEST_F(SceneTest, ClosedWindowWinsOverEscapeAndFinish) {
  OpenWindow();
  Input.Keys[Vk::Escape] = 1;
  Platform->PostMessage({Wm::Close, 0, 0});
  TTestScene scene;
  scene.Setup();
  scene.Agent->Finish();
  EXPECT_EQ(scene.Run(), TSceneEnd::Closed);
}

TEST_F(SceneTest, EachFrameWaitsFiftyMillisecondsAfterPresenting) {
  OpenWindow();
  const uint64_t before = Platform->SleptMs;
  TTestScene scene;
  scene.Setup();
  EXPECT_EQ(scene.Run(3), TSceneEnd::MaxFrames);
  EXPECT_EQ(Platform->SleptMs - before, 150u);
}

TEST_F(SceneTest, MinimizedWindowPausesTheLoopWithoutPresenting) {
  TPlatformConfig config;
  TScriptError error;
  config.Script = ParseInputScript(
      "1 key down 65\n"
      "1 window minimize\n"
      "90 mouse left down\n"
      "95 window restore\n",
      error);
  ASSERT_TRUE(config.Script);
  UsePlatform(std::move(config));
  OpenWindow();
  TTestScene scene;
  scene.Setup();
  std::vector<uint64_t> framesSeen;
  bool keySeen = false;
  auto* watcher = new TProbe(nullptr, "w");
  watcher->OnUpdate = [&] {
    framesSeen.push_back(Display.FramesPresented);
    keySeen = keySeen || Input.Keys[uint8_t{'A'}] != 0 || Input.MouseLeft;
  };
  scene.Agent->Add(watcher);
  EXPECT_EQ(scene.Run(5), TSceneEnd::MaxFrames);
  // Minimized after frame 1: frame 2 follows the restore with no frame lost or skipped,
  // and everything pressed before or during the pause reads as up.
  EXPECT_EQ(framesSeen, (std::vector<uint64_t>{0, 1, 2, 3, 4}));
  EXPECT_FALSE(keySeen && Input.Keys[uint8_t{'A'}] != 0);
  EXPECT_EQ(Input.Keys[uint8_t{'A'}], 0);
  EXPECT_FALSE(Input.MouseLeft);
}
