// The data directory: archives and disk files are looked up relative to it, and opened
// read-only through OpenDataFile so that installed, write-protected data can be read.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

void SetDataDirectory(std::string dir);
const std::string& DataDirectory();
// `name` resolved against the data directory; names that are absolute stay as they are.
std::string DataPath(std::string_view name);

struct TFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using TFileHandle = std::unique_ptr<std::FILE, TFileCloser>;

// Opens `name` (resolved by DataPath) for reading only and reports its size. Null when the
// file is missing, unreadable or not a regular file (a folder opens on some systems and
// then fails on the first read, which would pass for a damaged file instead of a missing one).
TFileHandle OpenDataFile(std::string_view name, uint64_t& size);
