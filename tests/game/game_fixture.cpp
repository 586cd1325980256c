// The game test fixture: archives written per test, the scene, frames and effect lookup.
#include "game/game_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include "app/settings.h"
#include "res/data_dir.h"
#include "res/image_cache.h"
#include "res/packfile.h"
#include "support/run_binary.h"

TGameDataSet TGameFixture::GameData() {
  TGameDataSet data = DefaultGameData();
  auto& p = data.Pictures;
  p["background.pcx"] = {1600, 600, BackgroundColour};
  p["bus.pcx"] = {BusW, BusH, 0xFFE0};
  p["holycross.pcx"] = {CrossW, CrossH, 0xFFFF};
  p["med_red.pcx"] = {PelletW, PelletH, 0xF800};
  p["grenade.pcx"] = {GrenadeW, GrenadeH, 0x07E0};
  p["carrot.pcx"] = {CarrotW, CarrotH, 0xFC00};
  p["m&m.pcx"] = {MnMW, MnMH, 0x001F};
  p["drumbo.pcx"] = {DrumboW, DrumboH, 0x8410};
  p["zelvina.pcx"] = {BossW, BossH, 0xF81F};
  p["victim.pcx"] = {VictimW, VictimH, 0x4208};
  p["winner.pcx"] = {WinnerW, WinnerH, WinnerColour};
  p["finger.pcx"] = {FingerW, FingerH, FingerColour};
  return data;
}

void TGameFixture::SetUp() {
  TEngineFixture::SetUp();
  Dir = ScratchDir("game");
  WriteGameData(Dir, GameData());
  SetDataDirectory(Dir);
  CacheInit();
  Scene.Setup();
  Scene.Agent->SetSpritePackage("SPRITES");
}

void TGameFixture::TearDown() {
  Settings = {};
  TEngineFixture::TearDown();
}

void TGameFixture::UseData(const TGameDataSet& data) {
  CacheDone();
  ResetPackfiles();
  WriteGameData(Dir, data);
  CacheInit();
}

void TGameFixture::Frame(int count) {
  for (int i = 0; i < count; ++i) {
    Stage->UpdateAndDraw();
    ++Stage->FramesRun;
  }
}

std::vector<TEffect> TGameFixture::Effects() {
  std::vector<TEffect> effects;
  for (PBaseEntity e : Stage->Slots) {
    auto* sprite = dynamic_cast<TFrameSprite*>(e);
    if (sprite == nullptr) continue;
    TEffect effect;
    // The frames are the cache's records, so the first one names the animation.
    for (const TCachedImage& node : ImageCache.Nodes)
      if (node.Image.Pixels == sprite->Frames[0].Pixels) effect.Name = node.Name;
    if (effect.Name.size() > 6) effect.Name.resize(effect.Name.size() - 6);  // "NN.pcx"
    effect.X = sprite->X;
    effect.Y = sprite->Y;
    effect.FrameCount = sprite->FrameCount;
    effect.PlaysOnce =
        sprite->PlayState == Playing && sprite->LoopLimit == 1 && sprite->DestroyAtEnd;
    effects.push_back(effect);
  }
  return effects;
}

bool TGameFixture::InScene(const TBaseEntity* e) const {
  return std::find(std::begin(Stage->Slots), std::end(Stage->Slots), e) != std::end(Stage->Slots);
}

std::string Shown(const TBaseText& text) {
  std::string s = text.Text;
  if (!s.empty() && s.back() == '\n') s.pop_back();
  return s;
}

void ExpectBox(TMovingEntity& actor, TPoint16 topLeft, TPoint16 bottomRight) {
  TPoint16 a, b;
  actor.GetBounds(a, b);
  EXPECT_EQ(a, topLeft);
  EXPECT_EQ(b, bottomRight);
}

bool operator==(const TEffect& a, const TEffect& b) {
  return a.Name == b.Name && a.X == b.X && a.Y == b.Y && a.FrameCount == b.FrameCount &&
         a.PlaysOnce == b.PlaysOnce;
}

void PrintTo(const TEffect& e, std::ostream* os) {
  *os << e.Name << "@(" << e.X << "," << e.Y << ") frames " << e.FrameCount
      << (e.PlaysOnce ? " once" : " not once");
}
