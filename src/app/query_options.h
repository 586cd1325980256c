// The game's options as a web page's address gives them ("?seed=7&autoplay=1&max-frames=900"):
// the command line's names without their dashes, read through the command line's own table
// (app/options), so that a wrong value gets the same words. The page decodes the address and
// keeps its own parameter (data) to itself.
#pragma once

#include <string>
#include <vector>

#include "app/options.h"

struct TQueryParameter {
  std::string Name;   // "seed"
  std::string Value;  // "7"; empty for "?autoplay", which gives the flag
};

// False with the command line's words in `error` when a value is wrong. A parameter the game
// does not take (a typo, or the hosting site's own) is no reason to refuse a shared link:
// each is named in `notes` and passed over.
bool ReadQueryOptions(const std::vector<TQueryParameter>& parameters, TOptions& options,
                      std::vector<std::string>& notes, std::string& error);
