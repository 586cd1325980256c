// The browser's names of keys (KeyboardEvent.code: "KeyW", "ArrowUp", "NumpadEnter") onto the
// virtual-key codes of platform/keys.h: the page sends what the browser gives, and the one key
// table stays in C++.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The game's key for a browser's key name; nullopt for a key the game has no code for.
std::optional<uint8_t> DomKeyCode(std::string_view name);

// Every name DomKeyCode knows, separated by spaces, for the page to keep those keys from the
// browser (Space and the arrows would scroll it).
std::string DomKeyNames();
