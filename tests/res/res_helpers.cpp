// Builders of archives and PCX pictures for tests, and the resource test fixture.
#include "res/res_helpers.h"

#include <png.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "res/data_dir.h"
#include "res/image_cache.h"
#include "res/packfile.h"
#include "support/run_binary.h"

namespace {

void PutU16(std::string& out, size_t at, uint32_t value) {
  out[at] = static_cast<char>(value & 0xFF);
  out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}
void PutU32(std::string& out, size_t at, uint32_t value) {
  PutU16(out, at, value & 0xFFFF);
  PutU16(out, at + 2, value >> 16);
}

}  // namespace

// ---- Archives ---------------------------------------------------------------------------

TArchiveWriter& TArchiveWriter::Add(std::string name, std::string data) {
  Records.push_back({std::move(name), std::move(data), std::nullopt, std::nullopt});
  return *this;
}

TArchiveWriter& TArchiveWriter::AddRecord(std::string name, int32_t offset, int32_t size) {
  Records.push_back({std::move(name), {}, offset, size});
  return *this;
}

std::string TArchiveWriter::Bytes() const {
  std::string out(11, '\0');
  out.replace(0, std::min<size_t>(Magic.size(), 3), Magic.substr(0, 3));
  out[3] = static_cast<char>(Version[0]);
  out[4] = static_cast<char>(Version[1]);
  std::vector<uint32_t> offsets;
  for (const TRecord& record : Records) {
    offsets.push_back(static_cast<uint32_t>(out.size()));
    out += record.Data;
  }
  const size_t directory = out.size();
  PutU16(out, 5, Count.value_or(static_cast<uint16_t>(Records.size())));
  PutU32(out, 7, DirectoryOffset.value_or(static_cast<uint32_t>(directory)));
  for (size_t i = 0; i < Records.size(); ++i) {
    const TRecord& record = Records[i];
    std::string entry(263, '\0');
    entry.replace(0, std::min<size_t>(record.Name.size(), 255), record.Name.substr(0, 255));
    PutU32(entry, 255,
           static_cast<uint32_t>(record.Offset.value_or(static_cast<int32_t>(offsets[i]))));
    PutU32(entry, 259,
           static_cast<uint32_t>(record.Size.value_or(static_cast<int32_t>(record.Data.size()))));
    out += entry;
  }
  return out;
}

void TArchiveWriter::WriteTo(const std::string& path) const {
  WriteBytes(path, Bytes());
}

// ---- Pictures ---------------------------------------------------------------------------

std::string PcxHeader(const TPcxHeaderFields& fields) {
  std::string out(128, '\0');
  out[0] = static_cast<char>(fields.Manufacturer);
  out[1] = static_cast<char>(fields.Version);
  out[2] = static_cast<char>(fields.Encoding);
  out[3] = static_cast<char>(fields.BitsPerPixel);
  PutU16(out, 4, fields.XMin);
  PutU16(out, 6, fields.YMin);
  PutU16(out, 8, fields.XMax);
  PutU16(out, 10, fields.YMax);
  out[65] = static_cast<char>(fields.Planes);
  PutU16(out, 66, fields.BytesPerLine);
  return out;
}

TPcxHeaderFields PcxFields(int32_t width, int32_t height) {
  TPcxHeaderFields fields;
  fields.XMax = static_cast<uint16_t>(width - 1);
  fields.YMax = static_cast<uint16_t>(height - 1);
  fields.BytesPerLine = static_cast<uint16_t>(width + (width & 1));
  return fields;
}

std::string PcxPlanes(const std::vector<uint8_t>& rgb, int32_t width, int32_t height,
                      int32_t bytesPerLine) {
  std::string out;
  std::vector<uint8_t> line(static_cast<size_t>(bytesPerLine));
  for (int32_t y = 0; y < height; ++y) {
    for (int plane = 0; plane < 3; ++plane) {
      for (int32_t x = 0; x < bytesPerLine; ++x)
        line[x] = x < width ? rgb[(static_cast<size_t>(y) * width + x) * 3 + plane] : 0;
      for (int32_t x = 0; x < bytesPerLine;) {
        int32_t run = 1;
        while (x + run < bytesPerLine && run < 63 && line[x + run] == line[x])
          ++run;
        if (run > 1 || line[x] >= 0xC0) out += static_cast<char>(0xC0 | run);
        out += static_cast<char>(line[x]);
        x += run;
      }
    }
  }
  return out;
}

std::string MakePcx(const std::vector<uint8_t>& rgb, int32_t width, int32_t height) {
  return PcxHeader(PcxFields(width, height)) + PcxPlanes(rgb, width, height, width + (width & 1));
}

std::vector<uint8_t> TestPicture(int32_t width, int32_t height, uint32_t seed) {
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  uint32_t state = seed * 2654435761u + 1;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      state = state * 1664525u + 1013904223u;
      if ((x / 7 + y / 5) % 3 == 0) {  // flat patches give runs
        p[0] = 0xC8;
        p[1] = 0x10;
        p[2] = 0xFF;
      } else {  // gradients with some noise give single values of every size
        p[0] = static_cast<uint8_t>(x * 255 / std::max(1, width - 1));
        p[1] = static_cast<uint8_t>(y * 255 / std::max(1, height - 1));
        p[2] = static_cast<uint8_t>(state >> 24);
      }
    }
  return rgb;
}

uint16_t Rgb565(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<uint16_t>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

// ---- Files and fixture ------------------------------------------------------------------

std::string ToBytes(const std::vector<uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string TestScratch() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return ScratchDir(std::string("res_") + info->test_suite_name() + "." + info->name());
}

void WriteRgbPng(const std::string& path, const std::vector<uint8_t>& rgb, int32_t width,
                 int32_t height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<uint32_t>(width);
  image.height = static_cast<uint32_t>(height);
  image.format = PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr))
    throw std::runtime_error("cannot write " + path + ": " + image.message);
}

void TResFixture::SetUp() {
  TEngineFixture::SetUp();
  ResetPackfiles();
  CacheInit();
  Dir = TestScratch();
  SetDataDirectory(Dir);
}

void TResFixture::TearDown() {
  CacheDone();
  ResetPackfiles();
  SetDataDirectory("");
  TEngineFixture::TearDown();
}

std::string TResFixture::WriteData(const std::string& name, const std::string& bytes) {
  const std::string path = (std::filesystem::path(Dir) / name).string();
  WriteBytes(path, bytes);
  return path;
}

const TTestPlatform::TBox& TResFixture::LastBox() const {
  static const TTestPlatform::TBox none{};
  return Platform->Boxes.empty() ? none : Platform->Boxes.back();
}
