// Sprites: cache ownership, the animation step with its play control and loop limits, the
// glow and shade timelines, and the agent's factory.
#include "gfx/sprite.h"

#include <gtest/gtest.h>

#include "entity/agent.h"
#include "gfx/boxes.h"
#include "res/data_dir.h"
#include "res/image_cache.h"
#include "support/engine_fixture.h"
#include "support/picture_files.h"
#include "support/run_binary.h"
#include "support/test_scene.h"

class SpriteTest : public TEngineFixture {
 protected:
  void SetUp() override {
    TEngineFixture::SetUp();
    CacheInit();
    Dir = ScratchDir("sprites");
    SetDataDirectory(Dir);
    for (int i = 0; i < 21; ++i)
      WriteFlatPcx(Dir, FrameFileName("b", i), 2, 2, uint16_t(i + 1));
    WriteFlatPcx(Dir, "white.pcx", 2, 2, 0xFFFF);
    Scene.Setup();
  }
  void TearDown() override {
    CacheDone();
    SetDataDirectory("");
    TEngineFixture::TearDown();
  }
  // Runs one frame of the entity as the loop does; returns the pixel it drew at (0, 0),
  // or 0 when it was not drawn.
  uint16_t Frame(TBaseEntity& e) {
    FillSurface(Scene.FrameBuffer, 0);
    if (e.Update()) e.Draw(Scene.FrameBuffer);
    return PixelAt(Scene.FrameBuffer, 0, 0);
  }
  // The glow level of the last draw of a white picture onto black: full strength is 0,
  // invisible is 32 (31 red left means level 0; a red of 15 means 16).
  static int GlowLevel(uint16_t pixel) { return 31 - (pixel >> 11); }

  std::string Dir;
  TTestScene Scene;
};

TEST_F(SpriteTest, ImageEntitySharesTheCachedPictureAndHandsItBack) {
  {
    TImageEntity a(0, 0, Scene.Agent, "white.pcx");
    TImageEntity b(0, 0, Scene.Agent, "white.pcx");
    EXPECT_EQ(a.Image.Pixels, b.Image.Pixels);
    ASSERT_EQ(ImageCache.Nodes.size(), 1u);
    EXPECT_EQ(ImageCache.Nodes.front().References, 2);
    EXPECT_TRUE(a.Update());
  }
  EXPECT_TRUE(ImageCache.Nodes.empty()) << "the last user freed the picture";
}

TEST_F(SpriteTest, FrameSpriteLoadsNumberedFramesAndShowsEachForDelayPlusOne) {
  TFrameSprite sprite(0, 0, Scene.Agent, 1, 3, false, "b");
  std::vector<std::string> names;
  for (const TCachedImage& node : ImageCache.Nodes)
    names.push_back(node.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"b00.pcx", "b01.pcx", "b02.pcx"}));
  EXPECT_EQ(Frame(sprite), 0) << "never started: not drawn";
  sprite.Play();
  std::vector<uint16_t> shown;
  for (int i = 0; i < 8; ++i)
    shown.push_back(Frame(sprite));
  // Colours are frame number + 1: frames 0, 0, 1, 1, 2, 2, 0, 0.
  EXPECT_EQ(shown, (std::vector<uint16_t>{1, 1, 2, 2, 3, 3, 1, 1}));
}

TEST_F(SpriteTest, FrameNamesRunFromB00ToB20) {
  EXPECT_EQ(FrameFileName("b", 0), "b00.pcx");
  EXPECT_EQ(FrameFileName("b", 9), "b09.pcx");
  EXPECT_EQ(FrameFileName("b", 20), "b20.pcx");
  TFrameSprite sprite(0, 0, Scene.Agent, 0, 21, false, "b");
  EXPECT_EQ(ImageCache.Nodes.back().Name, "b20.pcx");
}

TEST_F(SpriteTest, DestroyingAFrameSpriteHandsBackEachFrameOnce) {
  TImageEntity holder(0, 0, Scene.Agent, "b01.pcx");  // keeps one frame cached
  {
    TFrameSprite sprite(0, 0, Scene.Agent, 0, 3, false, "b");
    sprite.Play();
    Frame(sprite);
    Frame(sprite);  // Image now copies frame 1
  }
  ASSERT_EQ(ImageCache.Nodes.size(), 1u);
  EXPECT_EQ(ImageCache.Nodes.front().References, 1);
}

TEST_F(SpriteTest, FrameCountsOutsideOneTo21AreRefused) {
  EXPECT_THROW(TFrameSprite(0, 0, Scene.Agent, 0, 0, false, "b"), TProgramExit);
  EXPECT_THROW(TFrameSprite(0, 0, Scene.Agent, 0, 22, false, "b"), TProgramExit);
  ASSERT_EQ(Platform->Boxes.size(), 2u);
  EXPECT_NE(Platform->Boxes[1].Text.find("\"b\" asks for 22 frames"), std::string::npos);
  EXPECT_TRUE(ImageCache.Nodes.empty());
}

TEST_F(SpriteTest, FreezeKeepsTheFrameOnScreenAndStillEndsAtTheLimit) {
  TFrameSprite sprite(0, 0, Scene.Agent, 0, 3, false, "b");
  sprite.Play();
  Frame(sprite);
  Frame(sprite);  // now on frame 2 (colour 3 shown next)
  sprite.Freeze();
  EXPECT_EQ(Frame(sprite), 3);
  EXPECT_EQ(Frame(sprite), 3);
  EXPECT_EQ(sprite.Frame, 2);
  sprite.LoopsDone = 1;
  sprite.SetLoopLimit(1);
  EXPECT_EQ(Frame(sprite), 3) << "the end is noticed but this frame is drawn";
  EXPECT_EQ(sprite.PlayState, Stopped);
  EXPECT_EQ(sprite.Frame, 0);
}

TEST_F(SpriteTest, LoopLimitStopsAfterTheLastWrapAndPlayStartsAgain) {
  TFrameSprite sprite(0, 0, Scene.Agent, 0, 2, false, "b");
  sprite.SetLoopLimit(2);
  sprite.Play();
  std::vector<uint16_t> shown;
  for (int i = 0; i < 6; ++i)
    shown.push_back(Frame(sprite));
  // Steps: 1, wrap (1 loop), 1, wrap (2 loops: drawn, then stopped), invisible.
  EXPECT_EQ(shown, (std::vector<uint16_t>{1, 2, 1, 2, 0, 0}));
  EXPECT_EQ(sprite.LoopsDone, 0);
  sprite.Play();
  EXPECT_EQ(Frame(sprite), 1);
  EXPECT_EQ(sprite.Frame, 1);
}

TEST_F(SpriteTest, GlowTimelineFollowsItsFadeHoldAndFadeOut) {
  auto* glow = static_cast<TGlowSprite*>(
      Scene.Agent->CreateEntity(2, 0xC000, "white", true, 0, 0, 3, 0, 2, 2));
  ASSERT_NE(glow, nullptr);
  EXPECT_EQ(glow->FrameCount, 5);
  struct TRow {
    int FrameAfterUpdate, Level, FrameAfterDraw, DelayLeft;
  };
  const TRow rows[] = {{1, 16, 1, 0}, {2, 0, 3, 3},  {3, 0, 3, 2}, {3, 0, 3, 1},
                       {3, 0, 3, 0},  {4, 16, 4, 0}, {0, 32, 0, 0}};
  int row = 1;
  for (const TRow& expected : rows) {
    FillSurface(Scene.FrameBuffer, 0);
    ASSERT_TRUE(glow->Update()) << "row " << row;
    EXPECT_EQ(glow->Frame, expected.FrameAfterUpdate) << "row " << row;
    glow->Draw(Scene.FrameBuffer);
    EXPECT_EQ(GlowLevel(PixelAt(Scene.FrameBuffer, 0, 0)), std::min(expected.Level, 31))
        << "row " << row;
    EXPECT_EQ(glow->Frame, expected.FrameAfterDraw) << "row " << row;
    EXPECT_EQ(glow->DelayLeft, expected.DelayLeft) << "row " << row;
    ++row;
  }
  EXPECT_EQ(glow->LoopsDone, 1);
  EXPECT_EQ(Scene.Agent->Destroyer->Pending, (std::vector<PBaseEntity>{glow}));
  Scene.Agent->Update();
  EXPECT_EQ(Scene.EntityAt(2), nullptr);
  EXPECT_TRUE(ImageCache.Nodes.empty());
}

TEST_F(SpriteTest, GlowWithoutFadeInStartsAtItsPeak) {
  TGlowSprite glow(0, 0, Scene.Agent, 0, 5, false, "white", 0, 4);
  glow.Freeze();  // drawn without stepping
  FillSurface(Scene.FrameBuffer, 0);
  glow.Draw(Scene.FrameBuffer);
  EXPECT_EQ(GlowLevel(PixelAt(Scene.FrameBuffer, 0, 0)), 0);
  EXPECT_EQ(glow.DelayLeft, 5);
  EXPECT_EQ(glow.Frame, 1);
}

TEST_F(SpriteTest, LongFadeInStaysInvisibleUntilThePeak) {
  TGlowSprite glow(0, 0, Scene.Agent, 0, 0, false, "white", 40, 1);
  glow.Play();
  for (int i = 1; i < 40; ++i) {
    EXPECT_EQ(GlowLevel(Frame(glow)), 31) << i;  // 32 div 40 is 0: level 32 throughout
  }
  EXPECT_EQ(GlowLevel(Frame(glow)), 0) << "the peak shows at full strength";
}

TEST_F(SpriteTest, FadeWithoutFadeOutIsRefused) {
  EXPECT_THROW(TGlowSprite(0, 0, Scene.Agent, 0, 0, false, "white", 2, 0), TProgramExit);
  EXPECT_THROW(TShadeSprite(0, 0, Scene.Agent, 0, 0, false, "white", 2, 0), TProgramExit);
}

TEST_F(SpriteTest, ShadeDarkensMoreTowardsItsPeakAndBlacksOutThere) {
  WriteFlatPcx(Dir, "black.pcx", 2, 2, 0);
  TShadeSprite shade(0, 0, Scene.Agent, 0, 0, false, "black", 2, 2);
  shade.Play();
  std::vector<uint16_t> greens;
  for (int i = 0; i < 4; ++i) {
    FillSurface(Scene.FrameBuffer, 0xFFFF);
    ASSERT_TRUE(shade.Update());
    shade.Draw(Scene.FrameBuffer);
    greens.push_back((PixelAt(Scene.FrameBuffer, 0, 0) >> 5) & 0x3F);
  }
  // Steps 1 (level 32), 2 (the peak, 64: black), 4 (out again to 32), 0 (a new cycle, 0).
  EXPECT_EQ(greens, (std::vector<uint16_t>{31, 0, 31, 63}));
  TShadeSprite early(0, 0, Scene.Agent, 0, 0, false, "black", 4, 2);
  early.Freeze();
  FillSurface(Scene.FrameBuffer, 0xFFFF);
  early.Draw(Scene.FrameBuffer);  // step 0: level 0, nothing darkened
  EXPECT_EQ(PixelAt(Scene.FrameBuffer, 0, 0), 0xFFFF);
  early.Frame = 1;
  early.Draw(Scene.FrameBuffer);  // level 16
  EXPECT_EQ(PixelAt(Scene.FrameBuffer, 0, 0) >> 11, 31 - 16);
}

TEST_F(SpriteTest, FactoryRefusesUnknownKindsAndTouchesNoSlot) {
  EXPECT_EQ(Scene.Agent->CreateEntity(0, 0, "white", false, 0, 0, 0, 0, 0, 1), nullptr);
  EXPECT_EQ(Scene.Agent->CreateEntity(6, 0, "white", false, 0, 0, 0, 0, 0, 1), nullptr);
  EXPECT_EQ(Scene.EntityAt(2), nullptr);
}

TEST_F(SpriteTest, FactorySplitsLoopLimitAndStartCommand) {
  auto* once =
      static_cast<TAnimEntity*>(Scene.Agent->CreateEntity(1, 0xC005, "b", false, 0, 0, 2, 0, 0, 0));
  EXPECT_EQ(once->LoopLimit, 1);
  EXPECT_EQ(once->PlayState, Playing);
  auto* limited =
      static_cast<TAnimEntity*>(Scene.Agent->CreateEntity(1, 5, "b", false, 0, 0, 2, 0, 0, 0));
  EXPECT_EQ(limited->LoopLimit, 5);
  EXPECT_EQ(limited->PlayState, Stopped);
  auto* frozen = static_cast<TAnimEntity*>(
      Scene.Agent->CreateEntity(3, 0x4000, "white", false, 0, 0, 2, 0, 1, 1));
  EXPECT_EQ(frozen->PlayState, Frozen);
  EXPECT_EQ(Scene.EntityAt(2), once);
  EXPECT_EQ(Scene.EntityAt(4), frozen);
  EXPECT_FALSE(limited->Update()) << "stopped: in its slot, not drawn";
}

TEST_F(SpriteTest, ExplosionPlaysOnceAndIsDestroyedByTheAgent) {
  PBaseEntity explosion = Scene.Agent->CreateEntity(1, 0xC000, "b", true, 5, 5, 16, 0, 0, 0);
  ASSERT_EQ(Scene.EntityAt(2), explosion);
  for (int frame = 0; frame < 16; ++frame) {
    Scene.UpdateAndDraw();
    ASSERT_EQ(Scene.EntityAt(2), explosion) << frame;
  }
  Scene.UpdateAndDraw();  // the agent empties its queue first
  EXPECT_EQ(Scene.EntityAt(2), nullptr);
  EXPECT_TRUE(ImageCache.Nodes.empty());
}
