// Writes presented frames as PNG files DIR/frame_NNNNNN.png, named by global frame index,
// with RGB565 widened to 8 bits a channel by bit replication.
#pragma once

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

class TFrameRecorder {
 public:
  // Records frames whose index is in `frames`, or, when it is empty, every `every`-th.
  TFrameRecorder(std::string dir, uint64_t every, std::vector<uint64_t> frames);
  // False, with a reason on stderr, when the folder cannot be made.
  bool Prepare();
  // Throws TProgramExit when a file cannot be written: a recording with holes is useless.
  void OnFrame(const uint16_t* pixels, int32_t width, int32_t height, uint64_t index);

 private:
  std::string Dir;
  uint64_t Every;
  std::set<uint64_t> Frames;
};

// Writes one RGB565 frame as an 8-bit RGB PNG; false with errno-style reason on failure.
bool WriteRgb565Png(const std::string& path, const uint16_t* pixels, int32_t width, int32_t height,
                    std::string& reason);
// The same into an open file (a whole-file writer's, say), which stays open.
bool WriteRgb565Png(std::FILE* file, const uint16_t* pixels, int32_t width, int32_t height,
                    std::string& reason);
