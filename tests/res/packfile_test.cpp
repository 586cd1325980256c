// Pack-file archives: slots and names, directory lookup, sub-file reading and line reading,
// residency, and archives whose directory or entries cannot be trusted.
#include "res/packfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

#include "res/res_helpers.h"

namespace {

class PackfileTest : public TResFixture {
 protected:
  // The whole sub file through a handle, as the loaders read it.
  std::string ReadAll(uint8_t slot, const std::string& name, uint8_t* result = nullptr) {
    const uint16_t handle = SubfileOpen(slot, name);
    EXPECT_GT(handle, 0) << name;
    std::string data(static_cast<size_t>(std::max(0, SubfileSize(slot, handle))), '\0');
    const uint8_t code =
        SubfileReadAll(slot, handle, reinterpret_cast<uint8_t*>(data.data()), data.size());
    if (result != nullptr) *result = code;
    SubfileClose(slot, handle);
    return data;
  }

  std::vector<std::string> Lines(const std::string& text, int count) {
    TArchiveWriter().Add("lines.txt", text).Add("next.txt", "NEXT").WriteTo(Dir + "/L.MPK");
    const uint8_t slot = PackfileOpen("L");
    auto cursor = OpenCursor(PackfileObject(slot), "lines.txt");
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i)
      lines.push_back(CursorReadLine(*cursor));
    FreeCursor(cursor);
    EXPECT_FALSE(cursor);
    PackfileClose(slot);
    return lines;
  }
};

// ---- Slots and names --------------------------------------------------------------------

TEST_F(PackfileTest, SameNameTwiceGivesSameSlotWithoutReadingTheFileAgain) {
  TArchiveWriter().Add("a.txt", "A").WriteTo(Dir + "/SPRITES.MPK");
  EXPECT_EQ(PackfileOpen("SPRITES"), 1);
  std::filesystem::remove(Dir + "/SPRITES.MPK");
  EXPECT_EQ(PackfileOpen("SPRITES"), 1);
  EXPECT_EQ(ReadAll(1, "a.txt"), "A");  // the file stayed open under its old name
  EXPECT_EQ(PackfileObject(2), nullptr);
}

TEST_F(PackfileTest, NameInOtherLetterCaseTakesASecondSlotOnTheSameFile) {
  TArchiveWriter().Add("a.txt", "A").WriteTo(Dir + "/SPRITES.MPK");
  // The data folder's file system tells case apart; the link makes "sprites" the same file.
  std::filesystem::create_symlink("SPRITES.MPK", Dir + "/sprites.MPK");
  EXPECT_EQ(PackfileOpenResident("SPRITES"), 1);
  EXPECT_EQ(PackfileOpen("sprites"), 2);
  EXPECT_EQ(ReadAll(2, "A.TXT"), "A");
  EXPECT_EQ(Packfiles.PackfileSlots[0].Name, "SPRITES");
  EXPECT_EQ(Packfiles.PackfileSlots[1].Name, "sprites");
}

TEST_F(PackfileTest, MpkIsAppendedOnlyToNamesWithoutADot) {
  TArchiveWriter().Add("f", "F").WriteTo(Dir + "/FONTS.MPK");
  TArchiveWriter().Add("d", "D").WriteTo(Dir + "/data.pak");
  std::filesystem::create_directories(Dir + "/v1.0");
  TArchiveWriter().Add("s", "S").WriteTo(Dir + "/v1.0/SPRITES");
  EXPECT_EQ(PackfileDiskName("FONTS"), "FONTS.MPK");
  EXPECT_EQ(ReadAll(PackfileOpen("FONTS"), "f"), "F");
  EXPECT_EQ(ReadAll(PackfileOpen("data.pak"), "d"), "D");
  EXPECT_EQ(ReadAll(PackfileOpen("v1.0/SPRITES"), "s"), "S");  // the dot in the folder counts
  EXPECT_EQ(PackfileOpen("data"), PackErrPackfileNotFound);
}

TEST_F(PackfileTest, EleventhArchiveIsRefusedAndFailedOpensKeepNoSlot) {
  for (int i = 1; i <= 11; ++i)
    TArchiveWriter().Add("x", "X").WriteTo(Dir + "/A" + std::to_string(i) + ".MPK");
  WriteData("BAD.MPK", "not an archive");
  EXPECT_EQ(PackfileOpen("MISSING"), PackErrPackfileNotFound);
  EXPECT_EQ(PackfileOpen("BAD"), PackErrNotPackfile);
  for (int i = 1; i <= 10; ++i)
    EXPECT_EQ(PackfileOpen("A" + std::to_string(i)), i);
  EXPECT_EQ(PackfileOpen("A11"), PackErrTooManyPackfiles);
  PackfileClose(4);
  EXPECT_EQ(PackfileOpen("A11"), 4);  // the lowest free slot
}

TEST_F(PackfileTest, ErrorTextsCoverEveryCode) {
  EXPECT_STREQ(PackfileErrorText(0), "Ok");
  EXPECT_STREQ(PackfileErrorText(7), "Not an Error. Handle number");
  EXPECT_STREQ(PackfileErrorText(244), "Not an Error. Handle number");
  EXPECT_STREQ(PackfileErrorText(246), "Not an Error. Handle number");
  EXPECT_STREQ(PackfileErrorText(252), "Not an Error. Handle number");
  EXPECT_STREQ(PackfileErrorText(245), "More than 500 files open");
  EXPECT_STREQ(PackfileErrorText(247), "Internal error");
  EXPECT_STREQ(PackfileErrorText(248), "Too many packfiles open");
  EXPECT_STREQ(PackfileErrorText(249), "File is not a Packfile");
  EXPECT_STREQ(PackfileErrorText(250), "Write protection");
  EXPECT_STREQ(PackfileErrorText(251), "Bad handle");
  EXPECT_STREQ(PackfileErrorText(253), "Seek out of range");
  EXPECT_STREQ(PackfileErrorText(254), "File not found in Packfile");
  EXPECT_STREQ(PackfileErrorText(255), "Packfile not found");
}

TEST_F(PackfileTest, EmptyNameDoesNotFindAFreeSlot) {
  EXPECT_EQ(PackfileOpen(""), PackErrPackfileNotFound);
  EXPECT_EQ(PackfileObject(1), nullptr);
}

// ---- Residency --------------------------------------------------------------------------

TEST_F(PackfileTest, ResidentArchiveSurvivesOrdinaryCloseUntilForced) {
  TArchiveWriter().Add("old.pcx", "1").WriteTo(Dir + "/SPRITES.MPK");
  const uint8_t slot = PackfileOpenResident("SPRITES");
  ASSERT_EQ(slot, 1);
  EXPECT_EQ(Packfiles.PackfileSlots[0].Resident, 1);
  PackfileClose(slot);
  ASSERT_NE(PackfileObject(slot), nullptr);
  EXPECT_EQ(PackfileOpen("SPRITES"), slot);

  TArchiveWriter().Add("new.pcx", "2").WriteTo(Dir + "/SPRITES.MPK");
  PackfileCloseForced(slot);
  EXPECT_EQ(PackfileObject(slot), nullptr);
  EXPECT_TRUE(Packfiles.PackfileSlots[0].Name.empty());
  const uint8_t again = PackfileOpen("SPRITES");
  EXPECT_EQ(SubfileOpen(again, "old.pcx"), 0);  // the directory was read anew
  EXPECT_EQ(ReadAll(again, "new.pcx"), "2");
  EXPECT_EQ(Packfiles.PackfileSlots[again - 1].Resident, 0);
}

TEST_F(PackfileTest, OpeningResidentAfterOrdinaryOpenMakesTheSlotResident) {
  TArchiveWriter().Add("a", "A").WriteTo(Dir + "/SPRITES.MPK");
  const uint8_t slot = PackfileOpen("SPRITES");
  EXPECT_EQ(PackfileOpenResident("SPRITES"), slot);
  PackfileClose(slot);
  EXPECT_NE(PackfileObject(slot), nullptr);
}

TEST_F(PackfileTest, CloseIgnoresSlotsOutsideTheTableAndFreeSlots) {
  PackfileClose(0);
  PackfileClose(11);
  PackfileCloseForced(255);
  PackfileClose(3);
  EXPECT_EQ(PackfileObject(0), nullptr);
  EXPECT_EQ(PackfileObject(11), nullptr);
}

// ---- Directory lookup -------------------------------------------------------------------

TEST_F(PackfileTest, EmptyDirectoryFindsNothing) {
  TArchiveWriter().WriteTo(Dir + "/EMPTY.MPK");
  const uint8_t slot = PackfileOpen("EMPTY");
  ASSERT_EQ(slot, 1);
  EXPECT_EQ(SubfileOpen(slot, "a"), 0);
  EXPECT_EQ(SubfileOpen(slot, ""), 0);
  EXPECT_FALSE(Packfiles.SubfileHandles[0]);  // a failed open keeps no handle
}

TEST_F(PackfileTest, FirstOfTwoEqualNamesIsFound) {
  TArchiveWriter().Add("dup.txt", "first").Add("DUP.TXT", "second").WriteTo(Dir + "/D.MPK");
  EXPECT_EQ(ReadAll(PackfileOpen("D"), "Dup.Txt"), "first");
}

TEST_F(PackfileTest, LookupIgnoresCaseOfAsciiLettersOnly) {
  TArchiveWriter()
      .Add("hint.txt", "hint")
      .Add("\xE9t\xE9.txt", "lower")  // é in code page 852 is 0x82, in Latin-1 0xE9: bytes
      .Add("[x]", "brackets")
      .WriteTo(Dir + "/T.MPK");
  const uint8_t slot = PackfileOpen("T");
  const TPackfile* archive = PackfileObject(slot);
  EXPECT_EQ(ReadAll(slot, "HINT.TXT"), "hint");
  EXPECT_NE(FindEntry(archive, "\xE9T\xE9.TXT"), nullptr);
  EXPECT_EQ(FindEntry(archive, "\xC9T\xC9.TXT"), nullptr);  // bytes above 127 match exactly
  EXPECT_EQ(FindEntry(archive, "{X}"), nullptr);            // '{' is '[' + 32 but no letter
  EXPECT_EQ(FindEntry(archive, "hint.tx"), nullptr);
  EXPECT_EQ(FindEntry(archive, "hint.txt2"), nullptr);
  EXPECT_EQ(FindEntry(nullptr, "hint.txt"), nullptr);
}

TEST_F(PackfileTest, NameFillingTheWholeFieldIsComparedInFull) {
  const std::string full(255, 'n');
  TArchiveWriter().Add(full, "full").Add(std::string(254, 'n'), "short").WriteTo(Dir + "/N.MPK");
  const uint8_t slot = PackfileOpen("N");
  EXPECT_EQ(PackfileObject(slot)->Entries[0].Name.size(), 255u);
  EXPECT_EQ(ReadAll(slot, std::string(255, 'N')), "full");
  EXPECT_EQ(ReadAll(slot, std::string(254, 'N')), "short");
  EXPECT_EQ(SubfileOpen(slot, std::string(256, 'n')), 0);
}

// ---- Handles and reading ----------------------------------------------------------------

TEST_F(PackfileTest, HandlesAreLowestFreeFirstAndAFullTableGives245) {
  TArchiveWriter().Add("a", "A").WriteTo(Dir + "/H.MPK");
  const uint8_t slot = PackfileOpen("H");
  for (int i = 1; i <= SubfileHandleCount; ++i)
    ASSERT_EQ(SubfileOpen(slot, "a"), i);
  EXPECT_EQ(SubfileOpen(slot, "a"), PackErrFilesFull);
  SubfileClose(slot, 3);
  EXPECT_EQ(SubfileOpen(slot, "a"), 3);
}

TEST_F(PackfileTest, ClosingAnArchiveFreesTheHandlesIntoIt) {
  TArchiveWriter().Add("a", "A").WriteTo(Dir + "/H.MPK");
  const uint8_t slot = PackfileOpen("H");
  const uint16_t handle = SubfileOpen(slot, "a");
  PackfileClose(slot);
  EXPECT_EQ(SubfileSize(slot, handle), 0);
  uint8_t byte = 0;
  EXPECT_EQ(SubfileReadAll(slot, handle, &byte, 1), PackErrBadHandle);
  // Closing the handle on the freed slot is harmless.
  SubfileClose(slot, handle);
}

TEST_F(PackfileTest, LargeSubFileArrivesContiguouslyIn65535ByteBlocks) {
  std::string big(200000, '\0');
  for (size_t i = 0; i < big.size(); ++i)
    big[i] = static_cast<char>((i * 7919) >> 5);
  TArchiveWriter()
      .Add("before", "xyz")
      .Add("big.bin", big)
      .Add("after", "abc")
      .WriteTo(Dir + "/B.MPK");
  const uint8_t slot = PackfileOpen("B");
  EXPECT_EQ(ReadAll(slot, "big.bin"), big);

  auto cursor = OpenCursor(PackfileObject(slot), "big.bin");
  std::vector<uint8_t> block(65535);
  std::vector<uint16_t> sizes;
  while (!CursorAtEnd(*cursor)) {
    uint16_t got = 0;
    CursorRead(*cursor, block.data(), 65535, got);
    sizes.push_back(got);
  }
  EXPECT_EQ(sizes, (std::vector<uint16_t>{65535, 65535, 65535, 3395}));
  uint16_t got = 1;
  CursorRead(*cursor, block.data(), 10, got);  // nothing of "after" leaks in
  EXPECT_EQ(got, 0);
}

TEST_F(PackfileTest, ZeroSizeEntryIsAtItsEndAtOnce) {
  TArchiveWriter().Add("empty", "").Add("x", "X").WriteTo(Dir + "/Z.MPK");
  const uint8_t slot = PackfileOpen("Z");
  auto cursor = OpenCursor(PackfileObject(slot), "empty");
  EXPECT_TRUE(CursorAtEnd(*cursor));
  EXPECT_EQ(CursorReadLine(*cursor), "");
  const uint16_t handle = SubfileOpen(slot, "empty");
  EXPECT_EQ(SubfileSize(slot, handle), 0);
  uint8_t untouched = 0x5A;
  EXPECT_EQ(SubfileReadAll(slot, handle, &untouched, 0), 0);
  EXPECT_EQ(untouched, 0x5A);
}

// ---- Line reading -----------------------------------------------------------------------

TEST_F(PackfileTest, LinesEndWithCrLfLfOrCr) {
  EXPECT_EQ(Lines("8\r\n16\r\n", 3), (std::vector<std::string>{"8", "16", ""}));
  EXPECT_EQ(Lines("8\n16", 3), (std::vector<std::string>{"8", "16", ""}));
  EXPECT_EQ(Lines("8\r16\r", 2), (std::vector<std::string>{"8", "16"}));
  // With LF-only ends an empty line right after a line goes with that line's LF.
  EXPECT_EQ(Lines("8\n\n16\n", 2), (std::vector<std::string>{"8", "16"}));
  EXPECT_EQ(Lines("\r\n\r\n7", 3), (std::vector<std::string>{"", "", "7"}));
}

TEST_F(PackfileTest, LongLinesAreCutAndTheRestSkipped) {
  const std::string longLine(300, 'w');
  const auto lines = Lines(longLine + "\r\n" + std::string(254, 'v') + "\n2", 3);
  EXPECT_EQ(lines[0], std::string(255, 'w'));
  EXPECT_EQ(lines[1], std::string(254, 'v'));
  EXPECT_EQ(lines[2], "2");
}

TEST_F(PackfileTest, LineReadingStopsAtTheEndOfItsSubFile) {
  // The next sub file's bytes follow directly; none of them may be read as this one's.
  EXPECT_EQ(Lines("8\n", 3), (std::vector<std::string>{"8", "", ""}));
  EXPECT_EQ(Lines("8\r", 2), (std::vector<std::string>{"8", ""}));
}

// ---- Damaged archives -------------------------------------------------------------------

TEST_F(PackfileTest, WrongMagicOrVersionIsNotAPackfile) {
  TArchiveWriter wrongMagic;
  wrongMagic.Magic = "MPX";
  wrongMagic.WriteTo(Dir + "/M.MPK");
  TArchiveWriter wrongVersion;
  wrongVersion.Version[0] = 2;
  wrongVersion.WriteTo(Dir + "/V.MPK");
  TArchiveWriter wideVersion;
  wideVersion.Version[1] = 1;
  wideVersion.WriteTo(Dir + "/W.MPK");
  WriteData("S.MPK", "MP");
  WriteData("E.MPK", "");
  WriteData("H.MPK", std::string("MPK\x01\x00\x01", 6));  // header cut short
  for (const char* name : {"M", "V", "W", "S", "E", "H"})
    EXPECT_EQ(PackfileOpen(name), PackErrNotPackfile) << name;
  EXPECT_EQ(PackfileObject(1), nullptr);
}

TEST_F(PackfileTest, MissingOrUnopenableArchiveIsPackfileNotFound) {
  std::filesystem::create_directories(Dir + "/FOLDER.MPK");
  EXPECT_EQ(PackfileOpen("NOWHERE"), PackErrPackfileNotFound);
  EXPECT_EQ(PackfileOpen("FOLDER"), PackErrPackfileNotFound);
}

TEST_F(PackfileTest, DirectoryThatDoesNotFitTheFileIsNotAPackfile) {
  TArchiveWriter pastEnd;
  pastEnd.Add("a", "A");
  pastEnd.DirectoryOffset = 1000;
  pastEnd.WriteTo(Dir + "/P.MPK");
  TArchiveWriter tooMany;
  tooMany.Add("a", "A");
  tooMany.Count = 65535;  // 17 MB of directory promised by a small file
  tooMany.WriteTo(Dir + "/C.MPK");
  TArchiveWriter farAway;
  farAway.Add("a", "A");
  farAway.DirectoryOffset = 0xFFFFFFFF;  // would wrap in 32 bits
  farAway.WriteTo(Dir + "/F.MPK");
  EXPECT_EQ(PackfileOpen("P"), PackErrNotPackfile);
  EXPECT_EQ(PackfileOpen("C"), PackErrNotPackfile);
  EXPECT_EQ(PackfileOpen("F"), PackErrNotPackfile);

  TArchiveWriter emptyFarAway;  // no records need no room, wherever they would start
  emptyFarAway.DirectoryOffset = 0xFFFFFFFF;
  emptyFarAway.WriteTo(Dir + "/Z.MPK");
  EXPECT_EQ(PackfileOpen("Z"), 1);
}

TEST_F(PackfileTest, EntriesOutsideTheFileFailToReadWithoutReadingOutside) {
  TArchiveWriter()
      .Add("good", "GOOD")
      .AddRecord("past", 5, 100000)
      .AddRecord("negsize", 11, -5)
      .AddRecord("negoffset", -100, 4)
      .AddRecord("far", 0x7FFFFFF0, 0x7FFFFFF0)
      .WriteTo(Dir + "/X.MPK");
  const uint8_t slot = PackfileOpen("X");
  ASSERT_EQ(slot, 1);
  EXPECT_EQ(ReadAll(slot, "good"), "GOOD");  // the sound entries stay usable
  for (const char* name : {"past", "negsize", "negoffset", "far"}) {
    const uint16_t handle = SubfileOpen(slot, name);
    ASSERT_GT(handle, 0) << name;
    EXPECT_FALSE(SubfileIntact(handle)) << name;
    std::vector<uint8_t> buffer(16);
    EXPECT_EQ(SubfileReadAll(slot, handle, buffer.data(), buffer.size()), PackErrSeekRange) << name;
    SubfileClose(slot, handle);

    auto cursor = OpenCursor(PackfileObject(slot), name);
    uint16_t got = 0;
    CursorRead(*cursor, buffer.data(), 16, got);  // at most what the file really holds
    EXPECT_LE(got, 16);
    for (int i = 0; i < 4; ++i)
      CursorReadLine(*cursor);  // ends, never spins
  }
}

TEST_F(PackfileTest, ReadAllNeverWritesPastItsBuffer) {
  TArchiveWriter().Add("ten", "0123456789").WriteTo(Dir + "/R.MPK");
  const uint8_t slot = PackfileOpen("R");
  const uint16_t handle = SubfileOpen(slot, "ten");
  std::vector<uint8_t> small(4, 0xEE);
  EXPECT_EQ(SubfileReadAll(slot, handle, small.data(), small.size()), PackErrSeekRange);
  EXPECT_EQ(small, std::vector<uint8_t>(4, 0xEE));
}

TEST_F(PackfileTest, ArchiveShrunkAfterOpeningFailsTheReadInsteadOfLooping) {
  std::string data(100000, 'd');
  TArchiveWriter().Add("d", data).WriteTo(Dir + "/S.MPK");
  const uint8_t slot = PackfileOpen("S");
  std::filesystem::resize_file(Dir + "/S.MPK", 70000);
  uint8_t code = 0;
  ReadAll(slot, "d", &code);
  EXPECT_EQ(code, PackErrInternal);
}

}  // namespace
