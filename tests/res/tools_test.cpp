// The modders' tools run as child processes: mpk's four commands and the archives it
// writes, pcxconv's conversions and Pillow reading its PCX files, and both tools' answers
// to bad arguments and bad input.
#include <png.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "gfx/pcx.h"
#include "res/file_load.h"
#include "res/packfile.h"
#include "res/res_helpers.h"
#include "support/run_binary.h"

namespace {

class ToolsTest : public TResFixture {
 protected:
  TRunResult Mpk(const std::vector<std::string>& args) { return RunBinary(MPK_BINARY, args); }
  TRunResult Pcxconv(const std::vector<std::string>& args) {
    return RunBinary(PCXCONV_BINARY, args);
  }
};

// ---- mpk --------------------------------------------------------------------------------

TEST_F(ToolsTest, MpkCreatesArchivesTheEngineReadsInArgumentOrder) {
  std::filesystem::create_directories(Dir + "/in");
  const std::string binary("\0\x01\xFF\r\n", 5);
  WriteData("a.txt", "abc");
  WriteData("in/B.bin", binary);
  WriteData("in/empty", "");
  const TRunResult created =
      Mpk({"create", Dir + "/ARC", Dir + "/in/B.bin", Dir + "/a.txt", Dir + "/in/empty"});
  ASSERT_EQ(created.ExitCode, 0) << created.Err;
  ASSERT_TRUE(std::filesystem::exists(Dir + "/ARC.MPK"));  // the game's extension rule

  const TRunResult listed = Mpk({"list", Dir + "/ARC"});
  EXPECT_EQ(listed.ExitCode, 0);
  EXPECT_EQ(listed.Out, "B.bin\t5\t800\na.txt\t3\t805\nempty\t0\t808\n");  // 11 + 3 * 263 = 800

  TFileBlock block;
  block.Size = LoadSubFile("b.BIN", "ARC", block.Data);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.Data), block.Size), binary);
}

TEST_F(ToolsTest, MpkCreateRefusesNamesTheGameCannotTellApartOrStore) {
  std::filesystem::create_directories(Dir + "/x");
  WriteData("a.txt", "1");
  WriteData("x/A.TXT", "2");
  const TRunResult clash = Mpk({"create", Dir + "/ARC", Dir + "/a.txt", Dir + "/x/A.TXT"});
  EXPECT_EQ(clash.ExitCode, 1);
  EXPECT_NE(clash.Err.find("ignoring case"), std::string::npos) << clash.Err;
  const TRunResult missing = Mpk({"create", Dir + "/ARC", Dir + "/a.txt", Dir + "/nope"});
  EXPECT_EQ(missing.ExitCode, 1);
  EXPECT_NE(missing.Err.find("I/O ERROR"), std::string::npos) << missing.Err;
  EXPECT_FALSE(std::filesystem::exists(Dir + "/ARC.MPK"));
  for (const auto& left : std::filesystem::directory_iterator(Dir))  // no temporary file either
    EXPECT_EQ(left.path().filename().string().find("ARC.MPK"), std::string::npos) << left.path();
}

TEST_F(ToolsTest, MpkExtractsEveryEntryOrTheNamedOnes) {
  TArchiveWriter()
      .Add("hint.txt", "hint")
      .Add("bus.pcx", std::string("\0bus", 4))
      .Add("HINT.TXT", "hidden")  // the game never finds this one
      .WriteTo(Dir + "/PACK.MPK");
  const TRunResult all = Mpk({"extract", Dir + "/PACK", "-C", Dir + "/all"});
  ASSERT_EQ(all.ExitCode, 0) << all.Err;
  EXPECT_EQ(ReadWholeFile(Dir + "/all/hint.txt"), "hint");
  EXPECT_EQ(ReadWholeFile(Dir + "/all/bus.pcx"), std::string("\0bus", 4));
  EXPECT_FALSE(std::filesystem::exists(Dir + "/all/HINT.TXT"));

  const TRunResult named = Mpk({"extract", Dir + "/PACK", "BUS.PCX", "-C", Dir + "/one"});
  ASSERT_EQ(named.ExitCode, 0) << named.Err;
  EXPECT_EQ(ReadWholeFile(Dir + "/one/bus.pcx"), std::string("\0bus", 4));  // stored name
  EXPECT_FALSE(std::filesystem::exists(Dir + "/one/hint.txt"));
}

TEST_F(ToolsTest, MpkExtractRefusesNamesThatLeaveTheFolder) {
  for (const char* name : {"../evil.txt", "/tmp/evil.txt", "..", "a\\b"}) {
    TArchiveWriter().Add("ok.txt", "ok").Add(name, "evil").WriteTo(Dir + "/BAD.MPK");
    const TRunResult run = Mpk({"extract", Dir + "/BAD", "-C", Dir + "/out"});
    EXPECT_EQ(run.ExitCode, 1) << name;
    EXPECT_NE(run.Err.find("not a plain file name"), std::string::npos) << run.Err;
    EXPECT_FALSE(std::filesystem::exists(Dir + "/evil.txt"));
    EXPECT_FALSE(std::filesystem::exists(Dir + "/out/ok.txt"));  // checked before writing
  }
}

TEST_F(ToolsTest, MpkCatWritesOneEntryMatchedAsTheGameMatches) {
  const std::string bytes("\x00\xC0\xFF\n\r", 5);
  TArchiveWriter().Add("Intro_F1.txt", bytes).WriteTo(Dir + "/TEXTS.MPK");
  const TRunResult run = Mpk({"cat", Dir + "/TEXTS", "intro_f1.TXT"});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Out, bytes);
}

TEST_F(ToolsTest, MpkReportsBadArchivesWithTheEnginesBoxes) {
  WriteData("ZIP.MPK", "PK\x03\x04");
  TArchiveWriter().Add("ok", "ok").AddRecord("broken", 11, 1 << 30).WriteTo(Dir + "/D.MPK");
  const TRunResult missing = Mpk({"list", Dir + "/NOWHERE"});
  EXPECT_EQ(missing.ExitCode, 1);
  EXPECT_NE(missing.Err.find("I/O ERROR\n"), std::string::npos);
  EXPECT_NE(missing.Err.find("\nPackfile not found\n"), std::string::npos) << missing.Err;
  const TRunResult zip = Mpk({"list", Dir + "/ZIP"});
  EXPECT_EQ(zip.ExitCode, 1);
  EXPECT_NE(zip.Err.find("File is not a Packfile"), std::string::npos) << zip.Err;
  const TRunResult name = Mpk({"cat", Dir + "/D", "nothing"});
  EXPECT_EQ(name.ExitCode, 1);
  EXPECT_NE(name.Err.find("open sub file \"nothing\""), std::string::npos) << name.Err;
  const TRunResult broken = Mpk({"cat", Dir + "/D", "broken"});
  EXPECT_EQ(broken.ExitCode, 1);
  EXPECT_NE(broken.Err.find("I/O Error !"), std::string::npos) << broken.Err;
  EXPECT_TRUE(broken.Out.empty());
}

TEST_F(ToolsTest, MpkPrintsUsageForBadArguments) {
  for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                {"list"},
                                                                {"pack", "A"},
                                                                {"create", "A"},
                                                                {"list", "A", "B"},
                                                                {"cat", "A"},
                                                                {"extract", "A", "-C"}}) {
    const TRunResult run = Mpk(args);
    EXPECT_EQ(run.ExitCode, 2) << args.size();
    EXPECT_EQ(run.Err.rfind("usage: mpk", 0), 0u) << run.Err;
  }
}

// ---- pcxconv ----------------------------------------------------------------------------

TEST_F(ToolsTest, PcxconvInfoAndRawWordsDescribeTheDecodedSurface) {
  const auto rgb = TestPicture(5, 3, 2);
  const std::string pcx = WriteData("p.pcx", MakePcx(rgb, 5, 3));
  const TRunResult info = Pcxconv({"info", pcx});
  EXPECT_EQ(info.ExitCode, 0);
  EXPECT_EQ(info.Out, "6 3\nline bytes 6\n");
  // The line length decoded, and whether the header's field was set aside for it.
  for (const auto& [field, lines, said] : std::vector<std::tuple<uint16_t, int32_t, std::string>>{
           {9, 9, "line bytes 9\n"},
           {0, 6, "line bytes 6 (the header's 0 is below the width)\n"},
           {4, 6, "line bytes 6 (the header's 4 is below the width)\n"}}) {
    TPcxHeaderFields fields = PcxFields(5, 3);
    fields.BytesPerLine = field;
    const std::string other = WriteData("f.pcx", PcxHeader(fields) + PcxPlanes(rgb, 5, 3, lines));
    EXPECT_EQ(Pcxconv({"info", other}).Out, "6 3\n" + said);
  }

  ASSERT_EQ(Pcxconv({"to-rgb565", pcx, Dir + "/p.raw"}).ExitCode, 0);
  const std::string raw = ReadWholeFile(Dir + "/p.raw");
  ASSERT_EQ(raw.size(), 6u * 3 * 2);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x) {
      const size_t at = static_cast<size_t>(y * 6 + x) * 2;
      const uint16_t word = static_cast<uint16_t>(static_cast<uint8_t>(raw[at]) |
                                                  (static_cast<uint8_t>(raw[at + 1]) << 8));
      const uint8_t* p = &rgb[static_cast<size_t>(y * 5 + x) * 3];
      EXPECT_EQ(word, x < 5 ? Rgb565(p[0], p[1], p[2]) : 0) << x << "," << y;
    }
}

TEST_F(ToolsTest, PcxconvToPngWidensChannelsByBitReplication) {
  const std::vector<uint8_t> rgb = {0xFF, 0x80, 0x40, 0x08, 0x04, 0x08};
  const std::string pcx = WriteData("p.pcx", MakePcx(rgb, 2, 1));
  ASSERT_EQ(Pcxconv({"to-png", pcx, Dir + "/p.png"}).ExitCode, 0);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, (Dir + "/p.png").c_str()));
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> read(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, read.data(), 0, nullptr));
  // 31, 32, 8 -> 0xFF, 0x82, 0x42 and 1, 1, 1 -> 0x08, 0x04, 0x08.
  EXPECT_EQ(read, (std::vector<uint8_t>{0xFF, 0x82, 0x42, 0x08, 0x04, 0x08}));
}

TEST_F(ToolsTest, PcxconvFromPngIsReadBackByPillowIdentically) {
  ASSERT_TRUE(std::filesystem::exists(PYTHON_BINARY))
      << PYTHON_BINARY << " is missing: run scripts/install-deps.sh";
  // Pillow's reader mishandles widths 1 and 3; our own reader covers those below.
  const std::vector<std::pair<int32_t, int32_t>> sizes = {{2, 1},  {4, 3},  {5, 2},  {7, 7},
                                                          {17, 5}, {64, 3}, {65, 2}, {333, 4}};
  std::string script = "import sys\nfrom PIL import Image\nbad = []\n";
  for (const auto& [width, height] : sizes) {
    const std::string base = Dir + "/" + std::to_string(width) + "x" + std::to_string(height);
    WriteRgbPng(base + ".png", TestPicture(width, height, 77), width, height);
    const TRunResult run = Pcxconv({"from-png", base + ".png", base + ".pcx"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    script += "a = Image.open('" + base + ".pcx')\n";
    script += "b = Image.open('" + base + ".png').convert('RGB')\n";
    script += "if a.size != b.size or a.convert('RGB').tobytes() != b.tobytes(): bad.append('" +
              base + "')\n";
  }
  script += "print(' '.join(bad))\nsys.exit(1 if bad else 0)\n";
  WriteBytes(Dir + "/check.py", script);
  const TRunResult check = RunBinary(PYTHON_BINARY, {Dir + "/check.py"});
  EXPECT_EQ(check.ExitCode, 0) << "differ or Pillow missing: " << check.Out << check.Err;

  for (int32_t width : {1, 3}) {
    const auto rgb = TestPicture(width, 2, 5);
    const std::string base = Dir + "/narrow" + std::to_string(width);
    WriteRgbPng(base + ".png", rgb, width, 2);
    ASSERT_EQ(Pcxconv({"from-png", base + ".png", base + ".pcx"}).ExitCode, 0);
    TSurface surface;
    LoadPcx(base + ".pcx", "", surface);
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t* p = &rgb[static_cast<size_t>(width + x) * 3];
      EXPECT_EQ(PixelAt(surface, x, 1), Rgb565(p[0], p[1], p[2]));
    }
    FreeSurface(surface);
  }
}

TEST_F(ToolsTest, PcxconvFailsWithTheEnginesMessageOrUsage) {
  const std::string notPcx = WriteData("text.pcx", std::string(200, 'x'));
  const TRunResult bad = Pcxconv({"info", notPcx});
  EXPECT_EQ(bad.ExitCode, 1);
  EXPECT_EQ(bad.Err, "FILE ERROR\nFollowing file has not a valid pcx format : " + notPcx + "\n");
  const TRunResult missing = Pcxconv({"to-png", Dir + "/none.pcx", Dir + "/none.png"});
  EXPECT_EQ(missing.ExitCode, 1);
  EXPECT_EQ(missing.Err.rfind("I/O ERROR\n", 0), 0u) << missing.Err;
  EXPECT_FALSE(std::filesystem::exists(Dir + "/none.png"));
  const TRunResult notPng = Pcxconv({"from-png", notPcx, Dir + "/out.pcx"});
  EXPECT_EQ(notPng.ExitCode, 1);
  EXPECT_FALSE(std::filesystem::exists(Dir + "/out.pcx"));
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"info"}, {"info", "a", "b"}, {"to-png", "a"}, {"convert", "a", "b"}}) {
    const TRunResult run = Pcxconv(args);
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_EQ(run.Err.rfind("usage: pcxconv", 0), 0u) << run.Err;
  }
}

}  // namespace
