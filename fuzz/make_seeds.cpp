// fuzz_seeds: writes the seed corpora of the fuzz targets, one folder per target under the
// folder given, with the writers the game's data and the tests are made with: the archive
// writer, the engine's PCX encoder, the test PCX writer and the test game data; the sound
// seeds by the tests' WAV writer, and Debian's oggenc for the Vorbis ones; the settings files
// by the game's own writer; the levels from the game's own and by hand; the records by
// the game's own writer.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/settings_file.h"
#include "fuzz_text_input.h"
#include "gfx/pcx.h"
#include "level/builtin_level.h"
#include "records/records_file.h"
#include "res/res_helpers.h"
#include "support/game_data.h"
#include "support/run_binary.h"
#include "support/sound_files.h"

namespace {

namespace fs = std::filesystem;

fs::path Root;

void Seed(const std::string& target, const std::string& name, const std::string& bytes) {
  const fs::path dir = Root / target;
  fs::create_directories(dir);
  WriteBytes((dir / name).string(), bytes);
}

std::string ReadFile(const fs::path& path) {
  std::string bytes(fs::file_size(path), '\0');
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr || std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
    throw std::runtime_error("cannot read " + path.string());
  std::fclose(file);
  return bytes;
}

// ---- Archives ---------------------------------------------------------------------------

void ArchiveSeeds() {
  // The game's three archives, with every picture shrunk so that the seeds stay small.
  TGameDataSet set = DefaultGameData();
  for (auto& [name, picture] : set.Pictures) {
    picture.Width = 1 + picture.Width % 11;
    picture.Height = 1 + picture.Height % 5;
  }
  set.GlyphWidth = 3;
  set.GlyphHeight = 4;
  const fs::path data = Root / "game-data";
  fs::create_directories(data);
  WriteGameData(data.string(), set);
  for (const char* archive : {"SPRITES.MPK", "FONTS.MPK", "TEXTS.MPK"})
    Seed("fuzz_archive", archive, ReadFile(data / archive));
  fs::remove_all(data);

  Seed("fuzz_archive", "empty.mpk", TArchiveWriter().Bytes());
  TArchiveWriter lines;
  lines.Add("crlf.txt", "first\r\nsecond\r\n")
      .Add("lf.txt", "first\nsecond\n\nfourth")
      .Add("cr.txt", "one\rtwo\r\n\r\nthree")
      .Add("long.txt", std::string(300, 'x') + "\r\nshort")
      .Add("empty.txt", "")
      .Add("EMPTY.TXT", "the second of two names that match")
      .Add(std::string(255, 'n'), "a name that fills its field");
  Seed("fuzz_archive", "lines.mpk", lines.Bytes());
}

// ---- Pictures ---------------------------------------------------------------------------

void PcxSeeds() {
  const int sizes[][2] = {{1, 1}, {2, 2}, {3, 2}, {7, 5}, {16, 16}, {33, 9}, {64, 4}, {130, 2}};
  uint32_t seed = 1;
  for (const auto& size : sizes) {
    const int width = size[0], height = size[1];
    const std::vector<uint8_t> rgb = TestPicture(width, height, seed++);
    std::vector<uint8_t> encoded;
    EncodePcx(rgb.data(), width, height, encoded);
    const std::string tag = std::to_string(width) + "x" + std::to_string(height);
    Seed("fuzz_pcx", "engine-" + tag + ".pcx", ToBytes(encoded));
    Seed("fuzz_pcx", "tests-" + tag + ".pcx", MakePcx(rgb, width, height));
    // Plane lines as other writers lay them out: no padding byte for odd widths, or more
    // bytes than the picture needs.
    for (int extra : {0, 3}) {
      TPcxHeaderFields header = PcxFields(width, height);
      header.BytesPerLine = static_cast<uint16_t>(width + extra);
      Seed("fuzz_pcx", "lines" + std::to_string(width + extra) + "-" + tag + ".pcx",
           PcxHeader(header) + PcxPlanes(rgb, width, height, width + extra));
    }
  }
}

// ---- Texts ------------------------------------------------------------------------------

void TextSeeds() {
  const TGameDataSet game = DefaultGameData();
  int index = 0;
  auto seed = [&index](TTextFuzzInput input) {
    Seed("fuzz_text", "text-" + std::to_string(index++), input.Encode());
  };
  TTextFuzzInput input;
  input.Columns = 19;
  input.Rows = 3;
  input.Metrics = "8\r\n16\r\n";
  for (const auto& [name, text] : game.Texts) {
    input.Text = text;
    seed(input);
  }
  input.Metrics = "4\n6";
  input.Text = "A word that is far too long: Supercalifragilisticexpialidocious, then more.";
  seed(input);
  input.Flags = TTextFuzzInput::Hungarian;
  input.Text =
      "\xa0rv\x82zt\x8br\x81 t\x81k\xd6rf\xa3r\xa2g\x82p \xb5\x90\xd6\xe0\x99\x8a\xe9\x9a\xeb";
  seed(input);
  input.Flags = TTextFuzzInput::Hungarian | TTextFuzzInput::FromPackage;
  input.Metrics = "+5\r\n7\r\n";
  input.SheetScale = 40;  // sheets smaller than their layout
  input.Tint[0] = 3;
  input.Tint[1] = 9;
  input.X = -20;
  input.Y = 590;
  input.Text = "Line one\r\nLine two\r\n{|}~ [\\]^_ :;<=>? !\"#$%&'()*+,-./ 0123456789\r\n";
  seed(input);
}

// ---- Sounds -----------------------------------------------------------------------------

void SoundSeeds() {
  // The target reads one byte of choices (seal the Ogg pages, the size of the pieces) first.
  auto seed = [](const std::string& name, const std::string& file) {
    Seed("fuzz_sound", name, std::string("\x00\x3b", 2) + file);
  };
  const fs::path work = Root / "sound-work";
  fs::create_directories(work);
  auto vorbis = [&](const std::string& name, const std::string& wav) {
    const fs::path source = work / (name + ".wav"), encoded = work / (name + ".ogg");
    WriteBytes(source.string(), wav);
    const TRunResult run = RunBinary(
        "/usr/bin/oggenc", {"-Q", "-q", "0", "-s", "1", source.string(), "-o", encoded.string()});
    if (run.ExitCode != 0) throw std::runtime_error("oggenc failed: " + run.Err);
    seed(name + ".ogg", ReadFile(encoded));
  };
  // Rates above 48 kHz go through the low-pass filter before their conversion.
  const TWavFormat formats[] = {{44100, 2, 16}, {22050, 1, 16}, {8000, 1, 8},
                                {48000, 2, 8},  {96000, 1, 16}, {192000, 2, 16}};
  for (const TWavFormat& format : formats) {
    const std::string name = "tone-" + std::to_string(format.Rate) + "-" +
                             std::to_string(format.Channels) + "ch-" + std::to_string(format.Bits) +
                             "bit";
    const std::string wav = ToneWav(format, 0.05);
    seed(name + ".wav", wav);
    vorbis(name, wav);
  }
  // A stream that decodes to noise at full scale, as a damaged one does.
  vorbis("full-scale", FullScaleSquareWav(0.02, 0.05));
  fs::remove_all(work);
}

// ---- Input scripts ----------------------------------------------------------------------

void ScriptSeeds() {
  Seed("fuzz_input_script", "every-event.txt",
       "# every kind of event\n"
       "0 mouse move 400 300\n"
       "3 mouse left down\n"
       "3 key down 27\n"
       "4\tkey up 27\r\n"
       "10 mouse right up\n"
       "12 window minimize\n"
       "12 window restore\n"
       "\n"
       "20 window close\n");
  Seed("fuzz_input_script", "hold-fire.txt", "1 mouse move 0 599\n1 mouse left down\n");
}

// ---- Levels -----------------------------------------------------------------------------

void LevelSeeds() {
  Seed("fuzz_level", "game.level", std::string(BuiltinLevelText()));
  Seed("fuzz_level", "every-action.level",
       "\xEF\xBB\xBF# every action, a repeat, CR LF line ends\r\n"
       "quibbet-level 1\r\n"
       "name  Every action\r\n"
       "background night.pcx\r\n"
       "music night\r\n"
       "\r\n"
       "5 text 270 295 20 10 10 night.txt  # a comment\r\n"
       "100 m&m 800 600 every 40 times 3\r\n"
       "150 carrot 800 40\r\n"
       "200 grenade 800 bus every 25 times 4\r\n"
       "210 grenade 800 325\r\n"
       "400 bomber 800 10\r\n"
       "900 boss\r\n");
  Seed("fuzz_level", "won-at.level",
       "quibbet-level 1\nname Survive\nbackground background.pcx\nmusic game\nwon-at 600\n"
       "50 m&m 800 0 every 10 times 50\n700 carrot 800 40\n");
}

// ---- Settings files ---------------------------------------------------------------------

void SettingsSeeds() {
  Seed("fuzz_settings", "defaults.ini", FormatSettings(TPlayerSettings{}));
  TPlayerSettings changed;
  changed.FullScreen = false;
  changed.Scale = 3;
  changed.Fit = TFitMode::Integer;
  changed.Volume = 40;
  changed.Mute = true;
  changed.Keys.Fire = {32, 13, 186};
  changed.Keys.Pause = {27};
  changed.KeySpeed = 60;
  changed.PadDeadZone = 0;
  changed.PauseOnFocusLoss = true;
  Seed("fuzz_settings", "changed.ini", FormatSettings(changed));
  Seed("fuzz_settings", "hand-written.ini",
       "; by hand\r\n"
       "[Display]\r\n"
       "Full-Screen = off  # a window\r\n"
       "\tscale=2\r\n"
       "[controls]\r\n"
       "fire = control space key186\r\n"
       "up = f1\r\n");
}

// ---- Records files ----------------------------------------------------------------------

void RecordsSeeds() {
  TGameRecord game;
  game.When = "2026-05-01T14:03:22";
  game.End = TGameEnd::Won;
  game.Seed = 17;
  game.Frames = 2412;
  game.BossFrames = 388;
  game.Health = 60;
  game.CrossesFired = 131;
  game.Hits = 77;
  game.Level = BuiltInLevel;
  game.Data = "3f09c1d2a4b5e6f7";
  game.Recording = "20260501-140322-17.input";
  std::string lost = "game when=2026-05-02T09:00:00 ending=lost seed=3 frames=900 health=-5";
  lost += " fired=12 hits=0 future=1";
  Seed("fuzz_records", "two-games.txt", "# records\n\n" + GameLine(game) + "\n" + lost + "\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds OUTPUT_FOLDER\n");
    return 2;
  }
  Root = argv[1];
  fs::remove_all(Root);
  ArchiveSeeds();
  PcxSeeds();
  TextSeeds();
  ScriptSeeds();
  LevelSeeds();
  SettingsSeeds();
  RecordsSeeds();
  SoundSeeds();
  return 0;
}
