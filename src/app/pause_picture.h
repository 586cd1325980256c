// The picture a paused game shows: its last frame dimmed, with "PAUSED" across the middle in
// the game's own font. It takes no scene slot and no frame: the platform shows it in place of
// the frame on screen.
#pragma once

#include <cstdint>
#include <vector>

void MakePausePicture(const uint16_t* frame, int32_t width, int32_t height,
                      std::vector<uint16_t>& picture);
