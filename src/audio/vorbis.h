// Ogg Vorbis files, decoded by stb_vorbis. The Ogg pages are checked first (capture pattern,
// checksum, order, one stream ending in its last page), so that a cut or damaged file is
// refused whole before the decoder sees it. Damage inside whole pages shows only in decoding:
// the decoder reports an error, or its samples leave the 16-bit range for a long run (it
// clamps them), which is noise at full scale. An effect is refused then; music, which streams
// from the file, falls silent there and says why (TMusicSource::Fault).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "audio/music_source.h"

struct stb_vorbis;

// The checksum of the Ogg page of `size` bytes at `page`, its own checksum field read as 0.
uint32_t OggPageCrc(const uint8_t* page, size_t size);

// True when `bytes` begin with one whole Ogg stream; `streamBytes` is where its last page
// ends (anything after it is not read). False with a reason otherwise.
bool CheckOggPages(std::span<const uint8_t> bytes, size_t& streamBytes, std::string& error);

class TVorbisMusic final : public TMusicSource {
 public:
  // The decoder's memory is one block of this size, so a file can never ask for more.
  static constexpr size_t ArenaBytes = 1 << 20;

  // Opens `file`; null with a reason when it is not a Vorbis file the game plays (mono or
  // stereo, 8 to 192 kHz) or is longer than `maxFrames` at AudioRate.
  static std::unique_ptr<TVorbisMusic> Open(std::vector<uint8_t> file, uint64_t maxFrames,
                                            std::string& error);
  ~TVorbisMusic() override;
  TVorbisMusic(const TVorbisMusic&) = delete;
  TVorbisMusic& operator=(const TVorbisMusic&) = delete;

  size_t Read(int16_t* out, size_t frames) override;
  void Rewind() override;

 private:
  TVorbisMusic(std::vector<uint8_t> file, uint32_t rate);
  size_t Decode(int16_t* out, size_t frames);
  // Whether freshly decoded samples are sound and not damage; sets the fault when not.
  bool Sound(const int16_t* samples, size_t frames);
  void Damaged(uint64_t frame, const std::string& how);
  bool NextFrame(int16_t* frame);

  std::vector<uint8_t> File;
  std::vector<uint8_t> Arena;
  stb_vorbis* Decoder = nullptr;
  uint32_t Rate;
  TRateConverter Converter;
  // Frames at the file's own rate waiting for the converter, when the rates differ.
  std::vector<int16_t> Pending;
  size_t PendingFrames = 0;
  size_t PendingAt = 0;
  // The check of what was decoded: frames so far at the file's rate, and each channel's run
  // of clamped samples.
  uint64_t Decoded = 0;
  size_t ClampedRun[2] = {};
};

// A whole Vorbis file decoded to AudioRate stereo, at most `maxFrames` long.
bool DecodeVorbis(std::vector<uint8_t> file, uint64_t maxFrames, TPcm& pcm, std::string& error);
