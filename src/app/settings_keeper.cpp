// Where the file is, what a change keeps, and saying once that it cannot be written.
#include "app/settings_keeper.h"

#include <cstdio>
#include <vector>

#include "app/run.h"
#include "app/settings_file.h"
#include "res/player_folders.h"

TSettingsKeeper::TSettingsKeeper(const TOptions& options) {
  if (!options.Headless) {
    Path = options.ConfigFile.empty() ? DefaultSettingsPath(PlayerFoldersOfThisProcess())
                                      : options.ConfigFile;
    std::vector<std::string> warnings;
    Stored = LoadSettings(Path, warnings);
    for (const std::string& warning : warnings)
      std::fprintf(stderr, "quibbet: %s\n", warning.c_str());
  }
  Run = PlayerSettingsFor(Stored, options);
}

void TSettingsKeeper::Changed(const TPlayerSettings& now) {
  if (now.FullScreen != Run.FullScreen) Stored.FullScreen = now.FullScreen;
  if (now.Volume != Run.Volume) Stored.Volume = now.Volume;
  if (now.Mute != Run.Mute) Stored.Mute = now.Mute;
  Run = now;
  Save();
}

void TSettingsKeeper::Save() {
  std::string error;
  if (Path.empty() || Failed || SaveSettings(Path, Stored, error)) return;
  // Once: a folder that cannot be written stays so for the run, and the game plays on.
  Failed = true;
  std::fprintf(stderr, "quibbet: cannot keep the settings in %s: %s\n", Path.c_str(),
               error.c_str());
}
