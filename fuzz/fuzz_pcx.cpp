// fuzz_pcx: the input is a PCX file held in memory. The loader's result is compared, status
// and every pixel, with a plain byte-at-a-time decoder written here from the format's rules,
// so a fast path that decodes wrongly is a finding as much as one that reads too far.
#include <algorithm>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "gfx/boxes.h"
#include "gfx/pcx.h"

namespace {

uint32_t U16(const uint8_t* bytes) {
  return bytes[0] | (uint32_t{bytes[1]} << 8);
}

struct TReference {
  TPcxStatus Status = TPcxStatus::Ok;
  int32_t Width = 0;  // the surface's, rounded up to even
  int32_t Height = 0;
  std::vector<uint16_t> Pixels;
};

TReference ReferenceDecode(const uint8_t* data, size_t size) {
  TReference out;
  auto refuse = [&out](TPcxStatus status) {
    out.Status = status;
    return out;
  };
  if (size < PcxHeaderSize || data[0] != 10) return refuse(TPcxStatus::NotPcx);
  if (data[2] != 1) return refuse(TPcxStatus::NotCompressed);
  if (data[65] != 3 || data[3] != 8) return refuse(TPcxStatus::Not24Bit);
  const int64_t width = int64_t{U16(data + 8)} - U16(data + 4) + 1;
  const int64_t height = int64_t{U16(data + 10)} - U16(data + 6) + 1;
  if (width <= 0 || height <= 0) return refuse(TPcxStatus::NotPcx);
  // Plane lines are as long as the bytes-per-line field says, unless it is too short for
  // the picture (0, or any width of 65536): then they are the width rounded up to even.
  const uint32_t field = U16(data + 66);
  const uint32_t lineBytes = field >= width ? field : uint32_t(width + (width & 1));
  // A two-byte run covers at most 63 positions, so a shorter file cannot hold the picture;
  // checked before anything is allocated for it.
  const uint64_t leastBytes = 3 * uint64_t(height) * ((lineBytes + 62) / 63);
  if (size - PcxHeaderSize < leastBytes) return refuse(TPcxStatus::Damaged);

  const int32_t surfaceWidth = static_cast<int32_t>(width + (width & 1));
  out.Width = surfaceWidth;
  out.Height = static_cast<int32_t>(height);
  out.Pixels.assign(size_t(surfaceWidth) * size_t(height), 0);
  const uint8_t* in = data + PcxHeaderSize;
  const uint8_t* end = data + size;
  std::vector<uint8_t> line(lineBytes);
  std::vector<bool> fromRun(lineBytes);
  std::vector<uint8_t> channels(size_t(surfaceWidth) * 3);
  for (int64_t y = 0; y < height; ++y) {
    for (int plane = 0; plane < 3; ++plane) {
      uint32_t x = 0;
      while (x < lineBytes) {
        if (in == end) return refuse(TPcxStatus::Damaged);
        const uint8_t byte = *in++;
        if (byte < 0xC0) {
          line[x] = byte;
          fromRun[x++] = false;
          continue;
        }
        if (in == end) return refuse(TPcxStatus::Damaged);
        const uint8_t value = *in++;
        for (uint32_t n = 0; n < uint32_t(byte & 0x3F) && x < lineBytes; ++n) {
          line[x] = value;
          fromRun[x++] = true;
        }
      }
      for (int32_t column = 0; column < surfaceWidth; ++column) {
        uint8_t value = 0;
        if (column < width)
          value = line[column];
        else if (lineBytes == uint32_t(surfaceWidth) && fromRun[column])
          value = line[column];  // a run over the padding byte colours the padding column
        channels[size_t(column) * 3 + plane] = value;
      }
    }
    for (int32_t column = 0; column < surfaceWidth; ++column) {
      const uint8_t* rgb = &channels[size_t(column) * 3];
      out.Pixels[size_t(y) * surfaceWidth + column] =
          static_cast<uint16_t>(((rgb[0] & 0xF8) << 8) | ((rgb[1] & 0xFC) << 3) | (rgb[2] >> 3));
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzPlatform& platform = FuzzSetup();
  // A copy of exactly the input's size on the heap, so any read past it is caught.
  std::vector<uint8_t> bytes(data, data + size);
  const uint8_t* file = bytes.empty() ? nullptr : bytes.data();
  const TReference expected = ReferenceDecode(data, size);

  TSurface surface;
  surface.Name = "untouched";
  const TPcxStatus status = DecodePcx(file, size, surface);
  FUZZ_CHECK(status == expected.Status);
  if (status != TPcxStatus::Ok) {
    FUZZ_CHECK(!surface.Allocated && surface.Pixels == nullptr && surface.Name == "untouched");
  } else {
    FUZZ_CHECK(surface.Allocated && surface.Name.empty());
    FUZZ_CHECK(surface.Width == expected.Width && surface.Height == expected.Height);
    FUZZ_CHECK(surface.Pitch == surface.Width * 2 && surface.Width % 2 == 0);
    FUZZ_CHECK(surface.SizeBytes == expected.Pixels.size() * 2);
    FUZZ_CHECK(std::memcmp(surface.Pixels, expected.Pixels.data(), surface.SizeBytes) == 0);
  }
  FreeSurface(surface);

  // The loader's front door: a refused file is one box naming it, and nothing allocated.
  TSurface loaded;
  const int boxes = platform.Boxes;
  try {
    LoadPcxFromMemory(file, size, "fuzz.pcx", loaded);
    FUZZ_CHECK(status == TPcxStatus::Ok && loaded.Name == "fuzz.pcx" && loaded.Allocated);
  } catch (const TProgramExit& exit) {
    FUZZ_CHECK(status != TPcxStatus::Ok && exit.Code == 1);
    FUZZ_CHECK(platform.Boxes == boxes + 1 && platform.LastCaption == "FILE ERROR");
    FUZZ_CHECK(platform.LastText.find("fuzz.pcx") != std::string::npos);
    FUZZ_CHECK(!loaded.Allocated);
  }
  FreeSurface(loaded);
  return 0;
}
