// Pack-file archives: reading the directory, the slot and handle tables, and sub-file
// cursors. Only the archive file's size is trusted; directory fields are checked before use.
#include "res/packfile.h"

#include <algorithm>
#include <cstring>

#include "res/ascii_case.h"
#include "res/mods.h"

TPackfileTables Packfiles;

namespace {

// ---- Directory reading ------------------------------------------------------------------

enum class TDirectoryResult { Ok, BadMagic, BadVersion, BadDirectory, NotFound };

uint16_t ReadU16(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}
uint32_t ReadU32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

bool SeekTo(std::FILE* file, uint64_t position) {
  return fseeko(file, static_cast<off_t>(position), SEEK_SET) == 0;
}

// Opens one file of an archive and appends its directory to `archive`'s entries, keeping the
// file open for the cursors when the result is Ok. One open serves both, so the file that
// was checked is the file that is read.
TDirectoryResult ReadLayer(TPackfile& archive, const std::string& path) {
  TPackLayer layer;
  layer.Path = DataPath(path);
  layer.File = OpenDataFile(path, layer.FileSize);
  if (!layer.File) return TDirectoryResult::NotFound;
  std::FILE* file = layer.File.get();

  uint8_t header[PackHeaderSize] = {};
  const size_t got = std::fread(header, 1, sizeof header, file);
  // The magic is compared as text ending at its first zero byte, like the writer's string.
  if (got < 3 || std::memcmp(header, "MPK", 3) != 0) return TDirectoryResult::BadMagic;
  if (got < 5 || header[3] != 1 || header[4] != 0) return TDirectoryResult::BadVersion;
  if (got < PackHeaderSize) return TDirectoryResult::BadDirectory;

  const uint16_t count = ReadU16(header + 5);
  const uint64_t offset = ReadU32(header + 7);
  const uint64_t bytes = static_cast<uint64_t>(count) * PackEntrySize;
  // The whole directory must lie in the file before anything is allocated for it; an empty
  // one is nothing to read, wherever it would start.
  if (count != 0 && offset + bytes > layer.FileSize) return TDirectoryResult::BadDirectory;

  std::vector<uint8_t> records(bytes);
  if (count != 0 && (!SeekTo(file, offset) || std::fread(records.data(), 1, bytes, file) != bytes))
    return TDirectoryResult::BadDirectory;
  const auto index = static_cast<uint8_t>(archive.Layers.size());
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* record = records.data() + i * PackEntrySize;
    const auto* field = reinterpret_cast<const char*>(record);
    TPackEntry& entry = archive.Entries.emplace_back();
    entry.Name.assign(field, strnlen(field, PackNameFieldSize));
    entry.DataOffset = static_cast<int32_t>(ReadU32(record + PackNameFieldSize));
    entry.DataSize = static_cast<int32_t>(ReadU32(record + PackNameFieldSize + 4));
    entry.Layer = index;
  }
  archive.Layers.push_back(std::move(layer));
  return TDirectoryResult::Ok;
}

// Reads every file the archive `name` has, the topmost first; a file that is not there is
// no layer, and a damaged one spoils the whole archive.
TDirectoryResult ReadDirectory(TPackfile& archive, std::string_view name) {
  archive.Layers.clear();
  archive.Entries.clear();
  for (const std::string& path : ArchiveLayerPaths(name)) {
    const TDirectoryResult result = ReadLayer(archive, path);
    if (result != TDirectoryResult::Ok && result != TDirectoryResult::NotFound) return result;
  }
  return archive.Layers.empty() ? TDirectoryResult::NotFound : TDirectoryResult::Ok;
}

// ---- Table helpers ----------------------------------------------------------------------

TPackfileSlot* SlotAt(uint8_t slot) {
  if (slot < 1 || slot > PackfileSlotCount) return nullptr;
  return &Packfiles.PackfileSlots[slot - 1];
}

std::unique_ptr<TPackCursor>* HandleAt(uint16_t handle) {
  if (handle < 1 || handle > SubfileHandleCount) return nullptr;
  return &Packfiles.SubfileHandles[handle - 1];
}

void CloseSlot(TPackfileSlot& slot) {
  if (!slot.Archive) return;
  // A handle left open into this archive would point at freed memory from now on.
  for (auto& cursor : Packfiles.SubfileHandles)
    if (cursor && cursor->Archive == slot.Archive.get()) cursor.reset();
  slot.Archive.reset();
  slot.Name.clear();
  slot.Resident = 0;
}

}  // namespace

// ---- Result codes and names -------------------------------------------------------------

const char* PackfileErrorText(uint8_t code) {
  switch (code) {
    case 0:
      return "Ok";
    case PackErrFilesFull:
      return "More than 500 files open";
    case PackErrInternal:
      return "Internal error";
    case PackErrTooManyPackfiles:
      return "Too many packfiles open";
    case PackErrNotPackfile:
      return "File is not a Packfile";
    case PackErrWriteProtection:
      return "Write protection";
    case PackErrBadHandle:
      return "Bad handle";
    case PackErrSeekRange:
      return "Seek out of range";
    case PackErrFileNotFound:
      return "File not found in Packfile";
    case PackErrPackfileNotFound:
      return "Packfile not found";
    default:
      return "Not an Error. Handle number";
  }
}

std::string PackfileDiskName(std::string_view name) {
  std::string disk(name);
  if (disk.find('.') == std::string::npos) disk += ".MPK";
  return disk;
}

void ResetPackfiles() {
  for (auto& cursor : Packfiles.SubfileHandles)
    cursor.reset();
  for (auto& slot : Packfiles.PackfileSlots)
    CloseSlot(slot);
}

// ---- Table-level operations -------------------------------------------------------------

uint8_t PackfileOpen(std::string_view name) {
  // Only slots holding an archive can match: a free slot's empty name is not a name.
  for (int i = 0; i < PackfileSlotCount; ++i) {
    const TPackfileSlot& slot = Packfiles.PackfileSlots[i];
    if (slot.Archive && slot.Name == name) return static_cast<uint8_t>(i + 1);
  }
  for (int i = 0; i < PackfileSlotCount; ++i) {
    TPackfileSlot& slot = Packfiles.PackfileSlots[i];
    if (slot.Archive) continue;
    auto archive = std::make_unique<TPackfile>();
    switch (ReadDirectory(*archive, name)) {
      case TDirectoryResult::Ok:
        slot.Archive = std::move(archive);
        slot.Name = std::string(name);
        slot.Resident = 0;
        return static_cast<uint8_t>(i + 1);
      case TDirectoryResult::NotFound:
        return PackErrPackfileNotFound;
      case TDirectoryResult::BadMagic:
      case TDirectoryResult::BadVersion:
      case TDirectoryResult::BadDirectory:
        return PackErrNotPackfile;
    }
    return PackErrInternal;
  }
  return PackErrTooManyPackfiles;
}

uint8_t PackfileOpenResident(std::string_view name) {
  const uint8_t result = PackfileOpen(name);
  if (TPackfileSlot* slot = SlotAt(result)) slot->Resident = 1;
  return result;
}

void PackfileClose(uint8_t slot) {
  TPackfileSlot* entry = SlotAt(slot);
  if (entry == nullptr || entry->Resident) return;
  CloseSlot(*entry);
}

void PackfileCloseForced(uint8_t slot) {
  if (TPackfileSlot* entry = SlotAt(slot)) CloseSlot(*entry);
}

TPackfile* PackfileObject(uint8_t slot) {
  TPackfileSlot* entry = SlotAt(slot);
  return entry == nullptr ? nullptr : entry->Archive.get();
}

uint16_t SubfileOpen(uint8_t slot, std::string_view name) {
  for (int i = 0; i < SubfileHandleCount; ++i) {
    auto& handle = Packfiles.SubfileHandles[i];
    if (handle) continue;
    handle = OpenCursor(PackfileObject(slot), name);
    return handle ? static_cast<uint16_t>(i + 1) : 0;
  }
  return PackErrFilesFull;
}

int32_t SubfileSize(uint8_t, uint16_t handle) {
  const auto* cursor = HandleAt(handle);
  return cursor != nullptr && *cursor ? (*cursor)->Entry->DataSize : 0;
}

bool SubfileIntact(uint16_t handle) {
  const auto* held = HandleAt(handle);
  if (held == nullptr || !*held) return false;
  const TPackEntry& entry = *(*held)->Entry;
  if (entry.DataOffset < 0 || entry.DataSize < 0) return false;
  const uint64_t end =
      static_cast<uint64_t>(entry.DataOffset) + static_cast<uint64_t>(entry.DataSize);
  return end <= LayerOf(**held).FileSize;
}

uint8_t SubfileReadAll(uint8_t, uint16_t handle, uint8_t* destination, size_t capacity) {
  auto* held = HandleAt(handle);
  if (held == nullptr || !*held) return PackErrBadHandle;
  if (!SubfileIntact(handle)) return PackErrSeekRange;
  TPackCursor& cursor = **held;
  const TPackEntry& entry = *cursor.Entry;
  const int64_t left = std::max<int64_t>(0, int64_t{entry.DataSize} - cursor.Position);
  if (static_cast<uint64_t>(left) > capacity) return PackErrSeekRange;

  while (!CursorAtEnd(cursor)) {
    const int64_t wanted = std::min<int64_t>(SubfileBlockSize, entry.DataSize - cursor.Position);
    uint16_t got = 0;
    CursorRead(cursor, destination, SubfileBlockSize, got);
    // A short block means the file changed or failed under us; stopping here also keeps
    // a read that yields nothing from spinning forever.
    if (got != wanted) return PackErrInternal;
    destination += got;
  }
  return 0;
}

void SubfileClose(uint8_t slot, uint16_t handle) {
  if (PackfileObject(slot) == nullptr) return;
  if (auto* held = HandleAt(handle)) held->reset();
}

// ---- Archive- and cursor-level operations -----------------------------------------------

const TPackEntry* FindEntry(const TPackfile* archive, std::string_view name) {
  if (archive == nullptr) return nullptr;
  for (const TPackEntry& entry : archive->Entries)
    if (SameIgnoringAsciiCase(entry.Name, name)) return &entry;
  return nullptr;
}

std::unique_ptr<TPackCursor> OpenCursor(TPackfile* archive, std::string_view name) {
  const TPackEntry* entry = FindEntry(archive, name);
  if (entry == nullptr) return nullptr;
  auto cursor = std::make_unique<TPackCursor>();
  cursor->Entry = entry;
  cursor->Archive = archive;
  return cursor;
}

void FreeCursor(std::unique_ptr<TPackCursor>& cursor) {
  cursor.reset();
}

TPackLayer& LayerOf(const TPackCursor& cursor) {
  return cursor.Archive->Layers[cursor.Entry->Layer];
}

bool CursorSeek(TPackCursor& cursor) {
  const int64_t target = int64_t{cursor.Entry->DataOffset} + cursor.Position;
  if (target < 0 || static_cast<uint64_t>(target) > LayerOf(cursor).FileSize) return false;
  return SeekTo(LayerOf(cursor).File.get(), static_cast<uint64_t>(target));
}

bool CursorAtEnd(const TPackCursor& cursor) {
  return cursor.Position >= cursor.Entry->DataSize;
}

void CursorRead(TPackCursor& cursor, void* buffer, uint16_t count, uint16_t& got) {
  got = 0;
  const int64_t left = int64_t{cursor.Entry->DataSize} - cursor.Position;
  if (left <= 0) return;
  const size_t wanted = static_cast<size_t>(std::min<int64_t>(count, left));
  if (!CursorSeek(cursor)) return;
  got = static_cast<uint16_t>(std::fread(buffer, 1, wanted, LayerOf(cursor).File.get()));
  cursor.Position += got;
}

std::string CursorReadLine(TPackCursor& cursor) {
  std::string line;
  // Reading on at the end would take the next sub file's bytes for this one's.
  if (CursorAtEnd(cursor) || !CursorSeek(cursor)) return line;
  std::FILE* file = LayerOf(cursor).File.get();
  bool terminated = false;
  bool terminatorKept = false;
  do {
    const int byte = std::fgetc(file);
    if (byte == EOF) break;  // the directory promised more than the file holds
    ++cursor.Position;
    const bool keep = line.size() < PackNameFieldSize;
    if (keep) line.push_back(static_cast<char>(byte));
    terminated = byte == '\r' || byte == '\n';
    terminatorKept = terminated && keep;
  } while (!terminated && !CursorAtEnd(cursor));
  if (terminatorKept) line.pop_back();
  // CR LF is one line end; the LF after a line end is taken with it whatever ended the line.
  if (terminated && !CursorAtEnd(cursor)) {
    const int next = std::fgetc(file);
    if (next == '\n') ++cursor.Position;
  }
  return line;
}
