// Screenshots: the frame on screen as a PNG file in the player's pictures folder
// (res/player_folders), named by the date and time.
#pragma once

#include <cstdint>
#include <string>

// Writes the RGB565 frame as FOLDER/quibbet-YYYY-MM-DD-HHMMSS.png (with -2, -3... when that
// name is taken), whole or not at all, making the folder when missing. Sets `path` to where
// it went, or `error` to why not.
bool SaveScreenshot(const std::string& folder, const uint16_t* pixels, int32_t width,
                    int32_t height, std::string& path, std::string& error);

// What the screenshot key does: the frame into this process's pictures folder, and one line
// on stderr saying where it went or why it did not.
void TakeScreenshot(const uint16_t* pixels, int32_t width, int32_t height);
