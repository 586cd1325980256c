// PCX loader: colour conversion, odd widths and their padding column, runs at line ends,
// the header checks in order, damaged files, plane lines of other lengths, and pictures
// written by Pillow and ImageMagick compared pixel for pixel with their PNG sources.
#include "gfx/pcx.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "gfx/boxes.h"
#include "res/image_cache.h"
#include "res/res_helpers.h"
#include "support/run_binary.h"

namespace {

class PcxTest : public TResFixture {
 protected:
  // Decodes `file`; the test owns the result through Decoded.
  const TSurface& Decode(const std::string& file, const std::string& name = "t.pcx") {
    FreeSurface(Decoded);
    LoadPcxFromMemory(reinterpret_cast<const uint8_t*>(file.data()), file.size(), name, Decoded);
    return Decoded;
  }
  // The box text a refused file gives, or "" when it was accepted.
  std::string Refusal(const std::string& file, const std::string& name = "t.pcx") {
    TSurface surface;
    try {
      LoadPcxFromMemory(reinterpret_cast<const uint8_t*>(file.data()), file.size(), name, surface);
    } catch (const TProgramExit&) {
      EXPECT_FALSE(surface.Allocated);
      EXPECT_EQ(LastBox().Caption, "FILE ERROR");
      return LastBox().Text;
    }
    FreeSurface(surface);
    return "";
  }
  void TearDown() override {
    FreeSurface(Decoded);
    TResFixture::TearDown();
  }

  // Every pixel of `surface` against the RGB565 conversion of `rgb`; the padding column of
  // an odd width must be black.
  static void ExpectPicture(const TSurface& surface, const std::vector<uint8_t>& rgb, int32_t width,
                            int32_t height, const std::string& what) {
    ASSERT_EQ(surface.Width, width + (width & 1)) << what;
    ASSERT_EQ(surface.Height, height) << what;
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        ASSERT_EQ(PixelAt(surface, x, y), Rgb565(p[0], p[1], p[2]))
            << what << " at " << x << "," << y;
      }
      if (width & 1) {
        ASSERT_EQ(PixelAt(surface, width, y), 0) << what << " padding row " << y;
      }
    }
  }

  TSurface Decoded;
};

const std::string NotPcx = "Following file has not a valid pcx format : ";
const std::string NotCompressed = "Following pcx file is not compressed : ";
const std::string Not24Bit = "Following file is not a 24 Bit 64 Kb color pcx : ";

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values)
    out += static_cast<char>(v);
  return out;
}

std::string WithLineBytesField(std::string file, uint16_t field) {
  file[66] = static_cast<char>(field & 0xFF);
  file[67] = static_cast<char>(field >> 8);
  return file;
}

std::vector<uint16_t> PixelsOf(const TSurface& surface) {
  return {surface.Pixels, surface.Pixels + surface.SizeBytes / 2};
}

// ---- Pixels -----------------------------------------------------------------------------

TEST_F(PcxTest, ChannelsLoseTheirLowBitsWithoutRounding) {
  const std::vector<uint8_t> rgb = {255, 128, 64, 7, 3, 7, 0xC0, 0xFF, 0xC1, 8, 4, 8};
  const TSurface& s = Decode(MakePcx(rgb, 4, 1));
  EXPECT_EQ(PixelAt(s, 0, 0), 0xFC08);
  EXPECT_EQ(PixelAt(s, 1, 0), 0);  // black, so transparent when drawn keyed
  EXPECT_EQ(PixelAt(s, 2, 0), Rgb565(0xC0, 0xFF, 0xC1));
  EXPECT_EQ(PixelAt(s, 3, 0), (1 << 11) | (1 << 5) | 1);
}

TEST_F(PcxTest, SurfaceCarriesTheNameAndSize) {
  const TSurface& s = Decode(MakePcx(TestPicture(6, 2, 1), 6, 2), "bus.pcx");
  EXPECT_EQ(s.Name, "bus.pcx");
  EXPECT_TRUE(s.Allocated);
  EXPECT_EQ(s.Pitch, 12);
  EXPECT_EQ(s.SizeBytes, 24u);
}

TEST_F(PcxTest, OffsetsSetOnlyTheSize) {
  TPcxHeaderFields fields = PcxFields(10, 2);
  fields.XMin = 10;
  fields.XMax = 19;
  fields.YMin = 300;
  fields.YMax = 301;
  const auto rgb = TestPicture(10, 2, 3);
  ExpectPicture(Decode(PcxHeader(fields) + PcxPlanes(rgb, 10, 2, 10)), rgb, 10, 2, "offsets");
}

TEST_F(PcxTest, OddWidthGainsABlackPaddingColumn) {
  const auto rgb = TestPicture(3, 2, 4);
  ExpectPicture(Decode(MakePcx(rgb, 3, 2)), rgb, 3, 2, "3 x 2");
  // A single byte in the padding column is black whatever its value.
  const std::string line = Bytes({0x10, 0x10, 0x10, 0x55});
  const TSurface& s = Decode(PcxHeader(PcxFields(3, 1)) + line + line + line);
  EXPECT_EQ(PixelAt(s, 2, 0), Rgb565(0x10, 0x10, 0x10));
  EXPECT_EQ(PixelAt(s, 3, 0), 0);
}

TEST_F(PcxTest, RunThatBeginsInThePaddingColumnGivesItTheRunsValue) {
  const std::string red = Bytes({0x08, 0x08, 0x08, 0xC1, 0xF8});
  const std::string other = Bytes({0x00, 0x00, 0x00, 0x00});
  const TSurface& s = Decode(PcxHeader(PcxFields(3, 1)) + red + other + other);
  EXPECT_EQ(PixelAt(s, 3, 0), 0xF800);
}

TEST_F(PcxTest, RunInTheGreenPlaneAddsIntoConsecutivePixels) {
  const std::string red = Bytes({0xC4, 0x08});
  const std::string green = Bytes({0xC3, 0x80, 0x00});
  const std::string blue = Bytes({0xC4, 0x00});
  const TSurface& s = Decode(PcxHeader(PcxFields(4, 1)) + red + green + blue);
  for (int x = 0; x < 3; ++x)
    EXPECT_EQ(PixelAt(s, x, 0), (1 << 11) | (32 << 5)) << x;
  EXPECT_EQ(PixelAt(s, 3, 0), 1 << 11);
}

TEST_F(PcxTest, RunPastTheLineEndIsCutAndTheNextLineFollowsIt) {
  // Two rows of width 2: every run is longer than its line.
  const std::string row = Bytes({0xFF, 0x10, 0xC5, 0x20, 0xC3, 0x30});
  const TSurface& s = Decode(PcxHeader(PcxFields(2, 2)) + row + row);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x)
      EXPECT_EQ(PixelAt(s, x, y), Rgb565(0x10, 0x20, 0x30));
}

TEST_F(PcxTest, RunOfLengthZeroWritesNothing) {
  const std::string red = Bytes({0xC0, 0xFF, 0x08, 0xC0, 0x11, 0x10});
  const std::string rest = Bytes({0x00, 0x00});
  const TSurface& s = Decode(PcxHeader(PcxFields(2, 1)) + red + rest + rest);
  EXPECT_EQ(PixelAt(s, 0, 0), Rgb565(0x08, 0, 0));
  EXPECT_EQ(PixelAt(s, 1, 0), Rgb565(0x10, 0, 0));
}

TEST_F(PcxTest, LongLinesOfRunsAndSingleBytesDecodeExactly) {
  // Wide enough for the vector paths, with runs longer than 63 and values above 0xC0.
  for (int32_t width : {1, 2, 15, 16, 17, 31, 33, 63, 64, 65, 127, 200, 801}) {
    auto rgb = TestPicture(width, 3, static_cast<uint32_t>(width));
    for (int32_t x = 0; x < std::min(width, 150); ++x)
      rgb[(width + x) * 3 + 1] = 0xEE;
    ExpectPicture(Decode(MakePcx(rgb, width, 3)), rgb, width, 3, "width " + std::to_string(width));
  }
}

TEST_F(PcxTest, EncodedPicturesDecodeBackToTheirColours) {
  for (int32_t width : {1, 2, 3, 7, 64, 65, 130}) {
    auto rgb = TestPicture(width, 4, 7);
    std::fill(rgb.begin(), rgb.begin() + width * 3, 0xC7);  // one long run per plane line
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodePcx(rgb.data(), width, 4, file));
    EXPECT_EQ(file[66] | (file[67] << 8), width + (width & 1));
    ExpectPicture(Decode(ToBytes(file)), rgb, width, 4, "width " + std::to_string(width));
  }
  std::vector<uint8_t> file;
  const uint8_t pixel[3] = {};
  EXPECT_FALSE(EncodePcx(pixel, 0, 1, file));
  EXPECT_FALSE(EncodePcx(pixel, 65535, 1, file));
  EXPECT_FALSE(EncodePcx(pixel, 1, 65537, file));
}

// ---- Plane lines of other lengths -------------------------------------------------------

TEST_F(PcxTest, UnpaddedOddLinesDecodeWithABlackPaddingColumn) {
  const auto rgb = TestPicture(5, 3, 11);
  TPcxHeaderFields fields = PcxFields(5, 3);
  fields.BytesPerLine = 5;
  ExpectPicture(Decode(PcxHeader(fields) + PcxPlanes(rgb, 5, 3, 5)), rgb, 5, 3, "unpadded");
}

TEST_F(PcxTest, BytesPastTheSurfaceWidthAreSkipped) {
  for (int32_t width : {4, 5}) {
    const auto rgb = TestPicture(width, 3, 12);
    TPcxHeaderFields fields = PcxFields(width, 3);
    fields.BytesPerLine = 9;
    // A picture 9 wide whose columns past the width hold junk, cut to `width` by the header.
    std::vector<uint8_t> wide(static_cast<size_t>(9) * 3 * 3, 0x77);
    for (int32_t y = 0; y < 3; ++y)
      for (int32_t x = 0; x < width; ++x)
        for (int c = 0; c < 3; ++c)
          wide[(y * 9 + x) * 3 + c] = rgb[(y * width + x) * 3 + c];
    ExpectPicture(Decode(PcxHeader(fields) + PcxPlanes(wide, 9, 3, 9)), rgb, width, 3,
                  "width " + std::to_string(width));
  }
}

TEST_F(PcxTest, FieldsShorterThanTheWidthAreReadAsTheEvenWidth) {
  // Odd and even widths, and a run over the padding column, which colours it as it does in a
  // file with a correct field.
  const std::vector<std::pair<std::string, int32_t>> files = {
      {MakePcx(TestPicture(5, 3, 8), 5, 3), 5},
      {MakePcx(TestPicture(8, 2, 9), 8, 2), 8},
      {PcxHeader(PcxFields(3, 1)) + Bytes({0xC4, 0xF8, 0xC4, 0x08, 0xC4, 0x10}), 3}};
  for (const auto& [file, width] : files) {
    const std::vector<uint16_t> expected = PixelsOf(Decode(file));
    for (int32_t field : {0, 1, width - 1}) {
      const TSurface& s = Decode(WithLineBytesField(file, static_cast<uint16_t>(field)));
      EXPECT_EQ(s.Width, width + (width & 1));
      EXPECT_EQ(PixelsOf(s), expected) << "width " << width << ", field " << field;
    }
  }
  // The widest picture, whose width no field can hold.
  const auto wide = TestPicture(65536, 1, 10);
  const std::string widePlanes = PcxPlanes(wide, 65536, 1, 65536);
  for (uint16_t field : {0, 65535}) {
    TPcxHeaderFields fields = PcxFields(65536, 1);
    fields.BytesPerLine = field;
    ExpectPicture(Decode(PcxHeader(fields) + widePlanes), wide, 65536, 1,
                  "65536 wide, field " + std::to_string(field));
  }
  // Lines written at the short field's length run out of data before the padded lines do.
  TPcxHeaderFields shortLines = PcxFields(5, 2);
  shortLines.BytesPerLine = 4;
  EXPECT_EQ(Refusal(PcxHeader(shortLines) + PcxPlanes(TestPicture(5, 2, 8), 5, 2, 4)),
            NotPcx + "t.pcx");
}

// ---- Refused files ----------------------------------------------------------------------

TEST_F(PcxTest, HeaderChecksComeInOrderAndNameTheFile) {
  const std::string data = Bytes({0xC4, 0x00, 0xC4, 0x00, 0xC4, 0x00});
  auto with = [&](auto change) {
    TPcxHeaderFields fields = PcxFields(4, 1);
    change(fields);
    return PcxHeader(fields) + data;
  };
  EXPECT_EQ(Refusal(with([](TPcxHeaderFields& s) {
              s.Manufacturer = 5;
              s.Encoding = 0;
              s.Planes = 1;
            })),
            NotPcx + "t.pcx");
  EXPECT_EQ(Refusal(with([](TPcxHeaderFields& s) {
                      s.Encoding = 0;
                      s.Planes = 1;
                    }),
                    "menu.pcx"),
            NotCompressed + "menu.pcx");
  EXPECT_EQ(Refusal(with([](TPcxHeaderFields& s) { s.Planes = 1; })), Not24Bit + "t.pcx");
  EXPECT_EQ(Refusal(with([](TPcxHeaderFields& s) { s.Planes = 4; })), Not24Bit + "t.pcx");
  EXPECT_EQ(Refusal(with([](TPcxHeaderFields& s) { s.BitsPerPixel = 1; })), Not24Bit + "t.pcx");
  // A bytes-per-line field shorter than the width is no reason to refuse (see above).
  EXPECT_EQ(Refusal(with([](TPcxHeaderFields& s) { s.BytesPerLine = 3; })), "");
  EXPECT_EQ(Refusal(with([](TPcxHeaderFields&) {})), "");
  EXPECT_EQ(Platform->Boxes.size(), 5u);
}

TEST_F(PcxTest, ShortOrDamagedFilesAreRefusedWithoutReadingPastTheData) {
  const auto rgb = TestPicture(9, 4, 5);
  const std::string whole = MakePcx(rgb, 9, 4);
  // Every cut of a sound file, from nothing to one byte short, is refused.
  for (size_t size = 0; size < whole.size(); ++size) {
    // Copied into a block of exactly this size, so a read past it is caught by the sanitizer.
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    TSurface surface;
    EXPECT_NE(DecodePcx(cut.data(), cut.size(), surface), TPcxStatus::Ok) << size;
    EXPECT_FALSE(surface.Allocated);
  }
  EXPECT_EQ(Refusal(whole.substr(0, 127)), NotPcx + "t.pcx");
  EXPECT_EQ(Refusal(whole.substr(0, whole.size() - 1)), NotPcx + "t.pcx");
  // A run mark as the very last byte has no value to repeat.
  EXPECT_EQ(Refusal(PcxHeader(PcxFields(2, 1)) + Bytes({0x01, 0x02, 0x01, 0x02, 0x01, 0xC2})),
            NotPcx + "t.pcx");
}

TEST_F(PcxTest, PicturesWithoutPixelsOrTooLargeForTheirDataAreRefused) {
  TPcxHeaderFields backwards = PcxFields(4, 1);
  backwards.XMin = 5;
  backwards.XMax = 2;
  EXPECT_EQ(Refusal(PcxHeader(backwards) + std::string(64, '\0')), NotPcx + "t.pcx");
  TPcxHeaderFields flat = PcxFields(4, 1);
  flat.YMin = 1;
  flat.YMax = 0;
  EXPECT_EQ(Refusal(PcxHeader(flat) + std::string(64, '\0')), NotPcx + "t.pcx");
  // 65535 x 65535 pixels promised by a few bytes: refused before 8 GB are asked for.
  TPcxHeaderFields huge = PcxFields(65535, 65536);
  huge.BytesPerLine = 65535;
  EXPECT_EQ(Refusal(PcxHeader(huge) + Bytes({0xFF, 0x00, 0xFF, 0x00})), NotPcx + "t.pcx");
}

// ---- Loading by name --------------------------------------------------------------------

TEST_F(PcxTest, LoadsFromAnArchiveOrFromDisk) {
  const auto rgb = TestPicture(7, 5, 21);
  TArchiveWriter()
      .Add("bus.pcx", MakePcx(rgb, 7, 5))
      .Add("bad.pcx", "junk")
      .WriteTo(Dir + "/SPRITES.MPK");
  WriteData("disk.pcx", MakePcx(rgb, 7, 5));
  TSurface packed, disk;
  LoadPcx("BUS.PCX", "SPRITES", packed);
  LoadPcx("disk.pcx", "", disk);
  ExpectPicture(packed, rgb, 7, 5, "packed");
  ExpectPicture(disk, rgb, 7, 5, "disk");
  EXPECT_EQ(packed.Name, "BUS.PCX");
  FreeSurface(packed);
  FreeSurface(disk);

  TSurface refused;
  EXPECT_THROW(LoadPcx("bad.pcx", "SPRITES", refused), TProgramExit);
  EXPECT_EQ(LastBox().Text, NotPcx + "bad.pcx");  // the sub file's name alone
  EXPECT_THROW(LoadPcx("gone.pcx", "", refused), TProgramExit);
  EXPECT_EQ(LastBox().Caption, "I/O ERROR");
}

// ---- Pictures written by others ---------------------------------------------------------

struct TForeignSize {
  int32_t Width, Height;
};
const TForeignSize ForeignSizes[] = {{1, 1},   {1, 4},   {2, 1},   {3, 2},  {4, 3},  {5, 3},
                                     {16, 4},  {17, 5},  {63, 2},  {64, 3}, {65, 3}, {101, 7},
                                     {128, 2}, {255, 3}, {333, 2}, {800, 2}};

// The picture each foreign size gets, so the sources and the checks agree.
std::vector<uint8_t> ForeignPicture(const TForeignSize& size) {
  return TestPicture(size.Width, size.Height, static_cast<uint32_t>(size.Width * 31 + size.Height));
}

std::string SizeName(const TForeignSize& size) {
  return std::to_string(size.Width) + "x" + std::to_string(size.Height);
}

TEST_F(PcxTest, PicturesWrittenByPillowMatchTheirPngSources) {
  ASSERT_TRUE(std::filesystem::exists(PYTHON_BINARY))
      << PYTHON_BINARY << " is missing: run scripts/install-deps.sh";
  std::string script = "from PIL import Image\n";
  for (const TForeignSize& size : ForeignSizes) {
    if (size.Width == 1) continue;  // Pillow writes broken files one pixel wide
    const std::string base = Dir + "/" + SizeName(size);
    WriteRgbPng(base + ".png", ForeignPicture(size), size.Width, size.Height);
    script += "Image.open('" + base + ".png').save('" + base + ".pcx')\n";
  }
  WriteBytes(Dir + "/write.py", script);
  const TRunResult run = RunBinary(PYTHON_BINARY, {Dir + "/write.py"});
  ASSERT_EQ(run.ExitCode, 0) << "Pillow is missing or failed (run scripts/install-deps.sh): "
                             << run.Err;
  for (const TForeignSize& size : ForeignSizes) {
    if (size.Width == 1) continue;
    TSurface surface;
    LoadPcx(SizeName(size) + ".pcx", "", surface);
    ExpectPicture(surface, ForeignPicture(size), size.Width, size.Height,
                  "Pillow " + SizeName(size));
    FreeSurface(surface);
  }
}

TEST_F(PcxTest, PicturesWrittenByImageMagickMatchTheirPngSources) {
  ASSERT_TRUE(std::filesystem::exists(CONVERT_BINARY))
      << CONVERT_BINARY << " is missing: run scripts/install-deps.sh";
  for (const TForeignSize& size : ForeignSizes) {
    const std::string base = Dir + "/" + SizeName(size);
    WriteRgbPng(base + ".png", ForeignPicture(size), size.Width, size.Height);
    const TRunResult run =
        RunBinary(CONVERT_BINARY, {base + ".png", "-type", "TrueColor", "PCX:" + base + ".pcx"});
    ASSERT_EQ(run.ExitCode, 0) << "ImageMagick failed on " << SizeName(size) << ": " << run.Err;
    TSurface surface;
    LoadPcx(SizeName(size) + ".pcx", "", surface);
    ExpectPicture(surface, ForeignPicture(size), size.Width, size.Height,
                  "ImageMagick " + SizeName(size));
    FreeSurface(surface);
  }
}

}  // namespace
