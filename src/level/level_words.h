// The words of the level format, shared by its reader and its writer: the first line, the
// header's keys, the actions with their arguments and ranges, and the rules for the names
// of pictures, texts and music.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "level/level.h"

constexpr std::string_view FormatWord = "quibbet-level";
constexpr size_t MaxArguments = 6;

struct TArgumentForm {
  const char* Name = "";  // as the usage and the faults say it
  int Min = 0;
  int Max = 0;
  bool BusAllowed = false;  // the word "bus" instead of a number
  bool IsTextFile = false;  // a name in TEXTS.MPK instead of a number
};

struct TActionForm {
  TLevelAction Action;
  const char* Word;
  const char* Phrase;  // "an m&m", in faults
  const char* Usage;   // the arguments after the word
  size_t ArgumentCount;
  TArgumentForm Arguments[MaxArguments];
};

const TActionForm& FormOf(TLevelAction action);
std::optional<TLevelAction> ActionOfWord(std::string_view word);
// "text, m&m, carrot, grenade, bomber, boss"
std::string ActionList();
std::string ActionPhrase(TLevelAction action);
// What follows a header key: "FILE.pcx" for background, and so on.
std::string HeaderUsage(std::string_view key);

// A row begins with its frame, so with a digit; a header line with a key.
bool StartsRow(std::string_view firstWord);

enum class TNameKind { Picture, Text, Music };
// Why `name` cannot name a picture, text or music; empty when it can. Names keep to
// letters, digits and "_.&-" (a text value's '@' and a path's '/' never reach the loaders),
// pictures end in ".pcx", music is named without its ending.
std::string NameFault(std::string_view name, TNameKind kind);
