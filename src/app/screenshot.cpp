// The folder, the name, and the PNG written beside its name and renamed.
#include "app/screenshot.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "app/frame_recorder.h"

namespace fs = std::filesystem;

TPicturesInputs PicturesInputsOfThisProcess() {
  auto variable = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
  };
  std::string home = variable("HOME");
#ifdef _WIN32
  if (home.empty()) home = variable("USERPROFILE");  // where Windows keeps a user's Pictures
#endif
  return {variable("XDG_PICTURES_DIR"), home};
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
  std::error_code made;
  fs::create_directories(folder, made);
  const std::time_t now = std::time(nullptr);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "quibbet-%Y-%m-%d-%H%M%S", std::localtime(&now));
  path = (fs::path(folder) / (std::string(stamp) + ".png")).string();
  for (int n = 2; fs::exists(path); ++n)
    path = (fs::path(folder) / (std::string(stamp) + "-" + std::to_string(n) + ".png")).string();
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
