// Screenshots: the frame on screen as a PNG file in the player's pictures folder,
// $XDG_PICTURES_DIR/quibbet (or ~/Pictures/quibbet), named by the date and time.
#pragma once

#include <cstdint>
#include <string>

struct TPicturesInputs {
  std::string XdgPicturesDir;  // $XDG_PICTURES_DIR; empty when unset
  std::string Home;            // $HOME; empty when unset
};

TPicturesInputs PicturesInputsOfThisProcess();

// The folder screenshots go to; empty when no folder is known.
std::string ScreenshotFolder(const TPicturesInputs& inputs);

// Writes the RGB565 frame as FOLDER/quibbet-YYYY-MM-DD-HHMMSS.png (with -2, -3... when that
// name is taken), whole or not at all. Sets `path` to where it went, or `error` to why not.
bool SaveScreenshot(const std::string& folder, const uint16_t* pixels, int32_t width,
                    int32_t height, std::string& path, std::string& error);
