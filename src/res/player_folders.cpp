// The rules of each platform, one function a folder, and the one reading of the environment.
#include "res/player_folders.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr const char* Ours = "quibbet";

bool IsAbsolute(const std::string& path) {
  return !path.empty() && fs::path(path).is_absolute();
}

// BASE/quibbet, or "" without a base.
std::string OursIn(const fs::path& base) {
  return base.empty() ? "" : (base / Ours).string();
}

bool Windows(const TFolderInputs& inputs) {
  return inputs.Rules == TFolderRules::Windows;
}

fs::path ConfigBase(const TFolderInputs& inputs) {
  if (IsAbsolute(inputs.XdgConfigHome)) return inputs.XdgConfigHome;
  // A Windows player has no home folder of the Unix kind.
  if (Windows(inputs) && !inputs.AppData.empty()) return inputs.AppData;
  if (!inputs.Home.empty()) return fs::path(inputs.Home) / ".config";
  return {};
}

fs::path DataBase(const TFolderInputs& inputs) {
  if (IsAbsolute(inputs.XdgDataHome)) return inputs.XdgDataHome;
  if (!inputs.Home.empty()) return fs::path(inputs.Home) / ".local" / "share";
  if (Windows(inputs)) return inputs.AppData;  // a Windows player's data, beside the settings
  return {};
}

// Windows has no list of system data folders; its programs carry their data beside them.
std::vector<std::string> SystemDataFolders(const TFolderInputs& inputs) {
  std::vector<std::string> folders;
  if (Windows(inputs)) return folders;
  std::stringstream list(inputs.XdgDataDirs.empty() ? "/usr/local/share:/usr/share"
                                                    : inputs.XdgDataDirs);
  for (std::string dir; std::getline(list, dir, ':');)
    if (IsAbsolute(dir)) folders.push_back(OursIn(dir));
  return folders;
}

fs::path PicturesBase(const TFolderInputs& inputs) {
  if (IsAbsolute(inputs.XdgPicturesDir)) return inputs.XdgPicturesDir;
  const std::string& home =
      inputs.Home.empty() && Windows(inputs) ? inputs.UserProfile : inputs.Home;
  return home.empty() ? fs::path() : fs::path(home) / "Pictures";
}

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

TPlayerFolders PlayerFolders(const TFolderInputs& inputs) {
  if (inputs.Rules == TFolderRules::Browser)
    return {std::string(BrowserFoldersRoot) + "/config",
            std::string(BrowserFoldersRoot) + "/data",
            {},
            std::string(BrowserFoldersRoot) + "/pictures"};
  return {OursIn(ConfigBase(inputs)), OursIn(DataBase(inputs)), SystemDataFolders(inputs),
          OursIn(PicturesBase(inputs))};
}

TFolderInputs FolderInputsOfThisProcess() {
  TFolderInputs inputs;
  inputs.XdgConfigHome = Variable("XDG_CONFIG_HOME");
  inputs.XdgDataHome = Variable("XDG_DATA_HOME");
  inputs.XdgDataDirs = Variable("XDG_DATA_DIRS");
  inputs.XdgPicturesDir = Variable("XDG_PICTURES_DIR");
  inputs.Home = Variable("HOME");
  inputs.AppData = Variable("APPDATA");
  inputs.UserProfile = Variable("USERPROFILE");
  return inputs;
}

TPlayerFolders PlayerFoldersOfThisProcess() {
  return PlayerFolders(FolderInputsOfThisProcess());
}
