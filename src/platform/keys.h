// The keys by their virtual-key codes, the numbers Wm::KeyDown and Wm::KeyUp carry (the codes
// of the platform the game was first written for). Every other table of keys (a back end's
// native codes, the settings file's names) maps onto these names; no code elsewhere spells a
// key as a number.
#pragma once

#include <cstdint>

namespace Vk {
constexpr uint8_t Backspace = 8;
constexpr uint8_t Tab = 9;
constexpr uint8_t Return = 13;
constexpr uint8_t Shift = 16;
constexpr uint8_t Control = 17;
constexpr uint8_t Alt = 18;
constexpr uint8_t Pause = 19;
constexpr uint8_t Escape = 27;
constexpr uint8_t Space = 32;
constexpr uint8_t PageUp = 33;
constexpr uint8_t PageDown = 34;
constexpr uint8_t End = 35;
constexpr uint8_t Home = 36;
constexpr uint8_t Left = 37;
constexpr uint8_t Up = 38;
constexpr uint8_t Right = 39;
constexpr uint8_t Down = 40;
constexpr uint8_t Insert = 45;
constexpr uint8_t Delete = 46;
constexpr uint8_t Digit0 = 48;  // to Digit0 + 9: the digits' own ASCII codes
constexpr uint8_t A = 65;       // to A + 25: the capital letters' ASCII codes
constexpr uint8_t KeypadPlus = 107;
constexpr uint8_t KeypadMinus = 109;
constexpr uint8_t F1 = 112;     // to F1 + 11
constexpr uint8_t Plus = 187;   // the = and + key
constexpr uint8_t Minus = 189;  // the - and _ key

// A letter's key ('A' to 'Z', either case) and a digit's ('0' to '9').
constexpr int Letters = 26;
constexpr int Digits = 10;
constexpr uint8_t Letter(char c) {
  return static_cast<uint8_t>(A + ((c >= 'a' ? c - 'a' : c - 'A')));
}
constexpr uint8_t Digit(int d) {
  return static_cast<uint8_t>(Digit0 + d);
}
// F1 to F12 as Function(1) to Function(12).
constexpr uint8_t Function(int n) {
  return static_cast<uint8_t>(F1 + n - 1);
}
constexpr int FunctionKeys = 12;
}  // namespace Vk
