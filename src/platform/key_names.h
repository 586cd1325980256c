// The names of keys in the settings file, both ways, over the virtual-key codes the window
// messages carry (src/platform/keys.h): A to Z, 0 to 9, F1 to F12 and the named keys of
// key_names.cpp; any other code is written KeyNNN.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The code of a key name, in any case ("up", "UP", "Control" for Ctrl, "Key186");
// nullopt for a name that is no key.
std::optional<uint8_t> KeyCode(std::string_view name);

// The name the settings file writes for a code: "Up", "W", "F11", or "Key186" for a code
// without a name of its own.
std::string KeyName(uint8_t code);

// A list of names separated by blanks ("Up W"), in its order; nullopt when a word is no
// key name, and that word is then in `unknown`. A blank list is an empty list.
std::optional<std::vector<uint8_t>> KeyCodes(std::string_view list, std::string& unknown);

// The codes' names separated by single spaces, as KeyCodes reads them back.
std::string KeyNames(const std::vector<uint8_t>& codes);
