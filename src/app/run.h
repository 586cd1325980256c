// A run of the game once its options are known, shared by every program entry (the desktop's
// command line, the web page's address): the input script and its notes, the seed, the pilot,
// the sound, the program entry on the platform the entry makes, and what the run reports.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/options.h"
#include "app/records_view.h"
#include "app/report.h"
#include "platform/platform.h"
#include "platform/platform_config.h"
#include "platform/player_settings.h"

constexpr int BadUsage = 2;

using TPlatformMaker = std::function<std::unique_ptr<TPlatform>(TPlatformConfig config)>;

// What the program entry adds to the run's platform: the player's settings as they apply to
// this run, and what to do with what the player changes, photographs and does.
struct TRunHooks {
  TPlayerSettings Player;
  std::function<void(const TPlayerSettings&)> SettingsChanged;
  std::function<void(const uint16_t* pixels, int32_t width, int32_t height)> Screenshot;
  TInputRecording* Recording = nullptr;
  TRecordsHooks Records;
  // Told each scene's name as it starts (the page shows what the scene allows); may be empty.
  std::function<void(const char* scene)> SceneStarted;
};

// Whether a person plays this run as it goes: not the pilot, a script or a recording, not
// on a virtual clock, and on a screen. Only such games are kept in the records.
bool PlaysLive(const TOptions& options);
// A run that plays a recording again, as the menu's Records asks: the player's window and
// settings, nothing written but what the player changes.
TOptions WatchOptions(TOptions options, const std::string& recording);

// The settings of this run: the player's, with what the options say instead where they say
// something (--window, --volume...).
TPlayerSettings PlayerSettingsFor(TPlayerSettings player, const TOptions& options);

// Plays the game as `options` say on a platform from `makePlatform`, with the data directory
// already set and the options' mods laid over it. Returns the exit code (also in `report`):
// 2 when a mod, the level file, the input script or the sound recording cannot be used,
// before anything runs. The platform is gone on return.
int RunGame(const TOptions& options, const TRunHooks& hooks, const TPlatformMaker& makePlatform,
            TRunReport& report);

// --print-level: writes the level the options put in force to stdout, as its file has it.
// Returns the exit code: 2 for a mod or level file that cannot be used, 1 for a bad level in
// the data.
int PrintLevel(const TOptions& options);
