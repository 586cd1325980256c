// Whole-file loading: a disk file or a sub file of a pack-file archive read into one new
// block, with the fatal boxes that name the file when it cannot be opened, found or read.
#pragma once

#include <cstdint>
#include <string_view>

// Owns a loaded block, so that a fatal box raised while the block is decoded (which
// unwinds to main) still frees it.
struct TFileBlock {
  uint8_t* Data = nullptr;  // from AllocChecked; filled through LoadFile/LoadSubFile
  uint32_t Size = 0;

  TFileBlock() = default;
  TFileBlock(const TFileBlock&) = delete;
  TFileBlock& operator=(const TFileBlock&) = delete;
  ~TFileBlock();
};

// Reads the disk file `name` (resolved against the data directory, opened read-only)
// whole. `buffer` is set to null, then to a block of exactly the file's size that the
// caller frees with FreeChecked. Returns the size; every failure ends the program.
uint32_t LoadFile(std::string_view name, uint8_t*& buffer);

// Reads the sub file `subName` of the archive `archiveName` whole, as LoadFile. A resident
// archive stays open; any other is closed again.
uint32_t LoadSubFile(std::string_view subName, std::string_view archiveName, uint8_t*& buffer);

// The box LoadSubFile shows when PackfileOpen gives the error `code`, for the tools that
// open archives themselves.
[[noreturn]] void ArchiveOpenFailedBox(std::string_view archiveName, uint8_t code);
