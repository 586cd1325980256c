// Replays: what a recorded input script notes besides its events, so that playing it again
// plays the same game: the seed it was recorded with, and which archives it was played on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A short hash of SPRITES.MPK, FONTS.MPK and TEXTS.MPK in the data folder (the sound plays no
// part in what happens); empty when one cannot be read.
std::string DataFingerprint();

// The whole script --save-input writes: its notes, then the recorded events.
std::string RecordedScript(const std::string& events, std::optional<uint32_t> seed,
                           const std::string& data);

// Writes the recorded events with their seed and this data's fingerprint as `path`, whole or
// not at all; false with one line on stderr saying why not.
bool SaveRecordedInput(const std::string& path, const std::string& events,
                       std::optional<uint32_t> seed);
