// Test data for the resource code, built in memory: an archive writer that can also write
// damaged archives, a PCX writer with every header field open to change, and a fixture that
// gives each test an empty data folder and clean archive tables and image cache.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/engine_fixture.h"

// ---- Archives ---------------------------------------------------------------------------

class TArchiveWriter {
 public:
  // A sub file whose bytes are stored after the header, in the order added.
  TArchiveWriter& Add(std::string name, std::string data);
  // A directory record pointing wherever the test says, for damaged archives.
  TArchiveWriter& AddRecord(std::string name, int32_t offset, int32_t size);
  // Header, the sub files' bytes, then the directory at the end of the file.
  std::string Bytes() const;
  void WriteTo(const std::string& path) const;

  std::string Magic = "MPK";
  uint8_t Version[2] = {1, 0};
  std::optional<uint16_t> Count;            // instead of the number of records
  std::optional<uint32_t> DirectoryOffset;  // instead of where the directory lands

 private:
  struct TRecord {
    std::string Name;
    std::string Data;
    std::optional<int32_t> Offset, Size;
  };
  std::vector<TRecord> Records;
};

// ---- Pictures ---------------------------------------------------------------------------

struct TPcxHeaderFields {
  uint8_t Manufacturer = 10;
  uint8_t Version = 5;
  uint8_t Encoding = 1;
  uint8_t BitsPerPixel = 8;
  uint16_t XMin = 0, YMin = 0, XMax = 0, YMax = 0;
  uint8_t Planes = 3;
  uint16_t BytesPerLine = 0;
};
std::string PcxHeader(const TPcxHeaderFields& fields);

// A header for a picture of `width` x `height` at the origin with even plane lines.
TPcxHeaderFields PcxFields(int32_t width, int32_t height);

// Run-length-encoded plane lines of `bytesPerLine` bytes (zeros past the width) for 8-bit
// RGB triples, top row first. Independent of the engine's encoder.
std::string PcxPlanes(const std::vector<uint8_t>& rgb, int32_t width, int32_t height,
                      int32_t bytesPerLine);

// A complete 24-bit PCX file with plane lines of even length.
std::string MakePcx(const std::vector<uint8_t>& rgb, int32_t width, int32_t height);

// A picture with smooth gradients, flat areas and values above 0xC0, seeded by `seed`.
std::vector<uint8_t> TestPicture(int32_t width, int32_t height, uint32_t seed);

uint16_t Rgb565(uint8_t red, uint8_t green, uint8_t blue);

// ---- Files and fixture ------------------------------------------------------------------

std::string ToBytes(const std::vector<uint8_t>& bytes);
void WriteBytes(const std::string& path, const std::string& bytes);

// A fresh folder named after the running test.
std::string TestScratch();

// Writes an RGB PNG with libpng, for pictures handed to other programs.
void WriteRgbPng(const std::string& path, const std::vector<uint8_t>& rgb, int32_t width,
                 int32_t height);

class TResFixture : public TEngineFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes a file into the data folder and returns its path.
  std::string WriteData(const std::string& name, const std::string& bytes);
  const TTestPlatform::TBox& LastBox() const;

  std::string Dir;  // the data folder of this test
};
