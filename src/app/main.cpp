// main(): reads the command line, finds the data, chooses a back end, runs the game and
// writes its summary.
#include <cstdio>
#include <fstream>
#include <memory>

#include "app/data_search.h"
#include "app/frame_recorder.h"
#include "app/options.h"
#include "app/run.h"
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
  const TDataSearch data = FindGameData(options.DataDir, DataSearchInputsOfThisProgram(argv[0]));
  SetDataDirectory(data.Dir);

  std::unique_ptr<TFrameRecorder> recorder;
  if (!options.RecordDir.empty()) {
    recorder = std::make_unique<TFrameRecorder>(options.RecordDir, options.RecordEvery,
                                                options.RecordFrames);
    if (!recorder->Prepare()) return BadUsage;
    Display.OnPresent = [&recorder](const uint16_t* pixels, uint64_t index) {
      recorder->OnFrame(pixels, Display.Width, Display.Height, index);
    };
  }

  TRunReport report;
  RunGame(
      options, [&](TPlatformConfig config) { return MakePlatform(options, std::move(config)); },
      report);
  Display.OnPresent = nullptr;
  if (report.ExitCode == BadUsage) return BadUsage;
  // The box named the missing archive; a player also needs to know where it was looked for.
  if (report.ExitCode != 0 && !data.Found) std::fputs(DescribeSearch(data).c_str(), stderr);
  if (!options.SummaryFile.empty() && !WriteSummary(options.SummaryFile, report) &&
      report.ExitCode == 0)
    report.ExitCode = 1;
  return report.ExitCode;
}
