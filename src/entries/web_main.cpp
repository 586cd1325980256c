// The web page's program entry. The page passes its address's parameters, decoded, as pairs
// of arguments (name, value), with the input script, the mods and the level file (if any)
// already fetched into files of their own and named in place of their addresses; the
// archives wait in /data, fetched from beside the page or from ?data=. The player's settings
// and records live in the browser's storage, as the desktop's live in their folders; a record
// chosen in the menu plays after the run. The run's summary, or why it could not start, goes
// back to the page.
#include <cstdio>
#include <string>
#include <vector>

#include "app/player_keepers.h"
#include "app/query_options.h"
#include "platform/web/page_bridge.h"
#include "platform/web/web_platform.h"
#include "res/data_dir.h"
#include "res/player_folders.h"

namespace {

constexpr const char* DataFolder = "/data";

std::vector<TQueryParameter> Parameters(int argc, char** argv) {
  std::vector<TQueryParameter> parameters;
  for (int i = 1; i + 1 < argc; i += 2)
    parameters.push_back({argv[i], argv[i + 1]});
  return parameters;
}

// One run of the game, keeping what the player changed and a game they played live.
TRunReport Play(const TOptions& options, TPlayerKeepers& keepers) {
  TInputRecording recording;
  TRunHooks hooks = KeepingHooks(options, keepers, recording);
  hooks.SceneStarted = Page::SceneStarted;
  TRunReport report;
  RunGame(
      options, hooks,
      [&](TPlatformConfig config) {
        return CreateWebPlatform(std::move(config), options.RecordFrames);
      },
      report);
  KeepLiveGame(options, keepers, report, recording);
  return report;
}

}  // namespace

int main(int argc, char** argv) {
  TOptions options;
  std::vector<std::string> notes;
  std::string problem;
  const bool usable = ReadQueryOptions(Parameters(argc, argv), options, notes, problem);
  for (const std::string& note : notes) {
    std::fprintf(stderr, "quibbet: %s\n", note.c_str());
    Page::Note(note);
  }
  if (!usable) {
    std::fprintf(stderr, "quibbet: %s\n", problem.c_str());
    Page::Finished(BadUsage, "", problem);
    return BadUsage;
  }
  SetDataDirectory(DataFolder);
  Page::OpenStorage(BrowserFoldersRoot);
  TSettingsKeeper settings(options);
  TRecordsKeeper records;
  TPlayerKeepers keepers{settings, records, Page::KeepStorage};
  TRunReport report = Play(options, keepers);
  for (std::string watch; report.ExitCode == 0 && !(watch = records.TakeWatch()).empty();)
    report = Play(WatchOptions(options, watch), keepers);
  const std::string summary = report.ExitCode == BadUsage ? "" : SummaryJson(report);
  if (report.ExitCode == BadUsage) problem = report.Problem;
  Page::Finished(report.ExitCode, summary, problem);
  return report.ExitCode;
}
