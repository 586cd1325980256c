// The data directory: archives and disk files are looked up relative to it.
#pragma once

#include <string>
#include <string_view>

void SetDataDirectory(std::string dir);
const std::string& DataDirectory();
// `name` resolved against the data directory; names that are absolute stay as they are.
std::string DataPath(std::string_view name);
