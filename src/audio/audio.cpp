// The run's sound: the bank, the mixer, the recording, and the hand-over each frame.
#include "audio/audio.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <memory>
#include <optional>
#include <vector>

#include "audio/mixer.h"
#include "audio/sound_bank.h"
#include "audio/wav_recorder.h"
#include "platform/platform.h"

namespace {

// Pieces that end with their scene play once; the level's pieces loop.
constexpr bool MusicLoops[MusicCount] = {false, true, true, false};
constexpr uint32_t MusicFadeFrames = 15;
constexpr uint32_t StopFadeFrames = 30;
// Effects never sit hard in one speaker: half way to the side at the screen's edges.
constexpr int32_t WidestPan = TMixer::Unity / 2;

struct TAudioState {
  bool Running = false;
  TSoundBank Bank;
  TMixer Mixer;
  std::unique_ptr<TWavRecorder> Recorder;
  std::bitset<SoundCount> StartedThisFrame;
  std::optional<TMusic> Music;  // what the scene asked for last; nothing: silence
  std::array<int16_t, 2 * AudioFrameLength> Frame{};
};

TAudioState Audio;

TAudioState& State() {
  return Audio;
}

void StartMusic(TAudioState& audio, TMusic music) {
  audio.Music = music;
  const size_t index = static_cast<size_t>(music);
  audio.Mixer.PlayMusic(audio.Bank.Music[index].get(), MusicLoops[index], MusicFadeFrames);
}

// SOUNDS.MPK may reach the data folder after the run started (the browser's page fetches it
// while the game plays). The sound joins then, with the piece the scene asked for from its
// start; what the game played before that stays silent.
void JoinLateSounds(TAudioState& audio) {
  if (!audio.Bank.ArchiveMissing || !CurrentPlatform().DataArrived()) return;
  audio.Mixer = TMixer{};  // it refers to the bank's sounds, which go next
  audio.Bank = LoadSoundBank();
  if (audio.Music) StartMusic(audio, *audio.Music);
}

}  // namespace

bool StartAudio(const TAudioConfig& config, std::string& error) {
  TAudioState& audio = State();
  if (!config.Enabled) return true;
  if (!config.RecordFile.empty()) {
    audio.Recorder = std::make_unique<TWavRecorder>();
    if (!audio.Recorder->Open(config.RecordFile, error)) {
      audio.Recorder.reset();
      return false;
    }
  }
  audio.Bank = LoadSoundBank();
  audio.Running = true;
  return true;
}

bool StopAudio(std::string& error) {
  TAudioState& audio = State();
  bool ok = true;
  if (audio.Recorder) ok = audio.Recorder->Finish(error);
  ResetAudioState();
  return ok;
}

void ResetAudioState() {
  TAudioState& audio = State();
  audio.Mixer = TMixer{};  // it refers to the bank's sounds, which go next
  audio = TAudioState{};
}

void PlaySound(TSound sound, int x) {
  TAudioState& audio = State();
  const size_t index = static_cast<size_t>(sound);
  if (!audio.Running || audio.StartedThisFrame[index]) return;
  audio.StartedThisFrame[index] = true;
  const int32_t pan = (std::clamp(x, 0, 800) - 400) * WidestPan / 400;
  audio.Mixer.Play(audio.Bank.Effects[index], TMixer::Unity, pan);
}

void PlayMusic(TMusic music) {
  TAudioState& audio = State();
  if (audio.Running) StartMusic(audio, music);
}

void StopMusic() {
  TAudioState& audio = State();
  if (!audio.Running) return;
  audio.Music.reset();
  audio.Mixer.StopMusic(StopFadeFrames);
}

void AudioFrame() {
  TAudioState& audio = State();
  if (!audio.Running) return;
  JoinLateSounds(audio);
  audio.Mixer.MixFrame(audio.Frame.data());
  TellMusicFaults(audio.Bank);
  audio.StartedThisFrame.reset();
  if (audio.Recorder) audio.Recorder->Write(audio.Frame.data(), AudioFrameLength);
  CurrentPlatform().QueueAudio(audio.Frame.data(), AudioFrameLength);
}

void FadeOutAudio() {
  TAudioState& audio = State();
  if (!audio.Running) return;
  std::vector<int16_t> ending(EndingFadeFrames * 2 * AudioFrameLength);
  for (size_t f = 0; f < EndingFadeFrames; ++f)
    audio.Mixer.MixFrame(ending.data() + f * 2 * AudioFrameLength);
  // The gain falls along a parabola, quickly at first, as the ear hears a fade to silence.
  const auto frames = static_cast<int64_t>(ending.size() / 2);
  for (int64_t i = 0; i < frames; ++i) {
    const int64_t left = frames - i;
    for (size_t c = 2 * static_cast<size_t>(i); c < 2 * static_cast<size_t>(i) + 2; ++c)
      ending[c] = static_cast<int16_t>(ending[c] * left * left / (frames * frames));
  }
  CurrentPlatform().QueueAudio(ending.data(), ending.size() / 2);
  audio.Running = false;  // the run's sound is over
}
