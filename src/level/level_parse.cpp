// The level-file parser: line by line, every byte, word and number checked, every count
// capped, and the first fault reported with its line.
#include <charconv>
#include <string>
#include <utility>

#include "level/level.h"
#include "level/level_words.h"

namespace {

// ---- Lines and words --------------------------------------------------------------------

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::vector<std::string_view> SplitWords(std::string_view text) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i]))
      ++i;
    const size_t start = i;
    while (i < text.size() && !IsBlank(text[i]))
      ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

std::string Hex(unsigned char byte) {
  constexpr char Digits[] = "0123456789abcdef";
  return std::string("0x") + Digits[byte >> 4] + Digits[byte & 15];
}

// The reason a line holds a byte it may not: control bytes anywhere (tabs aside), and
// anything but printable ASCII outside a comment, where a UTF-8 remark is welcome.
std::string ByteFault(std::string_view line) {
  bool comment = false;
  for (const char c : line) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '#') comment = true;
    if ((byte < 0x20 && c != '\t') || byte == 0x7F)
      return "the line holds a control byte (" + Hex(byte) + ")";
    if (byte >= 0x80 && !comment)
      return "the line holds a byte that is not ASCII (" + Hex(byte) + ") outside a comment";
  }
  return {};
}

// ---- Values -----------------------------------------------------------------------------

// `word` as a whole number from `min` to `max`; otherwise the reason, naming `what`.
std::string ReadNumber(std::string_view word, std::string_view what, int min, int max, int& value) {
  const auto quoted = "'" + std::string(word) + "'";
  const bool digits = !word.empty() && word.find_first_not_of("0123456789") == word.npos;
  if (!digits) return std::string(what) + " must be a whole number, not " + quoted;
  int64_t parsed = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), parsed);
  if (ec != std::errc() || end != word.data() + word.size() || parsed < min || parsed > max)
    return std::string(what) + " must be " + std::to_string(min) + " to " + std::to_string(max) +
           ", not " + std::string(word);
  value = static_cast<int>(parsed);
  return {};
}

}  // namespace

// ---- The parser -------------------------------------------------------------------------

class TLevelParser {
 public:
  std::optional<TLevel> Parse(std::string_view text, TLevelNote& error);

 private:
  std::string ReadLine(std::string_view line);
  std::string ReadHeader(const std::vector<std::string_view>& words, std::string_view line);
  std::string ReadRow(const std::vector<std::string_view>& words);
  std::string ReadArguments(const std::vector<std::string_view>& args, TLevelRow& row);
  std::string ReadRepeat(std::vector<std::string_view>& args, TLevelRow& row);
  std::string Finish();

  TLevel Level;
  int LineNumber = 0;
  bool SawFormat = false;
  int NameLine = 0;
  int BossLine = 0;
  size_t Events = 0;
};

std::optional<TLevel> TLevelParser::Parse(std::string_view text, TLevelNote& error) {
  if (text.substr(0, ByteOrderMark.size()) == ByteOrderMark)
    text.remove_prefix(ByteOrderMark.size());
  size_t offset = 0;
  std::string reason;
  while (reason.empty() && offset < text.size()) {
    const size_t end = std::min(text.find('\n', offset), text.size());
    std::string_view line = text.substr(offset, end - offset);
    offset = end + 1;
    ++LineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (LineNumber > MaxLevelLines)
      reason = "the file has more than " + std::to_string(MaxLevelLines) + " lines";
    else if (line.size() > MaxLevelLineLength)
      reason = "the line is longer than " + std::to_string(MaxLevelLineLength) + " characters";
    else if (std::min(offset, text.size()) > MaxLevelBytes)
      reason = "the file is longer than " + std::to_string(MaxLevelBytes) + " bytes";
    else
      reason = ReadLine(line);
  }
  if (reason.empty()) reason = Finish();
  if (!reason.empty()) {
    error = {std::max(LineNumber, 1), reason};
    return std::nullopt;
  }
  return std::move(Level);
}

std::string TLevelParser::ReadLine(std::string_view line) {
  if (std::string fault = ByteFault(line); !fault.empty()) return fault;
  const std::string_view content = line.substr(0, line.find('#'));
  const std::vector<std::string_view> words = SplitWords(content);
  if (words.empty()) return {};
  if (!SawFormat) {
    int format = 0;
    if (words[0] != FormatWord || words.size() != 2)
      return "this is not a level file: its first line must be '" + std::string(FormatWord) + " " +
             std::to_string(LevelFormat) + "'";
    if (!ReadNumber(words[1], "the format", LevelFormat, LevelFormat, format).empty())
      return "the level is of format " + std::string(words[1]) + "; this game reads format " +
             std::to_string(LevelFormat);
    SawFormat = true;
    return {};
  }
  if (StartsRow(words[0])) return ReadRow(words);
  return ReadHeader(words, content);
}

std::string TLevelParser::ReadHeader(const std::vector<std::string_view>& words,
                                     std::string_view line) {
  const std::string_view key = words[0];
  int* seenAt = key == "name"         ? &NameLine
                : key == "background" ? &Level.BackgroundLine
                : key == "music"      ? &Level.MusicLine
                : key == "won-at"     ? &Level.WonAtLine
                                      : nullptr;
  if (seenAt == nullptr) {
    if (ActionOfWord(key))
      return "a row begins with its frame: 'FRAME " + std::string(key) + " ...'";
    return "unknown header line '" + std::string(key) +
           "' (the header has name, background, music and won-at)";
  }
  if (!Level.Rows.empty())
    return "'" + std::string(key) + "' belongs to the header, above the first row";
  if (*seenAt != 0)
    return "'" + std::string(key) + "' is given twice (first on line " + std::to_string(*seenAt) +
           ")";
  *seenAt = LineNumber;
  if (key == "name") {
    const std::string_view name = Trimmed(Trimmed(line).substr(key.size()));
    if (name.empty()) return "the name is empty";
    if (name.size() > MaxLevelNameLength)
      return "the name is longer than " + std::to_string(MaxLevelNameLength) + " characters";
    Level.Name = std::string(name);
    return {};
  }
  if (words.size() != 2) return "expected '" + std::string(key) + " " + HeaderUsage(key) + "'";
  if (key == "won-at") {
    int frame = 0;
    std::string fault = ReadNumber(words[1], "the frame the level is won at", 1, 65535, frame);
    Level.WonAt = static_cast<uint16_t>(frame);
    return fault;
  }
  const TNameKind kind = key == "background" ? TNameKind::Picture : TNameKind::Music;
  if (std::string fault = NameFault(words[1], kind); !fault.empty()) return fault;
  (key == "background" ? Level.Background : Level.Music) = std::string(words[1]);
  return {};
}

std::string TLevelParser::ReadRow(const std::vector<std::string_view>& words) {
  if (Level.Rows.size() == MaxLevelRows)
    return "the level has more than " + std::to_string(MaxLevelRows) + " rows";
  const std::pair<const char*, int> required[] = {
      {"name", NameLine}, {"background", Level.BackgroundLine}, {"music", Level.MusicLine}};
  for (const auto& [key, line] : required)
    if (line == 0) return "the header has no '" + std::string(key) + "' line above the first row";
  TLevelRow row;
  row.Line = LineNumber;
  int frame = 0;
  if (std::string fault = ReadNumber(words[0], "the frame", 1, 65535, frame); !fault.empty())
    return fault;
  row.Frame = static_cast<uint16_t>(frame);
  if (!Level.Rows.empty() && row.Frame < Level.Rows.back().Frame)
    return "frame " + std::to_string(row.Frame) + " comes before frame " +
           std::to_string(Level.Rows.back().Frame) + " of line " +
           std::to_string(Level.Rows.back().Line) + ": rows go in frame order";
  if (words.size() < 2) return "the row has no action after its frame";
  const auto action = ActionOfWord(words[1]);
  if (!action) return "unknown action '" + std::string(words[1]) + "' (" + ActionList() + ")";
  row.Action = *action;
  std::vector<std::string_view> args(words.begin() + 2, words.end());
  if (std::string fault = ReadRepeat(args, row); !fault.empty()) return fault;
  if (std::string fault = ReadArguments(args, row); !fault.empty()) return fault;
  if (row.Action == TLevelAction::Boss) {
    if (BossLine != 0)
      return "a second boss (the first is on line " + std::to_string(BossLine) +
             "): a level has one";
    if (row.Times > 1) return "the boss comes once: her row is not repeated";
    BossLine = LineNumber;
  }
  Events += row.Times;
  if (Events > MaxLevelEvents)
    return "the rows start more than " + std::to_string(MaxLevelEvents) + " actions in all";
  Level.Rows.push_back(std::move(row));
  return {};
}

// Takes "every N times K" off the end of `args`.
std::string TLevelParser::ReadRepeat(std::vector<std::string_view>& args, TLevelRow& row) {
  size_t at = args.size();
  for (size_t i = 0; i < args.size(); ++i)
    if (args[i] == "every" || args[i] == "times") at = std::min(at, i);
  if (at == args.size()) return {};
  if (args.size() - at != 4 || args[at] != "every" || args[at + 2] != "times")
    return "a repeat is 'every N times K' at the end of the row";
  int every = 0, times = 0;
  if (std::string fault = ReadNumber(args[at + 1], "the frames between repeats", 1, 65535, every);
      !fault.empty())
    return fault;
  if (std::string fault = ReadNumber(args[at + 3], "the number of times", 1, MaxRepeats, times);
      !fault.empty())
    return fault;
  const int64_t last = int64_t{row.Frame} + int64_t{every} * (times - 1);
  if (last > 65535)
    return "the last repeat would come at frame " + std::to_string(last) + ", past 65535";
  // Once is no repeat, whatever the spacing said: such a row is written without one.
  row.Every = times > 1 ? static_cast<uint16_t>(every) : 0;
  row.Times = static_cast<uint16_t>(times);
  args.resize(at);
  return {};
}

std::string TLevelParser::ReadArguments(const std::vector<std::string_view>& args, TLevelRow& row) {
  const TActionForm& form = FormOf(row.Action);
  const std::string usage = std::string(form.Word) + (form.Usage[0] ? " " : "") + form.Usage;
  if (args.size() != form.ArgumentCount)
    return "'" + std::string(form.Word) + "' takes " + std::to_string(form.ArgumentCount) +
           (form.ArgumentCount == 1 ? " argument" : " arguments") + ", not " +
           std::to_string(args.size()) + ": 'FRAME " + usage + "'";
  int values[MaxArguments] = {};
  for (size_t i = 0; i < args.size(); ++i) {
    const TArgumentForm& arg = form.Arguments[i];
    if (arg.IsTextFile) continue;
    if (arg.BusAllowed && args[i] == "bus") {
      row.AtBus = true;
      continue;
    }
    const std::string what = std::string(arg.Name) + " of " + ActionPhrase(row.Action);
    if (std::string fault = ReadNumber(args[i], what, arg.Min, arg.Max, values[i]); !fault.empty())
      return fault;
  }
  if (row.Action == TLevelAction::Text) {
    if (std::string fault = NameFault(args[5], TNameKind::Text); !fault.empty()) return fault;
    row.Hold = static_cast<uint16_t>(values[2]);
    row.FadeIn = static_cast<uint8_t>(values[3]);
    row.FadeOut = static_cast<uint8_t>(values[4]);
    row.TextFile = std::string(args[5]);
  }
  row.X = static_cast<int16_t>(values[0]);
  row.Y = static_cast<int16_t>(values[1]);
  return {};
}

std::string TLevelParser::Finish() {
  if (!SawFormat)
    return "the file is empty: a level file begins with '" + std::string(FormatWord) + " " +
           std::to_string(LevelFormat) + "'";
  if (Level.Rows.empty()) return "the level has no timetable: no row follows the header";
  if (BossLine != 0 && Level.WonAt != 0) {
    LineNumber = Level.WonAtLine;
    return "a level with a boss is won by beating her: 'won-at' is for a level without one";
  }
  if (BossLine == 0 && Level.WonAt == 0)
    return "the level has no boss and no 'won-at FRAME' in its header: it could never be won";
  return {};
}

std::optional<TLevel> ParseLevel(std::string_view text, TLevelNote& error) {
  return TLevelParser().Parse(text, error);
}
