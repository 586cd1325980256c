// Whole-file loading and its boxes. The box texts are the ones players and modders have
// always seen; a read that fails after a successful open gets a box of our own.
#include "res/file_load.h"

#include <cstdio>
#include <string>

#include "gfx/boxes.h"
#include "gfx/memory.h"
#include "res/data_dir.h"
#include "res/packfile.h"

namespace {

constexpr std::string_view AccessDenied =
    "File access denied !  (read or open)\r\rPOSSIBLE reasons :\r- The file is missing or "
    "write-protected\r- The file is blocked by windows or another application";

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

[[noreturn]] void NoMemoryBox() {
  FatalBox("MEMORY ERROR !", "Not enough memory to run this application !");
}

// Closes the sub file and its archive however LoadSubFile is left, so a box raised
// half-way does not keep a handle or a non-resident archive open.
struct TSubfileGuard {
  uint8_t Slot = 0;
  uint16_t Handle = 0;
  ~TSubfileGuard() {
    if (Handle != 0) SubfileClose(Slot, Handle);
    PackfileClose(Slot);
  }
};

}  // namespace

TFileBlock::~TFileBlock() {
  FreeChecked(Data);
}

uint32_t LoadFile(std::string_view name, uint8_t*& buffer) {
  buffer = nullptr;
  uint64_t size = 0;
  const TFileHandle file = OpenDataFile(name, size);
  if (!file) FatalBox("I/O ERROR", std::string(AccessDenied) + "\r\rFile : " + std::string(name));
  if (size > UINT32_MAX) NoMemoryBox();
  AllocChecked(buffer, static_cast<uint32_t>(size));
  if (std::fread(buffer, 1, size, file.get()) != size) {
    FreeChecked(buffer);
    FatalBox("I/O ERROR", "An error occured when trying to read file " + Quoted(name) + " ! ");
  }
  return static_cast<uint32_t>(size);
}

void ArchiveOpenFailedBox(std::string_view archiveName, uint8_t code) {
  FatalBox("I/O ERROR", std::string(AccessDenied) + "\r\rInternal error message : \r" +
                            PackfileErrorText(code) + "\r\rFile : " + std::string(archiveName));
}

uint32_t LoadSubFile(std::string_view subName, std::string_view archiveName, uint8_t*& buffer) {
  buffer = nullptr;
  const uint8_t slot = PackfileOpen(archiveName);
  if (slot > 244) ArchiveOpenFailedBox(archiveName, slot);
  TSubfileGuard guard{slot, 0};
  guard.Handle = SubfileOpen(slot, subName);
  if (guard.Handle == 0) {
    FatalBox("I/O ERROR", std::string(AccessDenied) + "\r\rError occured while open sub file " +
                              Quoted(subName) + " of main file " + Quoted(archiveName) + " ! ");
  }
  const std::string readFailed = "An error occured when trying to load sub file " +
                                 Quoted(subName) + " from main file " + Quoted(archiveName) + " ! ";
  // A damaged directory could ask for gigabytes from a small file; check before allocating.
  if (!SubfileIntact(guard.Handle)) FatalBox("I/O Error !", readFailed);
  const int32_t size = SubfileSize(slot, guard.Handle);
  AllocChecked(buffer, static_cast<uint32_t>(size));
  if (SubfileReadAll(slot, guard.Handle, buffer, static_cast<uint32_t>(size)) != 0) {
    FreeChecked(buffer);
    FatalBox("I/O Error !", readFailed);
  }
  return static_cast<uint32_t>(size);
}
