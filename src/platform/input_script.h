// Scripted input: one event per line, each tied to the global frame after whose
// presentation it is delivered. Used by the headless back end, and by tests.
//
//   F key down|up CODE      F mouse move X Y      F mouse left|right down|up
//   F window close          F window minimize     F window restore
//
// Blank lines and lines starting with '#' are ignored, but for two notes a recorded script
// carries: "# seed N", the seed of the game it was recorded in, and "# data HASH", what the
// game's archives were.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

struct TScriptEvent {
  uint64_t Frame = 0;
  TMessage Msg;  // mouse moves get their button flags when they are delivered
};

struct TScriptError {
  int Line = 0;
  std::string Reason;
};

struct TInputScript {
  std::vector<TScriptEvent> Events;  // in file order
  std::optional<uint32_t> Seed;      // from "# seed N"
  std::string Data;                  // from "# data HASH"
};

// Parses a whole script; on failure `error` names the first bad line.
std::optional<TInputScript> ParseInputScript(std::string_view text, TScriptError& error);

// A script being written from the messages a run delivered: each becomes the line that
// delivers it again after the same frame. Messages no line carries (focus changes, keys with
// Alt) are left out; the game does not see them either.
class TInputRecording {
 public:
  void Add(uint64_t frame, const TMessage& msg);
  const std::string& Lines() const { return Text; }

 private:
  std::string Text;
  bool Minimized = false;
};
