// The mixer's cost per game frame: sixteen effects and the music at once, the music a Vorbis
// stream decoded as it plays; on the game's own sounds. And the stretching a real-time sound
// device's stream does to each frame on its way there.
#include <benchmark/benchmark.h>

#include "audio/mixer.h"
#include "audio/sound_bank.h"
#include "platform/audio_stream.h"
#include "res/data_dir.h"
#include "res/packfile.h"

namespace {

TSoundBank LoadGameSounds() {
  SetDataDirectory(QUIBBET_DATA_DIR);
  TSoundBank bank = LoadSoundBank();
  ResetPackfiles();
  return bank;
}

void BM_MixFrame(benchmark::State& state) {
  const TSoundBank bank = LoadGameSounds();
  TMusicSource* music = bank.Music[static_cast<size_t>(TMusic::Game)].get();
  const TPcm& effect = bank.Effects[static_cast<size_t>(TSound::Explosion)];
  if (music == nullptr || effect.empty())
    return state.SkipWithError("the game's sounds are missing");
  TMixer mixer;
  mixer.PlayMusic(music, true, 0);
  std::vector<int16_t> out(2 * AudioFrameLength);
  int pan = 0;
  for (auto _ : state) {
    // Sixteen voices in every frame: an effect that ends is started again.
    while (mixer.ActiveVoices() < TMixer::VoiceCount)
      mixer.Play(effect, TMixer::Unity / 2, (pan++ % 5 - 2) * TMixer::Unity / 4);
    mixer.MixFrame(out.data());
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_MixFrame)->Unit(benchmark::kMicrosecond);

void BM_StreamFrame(benchmark::State& state) {
  TAudioStream stream(false);
  const std::vector<int16_t> frame(2 * AudioFrameLength, 1000);
  std::vector<int16_t> device(2 * AudioFrameLength);
  uint64_t now = 0;
  for (auto _ : state) {
    stream.Push(frame.data(), AudioFrameLength, now);
    stream.Pull(device.data(), AudioFrameLength, now);
    now += 50'000;
  }
}
BENCHMARK(BM_StreamFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
