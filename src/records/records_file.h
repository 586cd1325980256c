// records.txt: the games a player played to their end, one line a game, in the order they
// were kept; a text a player can read, and that the game edits rather than writes anew.
//
//   # a comment                 '#' starts a comment line; comments and blank lines stay
//   game when=2026-05-01T14:03:22 ending=won seed=17 frames=2412 boss-frames=388 health=60
//        fired=131 hits=77 data=3f09c1d2a4b5e6f7 input=20260501-140322-17.input
//        level="Save Quibbet!"  (all on one line)
//
// A game line is "game" and fields KEY=VALUE separated by blanks, in any order; a value in
// double quotes may hold blanks. when, ending (won, gave-up or lost), seed, frames, health,
// fired and hits must be there; boss-frames (none when she never came), level, data (the
// fingerprint of the game's archives) and input (the file of its recorded input, in the
// recordings folder) may be left out; a field of another key is passed over, for a later
// version's sake. A line the game cannot read is kept as it is and skipped with a warning.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/game_record.h"

// Larger files are read up to their last whole line within this size, and never written.
constexpr size_t MaxRecordsFileSize = 1024 * 1024;
// Longer lines are not read.
constexpr size_t MaxRecordLineSize = 1024;

struct TRecordsLine {
  std::string Text;                 // the line as the file has it, without its '\n'
  std::optional<TGameRecord> Game;  // none: a comment, a blank line or a line not understood
};

// The lines of a records file. Each line that is neither blank, nor a comment, nor a game
// the reader understands adds one warning "NAME:LINE: what is wrong; ...".
std::vector<TRecordsLine> ParseRecords(std::string_view text, const std::string& fileName,
                                       std::vector<std::string>& warnings);

// The game on a line starting "game"; none, with `problem` set, when it cannot be read.
std::optional<TGameRecord> ParseGameLine(std::string_view line, std::string& problem);

// The line for a game; its level is written with the characters a line can hold.
std::string GameLine(const TGameRecord& game);

// The lines as a file, each ended by '\n'.
std::string FormatRecords(const std::vector<TRecordsLine>& lines);

// Whether `name` may name a recording: a plain file name ending ".input", so that no line
// of the file, however damaged, leads the game to read or remove a file elsewhere.
bool IsRecordingName(std::string_view name);

// `line` without its "input=" field, every other byte as it was.
std::string WithoutRecording(std::string_view line);
