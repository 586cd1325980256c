// Whole-file loading: disk files and sub files read whole, the exact boxes that name the
// file on every failure, and what is left open or allocated afterwards.
#include "res/file_load.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "gfx/boxes.h"
#include "res/packfile.h"
#include "res/res_helpers.h"

namespace {

const std::string AccessDenied =
    "File access denied !  (read or open)\r\rPOSSIBLE reasons :\r- The file is missing or "
    "write-protected\r- The file is blocked by windows or another application";

class FileLoadTest : public TResFixture {
 protected:
  std::string LoadSub(const std::string& name, const std::string& archive) {
    TFileBlock block;
    block.Size = LoadSubFile(name, archive, block.Data);
    EXPECT_NE(block.Data, nullptr);
    return std::string(reinterpret_cast<const char*>(block.Data), block.Size);
  }
  bool NoHandleOpen() const {
    for (const auto& handle : Packfiles.SubfileHandles)
      if (handle) return false;
    return true;
  }
};

// ---- Disk files -------------------------------------------------------------------------

TEST_F(FileLoadTest, DiskFileIsReadWholeFromTheDataFolder) {
  WriteData("readme.txt", std::string("a\0b\r\n", 5));
  TFileBlock block;
  block.Size = LoadFile("readme.txt", block.Data);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.Data), block.Size),
            std::string("a\0b\r\n", 5));
}

TEST_F(FileLoadTest, WriteProtectedFileIsRead) {
  const std::string path = WriteData("locked.txt", "locked");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  TFileBlock block;
  block.Size = LoadFile("locked.txt", block.Data);
  EXPECT_EQ(block.Size, 6u);
  EXPECT_TRUE(Platform->Boxes.empty());
}

TEST_F(FileLoadTest, EmptyFileLoadsAsAnEmptyBlock) {
  WriteData("empty.txt", "");
  TFileBlock block;
  block.Size = LoadFile("empty.txt", block.Data);
  EXPECT_EQ(block.Size, 0u);
  EXPECT_NE(block.Data, nullptr);
}

TEST_F(FileLoadTest, MissingDiskFileShowsTheAccessDeniedBox) {
  std::filesystem::create_directories(Dir + "/folder.txt");
  for (const char* name : {"missing.txt", "folder.txt"}) {
    uint8_t stale = 0;
    uint8_t* buffer = &stale;
    EXPECT_THROW(LoadFile(name, buffer), TProgramExit);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(LastBox().Caption, "I/O ERROR");
    EXPECT_EQ(LastBox().Text, AccessDenied + "\r\rFile : " + name);
  }
}

// ---- Sub files --------------------------------------------------------------------------

TEST_F(FileLoadTest, SubFileIsReadWholeAndItsArchiveClosedAgain) {
  std::string big(200000, '\0');
  for (size_t i = 0; i < big.size(); ++i)
    big[i] = static_cast<char>(i % 251);
  TArchiveWriter().Add("small", "s").Add("big.bin", big).WriteTo(Dir + "/TEXTS.MPK");
  EXPECT_EQ(LoadSub("BIG.BIN", "TEXTS"), big);
  EXPECT_EQ(PackfileObject(1), nullptr);
  EXPECT_TRUE(NoHandleOpen());
}

TEST_F(FileLoadTest, ResidentArchiveStaysOpenAfterLoading) {
  TArchiveWriter().Add("bus.pcx", "bus").WriteTo(Dir + "/SPRITES.MPK");
  const uint8_t slot = PackfileOpenResident("SPRITES");
  std::filesystem::remove(Dir + "/SPRITES.MPK");  // loads must use the open archive
  EXPECT_EQ(LoadSub("bus.pcx", "SPRITES"), "bus");
  EXPECT_EQ(LoadSub("bus.pcx", "SPRITES"), "bus");
  EXPECT_NE(PackfileObject(slot), nullptr);
  EXPECT_TRUE(NoHandleOpen());
}

TEST_F(FileLoadTest, EmptySubFileLoadsAsAnEmptyBlock) {
  TArchiveWriter().Add("empty", "").WriteTo(Dir + "/E.MPK");
  EXPECT_EQ(LoadSub("empty", "E"), "");
}

TEST_F(FileLoadTest, MissingSubFileBoxNamesBothFilesAsPassed) {
  TArchiveWriter().Add("hint.txt", "h").WriteTo(Dir + "/TEXTS.MPK");
  uint8_t* buffer = nullptr;
  EXPECT_THROW(LoadSubFile("Nope.Txt", "TEXTS", buffer), TProgramExit);
  EXPECT_EQ(LastBox().Caption, "I/O ERROR");
  EXPECT_EQ(
      LastBox().Text,
      ShortString(AccessDenied + "\r\rError occured while open sub file \"Nope.Txt\" of main file "
                                 "\"TEXTS\" ! "));
  EXPECT_EQ(PackfileObject(1), nullptr);  // closed on the way out
}

TEST_F(FileLoadTest, MissingArchiveBoxSaysPackfileNotFound) {
  uint8_t* buffer = nullptr;
  EXPECT_THROW(LoadSubFile("hint.txt", "TEXTS", buffer), TProgramExit);
  EXPECT_EQ(LastBox().Caption, "I/O ERROR");
  EXPECT_EQ(LastBox().Text,
            AccessDenied + "\r\rInternal error message : \rPackfile not found\r\rFile : TEXTS");
}

TEST_F(FileLoadTest, ArchiveOfTheWrongKindBoxSaysNotAPackfile) {
  WriteData("TEXTS.MPK", "PK\x03\x04 a zip file");
  uint8_t* buffer = nullptr;
  EXPECT_THROW(LoadSubFile("hint.txt", "TEXTS", buffer), TProgramExit);
  EXPECT_NE(LastBox().Text.find("\rFile is not a Packfile\r\rFile : TEXTS"), std::string::npos);
}

TEST_F(FileLoadTest, DamagedEntryShowsTheReadErrorBoxAndLeavesNothingOpen) {
  TArchiveWriter()
      .AddRecord("huge.pcx", 11, 0x7FFFFFFF)  // would ask for 2 GB before reading anything
      .AddRecord("negative.pcx", 11, -1)
      .WriteTo(Dir + "/SPRITES.MPK");
  for (const char* name : {"huge.pcx", "negative.pcx"}) {
    uint8_t* buffer = nullptr;
    EXPECT_THROW(LoadSubFile(name, "SPRITES", buffer), TProgramExit);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(LastBox().Caption, "I/O Error !");
    EXPECT_EQ(LastBox().Text, std::string("An error occured when trying to load sub file \"") +
                                  name + "\" from main file \"SPRITES\" ! ");
    EXPECT_EQ(PackfileObject(1), nullptr);
    EXPECT_TRUE(NoHandleOpen());
  }
}

TEST_F(FileLoadTest, ArchiveShrunkUnderAResidentSlotShowsTheReadErrorBox) {
  TArchiveWriter().Add("big", std::string(100000, 'b')).WriteTo(Dir + "/SPRITES.MPK");
  const uint8_t slot = PackfileOpenResident("SPRITES");
  std::filesystem::resize_file(Dir + "/SPRITES.MPK", 50000);
  uint8_t* buffer = nullptr;
  EXPECT_THROW(LoadSubFile("big", "SPRITES", buffer), TProgramExit);
  EXPECT_EQ(buffer, nullptr);
  EXPECT_EQ(LastBox().Caption, "I/O Error !");
  EXPECT_NE(PackfileObject(slot), nullptr);
  EXPECT_TRUE(NoHandleOpen());
}

TEST_F(FileLoadTest, LongNamesAreCutWithTheBoxText) {
  const std::string longName(300, 'q');
  uint8_t* buffer = nullptr;
  EXPECT_THROW(LoadFile(longName, buffer), TProgramExit);
  EXPECT_EQ(LastBox().Text.size(), 255u);
}

}  // namespace
