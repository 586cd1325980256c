// The settings file of a run with a screen: read at the start, written whenever the player
// changes something in the game and at the end. A headless run has nothing the file holds
// (no screen, no sound device, no keys) and leaves it alone.
#pragma once

#include <string>

#include "app/options.h"
#include "platform/player_settings.h"

class TSettingsKeeper {
 public:
  // Reads --config FILE, or settings.ini in the player's configuration folder; what is wrong
  // with it goes to stderr, one line each.
  explicit TSettingsKeeper(const TOptions& options);

  // The settings of this run: the kept ones, with what the options say instead.
  const TPlayerSettings& RunSettings() const { return Run; }

  // The run's settings as the player changed them in the game: those changes are kept and
  // the file rewritten; what only the command line said is not kept.
  void Changed(const TPlayerSettings& now);

  // Writes the kept settings; a failure is one line on stderr, once a run.
  void Save();

 private:
  std::string Path;  // "" for a headless run, or when no folder is known
  TPlayerSettings Stored;
  TPlayerSettings Run;
  bool Failed = false;
};
