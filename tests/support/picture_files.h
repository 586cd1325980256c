// Pictures for tests: flat-coloured PCX files written into a scratch data folder, so that
// entities can load them by name from disk.
#pragma once

#include <cstdint>
#include <string>

// Writes `name` (a PCX file of width x height in one RGB565 colour) into `dir`.
void WriteFlatPcx(const std::string& dir, const std::string& name, int32_t width, int32_t height,
                  uint16_t colour);
