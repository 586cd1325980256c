// What every fuzz target shares: a platform that keeps boxes quiet and counts them, a
// scratch data folder of this process's own, the reset of the engine's program-wide tables
// after each input, and the check that turns a broken promise into a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/queued_platform.h"

// Headless and on a virtual clock; a box is counted and remembered instead of printed, so
// a fuzz run's log shows findings only.
class TFuzzPlatform : public TQueuedPlatform {
 public:
  TFuzzPlatform();
  void MessageBox(const std::string& caption, const std::string& text, TBoxKind kind) override;

  int Boxes = 0;
  std::string LastCaption;
  std::string LastText;
};

// Installs the platform and the scratch folder as the data directory on first use.
TFuzzPlatform& FuzzSetup();

// The data folder of this process (a fresh folder under TMPDIR, removed at exit).
const std::string& FuzzScratch();
// Replaces `name` in the scratch folder with these bytes.
void WriteScratchFile(const std::string& name, const void* data, size_t size);

// Closes every archive and handle and empties the image cache, so that each input starts
// from the state the program starts in.
void ResetEngineTables();

// A broken promise of the code under test: prints what and aborts, which the fuzzer
// reports as a crash with the input that caused it.
[[noreturn]] void FuzzFailure(const char* file, int line, const char* what);
#define FUZZ_CHECK(condition)                                      \
  do {                                                             \
    if (!(condition)) FuzzFailure(__FILE__, __LINE__, #condition); \
  } while (false)
