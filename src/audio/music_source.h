// What the mixer plays music from: a source read forwards in pieces of any length and
// rewound for a loop. Music held whole in memory is one kind; Vorbis streams are the other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/pcm.h"

class TMusicSource {
 public:
  virtual ~TMusicSource() = default;
  // Up to `frames` stereo frames at AudioRate into `out`; fewer only where the music ends.
  virtual size_t Read(int16_t* out, size_t frames) = 0;
  virtual void Rewind() = 0;
  // Why the music fell silent before its end: a stream found damaged as it played, which
  // gives nothing more from then on. Empty while it plays well.
  const std::string& Fault() const { return FaultText; }

 protected:
  std::string FaultText;
};

// Music decoded whole (a WAV file, a test's tone).
class TPcmMusic final : public TMusicSource {
 public:
  explicit TPcmMusic(TPcm pcm) : Pcm(std::move(pcm)) {}
  size_t Read(int16_t* out, size_t frames) override;
  void Rewind() override { Position = 0; }

 private:
  TPcm Pcm;
  size_t Position = 0;  // frames already read
};
