// Key names: letters, digits and function keys by rule, the rest from one table.
#include "platform/key_names.h"

#include <charconv>

#include "res/ascii_case.h"

namespace {

struct TNamedKey {
  uint8_t Code;
  const char* Name;
};

// The first entry with a code is the name written; later ones are read only.
constexpr TNamedKey NamedKeys[] = {
    {38, "Up"},    {40, "Down"},        {37, "Left"},         {39, "Right"},    {32, "Space"},
    {13, "Enter"}, {27, "Escape"},      {9, "Tab"},           {8, "Backspace"}, {16, "Shift"},
    {17, "Ctrl"},  {17, "Control"},     {19, "Pause"},        {45, "Insert"},   {46, "Delete"},
    {36, "Home"},  {35, "End"},         {33, "PageUp"},       {34, "PageDown"}, {189, "Minus"},
    {187, "Plus"}, {107, "KeypadPlus"}, {109, "KeypadMinus"},
};

constexpr uint8_t F1 = 112;
constexpr int FunctionKeys = 12;
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
    if (c >= 'a' && c <= 'z') return static_cast<uint8_t>(c - 'a' + 'A');
    if (c >= '0' && c <= '9') return static_cast<uint8_t>(c);
    return std::nullopt;
  }
  for (const TNamedKey& key : NamedKeys)
    if (SameIgnoringAsciiCase(name, key.Name)) return key.Code;
  if (AsciiLower(name[0]) == 'f') {
    const auto n = Number(name.substr(1), FunctionKeys);
    if (n && *n >= 1) return static_cast<uint8_t>(F1 + *n - 1);
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
  if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
    return std::string(1, static_cast<char>(code));
  if (code >= F1 && code < F1 + FunctionKeys) return "F" + std::to_string(code - F1 + 1);
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
