// The name, and the PNG streamed through the whole-file writer.
#include "app/screenshot.h"

#include <cstdio>
#include <ctime>
#include <filesystem>

#include "app/frame_recorder.h"
#include "res/player_folders.h"
#include "res/whole_file_writer.h"

namespace fs = std::filesystem;

bool SaveScreenshot(const std::string& folder, const uint16_t* pixels, int32_t width,
                    int32_t height, std::string& path, std::string& error) {
  if (folder.empty()) {
    error = "no pictures folder is known (set XDG_PICTURES_DIR or HOME)";
    return false;
  }
  // Nothing here may throw: the key is pressed in the middle of the game.
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
  TWholeFileWriter file;
  if (!file.Open(path, error, TMissingFolders::Make)) return false;
  if (!WriteRgb565Png(file.File(), pixels, width, height, error)) return false;
  return file.Finish(error);
}

void TakeScreenshot(const uint16_t* pixels, int32_t width, int32_t height) {
  std::string path, error;
  if (SaveScreenshot(PlayerFoldersOfThisProcess().Pictures, pixels, width, height, path, error))
    std::fprintf(stderr, "quibbet: screenshot saved as %s\n", path.c_str());
  else
    std::fprintf(stderr, "quibbet: cannot save the screenshot: %s\n", error.c_str());
}
