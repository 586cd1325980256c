// One list of the browser's key names: the table of named keys, then the letters, digits and
// function keys by rule.
#include "platform/web/dom_keys.h"

#include <vector>

#include "platform/keys.h"

namespace {

struct TDomKey {
  std::string Name;
  uint8_t Code;
};

// A key on both sides of the keyboard, or on the keypad too, is one key to the game.
const std::vector<TDomKey>& DomKeys() {
  static const std::vector<TDomKey> keys = [] {
    std::vector<TDomKey> all = {
        {"Escape", Vk::Escape},
        {"Space", Vk::Space},
        {"Enter", Vk::Return},
        {"NumpadEnter", Vk::Return},
        {"Backspace", Vk::Backspace},
        {"Tab", Vk::Tab},
        {"ShiftLeft", Vk::Shift},
        {"ShiftRight", Vk::Shift},
        {"ControlLeft", Vk::Control},
        {"ControlRight", Vk::Control},
        {"Pause", Vk::Pause},
        {"PageUp", Vk::PageUp},
        {"PageDown", Vk::PageDown},
        {"End", Vk::End},
        {"Home", Vk::Home},
        {"ArrowLeft", Vk::Left},
        {"ArrowUp", Vk::Up},
        {"ArrowRight", Vk::Right},
        {"ArrowDown", Vk::Down},
        {"Insert", Vk::Insert},
        {"Delete", Vk::Delete},
        {"Minus", Vk::Minus},
        {"Equal", Vk::Plus},
        {"NumpadAdd", Vk::KeypadPlus},
        {"NumpadSubtract", Vk::KeypadMinus},
    };
    for (char letter = 'A'; letter <= 'Z'; ++letter)
      all.push_back({std::string("Key") + letter, Vk::Letter(letter)});
    for (int digit = 0; digit <= 9; ++digit)  // the row above the letters
      all.push_back({"Digit" + std::to_string(digit), Vk::Digit(digit)});
    for (int n = 1; n <= Vk::FunctionKeys; ++n)
      all.push_back({"F" + std::to_string(n), Vk::Function(n)});
    return all;
  }();
  return keys;
}

}  // namespace

std::optional<uint8_t> DomKeyCode(std::string_view name) {
  for (const TDomKey& key : DomKeys())
    if (name == key.Name) return key.Code;
  return std::nullopt;
}

std::string DomKeyNames() {
  std::string names;
  for (const TDomKey& key : DomKeys())
    names += (names.empty() ? "" : " ") + key.Name;
  return names;
}
