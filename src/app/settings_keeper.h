// The settings file of a run with a screen: read at the start, and edited whenever the player
// changes something in the game, never otherwise. A headless run has nothing the file holds
// (no screen, no sound device, no keys) and leaves it alone.
#pragma once

#include <string>

#include "app/options.h"
#include "app/settings_file.h"
#include "platform/player_settings.h"

class TSettingsKeeper {
 public:
  // Reads --config FILE, or settings.ini in the player's configuration folder; what is wrong
  // with it goes to stderr, one line each.
  explicit TSettingsKeeper(const TOptions& options);

  // The settings of this run: the kept ones, with what the options say instead.
  const TPlayerSettings& RunSettings() const { return Run; }

  // The run's settings as the player changed them in the game. What differs from before is
  // edited into the file at once, read afresh, so that another game's changes to other keys
  // stay; what only the command line said is not written. A file the run could not read
  // whole is left as it is, and a write that fails leaves the file as it was: either is said
  // once, and the game plays on with the change.
  void Changed(const TPlayerSettings& now);

 private:
  void Say(const std::string& what);

  std::string Path;  // "" for a headless run, or when no folder is known
  bool Whole = true;
  TPlayerSettings Run;
  TSettingsEntries Unsaved;  // changed in the game, not yet in the file
  bool Said = false;
};
