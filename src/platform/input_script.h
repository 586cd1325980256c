// Scripted input: one event per line, each tied to the global frame after whose
// presentation it is delivered. Used by the headless back end, and by tests.
//
//   F key down|up CODE      F mouse move X Y      F mouse left|right down|up
//   F window close          F window minimize     F window restore
//
// Blank lines and lines starting with '#' are ignored.
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
};

// Parses a whole script; on failure `error` names the first bad line.
std::optional<TInputScript> ParseInputScript(std::string_view text, TScriptError& error);
