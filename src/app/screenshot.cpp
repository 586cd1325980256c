// The folder, the name, and the PNG written beside its name and renamed.
#include "app/screenshot.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "app/environment.h"
#include "app/frame_recorder.h"

namespace fs = std::filesystem;

TPicturesInputs PicturesInputsOfThisProcess() {
  std::string home = EnvironmentVariable("HOME");
#ifdef _WIN32
  if (home.empty())
    home = EnvironmentVariable("USERPROFILE");  // where Windows keeps a user's Pictures
#endif
  return {EnvironmentVariable("XDG_PICTURES_DIR"), home};
}

std::string ScreenshotFolder(const TPicturesInputs& inputs) {
  // Like the other XDG folders, a relative one is no folder at all.
  if (fs::path(inputs.XdgPicturesDir).is_absolute())
    return (fs::path(inputs.XdgPicturesDir) / "quibbet").string();
  if (inputs.Home.empty()) return "";
  return (fs::path(inputs.Home) / "Pictures" / "quibbet").string();
}

bool SaveScreenshot(const std::string& folder, const uint16_t* pixels, int32_t width,
                    int32_t height, std::string& path, std::string& error) {
  if (folder.empty()) {
    error = "no pictures folder is known (set XDG_PICTURES_DIR or HOME)";
    return false;
  }
  // Nothing here may throw: the key is pressed in the middle of the game.
  std::error_code made;
  fs::create_directories(folder, made);
  if (made) {
    error = made.message();
    return false;
  }
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  char stamp[32] = "quibbet";
  if (local != nullptr) std::strftime(stamp, sizeof stamp, "quibbet-%Y-%m-%d-%H%M%S", local);
  path = (fs::path(folder) / (std::string(stamp) + ".png")).string();
  std::error_code looked;
  for (int n = 2; fs::exists(path, looked); ++n)
    path = (fs::path(folder) / (std::string(stamp) + "-" + std::to_string(n) + ".png")).string();
  if (looked) {
    error = looked.message();
    return false;
  }
  const std::string part = path + ".part";
  if (!WriteRgb565Png(part, pixels, width, height, error)) return false;
  std::error_code renamed;
  fs::rename(part, path, renamed);
  if (renamed) {
    error = renamed.message();
    fs::remove(part, made);
    return false;
  }
  return true;
}
