// Key names: letters, digits and function keys by rule, the rest from one table.
#include "platform/key_names.h"

#include <charconv>

#include "platform/keys.h"
#include "res/ascii_case.h"

namespace {

struct TNamedKey {
  uint8_t Code;
  const char* Name;
};

// The first entry with a code is the name written; later ones are read only.
constexpr TNamedKey NamedKeys[] = {
    {Vk::Up, "Up"},
    {Vk::Down, "Down"},
    {Vk::Left, "Left"},
    {Vk::Right, "Right"},
    {Vk::Space, "Space"},
    {Vk::Return, "Enter"},
    {Vk::Escape, "Escape"},
    {Vk::Tab, "Tab"},
    {Vk::Backspace, "Backspace"},
    {Vk::Shift, "Shift"},
    {Vk::Control, "Ctrl"},
    {Vk::Control, "Control"},
    {Vk::Pause, "Pause"},
    {Vk::Insert, "Insert"},
    {Vk::Delete, "Delete"},
    {Vk::Home, "Home"},
    {Vk::End, "End"},
    {Vk::PageUp, "PageUp"},
    {Vk::PageDown, "PageDown"},
    {Vk::Minus, "Minus"},
    {Vk::Plus, "Plus"},
    {Vk::KeypadPlus, "KeypadPlus"},
    {Vk::KeypadMinus, "KeypadMinus"},
};
constexpr std::string_view CodePrefix = "Key";

// The whole of `digits` as a decimal number up to `max`, no sign.
std::optional<int> Number(std::string_view digits, int max) {
  int value = 0;
  const char* end = digits.data() + digits.size();
  auto [stop, error] = std::from_chars(digits.data(), end, value);
  if (digits.empty() || digits[0] == '-' || error != std::errc() || stop != end || value > max)
    return std::nullopt;
  return value;
}

}  // namespace

std::optional<uint8_t> KeyCode(std::string_view name) {
  if (name.empty()) return std::nullopt;
  if (name.size() == 1) {
    const char c = AsciiLower(name[0]);
    if (c >= 'a' && c <= 'z') return Vk::Letter(c);
    if (c >= '0' && c <= '9') return Vk::Digit(c - '0');
    return std::nullopt;
  }
  for (const TNamedKey& key : NamedKeys)
    if (SameIgnoringAsciiCase(name, key.Name)) return key.Code;
  if (AsciiLower(name[0]) == 'f') {
    const auto n = Number(name.substr(1), Vk::FunctionKeys);
    if (n && *n >= 1) return Vk::Function(*n);
    return std::nullopt;
  }
  if (name.size() > CodePrefix.size() &&
      SameIgnoringAsciiCase(name.substr(0, CodePrefix.size()), CodePrefix)) {
    const auto n = Number(name.substr(CodePrefix.size()), 255);
    if (n) return static_cast<uint8_t>(*n);
  }
  return std::nullopt;
}

std::string KeyName(uint8_t code) {
  if (code >= Vk::A && code < Vk::A + Vk::Letters)
    return std::string(1, static_cast<char>('A' + code - Vk::A));
  if (code >= Vk::Digit0 && code < Vk::Digit0 + Vk::Digits)
    return std::string(1, static_cast<char>('0' + code - Vk::Digit0));
  if (code >= Vk::F1 && code < Vk::F1 + Vk::FunctionKeys)
    return "F" + std::to_string(code - Vk::F1 + 1);
  for (const TNamedKey& key : NamedKeys)
    if (key.Code == code) return key.Name;
  return std::string(CodePrefix) + std::to_string(code);
}

std::optional<std::vector<uint8_t>> KeyCodes(std::string_view list, std::string& unknown) {
  std::vector<uint8_t> codes;
  size_t i = 0;
  while (i < list.size()) {
    while (i < list.size() && (list[i] == ' ' || list[i] == '\t'))
      ++i;
    const size_t start = i;
    while (i < list.size() && list[i] != ' ' && list[i] != '\t')
      ++i;
    if (i == start) break;
    const std::string_view word = list.substr(start, i - start);
    const auto code = KeyCode(word);
    if (!code) {
      unknown = word;
      return std::nullopt;
    }
    codes.push_back(*code);
  }
  return codes;
}

std::string KeyNames(const std::vector<uint8_t>& codes) {
  std::string names;
  for (uint8_t code : codes)
    names += (names.empty() ? "" : " ") + KeyName(code);
  return names;
}
