// PCX picture loader and encoder. The decoder works one scan line at a time: it expands the
// three run-length-encoded plane lines into small byte lines and packs them into RGB565 in
// one sweep, so no 24-bit picture is ever built. Every read is checked against the data end.
#include "gfx/pcx.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "gfx/boxes.h"
#include "res/file_load.h"
#include "res/resource.h"

namespace {

// ---- Header -----------------------------------------------------------------------------

constexpr uint8_t RunMark = 0xC0;  // a byte with both top bits set is a run of its low six bits
constexpr uint32_t LongestRun = 63;
// Runs are written as fixed 64-byte fills and literals as 16-byte blocks, so each plane
// line has this much room after its last byte; later bytes overwrite what spills.
constexpr size_t LineSlack = 64;

uint16_t ReadU16(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}
void WriteU16(uint8_t* bytes, uint32_t value) {
  bytes[0] = static_cast<uint8_t>(value);
  bytes[1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

TPcxStatus ReadPcxLayout(const uint8_t* data, size_t size, TPcxLayout& layout) {
  if (size < PcxHeaderSize || data[0] != 10) return TPcxStatus::NotPcx;
  if (data[2] != 1) return TPcxStatus::NotCompressed;
  if (data[65] != 3 || data[3] != 8) return TPcxStatus::Not24Bit;
  layout.Width = int32_t{ReadU16(data + 8)} - ReadU16(data + 4) + 1;
  layout.Height = int32_t{ReadU16(data + 10)} - ReadU16(data + 6) + 1;
  if (layout.Width <= 0 || layout.Height <= 0) return TPcxStatus::NotPcx;
  layout.SurfaceWidth = layout.Width + (layout.Width & 1);
  // Writers that do not pad odd widths say so in the field. A field shorter than the picture
  // cannot hold its pixels, so it is not trusted: the lines are read padded to even, as the
  // game has always read its pictures.
  layout.FieldLineBytes = ReadU16(data + 66);
  layout.LineBytes = layout.FieldLineBytes >= static_cast<uint32_t>(layout.Width)
                         ? layout.FieldLineBytes
                         : static_cast<uint32_t>(layout.SurfaceWidth);
  // Each byte of encoded data covers at most 63 positions of one plane line, which bounds
  // the picture a file of this size can describe before anything is allocated for it.
  const uint64_t unitsPerLine = (layout.LineBytes + LongestRun - 1) / LongestRun;
  const uint64_t fewestBytes = uint64_t{3} * static_cast<uint64_t>(layout.Height) * unitsPerLine;
  if (size - PcxHeaderSize < fewestBytes) return TPcxStatus::Damaged;
  return TPcxStatus::Ok;
}

namespace {

// ---- Decoding ---------------------------------------------------------------------------

// Expands one plane line of `count` positions into `line`. `padding` is the index of the
// padding column (or above `count` when there is none); `runAtPadding` tells whether a run,
// rather than a single byte, gave that column its value. False when the data end first.
bool DecodePlaneLine(const uint8_t*& in, const uint8_t* end, uint8_t* line, uint32_t count,
                     uint32_t padding, bool& runAtPadding) {
  uint32_t x = 0;
  runAtPadding = false;
  while (x < count) {
#if defined(__SSE2__)
    // Gradients are mostly single bytes: take up to 16 of them at once, up to the first run.
    if (end - in >= 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
      const __m128i mark = _mm_set1_epi8(static_cast<char>(RunMark));
      const int runs = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(bytes, mark), mark));
      if ((runs & 1) == 0) {
        const uint32_t literals = static_cast<uint32_t>(__builtin_ctz(runs | 0x10000));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(line + x), bytes);
        const uint32_t taken = std::min(literals, count - x);
        x += taken;
        in += taken;
        continue;
      }
    }
#endif
    if (in == end) return false;
    const uint8_t byte = *in++;
    if (byte < RunMark) {
      line[x++] = byte;
      continue;
    }
    if (in == end) return false;
    const uint8_t value = *in++;
    // A run never reaches into the next plane line: what lies past this one is dropped.
    const uint32_t length = std::min<uint32_t>(byte & 0x3F, count - x);
    if (padding >= x && padding - x < length) runAtPadding = true;
    std::memset(line + x, value, LineSlack);
    x += length;
  }
  return true;
}

// Packs one row of red, green and blue bytes into RGB565, dropping the low bits.
void PackRow(const uint8_t* red, const uint8_t* green, const uint8_t* blue, uint16_t* row,
             int32_t width) {
  int32_t x = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i redMask = _mm_set1_epi8(static_cast<char>(0xF8));
  const __m128i greenMask = _mm_set1_epi8(static_cast<char>(0xFC));
  for (; x + 16 <= width; x += 16) {
    const __m128i r =
        _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(red + x)), redMask);
    const __m128i g =
        _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(green + x)), greenMask);
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(blue + x));
    // Interleaving red above a zero byte puts it in the high byte of each word directly.
    const __m128i low = _mm_or_si128(
        _mm_or_si128(_mm_unpacklo_epi8(zero, r), _mm_slli_epi16(_mm_unpacklo_epi8(g, zero), 3)),
        _mm_srli_epi16(_mm_unpacklo_epi8(b, zero), 3));
    const __m128i high = _mm_or_si128(
        _mm_or_si128(_mm_unpackhi_epi8(zero, r), _mm_slli_epi16(_mm_unpackhi_epi8(g, zero), 3)),
        _mm_srli_epi16(_mm_unpackhi_epi8(b, zero), 3));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), low);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x + 8), high);
  }
#endif
  for (; x < width; ++x)
    row[x] =
        static_cast<uint16_t>(((red[x] & 0xF8) << 8) | ((green[x] & 0xFC) << 3) | (blue[x] >> 3));
}

const char* RefusalText(TPcxStatus status) {
  switch (status) {
    case TPcxStatus::NotCompressed:
      return "Following pcx file is not compressed : ";
    case TPcxStatus::Not24Bit:
      return "Following file is not a 24 Bit 64 Kb color pcx : ";
    default:
      return "Following file has not a valid pcx format : ";
  }
}

// ---- Encoding ---------------------------------------------------------------------------

void EncodePlaneLine(const uint8_t* line, uint32_t count, std::vector<uint8_t>& out) {
  uint32_t x = 0;
  while (x < count) {
    const uint8_t value = line[x];
    uint32_t length = 1;
    while (x + length < count && length < LongestRun && line[x + length] == value)
      ++length;
    // A single value that looks like a run mark must be written as a run of one.
    if (length > 1 || value >= RunMark) out.push_back(static_cast<uint8_t>(RunMark | length));
    out.push_back(value);
    x += length;
  }
}

}  // namespace

// ---- Loading ----------------------------------------------------------------------------

TPcxStatus DecodePcx(const uint8_t* data, size_t size, TSurface& surface) {
  TPcxLayout layout;
  const TPcxStatus status = ReadPcxLayout(data, size, layout);
  if (status != TPcxStatus::Ok) return status;

  const uint32_t width = static_cast<uint32_t>(layout.Width);
  // Bytes of a plane line past the surface's width are decoded and then ignored.
  const uint32_t count = layout.LineBytes;
  const uint32_t padding = (width & 1) != 0 ? width : UINT32_MAX;
  // Only where the padding byte ends the plane line, as the format lays it out (and as lines
  // are read when the field is too short), may a run give the padding column a colour;
  // longer lines are some other writer's padding.
  const bool runMayColourPadding = count == static_cast<uint32_t>(layout.SurfaceWidth);
  const size_t stride =
      std::max<size_t>(count, static_cast<size_t>(layout.SurfaceWidth)) + LineSlack;
  std::vector<uint8_t> lines(stride * 3);
  uint8_t* planes[3] = {lines.data(), lines.data() + stride, lines.data() + stride * 2};

  TSurface decoded;
  CreateSurface(decoded, layout.SurfaceWidth, layout.Height, false);
  const uint8_t* in = data + PcxHeaderSize;
  const uint8_t* end = data + size;
  uint16_t* row = decoded.Pixels;
  for (int32_t y = 0; y < layout.Height; ++y) {
    for (uint8_t* plane : planes) {
      bool runAtPadding = false;
      if (!DecodePlaneLine(in, end, plane, count, padding, runAtPadding)) {
        FreeSurface(decoded);
        return TPcxStatus::Damaged;
      }
      // The padding column is black unless a run covered it; files that do not pad at all
      // (plane lines as long as the picture) have no byte for it.
      if (padding != UINT32_MAX && !(runAtPadding && runMayColourPadding)) plane[padding] = 0;
    }
    PackRow(planes[0], planes[1], planes[2], row, decoded.Width);
    row += decoded.Pitch / 2;
  }
  surface = std::move(decoded);
  return TPcxStatus::Ok;
}

void LoadPcxFromMemory(const uint8_t* data, size_t size, std::string_view name, TSurface& surface) {
  TSurface decoded;
  const TPcxStatus status = DecodePcx(data, size, decoded);
  if (status != TPcxStatus::Ok) FatalBox("FILE ERROR", RefusalText(status) + std::string(name));
  decoded.Name = ShortString(name);
  surface = std::move(decoded);
}

void LoadPcx(std::string_view fileName, std::string_view archiveName, TSurface& surface) {
  TFileBlock block;
  block.Size = LoadResource(fileName, archiveName, block.Data);
  LoadPcxFromMemory(block.Data, block.Size, fileName, surface);
}

// ---- Encoding ---------------------------------------------------------------------------

bool EncodePcx(const uint8_t* rgb, int32_t width, int32_t height, std::vector<uint8_t>& file) {
  if (width < 1 || width > 65534 || height < 1 || height > 65536) return false;
  const uint32_t lineBytes = static_cast<uint32_t>(width + (width & 1));
  file.assign(PcxHeaderSize, 0);
  file[0] = 10;  // manufacturer
  file[1] = 5;   // version 3.0 and later, the one that allows 24 bits
  file[2] = 1;   // run-length encoding
  file[3] = 8;   // bits per pixel in each plane
  WriteU16(&file[8], static_cast<uint32_t>(width - 1));
  WriteU16(&file[10], static_cast<uint32_t>(height - 1));
  WriteU16(&file[12], 72);
  WriteU16(&file[14], 72);
  file[65] = 3;
  WriteU16(&file[66], lineBytes);
  WriteU16(&file[68], 1);  // colour picture

  std::vector<uint8_t> line(lineBytes, 0);  // the padding byte stays 0
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* source = rgb + static_cast<size_t>(y) * rowBytes;
    for (int plane = 0; plane < 3; ++plane) {
      for (int32_t x = 0; x < width; ++x)
        line[x] = source[static_cast<size_t>(x) * 3 + plane];
      EncodePlaneLine(line.data(), lineBytes, file);
    }
  }
  return true;
}
