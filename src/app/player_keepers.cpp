// The keepers' hooks and the live game kept after a run.
#include "app/player_keepers.h"

TRunHooks KeepingHooks(const TOptions& options, TPlayerKeepers& keepers,
                       TInputRecording& recording) {
  TRunHooks hooks;
  hooks.Player = keepers.Settings.RunSettings();
  hooks.SettingsChanged = [&keepers](const TPlayerSettings& now) {
    keepers.Settings.Changed(now);
    keepers.Kept();
  };
  if (!options.Headless) hooks.Records = keepers.Records.Hooks();
  if (PlaysLive(options)) hooks.Recording = &recording;
  return hooks;
}

void KeepLiveGame(const TOptions& options, TPlayerKeepers& keepers, const TRunReport& report,
                  const TInputRecording& recording) {
  if (!PlaysLive(options) || report.ExitCode == BadUsage) return;
  keepers.Records.KeepRun(options, report, recording.Lines());
  keepers.Kept();
}
