// The ranking and the words for endings.
#include "records/game_record.h"

#include <tuple>

bool RanksBefore(const TGameRecord& a, const TGameRecord& b) {
  // More health ranks first: b's health stands on a's side.
  return std::tuple(a.End, b.Health, a.Frames) < std::tuple(b.End, a.Health, b.Frames);
}

std::string_view EndWord(TGameEnd end) {
  switch (end) {
    case TGameEnd::Won:
      return "won";
    case TGameEnd::GaveUp:
      return "gave-up";
    case TGameEnd::Lost:
      break;
  }
  return "lost";
}

std::optional<TGameEnd> EndOfWord(std::string_view word) {
  for (TGameEnd end : {TGameEnd::Won, TGameEnd::GaveUp, TGameEnd::Lost})
    if (word == EndWord(end)) return end;
  return std::nullopt;
}

std::optional<TGameEnd> EndOfSummaryWord(std::string_view word) {
  if (word == "space") return TGameEnd::GaveUp;
  if (word == "none") return std::nullopt;
  return EndOfWord(word);
}
