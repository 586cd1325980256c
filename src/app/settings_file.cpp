// settings.ini: one table of the entries (section, key, comment, field of TPlayerSettings),
// a forgiving line parser over it that also notes where each value and section lies, the
// edit made from those places, and the file written whole (res/whole_file_writer). Plain C
// stdio and std::filesystem, so that it builds for Linux, Windows and the browser alike.
#include "app/settings_file.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iterator>
#include <optional>

#include "platform/key_names.h"
#include "res/ascii_case.h"
#include "res/quoted_excerpt.h"
#include "res/small_file.h"
#include "res/whole_file_writer.h"

namespace fs = std::filesystem;

namespace {

// ---- The entries ------------------------------------------------------------------------

enum class TKind { Flag, Number, Fit, Keys };

struct TEntry {
  const char* Section;
  const char* Key;
  const char* Help;  // the comment above the entry in a saved file
  TKind Kind;
  bool TPlayerSettings::*Flag = nullptr;
  int TPlayerSettings::*Number = nullptr;
  int Min = 0;
  int Max = 0;
  std::vector<uint8_t> TKeyBindings::*Keys = nullptr;
};

struct TSection {
  const char* Name;
  const char* Help;  // null: none
};

constexpr const char* FileHelp =
    "Save Quibbet!: the player's settings, kept between runs. The game may rewrite this file, "
    "so edit it while the game is not running. A line the game cannot read is reported and "
    "skipped; a missing line keeps its default.";

constexpr TSection Sections[] = {
    {"display", nullptr},
    {"sound", "What you hear; recordings keep the game's own sound."},
    {"controls",
     "Each action takes one key or more, separated by spaces: A to Z, 0 to 9, F1 to F12, Up, "
     "Down, Left, Right, Space, Enter, Escape, Tab, Backspace, Shift, Ctrl, Pause, Insert, "
     "Delete, Home, End, PageUp, PageDown, Minus, Plus, KeypadPlus, KeypadMinus, or any other "
     "key as KeyNNN, NNN being its Windows virtual-key code."},
};

constexpr TEntry FlagEntry(const char* section, const char* key, const char* help,
                           bool TPlayerSettings::*field) {
  return {section, key, help, TKind::Flag, field};
}

constexpr TEntry NumberEntry(const char* section, const char* key, const char* help,
                             int TPlayerSettings::*field, int min, int max) {
  return {section, key, help, TKind::Number, nullptr, field, min, max};
}

constexpr TEntry KeysEntry(const char* key, const char* help,
                           std::vector<uint8_t> TKeyBindings::*field) {
  return {"controls", key, help, TKind::Keys, nullptr, nullptr, 0, 0, field};
}

// In the order of a saved file, grouped by section.
constexpr TEntry Entries[] = {
    FlagEntry("display", "full-screen", "Start in full screen (yes) or in a window (no).",
              &TPlayerSettings::FullScreen),
    NumberEntry("display", "scale", "The window's size as a multiple of 800 x 600: 1 to 16.",
                &TPlayerSettings::Scale, 1, 16),
    {"display", "fit",
     "How the picture fills a larger screen: sharp (as large as fits, smoothed) or integer "
     "(whole multiples only, with wider borders).",
     TKind::Fit},
    NumberEntry("sound", "volume", "The loudness of sounds and music: 0 to 100.",
                &TPlayerSettings::Volume, 0, 100),
    FlagEntry("sound", "mute", "Start with the sound off: yes or no.", &TPlayerSettings::Mute),
    KeysEntry("up", "Move the bus up.", &TKeyBindings::Up),
    KeysEntry("down", "Move the bus down.", &TKeyBindings::Down),
    KeysEntry("fire", "Fire.", &TKeyBindings::Fire),
    KeysEntry("pause", "Pause the game, and resume it.", &TKeyBindings::Pause),
    KeysEntry("volume-down", "Turn the sound down.", &TKeyBindings::VolumeDown),
    KeysEntry("volume-up", "Turn the sound up.", &TKeyBindings::VolumeUp),
    KeysEntry("mute", "Turn the sound off, and on again.", &TKeyBindings::Mute),
    KeysEntry("full-screen", "Switch between the window and full screen.",
              &TKeyBindings::FullScreen),
    KeysEntry("screenshot", "Save a picture of the screen.", &TKeyBindings::Screenshot),
    NumberEntry("controls", "key-speed",
                "How fast the bus moves while an up or down key is held: 1 to 60 pixels a frame.",
                &TPlayerSettings::KeySpeed, 1, 60),
    NumberEntry(
        "controls", "pad-dead-zone",
        "How far a game pad's stick moves before the bus does: 0 to 90 percent of its travel.",
        &TPlayerSettings::PadDeadZone, 0, 90),
    FlagEntry("controls", "pause-on-focus-loss",
              "Pause the game when its window loses the focus: yes or no.",
              &TPlayerSettings::PauseOnFocusLoss),
};

static_assert(std::size(Entries) == SettingsEntryCount);

// ---- Values -----------------------------------------------------------------------------

const char* FitName(TFitMode fit) {
  switch (fit) {
    case TFitMode::Sharp:
      return "sharp";
    case TFitMode::Integer:
      return "integer";
  }
  return "sharp";
}

std::string Lowered(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    c = AsciiLower(c);
  return lower;
}

std::optional<bool> ParseFlag(std::string_view text) {
  const std::string word = Lowered(text);
  if (word == "yes" || word == "true" || word == "on" || word == "1") return true;
  if (word == "no" || word == "false" || word == "off" || word == "0") return false;
  return std::nullopt;
}

std::string FormatValue(const TEntry& entry, const TPlayerSettings& settings) {
  switch (entry.Kind) {
    case TKind::Flag:
      return settings.*entry.Flag ? "yes" : "no";
    case TKind::Number:
      return std::to_string(settings.*entry.Number);
    case TKind::Fit:
      return FitName(settings.Fit);
    case TKind::Keys:
      return KeyNames(settings.Keys.*entry.Keys);
  }
  return {};
}

// Stores `value` in its field; what is wrong with it otherwise, the field left as it was.
std::string SetValue(const TEntry& entry, std::string_view value, TPlayerSettings& settings) {
  if (value.empty()) return "no value";
  switch (entry.Kind) {
    case TKind::Flag: {
      const auto flag = ParseFlag(value);
      if (!flag) return QuotedExcerpt(value) + " is not yes or no";
      settings.*entry.Flag = *flag;
      return {};
    }
    case TKind::Number: {
      int number = 0;
      const char* end = value.data() + value.size();
      const auto [stop, error] = std::from_chars(value.data(), end, number);
      if (error != std::errc() || stop != end || number < entry.Min || number > entry.Max)
        return QuotedExcerpt(value) + " is not a whole number from " + std::to_string(entry.Min) +
               " to " + std::to_string(entry.Max);
      settings.*entry.Number = number;
      return {};
    }
    case TKind::Fit:
      for (TFitMode fit : {TFitMode::Sharp, TFitMode::Integer}) {
        if (Lowered(value) == FitName(fit)) {
          settings.Fit = fit;
          return {};
        }
      }
      return QuotedExcerpt(value) + " is not sharp or integer";
    case TKind::Keys: {
      std::string unknown;
      auto codes = KeyCodes(value, unknown);
      if (!codes) return QuotedExcerpt(unknown) + " is not a key name";
      if (codes->empty()) return "no key";
      settings.Keys.*entry.Keys = std::move(*codes);
      return {};
    }
  }
  return {};
}

// ---- The reader -------------------------------------------------------------------------

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return text.substr(text.size());
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Offsets into the text read, for an edit.
struct TSpan {
  size_t Begin = 0;
  size_t End = 0;
  bool Found = false;
};

// Where the reader took each value from (the last line that set it), and where each of our
// sections ends (after the last line with something on it, of its last header).
struct TPlaces {
  TSpan Values[std::size(Entries)];
  TSpan SectionEnds[std::size(Sections)];
};

struct TReader {
  const std::string& FileName;
  std::vector<std::string>& Warnings;
  const char* Base;  // the text's first byte, for offsets
  TPlayerSettings Settings{};
  TPlaces Places{};
  int Section = -1;       // index in Sections; -1 before the first header
  bool Skipping = false;  // under a header that names no section of ours
  size_t Line = 0;
  size_t LineAfter = 0;  // offset after the line and its line end

  void Warn(const std::string& what) {
    Warnings.push_back(FileName + ":" + std::to_string(Line) + ": " + what);
  }

  size_t Offset(std::string_view piece) const { return static_cast<size_t>(piece.data() - Base); }

  void Header(std::string_view line) {
    Skipping = true;
    if (line.back() != ']')
      return Warn(QuotedExcerpt(line) +
                  " is not a [section] header; the entries below it are skipped");
    const std::string name = Lowered(Trimmed(line.substr(1, line.size() - 2)));
    for (size_t i = 0; i < std::size(Sections); ++i) {
      if (name == Sections[i].Name) {
        Section = static_cast<int>(i);
        Skipping = false;
        return;
      }
    }
    Warn("unknown section " + QuotedExcerpt(line) + "; its entries are skipped");
  }

  void Assignment(std::string_view line) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return Warn(QuotedExcerpt(line) + " has no '='");
    const std::string_view keyText = Trimmed(line.substr(0, equals));
    if (Section < 0) return Warn(QuotedExcerpt(keyText) + " comes before any [section]");
    const std::string section = Sections[Section].Name;
    const std::string key = Lowered(keyText);
    for (size_t i = 0; i < std::size(Entries); ++i) {
      const TEntry& entry = Entries[i];
      if (section != entry.Section || key != entry.Key) continue;
      const std::string_view value = Trimmed(line.substr(equals + 1));
      // An empty value is written just after its '='.
      const size_t begin = value.empty() ? Offset(line) + equals + 1 : Offset(value);
      Places.Values[i] = {begin, begin + value.size(), true};
      const std::string problem = SetValue(entry, value, Settings);
      if (!problem.empty())
        Warn("[" + section + "] " + key + ": " + problem + "; keeping " +
             FormatValue(entry, Settings));
      return;
    }
    Warn("unknown key " + QuotedExcerpt(keyText) + " in [" + section + "]");
  }

  void Read(std::string_view line) {
    line = Trimmed(line.substr(0, line.find_first_of("#;")));
    if (line.empty()) return;
    if (line[0] == '[')
      Header(line);
    else if (!Skipping)
      Assignment(line);
    if (!Skipping && Section >= 0) Places.SectionEnds[Section] = {LineAfter, LineAfter, true};
  }
};

// Reads `text` as ParseSettings does, noting where things are.
TReader ReadSettings(std::string_view text, const std::string& fileName,
                     std::vector<std::string>& warnings) {
  TReader reader{fileName, warnings, text.data()};
  constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";  // as Windows' editors write
  if (text.substr(0, ByteOrderMark.size()) == ByteOrderMark)
    text.remove_prefix(ByteOrderMark.size());
  // An oversized file is read to its last whole line within the limit: a line cut short
  // could read as another value ("volume = 10" of "volume = 100").
  const bool oversized = text.size() > MaxSettingsFileSize;
  if (oversized) {
    const size_t lastEnd = text.rfind('\n', MaxSettingsFileSize - 1);
    text = text.substr(0, lastEnd == std::string_view::npos ? 0 : lastEnd + 1);
  }
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    ++reader.Line;
    reader.LineAfter = reader.Offset(text) + std::min(end + 1, text.size());
    reader.Read(text.substr(start, end - start));
    start = end + 1;
  }
  if (oversized) {
    ++reader.Line;
    reader.Warn("the file is larger than " + std::to_string(MaxSettingsFileSize) +
                " bytes; this line and the rest are ignored");
  }
  return reader;
}

}  // namespace

// ---- The file's place -------------------------------------------------------------------

std::string DefaultSettingsPath(const TPlayerFolders& folders) {
  return folders.Config.empty() ? "" : (fs::path(folders.Config) / "settings.ini").string();
}

// ---- Reading ----------------------------------------------------------------------------

TPlayerSettings ParseSettings(std::string_view text, const std::string& fileName,
                              std::vector<std::string>& warnings) {
  return ReadSettings(text, fileName, warnings).Settings;
}

TLoadedSettings LoadSettings(const std::string& path, std::vector<std::string>& warnings) {
  const TSmallFile file = ReadSmallFile(path, MaxSettingsFileSize);
  switch (file.State) {
    case TSmallFileState::Missing:
      return {};
    case TSmallFileState::Unreadable:
      warnings.push_back(path + ": cannot be read (" + file.Problem +
                         "); using the default settings");
      return {{}, false};
    case TSmallFileState::Whole:
    case TSmallFileState::Cut:
      break;
  }
  return {ParseSettings(file.Bytes, path, warnings), file.State == TSmallFileState::Whole};
}

// ---- Writing ----------------------------------------------------------------------------

namespace {

// `text` as comment lines of at most 100 characters.
std::string Comment(std::string_view text) {
  constexpr size_t Width = 100;
  std::string lines, line = "#";
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view word = text.substr(start, end - start);
    if (line.size() + 1 + word.size() > Width) {
      lines += line + "\n";
      line = "#";
    }
    line += " ";
    line += word;
    start = end + 1;
  }
  return lines + line + "\n";
}

}  // namespace

std::string FormatSettings(const TPlayerSettings& settings) {
  std::string text = Comment(FileHelp);
  for (const TSection& section : Sections) {
    text += std::string("\n[") + section.Name + "]\n";
    if (section.Help != nullptr) text += Comment(section.Help) + "\n";
    for (const TEntry& entry : Entries) {
      if (std::string_view(entry.Section) != section.Name) continue;
      text += Comment(entry.Help) + entry.Key + " = " + FormatValue(entry, settings) + "\n";
    }
  }
  return text;
}

TSettingsEntries DifferingEntries(const TPlayerSettings& a, const TPlayerSettings& b) {
  TSettingsEntries differing;
  for (size_t i = 0; i < std::size(Entries); ++i)
    differing[i] = FormatValue(Entries[i], a) != FormatValue(Entries[i], b);
  return differing;
}

namespace {

// One change to the text: `Erased` bytes at `At` give way to `Text`.
struct TEdit {
  size_t At = 0;
  size_t Erased = 0;
  std::string Text;
};

// "\r\n" when the file's first line ends so, as Windows' editors write.
std::string_view LineEndOf(std::string_view text) {
  const size_t end = text.find('\n');
  return end != std::string_view::npos && end > 0 && text[end - 1] == '\r' ? "\r\n" : "\n";
}

}  // namespace

std::string EditSettings(std::string_view text, const TPlayerSettings& settings,
                         TSettingsEntries entries) {
  std::vector<std::string> ignored;
  const TPlaces places = ReadSettings(text, "", ignored).Places;
  const std::string eol(LineEndOf(text));
  std::vector<TEdit> edits;
  std::string atEnd, addedSections;
  for (size_t s = 0; s < std::size(Sections); ++s) {
    std::string added;  // keys missing from this section
    for (size_t i = 0; i < std::size(Entries); ++i) {
      if (!entries[i] || std::string_view(Entries[i].Section) != Sections[s].Name) continue;
      const std::string value = FormatValue(Entries[i], settings);
      const TSpan& place = places.Values[i];
      if (place.Found)
        edits.push_back(
            {place.Begin, place.End - place.Begin, place.Begin == place.End ? " " + value : value});
      else
        added += Entries[i].Key + std::string(" = ") + value + eol;
    }
    const TSpan& end = places.SectionEnds[s];
    if (added.empty()) continue;
    if (!end.Found)
      addedSections += eol + "[" + Sections[s].Name + "]" + eol + added;
    else if (end.End == text.size())
      atEnd += added;  // before any section added after it
    else
      edits.push_back({end.End, 0, added});
  }
  if (text.empty() && !addedSections.empty()) addedSections.erase(0, eol.size());
  atEnd += addedSections;
  if (!atEnd.empty()) {
    // A last line without its line end would run into the first line added.
    if (!text.empty() && text.back() != '\n') atEnd.insert(0, eol);
    edits.push_back({text.size(), 0, atEnd});
  }
  // From the end backwards, so that the offsets of the edits still to come hold. Edits at one
  // offset (an empty value on a last line without its line end, and the keys added after it)
  // go in the order made: the one made last is applied first, so it ends up last.
  std::reverse(edits.begin(), edits.end());
  std::stable_sort(edits.begin(), edits.end(),
                   [](const TEdit& a, const TEdit& b) { return a.At > b.At; });
  std::string edited(text);
  for (const TEdit& edit : edits)
    edited.replace(edit.At, edit.Erased, edit.Text);
  return edited;
}

bool SaveSettingsEdits(const std::string& path, const TPlayerSettings& settings,
                       TSettingsEntries entries, std::string& error) {
  try {
    const TSmallFile file = ReadSmallFile(path, MaxSettingsFileSize);
    switch (file.State) {
      case TSmallFileState::Unreadable:
        error = path + " cannot be read (" + file.Problem + ")";
        return false;
      case TSmallFileState::Cut:
        error = path + " is larger than " + std::to_string(MaxSettingsFileSize) + " bytes";
        return false;
      case TSmallFileState::Missing:
      case TSmallFileState::Whole:
        break;
    }
    const std::string original =
        file.State == TSmallFileState::Missing ? FormatSettings({}) : file.Bytes;
    const std::string edited = EditSettings(original, settings, entries);
    if (edited.size() > MaxSettingsFileSize) {
      error = path + " would grow larger than " + std::to_string(MaxSettingsFileSize) + " bytes";
      return false;
    }
    if (edited == original && file.State == TSmallFileState::Whole) return true;
    return WriteFileWhole(path, edited, error);
  } catch (const std::exception& e) {  // memory, or a path the file system cannot represent
    error = path + ": " + e.what();
    return false;
  }
}
