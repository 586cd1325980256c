// The options of a run, one table for the command line and the web page's address: what the
// player, a test or a recording asks of this run. Help, version and errors follow the GNU
// conventions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TOptions {
  std::string DataDir;  // the only folder searched for the archives; empty: the search path
  std::vector<std::string> Mods;  // folders of archives laid over the data, the last on top,
                                  // or the names of mods that --mods lists
  bool ListMods = false;          // list the mods found instead of playing
  std::string LevelFile;          // a level file played instead of the data's level
  bool PrintLevel = false;        // print the level in force instead of playing
  // Display, sound and settings: unset, the settings file decides.
  bool Window = false;
  bool FullScreen = false;
  std::optional<int> Scale;
  bool IntegerScale = false;  // whole multiples only, instead of sharp-then-smooth
  std::string ConfigFile;     // another settings file than the usual one
  bool Headless = false;
  bool Turbo = false;
  std::optional<uint32_t> Seed;
  std::string InputFile;
  uint64_t MaxFrames = 0;  // 0: no limit
  std::string RecordDir;
  uint64_t RecordEvery = 1;
  std::vector<uint64_t> RecordFrames;
  std::string SummaryFile;  // "-" is stdout
  bool Autoplay = false;    // the built-in pilot plays the game
  bool Mute = false;
  std::optional<int> Volume;      // 0 to 100
  std::string RecordAudioFile;    // the game's sound as a WAV file
  std::string SaveInputFile;      // what the player did, as an input script
  bool Records = false;           // print the player's records instead of playing
  bool Json = false;              // print them as JSON
  std::optional<uint32_t> Watch;  // play record N again
};

enum class TOptionsResult {
  Run,      // go on with the options
  Done,     // --help or --version answered on stdout
  BadUsage  // message printed on stderr; exit with 2
};

// Who gives the options: the command line takes them all; a page's address only those that
// mean something in a browser (seed, autoplay, turbo, mute, volume, max-frames,
// record-frames, input, and mod and level, which the page fetches into files of its own),
// and flags with a value ("autoplay=1").
enum class TOptionSource { CommandLine, Address };

// Reads `args` (the options alone, without the program's name: "--seed=5", "--autoplay") as
// `source` takes them. Done: `text` is the help or the version; BadUsage: `text` says what is
// wrong, naming the option ("invalid argument '-1' for '--seed'").
TOptionsResult ReadOptions(const std::vector<std::string>& args, TOptionSource source,
                           TOptions& options, std::string& text);

// Whether `source` takes the option `name` ("seed", without its dashes).
bool TakesOption(TOptionSource source, std::string_view name);

// The command line of main(): the help or version on stdout, a wrong option on stderr with a
// pointer to --help.
TOptionsResult ParseOptions(int argc, const char* const* argv, TOptions& options);

// The first line of --version: "quibbet (Save Quibbet!) VERSION".
std::string VersionLine();
