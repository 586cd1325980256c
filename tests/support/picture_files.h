// Pictures for tests: flat-coloured PCX files written into a scratch data folder, so that
// entities can load them by name from disk, and recorded frames read back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Decodes a PNG into 8-bit RGB; empty on failure.
std::vector<uint8_t> ReadPng(const std::string& path, uint32_t& width, uint32_t& height);

// Writes `name` (a PCX file of width x height in one RGB565 colour) into `dir`.
void WriteFlatPcx(const std::string& dir, const std::string& name, int32_t width, int32_t height,
                  uint16_t colour);
