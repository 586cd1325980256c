// The options' table in CLI11, read from the command line or from a page's address. The help
// is laid out the GNU way (usage line, grouped options with "--name=VALUE", the data search
// order, exit status), and an error names the option it is about and points at --help.
#include "app/options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>

#ifndef QUIBBET_VERSION
#define QUIBBET_VERSION "0.1.0"
#endif

namespace {

constexpr const char* Program = "quibbet";

constexpr const char* Description =
    "Play Save Quibbet!, a side-scrolling shooter: the bus follows the mouse, the\n"
    "left button fires, Space gives up the fight, Escape ends the running scene.\n";

constexpr const char* Epilogue =
    "Controls (the keys can be changed in the settings file):\n"
    "  mouse, Up/Down, W/S    steer the bus      left button, Ctrl, Z, J   fire\n"
    "  P, Pause               pause and menu     Escape   end the scene\n"
    "  Space                  give up the fight  - and +, M   volume, mute\n"
    "  F11, Alt+Enter         full screen        F12      screenshot\n"
    "  gamepad: stick or D-pad steers, A or the right trigger fires, Start\n"
    "  pauses, Back is Escape.\n"
    "The pause shows a menu: Resume, Options (sound, display, keys), Records,\n"
    "Quit. Arrows or W/S move and change, Enter chooses, Escape goes back.\n"
    "\n"
    "Settings (full screen, scale, volume, keys, pad dead zone, pause on focus\n"
    "loss) are kept in $XDG_CONFIG_HOME/quibbet/settings.ini (default\n"
    "~/.config/quibbet/settings.ini), or the file of --config; the command line\n"
    "wins over them for the run, and only what is changed in the game is written\n"
    "back. Games played to their end are kept in $XDG_DATA_HOME/quibbet/records.txt\n"
    "(default ~/.local/share/quibbet), the best ten with their input in\n"
    "recordings/ beside it. Screenshots go to $XDG_PICTURES_DIR/quibbet\n"
    "(default ~/Pictures/quibbet).\n"
    "\n"
    "Without --data, the game's archives (SPRITES.MPK, FONTS.MPK, TEXTS.MPK) are\n"
    "taken from the first of these folders that holds all three:\n"
    "  the working directory;\n"
    "  $XDG_DATA_HOME/quibbet (default ~/.local/share/quibbet);\n"
    "  the data folder installed with the program (PREFIX/share/quibbet);\n"
    "  DIR/quibbet for each DIR of $XDG_DATA_DIRS\n"
    "    (default /usr/local/share:/usr/share).\n"
    "The sound comes from SOUNDS.MPK in the same folder; without it the game is\n"
    "silent. --headless plays no sound, but --record-audio records it.\n"
    "\n"
    "Mods are folders of archives laid over the game's data. --mod NAME finds\n"
    "one in mods/ of those folders (the working directory's aside), and of the\n"
    "player's data folder; --mods lists them.\n"
    "\n"
    "Exit status:\n"
    " 0  if the run ended normally (Escape and a closed window included),\n"
    " 1  after a fatal error box,\n"
    " 2  if the command line, the input script or the level file is wrong.\n"
    "\n"
    "Full documentation: man 6 quibbet\n";

// GNU layout: "      --name=VALUE   text", descriptions in one column, groups in the order
// their first option was added.
class TGnuHelp : public CLI::FormatterBase {
 public:
  std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const override {
    std::string text = std::string("Usage: ") + Program + " [OPTION]...\n" + Description;
    std::vector<std::string> groups;
    for (const CLI::Option* option : app->get_options())
      if (std::find(groups.begin(), groups.end(), option->get_group()) == groups.end())
        groups.push_back(option->get_group());
    for (const std::string& group : groups) {
      text += "\n";
      if (group != "Information") text += group + ":\n";
      for (const CLI::Option* option :
           app->get_options([&](const CLI::Option* o) { return o->get_group() == group; }))
        text += Line(*option);
    }
    return text + "\n" + Epilogue;
  }

 private:
  static std::string Line(const CLI::Option& option) {
    std::string names = "      --" + option.get_lnames().front();
    if (!option.get_option_text().empty()) names += "=" + option.get_option_text();
    constexpr size_t Column = 29;
    std::string line = names + (names.size() + 2 <= Column ? std::string(Column - names.size(), ' ')
                                                           : "\n" + std::string(Column, ' '));
    // Continuation lines of a description line up under its first line.
    for (char c : option.get_description()) {
      line += c;
      if (c == '\n') line += std::string(Column, ' ');
    }
    return line + "\n";
  }
};

std::string VersionText() {
  return VersionLine() +
         "\nCopyright (C) 2026 the Save Quibbet! developers.\n"
         "There is NO WARRANTY, to the extent permitted by law.\n";
}

// A positive whole number, said in words instead of CLI11's range of doubles.
const CLI::Validator PositiveWhole(
    [](std::string& value) -> std::string {
      const bool digits =
          !value.empty() && value.find_first_not_of("0123456789") == std::string::npos;
      if (digits && value.find_first_not_of('0') != std::string::npos) return "";
      return "'" + value + "' is not a whole number above 0";
    },
    "N");

// CLI11 lets a flag take a value ("--window=0"); a GNU program refuses it. (A page's address
// keeps CLI11's way: links have long said "autoplay=1".)
std::string FlagWithValue(const CLI::App& app, int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--") break;
    const size_t equals = arg.find('=');
    if (arg.rfind("--", 0) != 0 || equals == std::string::npos) continue;
    const std::string name = arg.substr(0, equals);
    const CLI::Option* option = app.get_option_no_throw(name);
    if (option != nullptr && option->get_expected_max() == 0)
      return "option '" + name + "' doesn't allow an argument";
  }
  return "";
}

// The text of a parse error, in the GNU form "quibbet: ..." and naming the option; CLI11
// words some errors its own way.
std::string ErrorText(const CLI::ParseError& error) {
  const std::string what = error.what();
  auto after = [&](const std::string& prefix) {
    return what.rfind(prefix, 0) == 0 ? what.substr(prefix.size()) : std::string();
  };
  if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
    std::string extra = after("The following argument was not expected: ");
    if (extra.empty()) extra = after("The following arguments were not expected: ");
    if (extra.empty()) return what;
    if (extra.rfind("-", 0) == 0) return "unrecognized option '" + extra + "'";
    return "unexpected argument '" + extra + "'";
  }
  if (dynamic_cast<const CLI::ConversionError*>(&error) != nullptr) {
    const std::string item = after("Could not convert: ");  // "--seed = -5"
    const size_t equals = item.find(" = ");
    if (equals == std::string::npos) return what;
    return "invalid argument '" + item.substr(equals + 3) + "' for '" + item.substr(0, equals) +
           "'";
  }
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr &&
      what.find("missing") != std::string::npos) {
    return "option '" + what.substr(0, what.find(':')) + "' requires an argument";
  }
  return what;
}

// The options a page's address takes: those with a meaning in a browser, which has no window
// of its own to size and no files or folders but the page's.
constexpr std::string_view AddressOptions[] = {"seed",   "autoplay",   "turbo",         "mute",
                                               "volume", "max-frames", "record-frames", "input",
                                               "mod",    "level"};

// The one table of options, in the order of the help, as `source` takes them.
void AddOptions(CLI::App& app, TOptions& options, TOptionSource source) {
  app.formatter(std::make_shared<TGnuHelp>());

  const std::string display = "Display";
  app.add_flag("--window", options.Window, "play in a window instead of full screen")
      ->group(display);
  app.add_flag("--full-screen", options.FullScreen, "play full screen")->group(display);
  app.add_option("--scale", options.Scale, "make the window N times 800 x 600 (1 to 16)")
      ->option_text("N")
      ->check(CLI::Range(1, 16))
      ->group(display);
  app.add_flag("--integer-scale", options.IntegerScale,
               "enlarge the picture by whole multiples only, with\n"
               "wider borders (default: whole multiples, then\n"
               "smoothed to fill the screen)")
      ->group(display);
  app.add_flag("--headless", options.Headless,
               "show nothing: frames stay in memory, boxes go to\nstandard error")
      ->group(display);

  const std::string game = "Game";
  app.add_option("--data", options.DataDir,
                 "take SPRITES.MPK, FONTS.MPK and TEXTS.MPK from DIR\nand nowhere else")
      ->option_text("DIR")
      ->check(CLI::ExistingDirectory)
      ->group(game);
  app.add_option("--mod", options.Mods,
                 "lay the mod in DIR, or the mod NAME of --mods,\nover the game's data (again "
                 "for more mods: the\nlast one wins)")
      ->option_text("DIR")
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
      ->group(game);
  app.add_flag("--mods", options.ListMods,
               "list the mods in the player's and the system's\ndata folders and exit")
      ->group(game);
  app.add_option("--level", options.LevelFile, "play the level file FILE instead of the data's")
      ->option_text("FILE")
      ->check(CLI::ExistingFile)
      ->group(game);
  app.add_flag("--print-level", options.PrintLevel,
               "print the level in force and exit: a start for\na level of your own")
      ->group(game);
  app.add_option("--seed", options.Seed, "seed the game's random numbers with N")
      ->option_text("N")
      ->group(game);
  app.add_flag("--autoplay", options.Autoplay, "let the built-in pilot play the game")->group(game);
  app.add_option("--config", options.ConfigFile,
                 "keep the settings in FILE instead of\n$XDG_CONFIG_HOME/quibbet/settings.ini")
      ->option_text("FILE")
      ->group(game);
  CLI::Option* records =
      app.add_flag("--records", options.Records, "list the best games kept, and exit")->group(game);
  app.add_flag("--json", options.Json, "list them as JSON")->needs(records)->group(game);
  CLI::Option* watch = app.add_option("--watch", options.Watch, "play again game N of --records")
                           ->option_text("N")
                           ->check(PositiveWhole)
                           ->group(game);

  const std::string sound = "Sound";
  app.add_flag("--mute", options.Mute, "play without sound (--record-audio still records\nit)")
      ->group(sound);
  app.add_option("--volume", options.Volume, "play the sound at volume N, 0 to 100")
      ->option_text("N")
      ->check(CLI::Range(0, 100))
      ->group(sound);

  const std::string testing = "Testing and recording";
  app.add_flag("--turbo", options.Turbo, "run on a virtual clock: no frame delay, no pauses")
      ->group(testing);
  CLI::Option* input =
      app.add_option("--input", options.InputFile, "play the input script FILE (see the manual)")
          ->option_text("FILE")
          ->group(testing);
  // The page fetched the address's script into a file of its own; the run names one it
  // cannot read.
  if (source == TOptionSource::CommandLine) input->check(CLI::ExistingFile);
  watch->excludes(input)->excludes(records);
  app.add_option("--save-input", options.SaveInputFile,
                 "write what the player did to FILE, an input script\nthat --input plays again")
      ->option_text("FILE")
      ->group(testing);
  app.add_option("--max-frames", options.MaxFrames, "end the run after N frames in all")
      ->option_text("N")
      ->check(PositiveWhole)
      ->group(testing);
  app.add_option("--record", options.RecordDir, "write frames as DIR/frame_NNNNNN.png")
      ->option_text("DIR")
      ->group(testing);
  app.add_option("--record-every", options.RecordEvery, "record every K-th frame (default 1)")
      ->option_text("K")
      ->check(PositiveWhole)
      ->group(testing);
  app.add_option("--record-frames", options.RecordFrames,
                 "record only these global frame indices\n(comma-separated)")
      ->option_text("LIST")
      ->delimiter(',')
      ->group(testing);
  app.add_option("--record-audio", options.RecordAudioFile,
                 "write the game's sound to FILE as a WAV file")
      ->option_text("FILE")
      ->group(testing);
  app.add_option("--summary", options.SummaryFile,
                 "write a JSON summary of the run to FILE ('-' for\nstandard output)")
      ->option_text("FILE")
      ->group(testing);

  if (source == TOptionSource::Address) {
    for (CLI::Option* option : app.get_options())  // CLI11's own --help among them
      if (std::find(std::begin(AddressOptions), std::end(AddressOptions),
                    option->get_lnames().front()) == std::end(AddressOptions))
        app.remove_option(option);
    return;
  }
  // Added last, so that they come last in the help, as GNU programs list them.
  app.set_help_flag("--help", "display this help and exit")->group("Information");
  app.set_version_flag("--version", VersionText(), "output version information and exit")
      ->group("Information");
}

}  // namespace

std::string VersionLine() {
  return std::string(Program) + " (Save Quibbet!) " + QUIBBET_VERSION;
}

TOptionsResult ReadOptions(const std::vector<std::string>& args, TOptionSource source,
                           TOptions& options, std::string& text) {
  CLI::App app{Description, Program};
  AddOptions(app, options, source);
  std::vector<const char*> argv{Program};
  for (const std::string& arg : args)
    argv.push_back(arg.c_str());
  const int argc = static_cast<int>(argv.size());
  if (source == TOptionSource::CommandLine) {
    text = FlagWithValue(app, argc, argv.data());
    if (!text.empty()) return TOptionsResult::BadUsage;
  }
  try {
    app.parse(argc, argv.data());
  } catch (const CLI::CallForHelp&) {
    text = app.help();
    return TOptionsResult::Done;
  } catch (const CLI::CallForVersion&) {
    text = VersionText();
    return TOptionsResult::Done;
  } catch (const CLI::ParseError& error) {
    text = ErrorText(error);
    return TOptionsResult::BadUsage;
  }
  return TOptionsResult::Run;
}

bool TakesOption(TOptionSource source, std::string_view name) {
  CLI::App app{Description, Program};
  TOptions options;
  AddOptions(app, options, source);
  return app.get_option_no_throw("--" + std::string(name)) != nullptr;
}

TOptionsResult ParseOptions(int argc, const char* const* argv, TOptions& options) {
  std::string text;
  const TOptionsResult result =
      ReadOptions(std::vector<std::string>(argv + std::min(argc, 1), argv + argc),
                  TOptionSource::CommandLine, options, text);
  if (result == TOptionsResult::Done) std::fputs(text.c_str(), stdout);
  if (result == TOptionsResult::BadUsage)
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", Program, text.c_str(),
                 Program);
  return result;
}
