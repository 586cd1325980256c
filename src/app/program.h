// The program entry: the window, the display and the fixed scene sequence intro, game,
// credits. Scene types are given as factories so each scene object is made right before
// it runs and destroyed right after.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/report.h"
#include "app/scene.h"

using TSceneFactory = std::function<std::unique_ptr<TScene>()>;

struct TProgramScenes {
  TSceneFactory Intro;
  TSceneFactory Game;
  TSceneFactory Credits;
  // Told each scene's name ("intro", "game", "credits") as it starts; may be empty.
  std::function<void(const char* name)> Started;
};

// Runs the whole sequence; every scene that ran is added to `report`. With
// `maxTotalFrames` set, the scene running when that many frames were presented ends and no
// later scene runs. A fatal box leaves by TProgramExit after recording the scene.
void RunProgram(const TProgramScenes& scenes, uint64_t maxTotalFrames, TRunReport& report);
