// The web page's program entry. The page passes its address's query as the one argument, with
// the input script (if any) already fetched to /input.txt; the archives wait in /data, fetched
// from beside the page or from ?data=. The run's summary goes back to the page.
#include <emscripten.h>

#include <cstdio>
#include <string>

#include "app/query_options.h"
#include "app/run.h"
#include "platform/web/web_platform.h"
#include "res/data_dir.h"

namespace {

EM_JS(void, HostFinished, (int code, const char* summary, const char* problem),
      { Module["quibbetHost"].finished(code, UTF8ToString(summary), UTF8ToString(problem)); });

constexpr const char* DataFolder = "/data";

}  // namespace

int main(int argc, char** argv) {
  TOptions options;
  std::string problem;
  if (argc > 1 && !ParseQueryOptions(argv[1], options, problem)) {
    std::fprintf(stderr, "quibbet: %s\n", problem.c_str());
    HostFinished(BadUsage, "", problem.c_str());
    return BadUsage;
  }
  SetDataDirectory(DataFolder);
  TRunHooks hooks;
  hooks.Player = PlayerSettingsFor(TPlayerSettings{}, options);
  TRunReport report;
  RunGame(
      options, hooks,
      [&](TPlatformConfig config) {
        return CreateWebPlatform(std::move(config), options.RecordFrames);
      },
      report);
  const std::string summary = report.ExitCode == BadUsage ? "" : SummaryJson(report);
  if (report.ExitCode == BadUsage) problem = "the input script cannot be used";
  HostFinished(report.ExitCode, summary.c_str(), problem.c_str());
  return report.ExitCode;
}
