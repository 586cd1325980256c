// Sound files for tests, built in memory: WAV files of any rate, channel count and sample
// width, tones and constant levels, and a SOUNDS.MPK holding whatever a test gives it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct TWavFormat {
  uint32_t Rate = 44100;
  uint16_t Channels = 1;
  uint16_t Bits = 16;
};

// A WAV file of these interleaved samples; 8-bit files keep each sample's top byte.
std::string MakeWav(const TWavFormat& format, const std::vector<int16_t>& samples);
// A sine at half of full scale, `seconds` long.
std::string ToneWav(const TWavFormat& format, double seconds, double hz = 440);
// Silence, then a 100 Hz square wave at full scale, 16-bit stereo at 44,100 Hz: a decoder
// overshoots the 16-bit range with it for long runs, as it does with a damaged stream.
std::string FullScaleSquareWav(double silentSeconds, double seconds);
// `frames` frames of one constant level on both channels, 16-bit stereo at 44,100 Hz.
std::string LevelWav(int16_t level, size_t frames);

// `wav` encoded by Debian's oggenc (vorbis-tools) at its lowest quality, with a fixed serial.
std::string OggVorbis(const std::string& wav);

// SOUNDS.MPK in `dir`, with these members (file name to bytes) in name order.
void WriteSoundArchive(const std::string& dir, const std::map<std::string, std::string>& members);
