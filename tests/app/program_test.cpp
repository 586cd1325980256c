// The program entry's fixed sequence, driven with test scenes and scripted input.
#include "app/program.h"

#include <gtest/gtest.h>

#include "gfx/boxes.h"
#include "gfx/display.h"
#include "gfx/window.h"
#include "support/engine_fixture.h"
#include "support/test_scene.h"

namespace {

// A scene that finishes itself after `frames` frames and logs its life.
TSceneFactory Timed(TEventLog& log, std::string name, int frames) {
  return [&log, name, frames] {
    log.push_back(name + ":construct");
    auto scene = std::make_unique<TTestScene>();
    scene->OnSetup = [&log, name, frames](TTestScene& s) {
      log.push_back(name + ":setup");
      auto* timer = new TProbe(nullptr, name);
      int left = frames;
      TAgentEntity* agent = s.Agent;
      timer->OnUpdate = [agent, left]() mutable {
        if (--left <= 0) agent->Finish();
      };
      agent->Add(timer);
    };
    return scene;
  };
}

}  // namespace

class ProgramTest : public TEngineFixture {
 protected:
  void UseScript(const char* text) {
    TPlatformConfig config;
    TScriptError error;
    config.Script = ParseInputScript(text, error);
    ASSERT_TRUE(config.Script) << error.Reason;
    UsePlatform(std::move(config));
  }
  TProgramScenes Scenes() {
    return {Timed(Log, "intro", 3), Timed(Log, "game", 4), Timed(Log, "credits", 2), {}};
  }
  TEventLog Log;
  TRunReport Report;
};

TEST_F(ProgramTest, RunsIntroGameCreditsEachToItsEndAndClosesTheDisplay) {
  TProgramScenes scenes = Scenes();
  scenes.Started = [&](const char* name) { Log.push_back(std::string("started ") + name); };
  RunProgram(scenes, 0, Report);
  EXPECT_EQ(Log, (TEventLog{"intro:construct", "started intro", "intro:setup", "game:construct",
                            "started game", "game:setup", "credits:construct", "started credits",
                            "credits:setup"}));
  ASSERT_EQ(Report.Scenes.size(), 3u);
  EXPECT_EQ(Report.Scenes[0].Frames, 3u);
  EXPECT_EQ(Report.Scenes[1].Frames, 4u);
  EXPECT_EQ(Report.Scenes[2].Frames, 2u);
  EXPECT_EQ(Report.Scenes[2].End, "finished");
  EXPECT_EQ(Display.FramesPresented, 9u);
  EXPECT_FALSE(Display.DisplayOpen);
  EXPECT_EQ(Platform->PresentationsClosed, 1);
}

TEST_F(ProgramTest, EscapeHeldAsTheGameEndsSkipsTheCredits) {
  UseScript("4 key down 27\n");  // after global frame 4, the game's second
  RunProgram(Scenes(), 0, Report);
  ASSERT_EQ(Report.Scenes.size(), 2u);
  EXPECT_EQ(Report.Scenes[1].End, "escape");
  EXPECT_EQ(Report.Scenes[1].Frames, 2u);
  EXPECT_FALSE(Display.DisplayOpen);
}

TEST_F(ProgramTest, EscapePressedAndReleasedDuringTheIntroStartsAFreshGame) {
  UseScript("0 key down 27\n1 key up 27\n");
  RunProgram(Scenes(), 0, Report);
  ASSERT_EQ(Report.Scenes.size(), 3u);
  EXPECT_EQ(Report.Scenes[0].End, "escape");
  EXPECT_EQ(Report.Scenes[0].Frames, 1u);
  EXPECT_EQ(Report.Scenes[1].Frames, 4u);
  EXPECT_EQ(Report.Scenes[1].End, "finished");
}

TEST_F(ProgramTest, EscapeHeldThroughoutRunsOneFrameOfEachSceneAndNoCredits) {
  UseScript("0 key down 27\n");
  RunProgram(Scenes(), 0, Report);
  ASSERT_EQ(Report.Scenes.size(), 2u);
  EXPECT_EQ(Report.Scenes[0].Frames, 1u);
  EXPECT_EQ(Report.Scenes[1].Frames, 1u);
}

TEST_F(ProgramTest, ClosedWindowStillRunsOneFrameOfEveryLaterScene) {
  UseScript("1 window close\n");
  RunProgram(Scenes(), 0, Report);
  ASSERT_EQ(Report.Scenes.size(), 3u);
  EXPECT_EQ(Report.Scenes[0].End, "closed");
  EXPECT_EQ(Report.Scenes[0].Frames, 2u);
  EXPECT_EQ(Report.Scenes[1].Frames, 1u);
  EXPECT_EQ(Report.Scenes[2].Frames, 1u);
}

TEST_F(ProgramTest, MaxFramesEndsTheRunningSceneAndTheProgram) {
  RunProgram(Scenes(), 5, Report);
  ASSERT_EQ(Report.Scenes.size(), 2u);
  EXPECT_EQ(Report.Scenes[1].End, "max-frames");
  EXPECT_EQ(Report.Scenes[1].Frames, 2u);
  EXPECT_EQ(Display.FramesPresented, 5u);
  EXPECT_FALSE(Display.DisplayOpen);
}

TEST_F(ProgramTest, FatalBoxInASceneRecordsItAndClosesTheDisplay) {
  TProgramScenes scenes = Scenes();
  scenes.Game = [this] {
    auto scene = std::make_unique<TTestScene>();
    scene->OnSetup = [this](TTestScene& s) {
      auto* bomb = new TProbe(&Log, "bomb");
      bomb->OnUpdate = [] { FatalBox("FILE ERROR", "broken"); };
      s.Agent->Add(bomb);
    };
    return scene;
  };
  EXPECT_THROW(RunProgram(scenes, 0, Report), TProgramExit);
  ASSERT_EQ(Report.Scenes.size(), 2u);
  EXPECT_EQ(Report.Scenes[1].End, "fatal");
  EXPECT_EQ(Report.Scenes[1].Frames, 0u);
  EXPECT_EQ(Log.back(), "bomb:dtor") << "the scene's entities are freed on the way out";
  EXPECT_FALSE(Display.DisplayOpen);
}
