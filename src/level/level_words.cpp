// The action table and the name rules. Positions reach 800 x 600, the screen's far edges,
// where the game's own enemies start; a text box stays on the screen.
#include "level/level_words.h"

namespace {

constexpr TArgumentForm X{"X", 0, 800};
constexpr TArgumentForm Y{"Y", 0, 600};

// A fade-in longer than 32 steps would change nothing from one step to the next; a fade-out
// lasts at least one step.
constexpr TActionForm Actions[] = {
    {TLevelAction::Text,
     "text",
     "a text",
     "X Y HOLD FADE_IN FADE_OUT FILE",
     6,
     {{"X", 0, 799},
      {"Y", 0, 599},
      {"HOLD", 0, 1000},
      {"FADE_IN", 0, 32},
      {"FADE_OUT", 1, 32},
      {"FILE", 0, 0, false, true}}},
    {TLevelAction::MnM, "m&m", "an m&m", "X Y", 2, {X, Y}},
    {TLevelAction::Carrot, "carrot", "a carrot", "X Y", 2, {X, Y}},
    {TLevelAction::Grenade, "grenade", "a grenade", "X Y|bus", 2, {X, {"Y", 0, 600, true}}},
    {TLevelAction::Bomber, "bomber", "the bomber", "X Y", 2, {X, Y}},
    {TLevelAction::Boss, "boss", "the boss", "", 0, {}},
};

bool IsNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '.' || c == '&' || c == '-';
}

bool EndsWithPcx(std::string_view name) {
  if (name.size() < 4) return false;
  const std::string_view ending = name.substr(name.size() - 4);
  for (size_t i = 0; i < 4; ++i)
    if ((ending[i] | 0x20) != ".pcx"[i]) return false;
  return true;
}

}  // namespace

const TActionForm& FormOf(TLevelAction action) {
  for (const TActionForm& form : Actions)
    if (form.Action == action) return form;
  return Actions[0];
}

std::optional<TLevelAction> ActionOfWord(std::string_view word) {
  for (const TActionForm& form : Actions)
    if (word == form.Word) return form.Action;
  return std::nullopt;
}

std::string ActionList() {
  std::string list;
  for (const TActionForm& form : Actions)
    list += (list.empty() ? "" : ", ") + std::string(form.Word);
  return list;
}

std::string ActionPhrase(TLevelAction action) {
  return FormOf(action).Phrase;
}

const char* ActionWord(TLevelAction action) {
  return FormOf(action).Word;
}

std::string HeaderUsage(std::string_view key) {
  if (key == "background") return "FILE.pcx";
  if (key == "music") return "NAME";
  if (key == "won-at") return "FRAME";
  return "TEXT";
}

bool StartsRow(std::string_view firstWord) {
  return !firstWord.empty() && firstWord[0] >= '0' && firstWord[0] <= '9';
}

std::string NameFault(std::string_view name, TNameKind kind) {
  const char* what = kind == TNameKind::Picture ? "picture"
                     : kind == TNameKind::Text  ? "text"
                                                : "music";
  const std::string quoted = "'" + std::string(name) + "'";
  if (name.empty()) return std::string("the ") + what + "'s name is empty";
  if (name.size() > MaxLevelFileNameLength)
    return std::string("the ") + what + "'s name is longer than " +
           std::to_string(MaxLevelFileNameLength) + " characters";
  for (const char c : name)
    if (!IsNameCharacter(c) || (kind == TNameKind::Music && c == '.'))
      return std::string("the ") + what + "'s name " + quoted + " holds '" + c +
             "' (names keep to letters, digits and " + (kind == TNameKind::Music ? "_&-" : "_.&-") +
             ")";
  if (name.front() == '.')
    return std::string("the ") + what + "'s name " + quoted + " begins with '.'";
  if (kind == TNameKind::Picture && !EndsWithPcx(name))
    return "the picture " + quoted + " is not a .pcx file";
  return {};
}
