// main(): reads the command line and the player's settings, finds the data, chooses a back
// end, runs the game, and writes what it keeps: the settings, the recorded input, the summary.
#include <cstdio>
#include <fstream>
#include <memory>

#include "app/data_search.h"
#include "app/frame_recorder.h"
#include "app/options.h"
#include "app/replay.h"
#include "app/run.h"
#include "app/screenshot.h"
#include "app/settings_file.h"
#include "app/whole_file.h"
#include "gfx/display.h"
#include "platform/headless/headless_platform.h"
#include "res/data_dir.h"
#ifdef QUIBBET_HAVE_SDL
#include "platform/sdl/sdl_platform.h"
#endif
#ifdef QUIBBET_HAVE_WIN32
#include "platform/win32/win32_platform.h"
#endif

namespace {

std::unique_ptr<TPlatform> MakePlatform(const TOptions& options, TPlatformConfig config) {
  if (options.Headless) return CreateHeadlessPlatform(std::move(config));
#if defined(QUIBBET_HAVE_WIN32)
  const TWin32Config win32{!config.Player.FullScreen, config.Player.Scale};
  return CreateWin32Platform(std::move(config), win32);
#elif defined(QUIBBET_HAVE_SDL)
  return CreateSdlPlatform(std::move(config));
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

// The settings file of a run with a screen: read at the start, written whenever the player
// changes something in the game and at the end. A headless run has nothing the file holds
// (no screen, no sound device, no keys) and leaves it alone.
class TSettingsKeeper {
 public:
  explicit TSettingsKeeper(const TOptions& options) {
    if (options.Headless) return;
    Path = options.ConfigFile.empty() ? DefaultSettingsPath(SettingsPathInputsOfThisProcess())
                                      : options.ConfigFile;
    std::vector<std::string> warnings;
    Stored = LoadSettings(Path, warnings);
    for (const std::string& warning : warnings)
      std::fprintf(stderr, "quibbet: %s\n", warning.c_str());
  }

  const TPlayerSettings& Settings() const { return Stored; }

  // What the player changed in the game is kept; what only the command line said is not.
  void Changed(const TPlayerSettings& before, const TPlayerSettings& after) {
    if (after.FullScreen != before.FullScreen) Stored.FullScreen = after.FullScreen;
    if (after.Volume != before.Volume) Stored.Volume = after.Volume;
    if (after.Mute != before.Mute) Stored.Mute = after.Mute;
    Save();
  }

  void Save() {
    std::string error;
    if (Path.empty() || Failed || SaveSettings(Path, Stored, error)) return;
    // Once: a folder that cannot be written stays so for the run, and the game plays on.
    Failed = true;
    std::fprintf(stderr, "quibbet: cannot keep the settings in %s: %s\n", Path.c_str(),
                 error.c_str());
  }

 private:
  std::string Path;
  TPlayerSettings Stored;
  bool Failed = false;
};

void TakeScreenshot(const uint16_t* pixels, int32_t width, int32_t height) {
  std::string path, error;
  if (SaveScreenshot(ScreenshotFolder(PicturesInputsOfThisProcess()), pixels, width, height, path,
                     error))
    std::fprintf(stderr, "quibbet: screenshot saved as %s\n", path.c_str());
  else
    std::fprintf(stderr, "quibbet: cannot save the screenshot: %s\n", error.c_str());
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
  const TDataSearch data = FindGameData(options.DataDir, DataSearchInputsOfThisProgram(argv[0]));
  SetDataDirectory(data.Dir);
  if (options.PrintLevel) return PrintLevel(options);

  std::unique_ptr<TFrameRecorder> recorder;
  if (!options.RecordDir.empty()) {
    recorder = std::make_unique<TFrameRecorder>(options.RecordDir, options.RecordEvery,
                                                options.RecordFrames);
    if (!recorder->Prepare()) return BadUsage;
    Display.OnPresent = [&recorder](const uint16_t* pixels, uint64_t index) {
      recorder->OnFrame(pixels, Display.Width, Display.Height, index);
    };
  }

  TSettingsKeeper settings(options);
  TRunHooks hooks;
  hooks.Player = PlayerSettingsFor(settings.Settings(), options);
  TPlayerSettings current = hooks.Player;
  hooks.SettingsChanged = [&](const TPlayerSettings& changed) {
    settings.Changed(current, changed);
    current = changed;
  };
  hooks.Screenshot = TakeScreenshot;
  TInputRecording recording;
  if (!options.SaveInputFile.empty()) hooks.Recording = &recording;

  TRunReport report;
  RunGame(
      options, hooks,
      [&](TPlatformConfig config) { return MakePlatform(options, std::move(config)); }, report);
  Display.OnPresent = nullptr;
  if (report.ExitCode == BadUsage) return BadUsage;
  settings.Save();
  std::string error;
  if (hooks.Recording != nullptr &&
      !WriteFileWhole(options.SaveInputFile,
                      RecordedScript(recording.Lines(), report.Seed, DataFingerprint()), error)) {
    std::fprintf(stderr, "quibbet: the input is not saved: %s\n", error.c_str());
    if (report.ExitCode == 0) report.ExitCode = 1;
  }
  // The box named the missing archive; a player also needs to know where it was looked for.
  if (report.ExitCode != 0 && !data.Found) std::fputs(DescribeSearch(data).c_str(), stderr);
  if (!options.SummaryFile.empty() && !WriteSummary(options.SummaryFile, report) &&
      report.ExitCode == 0)
    report.ExitCode = 1;
  return report.ExitCode;
}
