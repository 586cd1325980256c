// What every program entry keeps of a player's runs: the settings they change in the game and
// the games they play live to an ending, wired into a run's hooks in one place.
#pragma once

#include <functional>
#include <string>

#include "app/options.h"
#include "app/records_keeper.h"
#include "app/report.h"
#include "app/run.h"
#include "app/settings_keeper.h"
#include "platform/input_script.h"

struct TPlayerKeepers {
  TSettingsKeeper& Settings;
  TRecordsKeeper& Records;
  // Called after each thing kept (the browser then writes its storage back).
  std::function<void()> Kept = [] {};
};

// The hooks of a run whose changed settings and live game the keepers keep; a live run's
// input goes to `recording`.
TRunHooks KeepingHooks(const TOptions& options, TPlayerKeepers& keepers,
                       TInputRecording& recording);
// After the run: the game, when a person played it live.
void KeepLiveGame(const TOptions& options, TPlayerKeepers& keepers, const TRunReport& report,
                  const TInputRecording& recording);
