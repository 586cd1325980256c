// The process's environment, read as the searches for folders need it: unset is empty.
#pragma once

#include <cstdlib>
#include <string>

inline std::string EnvironmentVariable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}
