// Files the program writes for the player are written whole or not at all: to a temporary
// file beside the target, then renamed over it, so that a crash or a full disk on the way
// never leaves a half-written file where a whole one was.
#pragma once

#include <string>

// Writes `bytes` as `path`, forced to the disk before the rename, making its folders when
// missing; a `path` that is a symbolic link stays one (the file it leads to is replaced).
// False with a reason naming the file otherwise; `path` then holds what it held before.
bool WriteFileWhole(const std::string& path, const std::string& bytes, std::string& error);
