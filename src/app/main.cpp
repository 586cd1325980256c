// main(): reads the command line, chooses a back end, runs the program entry and reports.
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/data_search.h"
#include "app/frame_recorder.h"
#include "app/options.h"
#include "app/program.h"
#include "app/scene_list.h"
#include "app/settings.h"
#include "game/autopilot.h"
#include "gfx/boxes.h"
#include "gfx/display.h"
#include "platform/headless/headless_platform.h"
#include "res/data_dir.h"
#include "res/image_cache.h"
#include "res/packfile.h"
#ifdef QUIBBET_HAVE_SDL
#include "platform/sdl/sdl_platform.h"
#endif
#ifdef QUIBBET_HAVE_WIN32
#include "platform/win32/win32_platform.h"
#endif

namespace {

constexpr int BadUsage = 2;

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

std::unique_ptr<TPlatform> MakePlatform(const TOptions& options, TPlatformConfig config) {
  if (options.Headless) return CreateHeadlessPlatform(std::move(config));
#if defined(QUIBBET_HAVE_WIN32)
  return CreateWin32Platform(std::move(config), {options.Window, options.Scale});
#elif defined(QUIBBET_HAVE_SDL)
  return CreateSdlPlatform(
      std::move(config),
      {options.Window, options.Scale, options.IntegerScale ? TFitMode::Integer : TFitMode::Sharp});
#else
  std::fprintf(stderr, "quibbet: built without a display back end; use --headless\n");
  return nullptr;
#endif
}

bool WriteSummary(const std::string& path, const TRunReport& report) {
  const std::string json = SummaryJson(report) + "\n";
  if (path == "-") {
    std::fputs(json.c_str(), stdout);
    return std::fflush(stdout) == 0;
  }
  std::ofstream out(path, std::ios::binary);
  out << json;
  if (!out) std::fprintf(stderr, "quibbet: cannot write the summary %s\n", path.c_str());
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  TOptions options;
  switch (ParseOptions(argc, argv, options)) {
    case TOptionsResult::Run:
      break;
    case TOptionsResult::Done:
      return 0;
    case TOptionsResult::BadUsage:
      return BadUsage;
  }
  TPlatformConfig config;
  config.Turbo = options.Turbo;
  if (!options.InputFile.empty()) {
    TInputScript script;
    if (!ReadScript(options.InputFile, script)) return BadUsage;
    config.Script = std::move(script);
  }
  const TDataSearch data = FindGameData(options.DataDir, DataSearchInputsOfThisProgram(argv[0]));
  SetDataDirectory(data.Dir);
  Settings.Seed = options.Seed;

  std::unique_ptr<TFrameRecorder> recorder;
  if (!options.RecordDir.empty()) {
    recorder = std::make_unique<TFrameRecorder>(options.RecordDir, options.RecordEvery,
                                                options.RecordFrames);
    if (!recorder->Prepare()) return BadUsage;
    Display.OnPresent = [&recorder](const uint16_t* pixels, uint64_t index) {
      recorder->OnFrame(pixels, Display.Width, Display.Height, index);
    };
  }

  if (options.Autoplay) StartAutopilot();

  std::unique_ptr<TPlatform> platform = MakePlatform(options, std::move(config));
  if (!platform) return BadUsage;
  SetPlatform(platform.get());

  TRunReport report;
  CacheInit();
  try {
    StartupCheck();
    RunProgram(GameScenes(), options.MaxFrames, report);
  } catch (const TProgramExit& exit) {
    report.ExitCode = exit.Code;
  }
  // The box named the missing archive; a player also needs to know where it was looked for.
  if (report.ExitCode != 0 && !data.Found) std::fputs(DescribeSearch(data).c_str(), stderr);
  CacheDone();
  ResetPackfiles();
  report.Frames = Display.FramesPresented;
  Display.OnPresent = nullptr;
  SetPlatform(nullptr);
  platform.reset();
  if (!options.SummaryFile.empty() && !WriteSummary(options.SummaryFile, report) &&
      report.ExitCode == 0)
    report.ExitCode = 1;
  return report.ExitCode;
}
