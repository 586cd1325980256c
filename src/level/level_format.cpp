// Writing a level back as a file: the form ParseLevel reads into the same level.
#include <string>

#include "level/level.h"
#include "level/level_words.h"

namespace {

std::string Arguments(const TLevelRow& row) {
  const std::string at = " " + std::to_string(row.X) + " ";
  switch (row.Action) {
    case TLevelAction::Text:
      return at + std::to_string(row.Y) + " " + std::to_string(row.Hold) + " " +
             std::to_string(row.FadeIn) + " " + std::to_string(row.FadeOut) + " " + row.TextFile;
    case TLevelAction::Grenade:
      return at + (row.AtBus ? "bus" : std::to_string(row.Y));
    case TLevelAction::Boss:
      return "";
    case TLevelAction::MnM:
    case TLevelAction::Carrot:
    case TLevelAction::Bomber:
      break;
  }
  return at + std::to_string(row.Y);
}

}  // namespace

std::string FormatLevel(const TLevel& level) {
  std::string text = std::string(FormatWord) + " " + std::to_string(LevelFormat) + "\n";
  text += "name " + level.Name + "\n";
  text += "background " + level.Background + "\n";
  text += "music " + level.Music + "\n";
  if (level.WonAt != 0) text += "won-at " + std::to_string(level.WonAt) + "\n";
  text += "\n";
  for (const TLevelRow& row : level.Rows) {
    text += std::to_string(row.Frame) + " " + ActionWord(row.Action) + Arguments(row);
    if (row.Times > 1)
      text += " every " + std::to_string(row.Every) + " times " + std::to_string(row.Times);
    text += "\n";
  }
  return text;
}
