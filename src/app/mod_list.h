// The mods a player has: what `quibbet --mods` lists, and the names `--mod NAME` takes. They
// are the folders of archives in mods/ of the player's data folder, the installed game's
// and the system's (app/data_search: ModSearchPath).
#pragma once

#include <string>
#include <vector>

// Prints every mod in `places` on stdout: its name and folder, the archives it holds and its
// level's name, or why it cannot be used; then where mods are looked for. Returns the exit
// code.
int ListMods(const std::vector<std::string>& places);

// Each of `mods` that is no folder but a mod's name becomes that mod's folder, the first
// place's mod of the name. Empty, or what is wrong: a name that is neither.
std::string ResolveModNames(std::vector<std::string>& mods, const std::vector<std::string>& places);
