// WAV files: reading the PCM files a game or a modder brings (8- or 16-bit, mono or stereo,
// any rate from 8 to 192 kHz) into the mixer's format, and the header of the files that
// --record-audio writes. Files are untrusted: every size is checked against the bytes there.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "audio/pcm.h"

constexpr size_t WavHeaderSize = 44;

// Decodes a whole WAV file to AudioRate stereo. `maxFrames` bounds the result, at AudioRate,
// before anything is allocated. False with a reason a person can act on.
bool DecodeWav(std::span<const uint8_t> bytes, uint64_t maxFrames, TPcm& pcm, std::string& error);

// The header of a 16-bit stereo PCM file at AudioRate holding `dataBytes` bytes of samples.
std::array<uint8_t, WavHeaderSize> WavHeader(uint32_t dataBytes);
