// fuzz_settings: the input is a settings file. Whatever its bytes, every value read lies
// within its documented range, every action keeps a key, each warning names the file and a
// line of it (at most one a line), the settings read are saved as a text that reads back
// the same without a warning, and every entry edited into the file reads back as edited.
#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "app/settings_file.h"
#include "fuzz_support.h"
#include "platform/keys.h"

namespace {

bool EveryActionHasAKey(const TKeyBindings& keys) {
  for (const auto* list : {&keys.Up, &keys.Down, &keys.Fire, &keys.Pause, &keys.VolumeDown,
                           &keys.VolumeUp, &keys.Mute, &keys.FullScreen, &keys.Screenshot})
    if (list->empty()) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Through a file, so that reading and its size limit are fuzzed as well.
  static const std::string path = FuzzScratch() + "/settings.ini";
  WriteScratchFile("settings.ini", data, size);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const long lines = static_cast<long>(std::count(text.begin(), text.end(), '\n')) + 1;
  std::vector<std::string> warnings;
  const TPlayerSettings settings = LoadSettings(path, warnings).Settings;

  long lastLine = 0;
  for (const std::string& warning : warnings) {
    FUZZ_CHECK(warning.compare(0, path.size() + 1, path + ":") == 0);
    const long line = std::strtol(warning.c_str() + path.size() + 1, nullptr, 10);
    FUZZ_CHECK(line > lastLine && line <= lines);
    lastLine = line;
  }
  FUZZ_CHECK(settings.Scale >= 1 && settings.Scale <= 16);
  FUZZ_CHECK(settings.Fit == TFitMode::Sharp || settings.Fit == TFitMode::Integer);
  FUZZ_CHECK(settings.Volume >= 0 && settings.Volume <= 100);
  FUZZ_CHECK(settings.KeySpeed >= 1 && settings.KeySpeed <= 60);
  FUZZ_CHECK(settings.PadDeadZone >= 0 && settings.PadDeadZone <= 90);
  FUZZ_CHECK(EveryActionHasAKey(settings.Keys));

  std::vector<std::string> again;
  FUZZ_CHECK(ParseSettings(FormatSettings(settings), "saved.ini", again) == settings);
  FUZZ_CHECK(again.empty());

  // Every entry edited into the file reads back as edited.
  if (size > MaxSettingsFileSize) return 0;
  TPlayerSettings changed;
  changed.FullScreen = !settings.FullScreen;
  changed.Scale = settings.Scale % 16 + 1;
  changed.Volume = 100 - settings.Volume;
  changed.Keys.Fire = {Vk::Letter('Q')};
  const std::string edited = EditSettings(text, changed, TSettingsEntries().set());
  std::vector<std::string> editedWarnings;
  FUZZ_CHECK(ParseSettings(edited, "edited.ini", editedWarnings) == changed);
  return 0;
}
