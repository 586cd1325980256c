// Splitting the query, decoding its escapes, and each parameter's value.
#include "app/query_options.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "%41+b" is "A b"; a broken escape stays as it stands.
std::string Decode(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      out += ' ';
    } else if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
               HexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool Whole(const std::string& text, uint64_t largest, uint64_t& value) {
  if (text.empty() || text.size() > 20) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (largest - digit) / 10) return false;
    value = value * 10 + digit;
  }
  return true;
}

bool Flag(const std::string& text, bool& value) {
  const bool yes = text.empty() || text == "1" || text == "true" || text == "yes" || text == "on";
  const bool no = text == "0" || text == "false" || text == "no" || text == "off";
  if (yes || no) value = yes;
  return yes || no;
}

bool List(const std::string& text, std::vector<uint64_t>& values) {
  values.clear();
  size_t start = 0;
  for (;;) {
    const size_t comma = text.find(',', start);
    uint64_t value = 0;
    if (!Whole(text.substr(start, comma - start), std::numeric_limits<uint64_t>::max(), value))
      return false;
    values.push_back(value);
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
}

bool Apply(const std::string& name, const std::string& value, TOptions& options) {
  uint64_t number = 0;
  if (name == "seed") {
    if (!Whole(value, UINT32_MAX, number)) return false;
    options.Seed = static_cast<uint32_t>(number);
    return true;
  }
  if (name == "volume") {
    if (!Whole(value, 100, number)) return false;
    options.Volume = static_cast<int>(number);
    return true;
  }
  if (name == "max-frames") {
    if (!Whole(value, std::numeric_limits<uint64_t>::max(), number) || number == 0) return false;
    options.MaxFrames = number;
    return true;
  }
  if (name == "autoplay") return Flag(value, options.Autoplay);
  if (name == "turbo") return Flag(value, options.Turbo);
  if (name == "mute") return Flag(value, options.Mute);
  if (name == "record-frames") return List(value, options.RecordFrames);
  if (name == "input") options.InputFile = value;
  if (name == "data") options.DataDir = value;
  return true;  // the host site's own, or one of the two above
}

}  // namespace

bool ParseQueryOptions(std::string_view query, TOptions& options, std::string& error) {
  if (!query.empty() && query.front() == '?') query.remove_prefix(1);
  while (!query.empty()) {
    const size_t end = std::min(query.find('&'), query.size());
    const std::string_view pair = query.substr(0, end);
    query.remove_prefix(std::min(end + 1, query.size()));
    if (pair.empty()) continue;
    const size_t equals = std::min(pair.find('='), pair.size());
    const std::string name = Decode(pair.substr(0, equals));
    const std::string value = Decode(pair.substr(std::min(equals + 1, pair.size())));
    if (!Apply(name, value, options)) {
      error = "invalid value '" + value + "' for '" + name + "'";
      return false;
    }
  }
  return true;
}
