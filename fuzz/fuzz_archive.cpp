// fuzz_archive: the input is an archive file. It is opened as the game opens archives, every
// entry is read whole through the handle table and line by line through a cursor, and the
// bytes that arrive are compared with the ones the directory points at.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "gfx/boxes.h"
#include "gfx/memory.h"
#include "res/file_load.h"
#include "res/packfile.h"

namespace {

constexpr const char* ArchiveName = "FUZZ";  // ".MPK" is added, as for the game's archives

struct TExpected {
  std::string Name;
  bool Intact = false;
  std::string Bytes;  // the entry's bytes, when intact
};

// The lines a cursor must give for these bytes: CR, LF or CR LF ends a line, an LF right
// after a line end goes with it, and only the first 255 characters of a line are kept.
std::vector<std::string> ExpectedLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < bytes.size()) {
    std::string line;
    bool terminated = false;
    while (pos < bytes.size() && !terminated) {
      const char c = bytes[pos++];
      terminated = c == '\r' || c == '\n';
      if (!terminated && line.size() < PackNameFieldSize) line.push_back(c);
    }
    if (terminated && pos < bytes.size() && bytes[pos] == '\n') ++pos;
    lines.push_back(line);
  }
  return lines;
}

void ReadThroughHandle(uint8_t slot, const TPackEntry& entry, const TExpected& expected) {
  const uint16_t handle = SubfileOpen(slot, entry.Name);
  FUZZ_CHECK(handle >= 1 && handle <= SubfileHandleCount);
  FUZZ_CHECK(SubfileSize(slot, handle) == entry.DataSize);
  FUZZ_CHECK(SubfileIntact(handle) == expected.Intact);
  if (expected.Intact) {
    // Exactly as large as promised, so a write past the end is the sanitizer's to see.
    const size_t bytes = expected.Bytes.size();
    const auto buffer = std::make_unique<uint8_t[]>(bytes);
    FUZZ_CHECK(SubfileReadAll(slot, handle, buffer.get(), bytes) == 0);
    FUZZ_CHECK(bytes == 0 || std::memcmp(buffer.get(), expected.Bytes.data(), bytes) == 0);
    // Everything was read: a second read has nothing left to give.
    FUZZ_CHECK(SubfileReadAll(slot, handle, buffer.get(), 0) == 0);
  } else {
    uint8_t small[16];
    FUZZ_CHECK(SubfileReadAll(slot, handle, small, sizeof small) == PackErrSeekRange);
  }
  SubfileClose(slot, handle);
}

void ReadThroughCursor(TPackfile* archive, const TPackEntry& entry, const TExpected& expected) {
  auto cursor = OpenCursor(archive, entry.Name);
  FUZZ_CHECK(cursor != nullptr);
  std::vector<std::string> lines;
  // A damaged entry may stop giving bytes before its end: stop when a line moves nothing.
  while (!CursorAtEnd(*cursor)) {
    const int32_t before = cursor->Position;
    std::string line = CursorReadLine(*cursor);
    FUZZ_CHECK(line.size() <= PackNameFieldSize);
    FUZZ_CHECK(cursor->Position <= std::max(entry.DataSize, before));
    if (cursor->Position == before) {
      FUZZ_CHECK(!expected.Intact && line.empty());
      break;
    }
    lines.push_back(std::move(line));
  }
  if (expected.Intact) FUZZ_CHECK(lines == ExpectedLines(expected.Bytes));
  FreeCursor(cursor);
  FUZZ_CHECK(cursor == nullptr);
}

// Whole-file loading opens and closes the archive itself; a damaged entry ends in a box.
void LoadWhole(TFuzzPlatform& platform, const TExpected& expected) {
  TFileBlock block;
  const int boxes = platform.Boxes;
  try {
    block.Size = LoadSubFile(expected.Name, ArchiveName, block.Data);
    FUZZ_CHECK(expected.Intact);
    FUZZ_CHECK(block.Size == expected.Bytes.size());
    FUZZ_CHECK(std::memcmp(block.Data, expected.Bytes.data(), block.Size) == 0);
  } catch (const TProgramExit&) {
    FUZZ_CHECK(!expected.Intact);
    FUZZ_CHECK(platform.Boxes == boxes + 1);
    FUZZ_CHECK(block.Data == nullptr);
  }
  FUZZ_CHECK(PackfileObject(1) == nullptr);  // closed again, the box or not
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzPlatform& platform = FuzzSetup();
  WriteScratchFile(PackfileDiskName(ArchiveName), data, size);
  const std::string file(reinterpret_cast<const char*>(data), size);

  const uint8_t slot = PackfileOpen(ArchiveName);
  if (slot > PackfileSlotCount) {
    // The file is there, so the only refusal is that it is not an archive.
    FUZZ_CHECK(slot == PackErrNotPackfile);
    FUZZ_CHECK(PackfileObject(1) == nullptr);
    ResetEngineTables();
    return 0;
  }
  FUZZ_CHECK(slot == 1);
  TPackfile* archive = PackfileObject(slot);
  FUZZ_CHECK(archive != nullptr && archive->Layers.size() == 1 &&
             archive->Layers[0].FileSize == size);
  FUZZ_CHECK(PackfileOpen(ArchiveName) == slot);  // found again by its name

  std::vector<TExpected> entries;
  for (const TPackEntry& entry : archive->Entries) {
    FUZZ_CHECK(entry.Name.size() <= PackNameFieldSize);
    // Lookup gives the first entry of a name, so a duplicate reads as its first namesake.
    const TPackEntry* found = FindEntry(archive, entry.Name);
    FUZZ_CHECK(found != nullptr && found <= &entry);
    if (found != &entry) continue;
    TExpected expected;
    expected.Name = entry.Name;
    expected.Intact = entry.DataOffset >= 0 && entry.DataSize >= 0 &&
                      uint64_t(entry.DataOffset) + uint64_t(entry.DataSize) <= size;
    if (expected.Intact) expected.Bytes = file.substr(entry.DataOffset, entry.DataSize);
    ReadThroughHandle(slot, entry, expected);
    ReadThroughCursor(archive, entry, expected);
    entries.push_back(std::move(expected));
  }
  PackfileClose(slot);
  FUZZ_CHECK(PackfileObject(slot) == nullptr);

  for (const TExpected& expected : entries)
    LoadWhole(platform, expected);
  ResetEngineTables();
  return 0;
}
