// A run of the game once its options are known, shared by every program entry (the desktop's
// command line, the web page's address): the input script, the seed, the pilot, the sound, the
// program entry on the platform the entry makes, and what the run reports.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/options.h"
#include "app/report.h"
#include "platform/platform.h"
#include "platform/queued_platform.h"

constexpr int BadUsage = 2;

using TPlatformMaker = std::function<std::unique_ptr<TPlatform>(TPlatformConfig config)>;

// Plays the game as `options` say on a platform from `makePlatform`, with the data directory
// already set. Returns the exit code (also in `report`): 2 when the input script or the sound
// recording cannot be used, before anything runs. The platform is gone on return.
int RunGame(const TOptions& options, const TPlatformMaker& makePlatform, TRunReport& report);
