// The run itself: what happens between reading the options and writing the summary.
#include "app/run.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/program.h"
#include "app/scene_list.h"
#include "app/settings.h"
#include "audio/audio.h"
#include "game/autopilot.h"
#include "gfx/boxes.h"
#include "gfx/display.h"
#include "res/image_cache.h"
#include "res/packfile.h"

namespace {

bool ReadScript(const std::string& path, TInputScript& script) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  if (!in) {
    std::fprintf(stderr, "quibbet: cannot read the input script %s\n", path.c_str());
    return false;
  }
  TScriptError error;
  auto parsed = ParseInputScript(text.str(), error);
  if (!parsed) {
    std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), error.Line, error.Reason.c_str());
    return false;
  }
  script = std::move(*parsed);
  return true;
}

TAudioConfig AudioConfig(const TOptions& options) {
  TAudioConfig audio;
  audio.Enabled = !options.Headless || !options.RecordAudioFile.empty();
  audio.Volume = options.Mute ? 0 : options.Volume;
  audio.RecordFile = options.RecordAudioFile;
  return audio;
}

void SayRecordingFailed(const TOptions& options, const std::string& error) {
  std::fprintf(stderr, "quibbet: cannot write the sound recording %s: %s\n",
               options.RecordAudioFile.c_str(), error.c_str());
}

}  // namespace

int RunGame(const TOptions& options, const TPlatformMaker& makePlatform, TRunReport& report) {
  TPlatformConfig config;
  config.Turbo = options.Turbo;
  if (!options.InputFile.empty()) {
    TInputScript script;
    if (!ReadScript(options.InputFile, script)) return report.ExitCode = BadUsage;
    config.Script = std::move(script);
  }
  Settings.Seed = options.Seed;
  std::string audioError;
  if (!StartAudio(AudioConfig(options), audioError)) {
    SayRecordingFailed(options, audioError);
    return report.ExitCode = BadUsage;
  }
  std::unique_ptr<TPlatform> platform = makePlatform(std::move(config));
  if (!platform) {
    StopAudio(audioError);
    return report.ExitCode = BadUsage;
  }
  SetPlatform(platform.get());
  if (options.Autoplay) StartAutopilot();

  CacheInit();
  try {
    StartupCheck();
    RunProgram(GameScenes(), options.MaxFrames, report);
  } catch (const TProgramExit& exit) {
    report.ExitCode = exit.Code;
  }
  if (!StopAudio(audioError)) {
    SayRecordingFailed(options, audioError);
    if (report.ExitCode == 0) report.ExitCode = 1;
  }
  CacheDone();
  ResetPackfiles();
  report.Frames = Display.FramesPresented;
  SetPlatform(nullptr);
  platform.reset();
  return report.ExitCode;
}
