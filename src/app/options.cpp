// Command-line parsing with CLI11, which also writes --help.
#include "app/options.h"

#include <CLI/CLI.hpp>

TOptionsResult ParseOptions(int argc, const char* const* argv, TOptions& options) {
  CLI::App app{"Save Quibbet! - a side-scrolling shooter.", "quibbet"};
  app.set_version_flag("--version", "quibbet 0.1.0");
  app.add_option("--data", options.DataDir, "Folder holding SPRITES.MPK, FONTS.MPK, TEXTS.MPK")
      ->check(CLI::ExistingDirectory);
  app.add_flag("--window", options.Window, "Play in a window instead of full screen");
  app.add_option("--scale", options.Scale, "Window size as a multiple of 800 x 600")
      ->check(CLI::Range(1, 16));
  app.add_flag("--headless", options.Headless, "No display: frames stay in memory");
  app.add_flag("--turbo", options.Turbo, "No frame delay and no start or stop pauses");
  app.add_option("--seed", options.Seed, "Seed of the game's random numbers");
  app.add_option("--input", options.InputFile, "Input script to play (see README)")
      ->check(CLI::ExistingFile);
  app.add_option("--max-frames", options.MaxFrames, "End the run after N frames in all")
      ->check(CLI::PositiveNumber);
  app.add_option("--record", options.RecordDir, "Write frames as DIR/frame_NNNNNN.png");
  app.add_option("--record-every", options.RecordEvery, "Record every K-th frame (default 1)")
      ->check(CLI::PositiveNumber);
  app.add_option("--record-frames", options.RecordFrames,
                 "Record only these global frame indices (comma-separated)")
      ->delimiter(',');
  app.add_option("--summary", options.SummaryFile, "Write a JSON summary of the run ('-': stdout)");
  app.add_flag("--autoplay", options.Autoplay, "Let the built-in pilot play the game");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? TOptionsResult::Done : TOptionsResult::BadUsage;
  }
  return TOptionsResult::Run;
}
