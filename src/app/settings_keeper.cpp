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

namespace {

// A setting the player changed in the game is kept; one that only the command line said stays
// as the file has it.
template <typename T>
void KeepChange(const T& now, const T& run, T& stored) {
  if (now != run) stored = now;
}

}  // namespace

void TSettingsKeeper::Changed(const TPlayerSettings& now) {
  KeepChange(now.FullScreen, Run.FullScreen, Stored.FullScreen);
  KeepChange(now.Scale, Run.Scale, Stored.Scale);
  KeepChange(now.Fit, Run.Fit, Stored.Fit);
  KeepChange(now.Volume, Run.Volume, Stored.Volume);
  KeepChange(now.Mute, Run.Mute, Stored.Mute);
  KeepChange(now.Keys, Run.Keys, Stored.Keys);
  KeepChange(now.KeySpeed, Run.KeySpeed, Stored.KeySpeed);
  KeepChange(now.PadDeadZone, Run.PadDeadZone, Stored.PadDeadZone);
  KeepChange(now.PauseOnFocusLoss, Run.PauseOnFocusLoss, Stored.PauseOnFocusLoss);
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
