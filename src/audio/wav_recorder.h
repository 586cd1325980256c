// The --record-audio file: every sample the mixer made, as a 16-bit stereo PCM WAV file.
// It is written through the whole-file writer (res/whole_file_writer) and put in place once
// complete, so a run cut short never leaves a file that looks whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "res/whole_file_writer.h"

class TWavRecorder {
 public:
  // False with a reason when the file cannot be created.
  bool Open(const std::string& path, std::string& error);
  void Write(const int16_t* samples, size_t frames);
  // Completes the header and puts the file in place; false with a reason when anything
  // failed on the way (a full disk, say). A recording never finished is thrown away.
  bool Finish(std::string& error);

 private:
  TWholeFileWriter Output;
  uint64_t DataBytes = 0;
  bool Full = false;  // a WAV file holds at most 4 GB; what comes later is left out
};
