// The player's folders: where the game keeps its settings, the player's own data (searched
// for the archives; records and mods are kept there), the system's data folders, and where
// screenshots go. Each platform has its rules; they are a function of one record of inputs,
// so tests give each platform's rules an environment of their own, and
// FolderInputsOfThisProcess is the only code that reads the environment for them.
//
//             Linux and other Unix (XDG)          Windows                      browser
//   Config    $XDG_CONFIG_HOME/quibbet            like XDG, %APPDATA% before   /quibbet/config
//             or ~/.config/quibbet                  ~/.config
//   Data      $XDG_DATA_HOME/quibbet              like XDG, then %APPDATA%     /quibbet/data
//             or ~/.local/share/quibbet             when there is no home
//   System    DIR/quibbet for each DIR of         none                         none
//             $XDG_DATA_DIRS or /usr/local/share:/usr/share
//   Pictures  $XDG_PICTURES_DIR/quibbet           like XDG, %USERPROFILE% when /quibbet/pictures
//             or ~/Pictures/quibbet                 there is no $HOME
//
// A relative XDG value is ignored, as the XDG base directory rules ask: the default stands in
// its place, as for an unset or empty one; a relative entry of $XDG_DATA_DIRS is left out.
// The browser's folders lie in the page's own file system under one root, /quibbet, so that
// keeping them between visits is one mount of that root.
#pragma once

#include <string>
#include <vector>

enum class TFolderRules { Xdg, Windows, Browser };

// The root of the browser's folders.
constexpr const char* BrowserFoldersRoot = "/quibbet";

#if defined(__EMSCRIPTEN__)
constexpr TFolderRules ThisPlatformsFolderRules = TFolderRules::Browser;
#elif defined(_WIN32)
constexpr TFolderRules ThisPlatformsFolderRules = TFolderRules::Windows;
#else
constexpr TFolderRules ThisPlatformsFolderRules = TFolderRules::Xdg;
#endif

// What the folders are made from; each variable empty when unset.
struct TFolderInputs {
  TFolderRules Rules = ThisPlatformsFolderRules;
  std::string XdgConfigHome;
  std::string XdgDataHome;
  std::string XdgDataDirs;
  std::string XdgPicturesDir;
  std::string Home;
  std::string AppData;      // %APPDATA%, read by the Windows rules only
  std::string UserProfile;  // %USERPROFILE%, read by the Windows rules only
};

// Each folder is "" when none is known (no home, say); none needs to exist yet.
struct TPlayerFolders {
  std::string Config;                   // settings.ini lives here
  std::string Data;                     // the player's own data
  std::vector<std::string> SystemData;  // in the order they are searched
  std::string Pictures;                 // screenshots go here
};

TPlayerFolders PlayerFolders(const TFolderInputs& inputs);

// This process's environment, with this platform's rules.
TFolderInputs FolderInputsOfThisProcess();

// PlayerFolders(FolderInputsOfThisProcess()).
TPlayerFolders PlayerFoldersOfThisProcess();
