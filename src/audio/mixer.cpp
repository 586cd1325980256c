// Voices, the music stream with its fades, and the limiter on the sum.
#include "audio/mixer.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The limiter's gain in Q30 fixed point.
constexpr int32_t GainUnity = 1 << 30;
// Within a frame the gain falls towards a peak over up to 2 ms before it, as a limiter that
// looks ahead does, without delaying the sound: effects keep starting at their frame's first
// sample. A peak right at a frame's start is met at once.
constexpr int32_t AttackStep = GainUnity / 88;
// Then it rises back with a time constant of 2^13 samples (186 ms): slow enough that music
// under a burst of effects swells back instead of pumping.
constexpr int ReleaseShift = 13;

}  // namespace

void TMixer::Play(const TPcm& sound, int32_t volume, int32_t pan) {
  if (sound.empty()) return;
  TVoice* voice = nullptr;
  for (TVoice& v : Voices) {
    if (v.Sound == nullptr) {
      voice = &v;
      break;
    }
    if (voice == nullptr || v.Position > voice->Position) voice = &v;
  }
  volume = std::clamp(volume, 0, Unity);
  pan = std::clamp(pan, -Unity, Unity);
  // A balance: the centre keeps both channels whole, and a side fades the other one out.
  voice->Sound = &sound;
  voice->Position = 0;
  voice->Left = static_cast<int32_t>(int64_t{volume} * std::min(Unity, Unity - pan) / Unity);
  voice->Right = static_cast<int32_t>(int64_t{volume} * std::min(Unity, Unity + pan) / Unity);
}

void TMixer::PlayMusic(TMusicSource* music, bool loop, uint32_t fadeFrames) {
  if (music != nullptr && music == Current && !Fading) return;
  Next = music;
  NextLoop = loop;
  if (Current == nullptr) return FinishFade();
  if (!Fading) {
    Fading = true;
    FadeLength = std::max<uint64_t>(1, uint64_t{fadeFrames} * 2 * AudioFrameLength);
    FadeDone = 0;
  }
}

void TMixer::StopMusic(uint32_t fadeFrames) {
  PlayMusic(nullptr, false, fadeFrames);
}

int TMixer::ActiveVoices() const {
  return static_cast<int>(std::count_if(Voices.begin(), Voices.end(),
                                        [](const TVoice& v) { return v.Sound != nullptr; }));
}

void TMixer::FinishFade() {
  Fading = false;
  Current = Next;
  Loop = NextLoop;
  Next = nullptr;
  if (Current != nullptr) Current->Rewind();
}

void TMixer::MixVoices() {
  for (TVoice& voice : Voices) {
    if (voice.Sound == nullptr) continue;
    const size_t count = std::min(AudioFrameLength, PcmFrames(*voice.Sound) - voice.Position);
    const int16_t* in = voice.Sound->data() + 2 * voice.Position;
    for (size_t i = 0; i < count; ++i) {
      Sum[2 * i] += (in[2 * i] * voice.Left) >> 15;
      Sum[2 * i + 1] += (in[2 * i + 1] * voice.Right) >> 15;
    }
    voice.Position += count;
    if (voice.Position >= PcmFrames(*voice.Sound)) voice.Sound = nullptr;
  }
}

size_t TMixer::ReadMusic(int16_t* out, size_t frames) {
  size_t got = Current->Read(out, frames);
  // A looping piece goes on from its start; one that gives nothing even then is over.
  while (got < frames && Loop) {
    Current->Rewind();
    const size_t more = Current->Read(out + 2 * got, frames - got);
    if (more == 0) break;
    got += more;
  }
  return got;
}

int32_t TMixer::MusicGainAt(size_t sample) const {
  if (!Fading) return Unity;
  const uint64_t done = FadeDone + sample;
  if (done >= FadeLength) return 0;
  return static_cast<int32_t>(int64_t{Unity} * static_cast<int64_t>(FadeLength - done) /
                              static_cast<int64_t>(FadeLength));
}

void TMixer::MixMusic() {
  if (Current == nullptr) return;
  const size_t got = ReadMusic(MusicPiece.data(), AudioFrameLength);
  for (size_t i = 0; i < 2 * got; ++i)
    Sum[i] += (MusicPiece[i] * MusicGainAt(i)) >> 15;
  if (Fading) {
    FadeDone += 2 * AudioFrameLength;
    if (FadeDone >= FadeLength) FinishFade();
  } else if (got < AudioFrameLength) {
    Current = nullptr;  // a piece played once has ended
  }
}

void TMixer::Limit(int16_t* out) {
  // The most each block of stereo frames may be given: the ceiling over the louder channel of
  // its loudest frame. Both channels share one gain, so the sound keeps its place between the
  // speakers; blocks, not frames, so that a loud frame costs one division in sixteen.
  bool over = false;
  for (size_t block = 0; block < BlockGain.size(); ++block) {
    int32_t peak = 0;
    for (size_t i = 2 * LimiterBlock * block;
         i < std::min(Sum.size(), 2 * LimiterBlock * (block + 1)); ++i)
      peak = std::max(peak, std::abs(Sum[i]));
    BlockGain[block] =
        peak > Ceiling ? static_cast<int32_t>((int64_t{Ceiling} << 30) / peak) : GainUnity;
    over = over || peak > Ceiling;
  }
  if (!over && LimiterGain == GainUnity) {
    for (size_t i = 0; i < Sum.size(); ++i)
      out[i] = static_cast<int16_t>(Sum[i]);
    return;
  }
  int64_t allowed = GainUnity;  // nothing is known of the next frame
  for (size_t i = AudioFrameLength; i-- > 0;) {
    allowed = std::min<int64_t>(BlockGain[i / LimiterBlock], allowed + AttackStep);
    GainAllowed[i] = static_cast<int32_t>(allowed);
  }
  for (size_t i = 0; i < AudioFrameLength; ++i) {
    // The last steps of the rise, worth less than a quarter of the smallest sample step, are
    // taken at once, so the gain gets back to exactly 1.
    const int32_t rise = (GainUnity - LimiterGain) >> ReleaseShift;
    LimiterGain = std::min(GainAllowed[i], rise == 0 ? GainUnity : LimiterGain + rise);
    for (size_t c = 2 * i; c < 2 * i + 2; ++c)
      out[c] = static_cast<int16_t>((int64_t{Sum[c]} * LimiterGain) >> 30);
  }
}

void TMixer::MixFrame(int16_t* out) {
  Sum.fill(0);
  MixVoices();
  MixMusic();
  Limit(out);
}
