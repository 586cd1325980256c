// Where the file is, which of its entries the player changed, and saying once that they
// cannot be kept.
#include "app/settings_keeper.h"

#include <cstdio>
#include <vector>

#include "app/run.h"
#include "res/player_folders.h"

TSettingsKeeper::TSettingsKeeper(const TOptions& options) {
  TPlayerSettings stored;
  if (!options.Headless) {
    Path = options.ConfigFile.empty() ? DefaultSettingsPath(PlayerFoldersOfThisProcess())
                                      : options.ConfigFile;
    std::vector<std::string> warnings;
    const TLoadedSettings loaded = LoadSettings(Path, warnings);
    stored = loaded.Settings;
    Whole = loaded.Whole;
    for (const std::string& warning : warnings)
      std::fprintf(stderr, "quibbet: %s\n", warning.c_str());
  }
  Run = PlayerSettingsFor(stored, options);
}

void TSettingsKeeper::Changed(const TPlayerSettings& now) {
  Unsaved |= DifferingEntries(Run, now);
  Run = now;
  if (Path.empty() || Unsaved.none()) return;
  if (!Whole) return Say(Path + " was not read whole, so it is left as it is");
  // A change that cannot be written now stays unsaved, for the next change to try again.
  std::string error;
  if (SaveSettingsEdits(Path, Run, Unsaved, error)) {
    Unsaved.reset();
    return;
  }
  Say(error);
}

void TSettingsKeeper::Say(const std::string& what) {
  if (Said) return;
  Said = true;
  std::fprintf(stderr, "quibbet: the settings changed in the game are not kept: %s\n",
               what.c_str());
}
