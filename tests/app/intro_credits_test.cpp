// The intro and credits scenes on test archives: their slot layouts, timelines and ends.
#include <gtest/gtest.h>

#include "app/credits_scene.h"
#include "app/intro_scene.h"
#include "entity/agent.h"
#include "gfx/display.h"
#include "gfx/window.h"
#include "res/data_dir.h"
#include "res/image_cache.h"
#include "support/engine_fixture.h"
#include "support/game_data.h"
#include "support/run_binary.h"
#include "text/font_text.h"

class DirectedSceneTest : public TEngineFixture {
 protected:
  void SetUp() override {
    TEngineFixture::SetUp();
    const std::string dir = ScratchDir("directed_scene");
    WriteGameData(dir);
    SetDataDirectory(dir);
    CacheInit();
    OpenWindow();
    OpenDisplay(800, 600);
  }
  // Runs frames of the scene until `ticks` frames have run, as the loop does.
  static void RunFrames(TScene& scene, int frames) {
    for (int i = 0; i < frames; ++i) {
      scene.UpdateAndDraw();
      ++scene.FramesRun;
    }
  }
  static bool IsText(PBaseEntity e) { return dynamic_cast<THunText*>(e) != nullptr; }
};

TEST_F(DirectedSceneTest, IntroSlotsAreAgentDirectorLabelsAndPages) {
  TIntroScene scene;
  scene.Setup();
  EXPECT_EQ(scene.EntityAt(1), scene.Agent);
  auto* director = dynamic_cast<TIntroDirector*>(scene.EntityAt(2));
  ASSERT_NE(director, nullptr);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(scene.EntityAt(3 + i), director->Labels[i]) << i;
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(scene.EntityAt(6 + i), director->Pages[i]) << i;
    EXPECT_TRUE(IsText(scene.EntityAt(6 + i)));
  }
  for (int i = 10; i <= TScene::SlotCount; ++i)
    EXPECT_EQ(scene.EntityAt(i), nullptr) << i;
  EXPECT_EQ(director->Labels[0]->X, 295);
  EXPECT_EQ(director->Labels[1]->Y, 100);
  EXPECT_EQ(scene.Agent->GetSpritePackage(), "SPRITES");
}

TEST_F(DirectedSceneTest, IntroStartsEachPictureAndPageOnItsFrame) {
  TIntroScene scene;
  scene.Setup();
  auto* director = static_cast<TIntroDirector*>(scene.EntityAt(2));
  auto started = [](TAnimEntity* e) { return e->PlayState == Playing; };
  RunFrames(scene, 5);
  EXPECT_FALSE(started(director->Labels[0]));
  EXPECT_EQ(std::count(scene.FrameBuffer.Pixels, scene.FrameBuffer.Pixels + 800 * 600, 0),
            800 * 600)
      << "only the black backdrop before frame 5";
  RunFrames(scene, 1);  // t = 5
  EXPECT_TRUE(started(director->Labels[0]));
  RunFrames(scene, 114);  // t = 6 .. 119
  EXPECT_FALSE(started(director->Labels[1]));
  EXPECT_FALSE(started(director->Pages[0]));
  EXPECT_EQ(PixelAt(scene.FrameBuffer, 246, 451), 0) << "no page before it starts";
  RunFrames(scene, 1);  // t = 120: "quibbet" and page 1 together
  EXPECT_TRUE(started(director->Labels[1]));
  EXPECT_TRUE(started(director->Pages[0]));
  RunFrames(scene, 31);  // t = 151: page 1 reaches its peak after 32 fade steps
  EXPECT_EQ(PixelAt(scene.FrameBuffer, 246, 451), TestInk) << "page 1 at full strength";
  RunFrames(scene, 349);  // to t = 500
  EXPECT_TRUE(started(director->Labels[2]));
  EXPECT_TRUE(started(director->Pages[2]));
}

TEST_F(DirectedSceneTest, IntroRuns901FramesAndClosesItsArchiveWithTheScene) {
  {
    TIntroScene scene;
    scene.Setup();
    EXPECT_EQ(scene.Run(), TSceneEnd::Finished);
    EXPECT_EQ(scene.FramesRun, 901u);
    EXPECT_EQ(static_cast<TIntroDirector*>(scene.EntityAt(2))->Ticks, 901);
  }
  EXPECT_TRUE(ImageCache.Nodes.empty()) << "every picture and sheet handed back";
}

TEST_F(DirectedSceneTest, CreditsSlotsPairHeadingsWithNames) {
  TCreditsScene scene;
  scene.Setup();
  auto* director = dynamic_cast<TCreditsDirector*>(scene.EntityAt(2));
  ASSERT_NE(director, nullptr);
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(scene.EntityAt(2 * i + 1), director->Titles[i - 1]) << i;
    EXPECT_EQ(scene.EntityAt(2 * i + 2), director->Names[i - 1]) << i;
  }
  EXPECT_EQ(scene.EntityAt(13), nullptr);
  EXPECT_EQ(director->Titles[0]->X, 205);
  EXPECT_EQ(director->Names[4]->Y, 350);
}

TEST_F(DirectedSceneTest, CreditsPairsStartTogetherAndLeaveTheirSlotsWhenPlayed) {
  TCreditsScene scene;
  scene.Setup();
  auto* director = static_cast<TCreditsDirector*>(scene.EntityAt(2));
  RunFrames(scene, 6);  // t = 0 .. 5
  EXPECT_EQ(director->Titles[0]->PlayState, Playing);
  EXPECT_EQ(director->Names[0]->PlayState, Playing);
  EXPECT_EQ(director->Titles[1]->PlayState, Stopped);
  // Pair 1: 16 steps in, 70 held, 16 out, then gone at the start of the next frame.
  RunFrames(scene, 110);  // to t = 115
  EXPECT_EQ(scene.EntityAt(3), nullptr);
  EXPECT_EQ(scene.EntityAt(4), nullptr);
  EXPECT_EQ(director->Titles[0], nullptr) << "the director lets go of played texts";
  EXPECT_NE(scene.EntityAt(5), nullptr);
  EXPECT_EQ(director->Titles[1]->PlayState, Playing);
  EXPECT_EQ(director->Names[1]->PlayState, Playing);
}

TEST_F(DirectedSceneTest, CreditsRun721FramesAndEndEmpty) {
  TCreditsScene scene;
  scene.Setup();
  EXPECT_EQ(scene.Run(), TSceneEnd::Finished);
  EXPECT_EQ(scene.FramesRun, 721u);
  for (int i = 3; i <= 12; ++i)
    EXPECT_EQ(scene.EntityAt(i), nullptr) << "slot " << i;
}

TEST_F(DirectedSceneTest, EscapeEndsTheIntroAfterTheCurrentFrame) {
  TIntroScene scene;
  scene.Setup();
  Platform->PostMessage({Wm::KeyDown, Vk::Escape, 0});
  EXPECT_EQ(scene.Run(), TSceneEnd::Escape);
  EXPECT_EQ(scene.FramesRun, 1u);
}

TEST_F(DirectedSceneTest, FactoryBuildsTextsOfKindsFourAndFive) {
  TIntroScene scene;
  scene.Setup();
  auto* english = dynamic_cast<TEngText*>(
      scene.Agent->CreateEntity(4, 0x8000, "courier", false, 1, 2, 3, 0, 1, 1));
  auto* hungarian =
      dynamic_cast<THunText*>(scene.Agent->CreateEntity(5, 0, "fixedsys", false, 1, 2, 3, 0, 1, 1));
  ASSERT_NE(english, nullptr);
  ASSERT_NE(hungarian, nullptr);
  EXPECT_EQ(dynamic_cast<THunText*>(static_cast<TBaseEntity*>(english)), nullptr);
  EXPECT_EQ(english->Text, "TEXT");
  EXPECT_EQ(hungarian->Text, "HUNTEXT");
  EXPECT_EQ(english->Columns, 255);
  EXPECT_EQ(english->Rows, 1);
  EXPECT_EQ(english->PlayState, Playing);
  EXPECT_EQ(hungarian->PlayState, Stopped);
  EXPECT_EQ(scene.EntityAt(10), english);
  EXPECT_EQ(scene.EntityAt(11), hungarian);
}
