// The entry's straight pass: window, display, scenes, display closed.
#include "app/program.h"

#include "audio/audio.h"
#include "gfx/boxes.h"
#include "gfx/display.h"
#include "gfx/window.h"

namespace {

constexpr uint8_t PopupWindow = 1;

// Construct, set up, run, destroy: the four steps of every scene.
TSceneEnd RunScene(const char* name, const TSceneFactory& factory, const TProgramScenes& scenes,
                   uint64_t maxTotalFrames, TRunReport& report) {
  std::unique_ptr<TScene> scene = factory();
  if (scenes.Started) scenes.Started(name);
  report.Scenes.push_back({name, 0, "fatal", {}, {}});
  try {
    scene->Setup();
    const TSceneEnd end = scene->Run(maxTotalFrames);
    TSceneRecord& record = report.Scenes.back();
    record.Frames = scene->FramesRun;
    record.End = SceneEndName(end);
    scene->AddToReport(record);
    return end;
  } catch (const TProgramExit&) {
    report.Scenes.back().Frames = scene->FramesRun;
    throw;
  }
}

}  // namespace

void RunProgram(const TProgramScenes& scenes, uint64_t maxTotalFrames, TRunReport& report) {
  RegisterWindowClass(PopupWindow);
  CreateMainWindow("Save Quibbet!", PopupWindow);
  WaitForWindowCreated();
  OpenDisplay(800, 600);
  if (RunScene("intro", scenes.Intro, scenes, maxTotalFrames, report) != TSceneEnd::MaxFrames &&
      RunScene("game", scenes.Game, scenes, maxTotalFrames, report) != TSceneEnd::MaxFrames &&
      Input.Keys[Vk::Escape] == 0) {
    RunScene("credits", scenes.Credits, scenes, maxTotalFrames, report);
  }
  FadeOutAudio();
  CloseDisplay();
}
