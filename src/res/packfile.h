// Pack-file archives (.MPK): the table of open archives, the table of open sub files,
// cursors that read one sub file of an archive, and the one-byte result codes. An archive
// opened by name is read from its file in every mod folder and in the data directory at
// once (res/mods.h). Archive contents are untrusted; every position is checked against the
// size of the file it is in.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "res/data_dir.h"

// ---- Archive format ---------------------------------------------------------------------

constexpr size_t PackHeaderSize = 11;  // "MPK", version 1, entry count, directory offset
constexpr size_t PackEntrySize = 263;  // name field, data offset, data size
constexpr size_t PackNameFieldSize = 255;
constexpr int PackfileSlotCount = 10;
constexpr int SubfileHandleCount = 500;
constexpr uint16_t SubfileBlockSize = 65535;  // whole sub files are read in blocks of this size

// ---- Result codes -----------------------------------------------------------------------
// 0 is success, 1 to 244 are slot or handle numbers, the codes from 245 up are errors.

constexpr uint8_t PackErrFilesFull = 245;
constexpr uint8_t PackErrInternal = 247;
constexpr uint8_t PackErrTooManyPackfiles = 248;
constexpr uint8_t PackErrNotPackfile = 249;
constexpr uint8_t PackErrWriteProtection = 250;
constexpr uint8_t PackErrBadHandle = 251;
constexpr uint8_t PackErrSeekRange = 253;
constexpr uint8_t PackErrFileNotFound = 254;
constexpr uint8_t PackErrPackfileNotFound = 255;

const char* PackfileErrorText(uint8_t code);

// ---- Objects ----------------------------------------------------------------------------

struct TPackEntry {
  std::string Name;  // the name field up to its first zero byte (at most 255 bytes)
  int32_t DataOffset = 0;
  int32_t DataSize = 0;
  uint8_t Layer = 0;  // the file of the archive it is in
};

// One file of an archive: a mod's, or the game's own.
struct TPackLayer {
  std::string Path;  // as opened, for messages
  TFileHandle File;  // read-only, open while the archive is
  uint64_t FileSize = 0;
};

struct TPackfile {
  std::vector<TPackLayer> Layers;  // the topmost first: the last mod's ... the game's own
  // Each layer's directory in its order, the topmost layer's first, so that the first
  // entry of a name is the one a mod put on top. Never changed while cursors exist.
  std::vector<TPackEntry> Entries;
};

struct TPackCursor {
  const TPackEntry* Entry = nullptr;  // not owned
  TPackfile* Archive = nullptr;       // not owned; must outlive the cursor
  int32_t Position = 0;               // bytes of the sub file already consumed
};

// ---- Program-wide tables ----------------------------------------------------------------

struct TPackfileSlot {
  std::string Name;      // as the caller passed it, before ".MPK" is added; empty when free
  uint8_t Resident = 0;  // an ordinary close leaves the archive open
  std::unique_ptr<TPackfile> Archive;
};

struct TPackfileTables {
  std::array<TPackfileSlot, PackfileSlotCount> PackfileSlots;  // slot n at index n - 1
  std::array<std::unique_ptr<TPackCursor>, SubfileHandleCount> SubfileHandles;  // handle n at n - 1
};
extern TPackfileTables Packfiles;

// Closes every archive and frees every handle, resident ones included.
void ResetPackfiles();

// The disk file of an archive: ".MPK" is added when the name holds no '.' anywhere.
std::string PackfileDiskName(std::string_view name);

// ---- Table-level operations -------------------------------------------------------------

// Slot 1..10, or PackErrPackfileNotFound (no layer's file there, or none openable),
// PackErrNotPackfile (a layer with a wrong magic or version, or with a directory that does
// not fit in its file), PackErrTooManyPackfiles. An archive already open under exactly this name is
// found again without touching the file.
uint8_t PackfileOpen(std::string_view name);
// As PackfileOpen; on success the slot becomes resident.
uint8_t PackfileOpenResident(std::string_view name);
// Closes the slot's archive unless it is resident. Handles into the archive are freed.
void PackfileClose(uint8_t slot);
void PackfileCloseForced(uint8_t slot);
// The slot's archive, or null for a free slot or a number outside 1..10.
TPackfile* PackfileObject(uint8_t slot);

// Handle 1..500; 0 when the slot holds no archive or the name is not in its directory;
// PackErrFilesFull when every handle is in use.
uint16_t SubfileOpen(uint8_t slot, std::string_view name);
// Data size of the handle's entry (may be negative in a damaged archive); 0 for a free handle.
int32_t SubfileSize(uint8_t slot, uint16_t handle);
// Reads from the handle's position to the end of the sub file into `destination`, which
// holds `capacity` bytes. 0 on success; PackErrBadHandle for a free handle; PackErrSeekRange
// when the entry lies outside the archive, has a negative size or does not fit the buffer;
// PackErrInternal when the archive yields fewer bytes than its directory promised.
uint8_t SubfileReadAll(uint8_t slot, uint16_t handle, uint8_t* destination, size_t capacity);
void SubfileClose(uint8_t slot, uint16_t handle);
// Whether the handle's entry has a non-negative offset and size and lies wholly inside its
// file, so that its size may be trusted for an allocation.
bool SubfileIntact(uint16_t handle);

// ---- Archive- and cursor-level operations -----------------------------------------------

// The first entry in directory order whose name equals `name`, ignoring the case of the
// ASCII letters a to z only; null when there is none or `archive` is null.
const TPackEntry* FindEntry(const TPackfile* archive, std::string_view name);
std::unique_ptr<TPackCursor> OpenCursor(TPackfile* archive, std::string_view name);
void FreeCursor(std::unique_ptr<TPackCursor>& cursor);
// The file the cursor's entry is in.
TPackLayer& LayerOf(const TPackCursor& cursor);
// Positions the entry's file at the cursor's next byte; false when that is not possible.
bool CursorSeek(TPackCursor& cursor);
bool CursorAtEnd(const TPackCursor& cursor);
// Reads up to `count` bytes of the sub file; `got` tells how many arrived. A damaged
// archive (entry outside the file, failed read) yields fewer bytes than asked, possibly 0.
void CursorRead(TPackCursor& cursor, void* buffer, uint16_t count, uint16_t& got);
// One text line without its CR or LF; a CR LF pair counts as one line end. Lines longer
// than 255 characters are cut. At the end of the sub file the line is empty.
std::string CursorReadLine(TPackCursor& cursor);
