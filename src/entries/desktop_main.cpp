// The desktop's and Windows' program entry: reads the command line, finds the data, chooses a
// back end, runs the shared game (app/run) with the player's settings, screenshots and
// records, and writes what the run leaves: the game kept in the records, the recorded input,
// the summary. A game the menu asks to watch is played once the run has ended.
#include <cstdio>
#include <memory>

#include "app/data_search.h"
#include "app/frame_recorder.h"
#include "app/mod_list.h"
#include "app/options.h"
#include "app/player_keepers.h"
#include "app/records_keeper.h"
#include "app/replay.h"
#include "app/run.h"
#include "app/screenshot.h"
#include "app/settings_keeper.h"
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

// Frames as PNG files while the run goes, as --record asks; false when their folder cannot
// be made.
bool RecordFrames(const TOptions& options, std::unique_ptr<TFrameRecorder>& recorder) {
  if (options.RecordDir.empty()) return true;
  recorder = std::make_unique<TFrameRecorder>(options.RecordDir, options.RecordEvery,
                                              options.RecordFrames);
  if (!recorder->Prepare()) return false;
  Display.OnPresent = [&recorder](const uint16_t* pixels, uint64_t index) {
    recorder->OnFrame(pixels, Display.Width, Display.Height, index);
  };
  return true;
}

// One run of the game and what it leaves; the exit code.
int Play(const TOptions& options, const TDataSearch& data, TPlayerKeepers& keepers) {
  std::unique_ptr<TFrameRecorder> recorder;
  if (!RecordFrames(options, recorder)) return BadUsage;

  TInputRecording recording;
  TRunHooks hooks = KeepingHooks(options, keepers, recording);
  hooks.Screenshot = TakeScreenshot;
  if (!options.SaveInputFile.empty()) hooks.Recording = &recording;

  TRunReport report;
  RunGame(
      options, hooks,
      [&](TPlatformConfig config) { return MakePlatform(options, std::move(config)); }, report);
  Display.OnPresent = nullptr;
  if (report.ExitCode == BadUsage) return BadUsage;
  KeepLiveGame(options, keepers, report, recording);
  if (!options.SaveInputFile.empty() &&
      !SaveRecordedInput(options.SaveInputFile, recording.Lines(), report.Seed) &&
      report.ExitCode == 0)
    report.ExitCode = 1;
  // The box named the missing archive; a player also needs to know where it was looked for.
  if (report.ExitCode != 0 && !data.Found) std::fputs(DescribeSearch(data).c_str(), stderr);
  if (!options.SummaryFile.empty() && !WriteSummary(options.SummaryFile, report) &&
      report.ExitCode == 0)
    report.ExitCode = 1;
  return report.ExitCode;
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
  const TDataSearchInputs inputs = DataSearchInputsOfThisProgram(argv[0]);
  if (options.ListMods) return ListMods(ModSearchPath(inputs));
  if (std::string fault = ResolveModNames(options.Mods, ModSearchPath(inputs)); !fault.empty()) {
    std::fprintf(stderr, "quibbet: %s\n", fault.c_str());
    return BadUsage;
  }
  const TDataSearch data = FindGameData(options.DataDir, inputs);
  SetDataDirectory(data.Dir);
  if (options.PrintLevel) return PrintLevel(options);

  TRecordsKeeper records;
  if (options.Records) return records.Print(options.Json);
  if (options.Watch) {
    options.InputFile = records.RecordingOf(*options.Watch);
    if (options.InputFile.empty()) return BadUsage;
  }
  TSettingsKeeper settings(options);
  TPlayerKeepers keepers{settings, records};
  int code = Play(options, data, keepers);
  for (std::string watch; code == 0 && !(watch = records.TakeWatch()).empty();)
    code = Play(WatchOptions(options, watch), data, keepers);
  return code;
}
