// The layout of a fuzz_text input, shared by the target and the seed writer: a fixed part
// that chooses the box, the font class, the sheets and the tint, then the font's metrics
// file up to the first zero byte, then the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct TTextFuzzInput {
  static constexpr size_t FixedBytes = 11;
  static constexpr uint8_t Hungarian = 1;    // THunText instead of TEngText
  static constexpr uint8_t FromPackage = 2;  // the text is an entry of the font package

  uint8_t Columns = 0;  // the box is 1 + Columns % 40 glyph cells wide
  uint8_t Rows = 0;     // and 1 + Rows % 10 lines high
  uint8_t Flags = 0;
  uint8_t SheetScale = 63;  // sheets are (1 + SheetScale % 128) / 64 of their layout's size
  uint8_t Tint[3] = {};     // taken modulo 32, 64 and 32
  int16_t X = 0, Y = 0;     // where the text is drawn into an 800 x 600 frame
  std::string Metrics;      // the font's ".inf" file
  std::string Text;

  std::string Encode() const {
    std::string out;
    out += static_cast<char>(Columns);
    out += static_cast<char>(Rows);
    out += static_cast<char>(Flags);
    out += static_cast<char>(SheetScale);
    for (uint8_t t : Tint)
      out += static_cast<char>(t);
    for (int16_t v : {X, Y}) {
      out += static_cast<char>(static_cast<uint16_t>(v) & 0xFF);
      out += static_cast<char>(static_cast<uint16_t>(v) >> 8);
    }
    // The metrics end at the first zero byte; one inside them would move the text's start.
    out += Metrics.substr(0, Metrics.find('\0'));
    out += '\0';
    out += Text;
    return out;
  }

  // False when the input is shorter than the fixed part; a missing zero byte leaves the
  // text empty.
  bool Decode(const uint8_t* data, size_t size) {
    if (size < FixedBytes) return false;
    Columns = data[0];
    Rows = data[1];
    Flags = data[2];
    SheetScale = data[3];
    for (int i = 0; i < 3; ++i)
      Tint[i] = data[4 + i];
    X = static_cast<int16_t>(data[7] | (data[8] << 8));
    Y = static_cast<int16_t>(data[9] | (data[10] << 8));
    const std::string rest(reinterpret_cast<const char*>(data) + FixedBytes, size - FixedBytes);
    const size_t zero = rest.find('\0');
    Metrics = rest.substr(0, zero);
    Text = zero == std::string::npos ? std::string() : rest.substr(zero + 1);
    return true;
  }
};
