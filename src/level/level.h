// A level as data: its header (name, background, music, how it is won) and its timetable of
// rows, each an action at a frame, perhaps repeated. The parser, the writer and the checker
// need nothing of the engine, so that a page can compile them on their own.
//
//   quibbet-level 1
//   name Afternoon over Quibbet
//   background background.pcx
//   music game
//   100 m&m 800 600
//   1100 grenade 800 bus every 50 times 6
//   1900 boss
//
// docs/LEVELS.md describes the format; ParseLevel is its definition.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// ---- Limits -----------------------------------------------------------------------------
// A level file is untrusted input: everything it can make the program hold is capped.

constexpr int LevelFormat = 1;
constexpr size_t MaxLevelBytes = 1 << 20;
constexpr size_t MaxLevelLineLength = 256;  // bytes, without the line end
constexpr int MaxLevelLines = 20000;        // comments and blank lines included
constexpr size_t MaxLevelRows = 4000;
constexpr size_t MaxLevelEvents = 10000;  // actions started, repeats counted
constexpr size_t MaxLevelNameLength = 60;
constexpr size_t MaxLevelFileNameLength = 64;  // a picture, text or music named by a level
constexpr uint16_t MaxRepeats = 1000;

// ---- The level --------------------------------------------------------------------------

enum class TLevelAction : uint8_t { Text, MnM, Carrot, Grenade, Bomber, Boss };

struct TLevelRow {
  int Line = 0;        // where the file has it; 0 for a row made in memory
  uint16_t Frame = 0;  // 1 to 65535, the world's clock
  TLevelAction Action = TLevelAction::MnM;
  int16_t X = 0;
  int16_t Y = 0;
  bool AtBus = false;  // a grenade flies at the height the bus has in its frame
  // A text: a box of 40 x 5 characters in fixedsys that fades in, holds and fades out.
  uint16_t Hold = 0;
  uint8_t FadeIn = 0;
  uint8_t FadeOut = 1;
  std::string TextFile;  // in TEXTS.MPK
  uint16_t Every = 0;    // frames between repeats
  uint16_t Times = 1;    // how often the action starts in all
};

struct TLevel {
  std::string Name;
  std::string Background;  // a picture in SPRITES.MPK
  std::string Music;       // NAME of NAME.ogg or NAME.wav in SOUNDS.MPK
  uint16_t WonAt = 0;      // 0: won by beating the boss; else by flying on at this frame
  // Where the file says each header line; 0 when it does not.
  int BackgroundLine = 0;
  int MusicLine = 0;
  int WonAtLine = 0;
  std::vector<TLevelRow> Rows;  // in the file's order, which is frame order
};

// A fault of a level file, or a warning about one: the line (1 for the first) and why.
struct TLevelNote {
  int Line = 0;
  std::string Reason;
};

// ---- Reading, writing, checking ---------------------------------------------------------

// The level `text` holds; nothing, with the first fault in `error`, when it breaks a rule.
std::optional<TLevel> ParseLevel(std::string_view text, TLevelNote& error);

// The level as a file ParseLevel reads back into the same level: one line a row, no
// comments, the header first.
std::string FormatLevel(const TLevel& level);

// The word of an action in a level file ("m&m").
const char* ActionWord(TLevelAction action);

// One start of an action: the row's index and the frame it starts at.
struct TLevelEvent {
  uint16_t Frame = 0;
  uint16_t Row = 0;
};
// Every start of every row, repeats spread out, in frame order; at one frame, in the order
// of the rows.
std::vector<TLevelEvent> LevelSchedule(const TLevel& level);

// What a level may do but likely should not: rows that would fill the scene beyond what it
// holds, rows after the level is won. One note per row at most, in the order of the rows.
std::vector<TLevelNote> CheckLevel(const TLevel& level);
