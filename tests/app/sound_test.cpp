// The game's sound through the built program: every sample the mixer made, recorded the same
// way at any pace and at any volume, never at full scale; each sound starting in the sample
// window of the frame that shows what made it; the music changing from piece to piece without
// a click; and a game that plays the same, frame for frame, with sound, without it and with
// sounds that cannot be read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "audio/audio.h"
#include "audio/wav.h"
#include "res/data_dir.h"
#include "res/res_helpers.h"
#include "support/engine_fixture.h"
#include "support/game_data.h"
#include "support/picture_files.h"
#include "support/run_binary.h"
#include "support/sound_files.h"

namespace fs = std::filesystem;

namespace {

TRunResult Quibbet(const std::string& data, std::vector<std::string> args,
                   const std::string& script = "") {
  args.insert(args.begin(), {"--headless", "--data", data, "--summary", "-"});
  if (!script.empty()) {
    const std::string path = ScratchDir("sound_script") + "/input.txt";
    WriteWholeFile(path, script);
    args.insert(args.end(), {"--input", path});
  }
  return RunBinary(QUIBBET_BINARY, args);
}

// The test game's data with a SOUNDS.MPK of one sound only: everything else stays silent, so
// the recording's first sound is that one.
std::string DataWithOneSound(const std::string& name) {
  const std::string dir = ScratchDir("sound_data_" + name);
  WriteGameData(dir);
  WriteSoundArchive(dir, {{name + ".wav", LevelWav(1000, 300)}});
  return dir;
}

// The index of the first sample frame that is not silence; npos when there is none.
size_t FirstSound(const std::string& wav) {
  for (size_t at = WavHeaderSize; at + 4 <= wav.size(); at += 4)
    if (wav.compare(at, 4, std::string(4, '\0')) != 0) return (at - WavHeaderSize) / 4;
  return std::string::npos;
}

std::string FramePath(const std::string& dir, size_t frame) {
  char name[32];
  std::snprintf(name, sizeof name, "/frame_%06zu.png", frame);
  return dir + name;
}

// Whether a recorded frame holds a pixel of this colour right of x.
bool Shows(const std::string& png, uint32_t rgb, uint32_t fromX) {
  uint32_t width = 0, height = 0;
  const std::vector<uint8_t> pixels = ReadPng(png, width, height);
  EXPECT_FALSE(pixels.empty()) << png;
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = fromX; x < width; ++x) {
      const uint8_t* p = &pixels[(size_t{y} * width + x) * 3];
      if ((uint32_t{p[0]} << 16 | p[1] << 8 | p[2]) == rgb) return true;
    }
  return false;
}

// Finds the window the sound starts in, then records that frame and the one before: the
// picture must show first in that very frame.
void ExpectSoundStartsWithPicture(const std::string& sound, uint32_t rgb, uint32_t fromX,
                                  const std::string& script) {
  const std::string data = DataWithOneSound(sound);
  const std::string wav = ScratchDir("sound_start_" + sound) + "/sound.wav";
  ASSERT_EQ(Quibbet(data, {"--turbo", "--seed", "2", "--record-audio", wav}, script).ExitCode, 0);
  const size_t first = FirstSound(ReadWholeFile(wav));
  ASSERT_NE(first, std::string::npos) << sound << " was never heard";
  EXPECT_EQ(first % AudioFrameLength, 0u) << "a sound starts at its window's first sample";
  const size_t frame = first / AudioFrameLength;
  const std::string frames = ScratchDir("sound_frames_" + sound);
  const std::string list = std::to_string(frame - 1) + "," + std::to_string(frame);
  ASSERT_EQ(
      Quibbet(data, {"--turbo", "--seed", "2", "--record", frames, "--record-frames", list}, script)
          .ExitCode,
      0);
  EXPECT_FALSE(Shows(FramePath(frames, frame - 1), rgb, fromX)) << sound << " frame " << frame;
  EXPECT_TRUE(Shows(FramePath(frames, frame), rgb, fromX)) << sound << " frame " << frame;
}

int16_t SampleAt(const std::string& wav, size_t index) {
  const size_t at = WavHeaderSize + 2 * index;
  return static_cast<int16_t>(static_cast<uint8_t>(wav[at]) | static_cast<uint8_t>(wav[at + 1])
                                                                  << 8);
}

// The largest step between neighbouring samples of either channel, from stereo frame `from` on
// up to `to`.
int LargestStep(const std::vector<int16_t>& samples, size_t from, size_t to) {
  int largest = 0;
  for (size_t i = std::max<size_t>(from, 1); i < to; ++i)
    for (size_t c = 0; c < 2; ++c)
      largest = std::max(largest, std::abs(samples[2 * i + c] - samples[2 * (i - 1) + c]));
  return largest;
}

class GameMusic : public TEngineFixture {};

}  // namespace

TEST(Sound, TheFirstCrossIsHeardInTheFrameItIsFirstSeen) {
  // The test data's cross is white; nothing else white is right of the bus in the game.
  ExpectSoundStartsWithPicture("fire", 0xFFFFFF, 100,
                               "950 mouse move 0 300\n950 mouse left down\n");
}

TEST(Sound, TheFirstExplosionIsHeardInTheFrameItIsFirstSeen) {
  // Without input the bus waits at the top for the grenades the world aims at it.
  ExpectSoundStartsWithPicture("explosion", 0xFFA600, 0, "");
}

TEST(Sound, TheSameRunRecordsTheSameSoundAtRealPaceAndInTurbo) {
  // Escape skips the intro; the pilot then plays a fifteen-second game.
  const std::string script = "1 key down 27\n2 key up 27\n";
  std::vector<std::string> recordings;
  for (const char* pace : {"--turbo", "--autoplay", "--turbo"}) {
    const std::string wav =
        ScratchDir("sound_pace") + "/sound" + std::to_string(recordings.size()) + ".wav";
    std::vector<std::string> args = {"--autoplay", "--seed",         "5", "--max-frames",
                                     "300",        "--record-audio", wav};
    if (std::string(pace) == "--turbo") args.push_back(pace);
    const TRunResult run = Quibbet(QUIBBET_GAME_DATA_DIR, args, script);
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    recordings.push_back(ReadWholeFile(wav));
  }
  ASSERT_EQ(recordings[0].size(), WavHeaderSize + 300 * AudioFrameLength * 4);
  EXPECT_NE(FirstSound(recordings[0]), std::string::npos);
  EXPECT_TRUE(recordings[0] == recordings[1]) << "real pace";
  EXPECT_TRUE(recordings[0] == recordings[2]) << "turbo again";
}

TEST(Sound, WithoutSoundAndWithSoundsCutShortTheGameIsTheSame) {
  const std::string data = QUIBBET_GAME_DATA_DIR;
  // Copies of the game's data: one without SOUNDS.MPK, one with every sound cut to half.
  const std::string silent = ScratchDir("sound_none"), cut = ScratchDir("sound_cut");
  for (const char* archive : {"SPRITES.MPK", "FONTS.MPK", "TEXTS.MPK"}) {
    fs::copy_file(data + "/" + archive, silent + "/" + archive);
    fs::copy_file(data + "/" + archive, cut + "/" + archive);
  }
  const std::string members = ScratchDir("sound_members");
  ASSERT_EQ(RunBinary(MPK_BINARY, {"extract", data + "/SOUNDS.MPK", "-C", members}).ExitCode, 0);
  TArchiveWriter halves;
  size_t soundFiles = 0;
  for (const auto& member : fs::directory_iterator(members)) {
    const std::string bytes = ReadWholeFile(member.path().string());
    halves.Add(member.path().filename().string(), bytes.substr(0, bytes.size() / 2));
    ++soundFiles;
  }
  halves.WriteTo(cut + "/SOUNDS.MPK");

  const std::vector<std::string> game = {"--turbo", "--autoplay", "--seed", "4"};
  std::vector<std::string> summaries, frameDirs;
  auto play = [&](const std::string& folder, const std::string& name, bool record) {
    frameDirs.push_back(ScratchDir("sound_same_" + name));
    std::vector<std::string> args = game;
    args.insert(args.end(), {"--record", frameDirs.back(), "--record-every", "499"});
    if (record) args.insert(args.end(), {"--record-audio", frameDirs.back() + "/sound.wav"});
    const TRunResult run = Quibbet(folder, args);
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    summaries.push_back(run.Out);
    return run.Err;
  };
  EXPECT_EQ(play(data, "sound", true), "");
  EXPECT_EQ(play(data, "off", false), "") << "headless without a recording has no sound at all";
  EXPECT_EQ(play(silent, "none", true),
            "quibbet: no SOUNDS.MPK in " + silent + ": the game plays without sound\n");
  const std::string said = play(cut, "cut", true);
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), static_cast<long>(soundFiles));
  EXPECT_NE(said.find("sound \"intro.ogg\" in SOUNDS.MPK: it is cut short"), std::string::npos)
      << said;

  for (size_t i = 1; i < summaries.size(); ++i) {
    EXPECT_EQ(summaries[i], summaries[0]) << i;
    size_t compared = 0;
    for (const auto& frame : fs::directory_iterator(frameDirs[0])) {
      if (frame.path().extension() != ".png") continue;
      const std::string name = frame.path().filename().string();
      EXPECT_TRUE(ReadWholeFile(frame.path().string()) == ReadWholeFile(frameDirs[i] + "/" + name))
          << i << " " << name;
      ++compared;
    }
    EXPECT_EQ(compared, 10u);
  }
}

TEST(Sound, AWholeGameStaysUnderFullScaleAndRecordsTheSameAtAnyVolume) {
  // Seed 2's game stacks explosions and grenades on the boss's arrival.
  std::vector<std::string> recordings;
  for (const std::vector<std::string>& volume :
       {std::vector<std::string>{}, {"--mute"}, {"--volume", "37"}}) {
    const std::string wav =
        ScratchDir("sound_volume") + "/sound" + std::to_string(recordings.size()) + ".wav";
    std::vector<std::string> args = {"--turbo", "--autoplay", "--seed", "2", "--record-audio", wav};
    args.insert(args.end(), volume.begin(), volume.end());
    const TRunResult run = Quibbet(QUIBBET_GAME_DATA_DIR, args);
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    recordings.push_back(ReadWholeFile(wav));
  }
  EXPECT_TRUE(recordings[1] == recordings[0]) << "muted";
  EXPECT_TRUE(recordings[2] == recordings[0]) << "at another volume";
  int loudest = 0;
  for (size_t i = 0; i < (recordings[0].size() - WavHeaderSize) / 2; ++i)
    loudest = std::max(loudest, std::abs(int{SampleAt(recordings[0], i)}));
  EXPECT_GT(loudest, 20000) << "the game is loud at times";
  EXPECT_LT(loudest, 32700) << "but never at full scale";
}

TEST_F(GameMusic, EachChangeOfMusicFadesWithoutAClick) {
  SetDataDirectory(QUIBBET_GAME_DATA_DIR);
  std::string error;
  ASSERT_TRUE(StartAudio({true, ""}, error)) << error;
  // Ten seconds of each piece, changed as the scenes and the boss's arrival change it.
  const TMusic pieces[] = {TMusic::Intro, TMusic::Game, TMusic::Boss, TMusic::Credits};
  constexpr size_t Seconds = 10 * 20;
  std::vector<size_t> changes;
  for (TMusic piece : pieces) {
    if (piece != TMusic::Intro) changes.push_back(Platform->Audio.size() / 2);
    PlayMusic(piece);
    for (size_t f = 0; f < Seconds; ++f)
      AudioFrame();
  }
  ASSERT_TRUE(StopAudio(error));
  const std::vector<int16_t>& heard = Platform->Audio;
  constexpr size_t L = AudioFrameLength, Fade = 15 * AudioFrameLength;
  for (size_t i = 0; i < changes.size(); ++i) {
    const size_t fade = changes[i], next = fade + Fade;
    // The music's own: the piece before, and the next after its first frame.
    const int own = std::min(LargestStep(heard, fade - (Seconds - 1) * L, fade),
                             LargestStep(heard, next + L, fade + Seconds * L));
    // The fade, and where the next piece starts from it.
    const int change = LargestStep(heard, fade, next + 64);
    EXPECT_LT(change, own) << "the change to " << MusicNames[i + 1];
  }
}
