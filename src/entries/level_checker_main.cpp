// The level editor page's program: the game's own level parser, writer and checker, and
// nothing else of the engine, behind three C functions the page calls (editor.js). Each
// answers with text that lives until the next call: JSON for the page to read, or a level
// file. The page hands the level's bytes with their length, so a file holding a zero byte is
// refused like any other bad file instead of being cut short.
#include <cstddef>
#include <string>
#include <string_view>

#include "level/level.h"
#include "level/level_words.h"

namespace {

std::string Answer;

std::string Quoted(std::string_view text) {
  constexpr char Digits[] = "0123456789abcdef";
  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\')
      quoted += std::string("\\") + c;
    else if (byte < 0x20 || byte == 0x7F)
      quoted += std::string("\\u00") + Digits[byte >> 4] + Digits[byte & 15];
    else
      quoted += c;
  }
  return quoted + "\"";
}

std::string Note(const TLevelNote& note) {
  return "{\"line\":" + std::to_string(note.Line) + ",\"reason\":" + Quoted(note.Reason) + "}";
}

std::string Field(std::string_view name, int value) {
  return "\"" + std::string(name) + "\":" + std::to_string(value);
}

std::string Row(const TLevelRow& row) {
  return "{" + Field("line", row.Line) + "," + Field("frame", row.Frame) +
         ",\"action\":" + Quoted(ActionWord(row.Action)) + "," + Field("x", row.X) + "," +
         Field("y", row.Y) + ",\"atBus\":" + (row.AtBus ? "true" : "false") + "," +
         Field("hold", row.Hold) + "," + Field("fadeIn", row.FadeIn) + "," +
         Field("fadeOut", row.FadeOut) + ",\"text\":" + Quoted(row.TextFile) + "," +
         Field("every", row.Every) + "," + Field("times", row.Times) + "}";
}

std::string LevelJson(const TLevel& level) {
  std::string rows;
  for (const TLevelRow& row : level.Rows)
    rows += (rows.empty() ? "" : ",") + Row(row);
  return "{\"name\":" + Quoted(level.Name) + ",\"background\":" + Quoted(level.Background) +
         ",\"music\":" + Quoted(level.Music) + "," + Field("wonAt", level.WonAt) + ",\"rows\":[" +
         rows + "]}";
}

std::string CheckJson(std::string_view text) {
  TLevelNote error;
  const std::optional<TLevel> level = ParseLevel(text, error);
  if (!level) return "{\"ok\":false,\"error\":" + Note(error) + ",\"warnings\":[],\"level\":null}";
  std::string warnings;
  for (const TLevelNote& warning : CheckLevel(*level))
    warnings += (warnings.empty() ? "" : ",") + Note(warning);
  return "{\"ok\":true,\"error\":null,\"warnings\":[" + warnings +
         "],\"level\":" + LevelJson(*level) + "}";
}

std::string ActionsJson() {
  std::string actions;
  for (const TLevelAction action :
       {TLevelAction::Text, TLevelAction::MnM, TLevelAction::Carrot, TLevelAction::Grenade,
        TLevelAction::Bomber, TLevelAction::Boss}) {
    const TActionForm& form = FormOf(action);
    std::string arguments;
    for (size_t i = 0; i < form.ArgumentCount; ++i) {
      const TArgumentForm& arg = form.Arguments[i];
      arguments += std::string(arguments.empty() ? "" : ",") + "{\"name\":" + Quoted(arg.Name) +
                   "," + Field("min", arg.Min) + "," + Field("max", arg.Max) +
                   ",\"bus\":" + (arg.BusAllowed ? "true" : "false") +
                   ",\"file\":" + (arg.IsTextFile ? "true" : "false") + "}";
    }
    actions += std::string(actions.empty() ? "" : ",") + "{\"word\":" + Quoted(form.Word) +
               ",\"phrase\":" + Quoted(form.Phrase) + ",\"arguments\":[" + arguments + "]}";
  }
  return "{\"maxRepeats\":" + std::to_string(MaxRepeats) + ",\"actions\":[" + actions + "]}";
}

}  // namespace

// The parse of `text`: {ok, error: {line, reason} or null, warnings: [{line, reason}],
// level: {name, background, music, wonAt, rows: [{line, frame, action, ...}]} or null}.
extern "C" const char* level_check(const char* text, size_t size) {
  Answer = CheckJson({text, size});
  return Answer.c_str();
}

// `text` written as the game writes a level (FormatLevel); empty when it does not parse.
extern "C" const char* level_format(const char* text, size_t size) {
  TLevelNote error;
  const std::optional<TLevel> level = ParseLevel({text, size}, error);
  Answer = level ? FormatLevel(*level) : std::string();
  return Answer.c_str();
}

// The actions and their arguments' names and ranges, from the parser's own table:
// {maxRepeats, actions: [{word, phrase, arguments: [{name, min, max, bus, file}]}]}.
extern "C" const char* level_actions() {
  Answer = ActionsJson();
  return Answer.c_str();
}
