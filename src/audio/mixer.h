// The mixer: sixteen effect voices and one music stream summed into one game frame's samples
// at a time, with a volume and a stereo place per voice, fades for the music, and a limiter
// that keeps the sum just under full scale. Integer arithmetic throughout, so the same
// calls give the same samples on every machine and at every pace.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "audio/music_source.h"
#include "audio/pcm.h"

class TMixer {
 public:
  static constexpr int VoiceCount = 16;
  static constexpr int32_t Unity = 1 << 15;  // a gain of 1
  // No sample leaves the mixer louder than this, just under full scale.
  static constexpr int32_t Ceiling = 32000;

  // Starts `sound` (not owned; it must outlive its playing) at `volume` (0 to Unity: as recorded),
  // placed at `pan` (-Unity: left only, 0: centre, Unity: right only). With every voice busy,
  // the one that has played longest gives way.
  void Play(const TPcm& sound, int32_t volume, int32_t pan);
  // Plays `music` (not owned) from its start: at once when nothing plays, else once what plays
  // has faded out over `fadeFrames` game frames. Music already playing goes on undisturbed;
  // null fades out to silence.
  void PlayMusic(TMusicSource* music, bool loop, uint32_t fadeFrames);
  void StopMusic(uint32_t fadeFrames);

  // Mixes the next AudioFrameLength stereo frames into `out`.
  void MixFrame(int16_t* out);

  int ActiveVoices() const;
  const TMusicSource* Music() const { return Current; }

 private:
  struct TVoice {
    const TPcm* Sound = nullptr;  // null: free
    size_t Position = 0;          // frames played
    int32_t Left = 0, Right = 0;  // gains
  };

  void MixVoices();
  void MixMusic();
  size_t ReadMusic(int16_t* out, size_t frames);
  int32_t MusicGainAt(size_t sample) const;
  void FinishFade();
  void Limit(int16_t* out);

  std::array<TVoice, VoiceCount> Voices;
  TMusicSource* Current = nullptr;
  bool Loop = false;
  TMusicSource* Next = nullptr;  // waits for the fade-out of Current
  bool NextLoop = false;
  bool Fading = false;
  uint64_t FadeLength = 0;  // samples of the fade-out
  uint64_t FadeDone = 0;
  std::array<int32_t, 2 * AudioFrameLength> Sum{};
  std::array<int16_t, 2 * AudioFrameLength> MusicPiece{};
  // The limiter: its gain now, and the most each block of stereo frames and then each frame of
  // this one may have; Q30.
  static constexpr size_t LimiterBlock = 16;
  int32_t LimiterGain = 1 << 30;
  std::array<int32_t, (AudioFrameLength + LimiterBlock - 1) / LimiterBlock> BlockGain{};
  std::array<int32_t, AudioFrameLength> GainAllowed{};
};
