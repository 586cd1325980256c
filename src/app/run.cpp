// The run itself: what happens between reading the options and writing the summary.
#include "app/run.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/program.h"
#include "app/replay.h"
#include "app/scene_list.h"
#include "app/settings.h"
#include "audio/audio.h"
#include "game/autopilot.h"
#include "gfx/boxes.h"
#include "gfx/display.h"
#include "level/level_in_force.h"
#include "level/level_source.h"
#include "menu/in_game_menu.h"
#include "res/image_cache.h"
#include "res/mods.h"
#include "res/packfile.h"

namespace {

// Why the run cannot start: one line on stderr, kept for the report without the program's
// name (a page shows it in its own words); always false.
bool Refuse(std::string& problem, const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
  constexpr std::string_view Named = "quibbet: ";
  problem = line.rfind(Named, 0) == 0 ? line.substr(Named.size()) : line;
  return false;
}

bool ReadScript(const std::string& path, TInputScript& script, std::string& problem) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  if (!in) return Refuse(problem, "quibbet: cannot read the input script " + path);
  TScriptError error;
  auto parsed = ParseInputScript(text.str(), error);
  if (!parsed)
    return Refuse(problem, path + ":" + std::to_string(error.Line) + ": " + error.Reason);
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

// Lays the mods over the data and chooses the level, saying what is wrong on stderr. A level
// file or mod named on the command line that cannot be used is the command line's fault
// (false); a bad level in the data is left in the choice for the game's box.
bool PrepareData(const TOptions& options, TLevelChoice& level, std::string& problem) {
  for (const std::string& mod : options.Mods)
    if (std::string fault = ModFolderFault(mod); !fault.empty())
      return Refuse(problem, "quibbet: --mod " + fault);
  if (options.Mods.size() > MaxMods)
    return Refuse(problem, "quibbet: more than " + std::to_string(MaxMods) + " mods");
  SetModFolders(options.Mods);
  level = ChooseLevel(options.LevelFile);
  for (const std::string& warning : level.Warnings)
    std::fprintf(stderr, "%s\n", warning.c_str());
  if (level.FromFile && !level.Fault.empty()) return Refuse(problem, level.Fault);
  if (level.Fault.empty()) SetLevelInForce(level.Level);
  return true;
}

void ForgetData() {
  ResetLevelInForce();
  SetModFolders({});
}

}  // namespace

bool PlaysLive(const TOptions& options) {
  return !options.Autoplay && options.InputFile.empty() && !options.Watch && !options.Turbo &&
         !options.Headless;
}

TOptions WatchOptions(TOptions options, const std::string& recording) {
  options.InputFile = recording;
  options.Seed.reset();  // the recording's own
  options.Autoplay = false;
  options.Watch.reset();
  options.MaxFrames = 0;
  options.RecordDir.clear();
  options.RecordAudioFile.clear();
  options.SaveInputFile.clear();
  options.SummaryFile.clear();
  return options;
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

namespace {

// The run once the data are laid out and the level chosen; `levelFault` is a bad level of
// the data, shown in the game's box.
int RunGameOnData(const TOptions& options, const TRunHooks& hooks,
                  const TPlatformMaker& makePlatform, const std::string& levelFault,
                  TRunReport& report) {
  TPlatformConfig config;
  config.Turbo = options.Turbo;
  if (!options.InputFile.empty()) {
    TInputScript script;
    if (!ReadScript(options.InputFile, script, report.Problem)) return report.ExitCode = BadUsage;
    CheckScriptData(options, script);
    config.Script = std::move(script);
  }
  config.Player = hooks.Player;
  config.SettingsChanged = hooks.SettingsChanged;
  config.Screenshot = hooks.Screenshot;
  config.Recording = hooks.Recording;
  // The pause's menu, for a player at a screen; declared before the platform, which uses it.
  std::unique_ptr<TInGameMenu> menu;
  if (!options.Headless) {
    menu = std::make_unique<TInGameMenu>(hooks.Records);
    config.Menu = menu.get();
  }
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
    if (!levelFault.empty())
      FatalBox("LEVEL ERROR", "The level cannot be played:\r\r" + levelFault);
    report.Level = LevelInForce().Name;
    TProgramScenes scenes = GameScenes();
    scenes.Started = hooks.SceneStarted;
    RunProgram(scenes, options.MaxFrames, report);
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

}  // namespace

int PrintLevel(const TOptions& options) {
  TLevelChoice level;
  std::string problem;
  const bool usable = PrepareData(options, level, problem);
  ForgetData();
  if (!usable) return BadUsage;
  if (!level.Fault.empty()) {
    std::fprintf(stderr, "quibbet: %s\n", level.Fault.c_str());
    return 1;
  }
  std::fwrite(level.Text.data(), 1, level.Text.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

int RunGame(const TOptions& options, const TRunHooks& hooks, const TPlatformMaker& makePlatform,
            TRunReport& report) {
  TLevelChoice level;
  if (!PrepareData(options, level, report.Problem)) {
    ForgetData();
    return report.ExitCode = BadUsage;
  }
  const int code = RunGameOnData(options, hooks, makePlatform, level.Fault, report);
  ForgetData();
  return code;
}
