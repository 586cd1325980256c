// A piece of a file as a warning shows it: printable and short, whatever the file holds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline std::string QuotedExcerpt(std::string_view text) {
  constexpr size_t Shown = 40;
  std::string quoted = "'";
  for (size_t i = 0; i < text.size() && i < Shown; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    quoted += c >= 32 && c < 127 ? static_cast<char>(c) : '?';
  }
  return quoted + (text.size() > Shown ? "...'" : "'");
}
