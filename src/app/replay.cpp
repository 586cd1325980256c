// The data hash and the script's notes.
#include "app/replay.h"

#include <cstdio>

#include "res/data_dir.h"
#include "res/whole_file_writer.h"

namespace {

// FNV-1a, 64 bits: enough to tell one set of archives from another, not a seal.
void Hash(uint64_t& hash, const uint8_t* bytes, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    hash ^= bytes[i];
    hash *= 0x100000001b3ull;
  }
}

}  // namespace

std::string DataFingerprint() {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (const char* archive : {"SPRITES.MPK", "FONTS.MPK", "TEXTS.MPK"}) {
    uint64_t size = 0;
    const TFileHandle file = OpenDataFile(archive, size);
    if (!file) return "";
    uint8_t block[65536];
    for (size_t got; (got = std::fread(block, 1, sizeof block, file.get())) > 0;)
      Hash(hash, block, got);
    if (std::ferror(file.get())) return "";  // a part is no fingerprint of the whole
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

std::string RecordedScript(const std::string& events, std::optional<uint32_t> seed,
                           const std::string& data) {
  std::string script = "# Save Quibbet! input, recorded with --save-input; play it with --input\n";
  if (seed) script += "# seed " + std::to_string(*seed) + "\n";
  if (!data.empty()) script += "# data " + data + "\n";
  return script + events;
}

bool SaveRecordedInput(const std::string& path, const std::string& events,
                       std::optional<uint32_t> seed) {
  std::string error;
  if (WriteFileWhole(path, RecordedScript(events, seed, DataFingerprint()), error)) return true;
  std::fprintf(stderr, "quibbet: the input is not saved: %s\n", error.c_str());
  return false;
}
