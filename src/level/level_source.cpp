// Reading a level from a file or from the archives, with every size capped before the
// parser sees it, and checking what it names against the archives.
#include "level/level_source.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <set>

#include "level/builtin_level.h"
#include "level/level_in_force.h"
#include "res/data_dir.h"
#include "res/mods.h"
#include "res/packfile.h"

namespace {

std::string Located(const std::string& where, int line, const std::string& reason) {
  return where + ":" + std::to_string(line) + ": " + reason;
}

// At most one byte more than a level may have, so the parser sees that it is too long
// without the whole of an enormous file being read.
bool ReadLevelFile(const std::string& path, std::string& text, std::string& error) {
  const TFileHandle file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    error = std::strerror(errno);
    return false;
  }
  text.resize(MaxLevelBytes + 1);
  text.resize(std::fread(text.data(), 1, text.size(), file.get()));
  if (std::ferror(file.get())) {
    error = "it cannot be read";
    return false;
  }
  return true;
}

// game.level from the archives and where it lies; false when they hold none.
bool ReadArchiveLevel(std::string& text, std::string& where, std::string& fault) {
  const uint8_t slot = PackfileOpen(LevelArchive);
  if (slot == PackErrPackfileNotFound) return false;
  if (slot > PackfileSlotCount) {
    fault = PackfileDiskName(LevelArchive) + ": " + PackfileErrorText(slot);
    return true;
  }
  std::unique_ptr<TPackCursor> cursor = OpenCursor(PackfileObject(slot), LevelMember);
  if (!cursor) {
    PackfileClose(slot);
    return false;
  }
  where = std::string(LevelMember) + " in " + LayerOf(*cursor).Path;
  text.resize(MaxLevelBytes + 1);
  size_t got = 0;
  for (uint16_t read = 1; read != 0 && got < text.size();) {
    const size_t wanted = std::min<size_t>(SubfileBlockSize, text.size() - got);
    CursorRead(*cursor, text.data() + got, static_cast<uint16_t>(wanted), read);
    got += read;
  }
  const bool whole = got == text.size() || CursorAtEnd(*cursor);
  text.resize(got);
  FreeCursor(cursor);
  PackfileClose(slot);
  if (!whole) fault = where + ": it cannot be read from the archive";
  return true;
}

// Whether the archive holds `member`; nothing when the archive cannot be opened, which the
// game's own box reports when it loads from it.
std::optional<bool> ArchiveHolds(const char* archive, const std::string& member) {
  const uint8_t slot = PackfileOpen(archive);
  if (slot > PackfileSlotCount) return std::nullopt;
  const bool found = FindEntry(PackfileObject(slot), member) != nullptr;
  PackfileClose(slot);
  return found;
}

std::string Lacking(const char* archive, const char* what, const std::string& name) {
  return PackfileDiskName(archive) + (ModFolders().empty() ? "" : " (with the mods)") +
         " holds no " + what + " '" + name + "'";
}

std::optional<TLevelNote> DataFault(const TLevel& level) {
  if (ArchiveHolds("SPRITES", level.Background) == false)
    return TLevelNote{level.BackgroundLine, Lacking("SPRITES", "picture", level.Background)};
  std::set<std::string> checked;
  for (const TLevelRow& row : level.Rows) {
    if (row.Action != TLevelAction::Text || !checked.insert(row.TextFile).second) continue;
    if (ArchiveHolds("TEXTS", row.TextFile) == false)
      return TLevelNote{row.Line, Lacking("TEXTS", "text", row.TextFile)};
  }
  return std::nullopt;
}

// What may be played but is likely a mistake; the music is no fault, as sound never is.
std::vector<TLevelNote> DataWarnings(const TLevel& level) {
  std::vector<TLevelNote> warnings = CheckLevel(level);
  if (ArchiveHolds("SOUNDS", level.Music + ".ogg") == false &&
      ArchiveHolds("SOUNDS", level.Music + ".wav") == false)
    warnings.insert(warnings.begin(),
                    {level.MusicLine, Lacking("SOUNDS", "music", level.Music + ".ogg or .wav") +
                                          ": the level plays without music"});
  return warnings;
}

}  // namespace

TLevelChoice ChooseLevel(const std::string& levelFile) {
  TLevelChoice choice;
  std::string where = levelFile;
  if (!levelFile.empty()) {
    choice.FromFile = true;
    std::string error;
    if (!ReadLevelFile(levelFile, choice.Text, error)) {
      choice.Fault = levelFile + ": " + error;
      return choice;
    }
  } else if (!ReadArchiveLevel(choice.Text, where, choice.Fault)) {
    choice.Text = std::string(BuiltinLevelText());
    choice.Level = BuiltinLevel();
    return choice;
  }
  if (!choice.Fault.empty()) return choice;
  TLevelNote error;
  std::optional<TLevel> level = ParseLevel(choice.Text, error);
  const std::optional<TLevelNote> missing = level ? DataFault(*level) : std::nullopt;
  if (missing) error = *missing;
  if (!level || missing) {
    choice.Fault = Located(where, error.Line, error.Reason);
    return choice;
  }
  for (const TLevelNote& warning : DataWarnings(*level))
    choice.Warnings.push_back(Located(where, warning.Line, "warning: " + warning.Reason));
  choice.Level = std::move(*level);
  return choice;
}
