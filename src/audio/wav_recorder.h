// The --record-audio file: every sample the mixer made, as a 16-bit stereo PCM WAV file.
// It is written to NAME.part and renamed to NAME once complete, so a run cut short never
// leaves a file that looks whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

class TWavRecorder {
 public:
  TWavRecorder() = default;
  // Removes the .part file of a recording that was never finished.
  ~TWavRecorder();
  TWavRecorder(const TWavRecorder&) = delete;
  TWavRecorder& operator=(const TWavRecorder&) = delete;

  // False with a reason when the file cannot be created.
  bool Open(const std::string& path, std::string& error);
  void Write(const int16_t* samples, size_t frames);
  // Completes the header and puts the file in place; false with a reason when anything
  // failed on the way (a full disk, say).
  bool Finish(std::string& error);

 private:
  std::string Path;
  std::FILE* File = nullptr;
  uint64_t DataBytes = 0;
  bool Full = false;    // a WAV file holds at most 4 GB; what comes later is left out
  bool Failed = false;  // a write went wrong
};
