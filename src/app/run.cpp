// The run itself: what happens between reading the options and writing the summary.
#include "app/run.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/pause_picture.h"
#include "app/program.h"
#include "app/replay.h"
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
  audio.RecordFile = options.RecordAudioFile;
  return audio;
}

// The seed of the game: the option, else the one an input script was recorded with; a turbo
// run without either takes the real clock, as a normal run takes its tick count.
std::optional<uint32_t> ChooseSeed(const TOptions& options, const TPlatformConfig& config) {
  if (options.Seed) return options.Seed;
  if (config.Script && config.Script->Seed) return config.Script->Seed;
  if (!options.Turbo) return std::nullopt;
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// A script recorded on other archives may play another game; say so, once.
void CheckScriptData(const TOptions& options, const TInputScript& script) {
  if (script.Data.empty()) return;
  const std::string here = DataFingerprint();
  if (script.Data == here) return;
  std::fprintf(stderr,
               "quibbet: %s was recorded with other game data than this (its archives were %s, "
               "these are %s): it may play another game\n",
               options.InputFile.c_str(), script.Data.c_str(), here.c_str());
}

void SayRecordingFailed(const TOptions& options, const std::string& error) {
  std::fprintf(stderr, "quibbet: cannot write the sound recording %s: %s\n",
               options.RecordAudioFile.c_str(), error.c_str());
}

}  // namespace

bool PlaysLive(const TOptions& options) {
  return !options.Autoplay && options.InputFile.empty() && !options.Watch && !options.Turbo &&
         !options.Headless;
}

TPlayerSettings PlayerSettingsFor(TPlayerSettings player, const TOptions& options) {
  if (options.Window) player.FullScreen = false;
  if (options.FullScreen) player.FullScreen = true;
  if (options.Scale) player.Scale = *options.Scale;
  if (options.IntegerScale) player.Fit = TFitMode::Integer;
  if (options.Mute) player.Mute = true;
  if (options.Volume) player.Volume = *options.Volume;
  return player;
}

int RunGame(const TOptions& options, const TRunHooks& hooks, const TPlatformMaker& makePlatform,
            TRunReport& report) {
  TPlatformConfig config;
  config.Turbo = options.Turbo;
  if (!options.InputFile.empty()) {
    TInputScript script;
    if (!ReadScript(options.InputFile, script)) return report.ExitCode = BadUsage;
    CheckScriptData(options, script);
    config.Script = std::move(script);
  }
  config.Player = hooks.Player;
  config.SettingsChanged = hooks.SettingsChanged;
  config.Screenshot = hooks.Screenshot;
  config.Recording = hooks.Recording;
  config.PausePicture = MakePausePicture;
  Settings.Seed = ChooseSeed(options, config);
  Settings.SeedUsed.reset();
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
  report.Seed = Settings.SeedUsed;
  SetPlatform(nullptr);
  platform.reset();
  return report.ExitCode;
}
