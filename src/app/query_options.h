// The game's options as a web page's address gives them ("?seed=7&autoplay=1&max-frames=900"):
// the command line's names without their dashes, with the same meanings. An address may carry
// parameters of the site that hosts the game too, so names the game does not know are passed
// over.
#pragma once

#include <string>
#include <string_view>

#include "app/options.h"

// Reads seed, autoplay, turbo, mute, volume, max-frames, record-frames, input and data. False
// with a reason naming the parameter when a value is not one it takes.
bool ParseQueryOptions(std::string_view query, TOptions& options, std::string& error);
