// The installed back end and the stderr copy of every box.
#include "platform/platform.h"

#include <cassert>
#include <cstdio>

namespace {
TPlatform* Installed = nullptr;
}

void SetPlatform(TPlatform* platform) {
  Installed = platform;
}
bool HasPlatform() {
  return Installed != nullptr;
}

TPlatform& CurrentPlatform() {
  assert(Installed != nullptr && "no platform back end installed");
  return *Installed;
}

void PrintBox(const std::string& caption, const std::string& text) {
  std::string body = text;
  for (char& c : body)
    if (c == '\r') c = '\n';
  std::fprintf(stderr, "%s\n%s\n", caption.c_str(), body.c_str());
  std::fflush(stderr);
}
