// The records file's lines: splitting a game line into its fields, reading and checking each
// field, and writing a game's line. Every read is bounded by the line's own size.
#include "records/records_file.h"

#include <charconv>
#include <initializer_list>

#include "res/quoted_excerpt.h"

namespace {

constexpr std::string_view Blanks = " \t\r";
constexpr std::string_view GameWord = "game";
constexpr size_t MaxLevelSize = 64;
constexpr size_t FingerprintSize = 16;

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(Blanks);
  if (first == std::string_view::npos) return text.substr(text.size());
  return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

// ---- Fields -------------------------------------------------------------------------------

struct TField {
  std::string_view Key;
  std::string_view Value;
  size_t Begin = 0;  // of its key, in the text split
  size_t End = 0;    // after its value (and its closing quote)
};

// The KEY=VALUE fields of `text`; false with `problem` set on one that is not.
bool SplitFields(std::string_view text, std::vector<TField>& fields, std::string& problem) {
  for (size_t at = text.find_first_not_of(Blanks); at != std::string_view::npos;
       at = text.find_first_not_of(Blanks, at)) {
    const size_t equals = text.find('=', at);
    const size_t blank = text.find_first_of(Blanks, at);
    if (equals == std::string_view::npos || equals > blank || equals == at) {
      problem = QuotedExcerpt(text.substr(at, blank - at)) + " is not KEY=VALUE";
      return false;
    }
    TField field{text.substr(at, equals - at), {}, at, 0};
    size_t next = equals + 1;
    if (next < text.size() && text[next] == '"') {
      const size_t close = text.find('"', next + 1);
      if (close == std::string_view::npos) {
        problem = "the quote after " + std::string(field.Key) + "= is not closed";
        return false;
      }
      field.Value = text.substr(next + 1, close - next - 1);
      next = close + 1;
      if (next < text.size() && Blanks.find(text[next]) == std::string_view::npos) {
        problem = "no blank after the closing quote of " + std::string(field.Key);
        return false;
      }
    } else {
      next = std::min(text.find_first_of(Blanks, next), text.size());
      field.Value = text.substr(equals + 1, next - equals - 1);
    }
    field.End = next;
    fields.push_back(field);
    at = next;
  }
  return true;
}

// ---- Values -------------------------------------------------------------------------------

// A whole decimal number that fits T; no sign but a minus for a signed T.
template <typename T>
bool ReadNumber(std::string_view text, T& number) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, number);
  return !text.empty() && text[0] != '+' && error == std::errc() && stop == end;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// "YYYY-MM-DDTHH:MM:SS", digits where digits go.
bool IsTime(std::string_view text) {
  constexpr std::string_view Form = "0000-00-00T00:00:00";
  if (text.size() != Form.size()) return false;
  for (size_t i = 0; i < Form.size(); ++i)
    if (Form[i] == '0' ? !IsDigit(text[i]) : text[i] != Form[i]) return false;
  return true;
}

bool IsFingerprint(std::string_view text) {
  if (text.size() != FingerprintSize) return false;
  for (char c : text)
    if (!IsDigit(c) && (c < 'a' || c > 'f')) return false;
  return true;
}

// No control character and no quote, which would end the value.
bool IsLevelName(std::string_view text) {
  if (text.size() > MaxLevelSize) return false;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte == 127 || c == '"') return false;
  }
  return true;
}

// Reads one field into `game`; what is wrong with its value otherwise.
std::string ReadField(const TField& field, TGameRecord& game) {
  const std::string_view key = field.Key, value = field.Value;
  bool good = false;
  if (key == "when") {
    good = IsTime(value);
    if (good) game.When = value;
  } else if (key == "ending") {
    const auto end = EndOfWord(value);
    good = end.has_value();
    if (good) game.End = *end;
  } else if (key == "seed") {
    good = ReadNumber(value, game.Seed);
  } else if (key == "frames") {
    good = ReadNumber(value, game.Frames);
  } else if (key == "boss-frames") {
    uint32_t frames = 0;
    good = ReadNumber(value, frames);
    if (good) game.BossFrames = frames;
  } else if (key == "health") {
    int16_t health = 0;  // the game's own range
    good = ReadNumber(value, health);
    game.Health = health;
  } else if (key == "fired") {
    good = ReadNumber(value, game.CrossesFired);
  } else if (key == "hits") {
    good = ReadNumber(value, game.Hits);
  } else if (key == "level") {
    good = IsLevelName(value);
    if (good) game.Level = value;
  } else if (key == "data") {
    good = IsFingerprint(value);
    if (good) game.Data = value;
  } else if (key == "input") {
    good = IsRecordingName(value);
    if (good) game.Recording = value;
  } else {
    return "";  // a later version's field
  }
  return good ? "" : std::string(key) + ": " + QuotedExcerpt(value) + " cannot be read";
}

constexpr std::string_view RequiredKeys[] = {"when",   "ending", "seed", "frames",
                                             "health", "fired",  "hits"};

}  // namespace

// ---- Lines --------------------------------------------------------------------------------

std::optional<TGameRecord> ParseGameLine(std::string_view line, std::string& problem) {
  line = Trimmed(line);
  if (line.size() > MaxRecordLineSize) {
    problem = "the line is longer than " + std::to_string(MaxRecordLineSize) + " bytes";
    return std::nullopt;
  }
  if (line.substr(0, GameWord.size()) != GameWord ||
      (line.size() > GameWord.size() &&
       Blanks.find(line[GameWord.size()]) == std::string_view::npos)) {
    problem = QuotedExcerpt(line) + " is not a game";
    return std::nullopt;
  }
  std::vector<TField> fields;
  if (!SplitFields(line.substr(GameWord.size()), fields, problem)) return std::nullopt;
  TGameRecord game;
  std::vector<std::string_view> seen;
  for (const TField& field : fields) {
    for (std::string_view key : seen) {
      if (key == field.Key) {
        problem = QuotedExcerpt(key) + " is given twice";
        return std::nullopt;
      }
    }
    seen.push_back(field.Key);
    problem = ReadField(field, game);
    if (!problem.empty()) return std::nullopt;
  }
  for (std::string_view required : RequiredKeys) {
    bool found = false;
    for (std::string_view key : seen)
      found = found || key == required;
    if (!found) {
      problem = "no " + std::string(required);
      return std::nullopt;
    }
  }
  return game;
}

std::vector<TRecordsLine> ParseRecords(std::string_view text, const std::string& fileName,
                                       std::vector<std::string>& warnings) {
  // An oversized file is read to its last whole line within the limit.
  const bool oversized = text.size() > MaxRecordsFileSize;
  if (oversized) {
    const size_t lastEnd = text.rfind('\n', MaxRecordsFileSize - 1);
    text = text.substr(0, lastEnd == std::string_view::npos ? 0 : lastEnd + 1);
  }
  std::vector<TRecordsLine> lines;
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view raw = text.substr(start, end - start);
    start = end + 1;
    TRecordsLine& line = lines.emplace_back();
    line.Text = raw;
    std::string_view content = raw;
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";  // as Windows' editors write
    if (lines.size() == 1 && content.substr(0, ByteOrderMark.size()) == ByteOrderMark)
      content.remove_prefix(ByteOrderMark.size());
    content = Trimmed(content);
    if (content.empty() || content[0] == '#') continue;
    std::string problem;
    line.Game = ParseGameLine(content, problem);
    if (!line.Game)
      warnings.push_back(fileName + ":" + std::to_string(lines.size()) + ": " + problem +
                         "; the line is kept as it is and skipped");
  }
  if (oversized)
    warnings.push_back(fileName + ":" + std::to_string(lines.size() + 1) +
                       ": the file is larger than " + std::to_string(MaxRecordsFileSize) +
                       " bytes; this line and the rest are not read");
  return lines;
}

std::string GameLine(const TGameRecord& game) {
  std::string line(GameWord);
  auto field = [&line](std::string_view key, const std::string& value) {
    line += ' ';
    line += key;
    line += '=';
    line += value;
  };
  field("when", game.When);
  field("ending", std::string(EndWord(game.End)));
  field("seed", std::to_string(game.Seed));
  field("frames", std::to_string(game.Frames));
  if (game.BossFrames) field("boss-frames", std::to_string(*game.BossFrames));
  field("health", std::to_string(game.Health));
  field("fired", std::to_string(game.CrossesFired));
  field("hits", std::to_string(game.Hits));
  if (!game.Data.empty()) field("data", game.Data);
  if (!game.Recording.empty()) field("input", game.Recording);
  std::string level = game.Level.substr(0, MaxLevelSize);
  for (char& c : level)
    if (!IsLevelName(std::string_view(&c, 1))) c = '?';
  field("level", "\"" + level + "\"");
  return line;
}

std::string FormatRecords(const std::vector<TRecordsLine>& lines) {
  std::string text;
  for (const TRecordsLine& line : lines) {
    text += line.Text;
    text += '\n';
  }
  return text;
}

bool IsRecordingName(std::string_view name) {
  constexpr std::string_view Suffix = ".input";
  if (name.size() <= Suffix.size() || name.size() > 100 ||
      name.substr(name.size() - Suffix.size()) != Suffix)
    return false;
  for (char c : name) {
    const bool plain = IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' ||
                       c == '_' || c == '.';
    if (!plain) return false;
  }
  return name[0] != '.';
}

std::string WithoutRecording(std::string_view line) {
  std::vector<TField> fields;
  std::string problem;
  const size_t start = line.find(GameWord);
  if (start == std::string_view::npos) return std::string(line);
  const size_t offset = start + GameWord.size();
  SplitFields(line.substr(offset), fields, problem);
  std::string kept(line);
  for (const TField& field : fields) {
    if (field.Key != "input") continue;
    // With the blanks before it, so that no gap is left.
    size_t begin = offset + field.Begin;
    while (begin > offset && Blanks.find(kept[begin - 1]) != std::string_view::npos)
      --begin;
    kept.erase(begin, offset + field.End - begin);
    break;
  }
  return kept;
}
