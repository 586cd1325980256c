// One game a player played to its end, as the player's records keep it: plain data, and the
// order in which games rank.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How a game ended, in the order endings rank.
enum class TGameEnd : uint8_t { Won, GaveUp, Lost };

struct TGameRecord {
  std::string When;  // the local time it ended, "2026-05-01T14:03:22"
  TGameEnd End = TGameEnd::Lost;
  uint32_t Seed = 0;
  uint64_t Frames = 0;                 // the game scene's
  std::optional<uint32_t> BossFrames;  // her arrival to her fall or the ending; none: not met
  int Health = 0;                      // the bus's, left at the end
  uint32_t CrossesFired = 0;
  uint32_t Hits = 0;
  std::string Level;      // the level's name
  std::string Data;       // the fingerprint of the data it was played on; "" when unknown
  std::string Recording;  // the file of its input in the recordings folder; "" when none
};

// The level a record names when its run named none (a run that stopped before its game).
constexpr std::string_view BuiltInLevel = "Save Quibbet!";

// Whether `a` ranks above `b`: won before gave up before lost, then more health left, then
// fewer frames.
bool RanksBefore(const TGameRecord& a, const TGameRecord& b);

// "won", "gave-up", "lost": the records file's words.
std::string_view EndWord(TGameEnd end);
std::optional<TGameEnd> EndOfWord(std::string_view word);

// The summary's word for an ending ("won", "lost", "space") as kept; none for "none".
std::optional<TGameEnd> EndOfSummaryWord(std::string_view word);
