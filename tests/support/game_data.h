// A complete set of game archives for tests, written into a scratch folder: flat-coloured
// pictures of chosen sizes, two block fonts and short texts. Nothing of the shipped data.
#pragma once

#include <cstdint>
#include <map>
#include <string>

struct TTestPicture {
  int32_t Width = 0;
  int32_t Height = 0;
  uint16_t Colour = 0xFFFF;  // RGB565; 0 is the transparent key
};

struct TGameDataSet {
  std::map<std::string, TTestPicture> Pictures;  // SPRITES.MPK
  std::map<std::string, std::string> Texts;      // TEXTS.MPK
  int16_t GlyphWidth = 8;
  int16_t GlyphHeight = 16;
};

// Every picture, font and text the program loads, with plausible sizes.
TGameDataSet DefaultGameData();

// Writes SPRITES.MPK, FONTS.MPK and TEXTS.MPK into `dir`.
void WriteGameData(const std::string& dir, const TGameDataSet& set = DefaultGameData());

// The RGB565 colour of the glyph cells' ink in the test fonts.
constexpr uint16_t TestInk = 0xFFFF;
