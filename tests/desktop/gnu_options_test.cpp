// The command line as GNU programs have it: --help and --version on standard output with
// status 0, and every error naming its option on standard error with status 2.
#include <gtest/gtest.h>

#include "support/game_data.h"
#include "support/run_binary.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

}  // namespace

TEST(GnuOptions, HelpHasUsageOptionsDataSearchAndExitStatus) {
  const TRunResult help = RunBinary(QUIBBET_BINARY, {"--help"});
  EXPECT_EQ(help.ExitCode, 0);
  EXPECT_TRUE(help.Err.empty()) << help.Err;
  const std::vector<std::string> lines = Lines(help.Out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "Usage: quibbet [OPTION]...");
  // Options with a value show it GNU-style, "--name=VALUE".
  for (const char* option :
       {"      --data=DIR ", "      --window ", "      --scale=N ", "      --integer-scale ",
        "      --headless ", "      --turbo ", "      --seed=N ", "      --input=FILE ",
        "      --max-frames=N ", "      --record=DIR ", "      --record-every=K ",
        "      --record-frames=LIST ", "      --summary=FILE ", "      --autoplay ",
        "      --help ", "      --version "})
    EXPECT_NE(help.Out.find(option), std::string::npos) << option;
  for (const char* part : {"$XDG_DATA_HOME/quibbet", "$XDG_DATA_DIRS", "Exit status:"})
    EXPECT_NE(help.Out.find(part), std::string::npos) << part;
  for (const std::string& line : lines)  // an 80-column terminal shows it unbroken
    EXPECT_LT(line.size(), 80u) << line;
}

TEST(GnuOptions, VersionNamesProgramPackageAndVersion) {
  const TRunResult version = RunBinary(QUIBBET_BINARY, {"--version"});
  EXPECT_EQ(version.ExitCode, 0);
  const std::vector<std::string> lines = Lines(version.Out);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "quibbet (Save Quibbet!) " QUIBBET_PROJECT_VERSION);
  EXPECT_EQ(lines[1].rfind("Copyright (C) ", 0), 0u) << lines[1];
}

TEST(GnuOptions, ErrorsNameTheOptionAndPointToHelp) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--no-such-option"}, "unrecognized option '--no-such-option'"},
      {{"stray"}, "unexpected argument 'stray'"},
      {{"--max-frames", "lots"}, "--max-frames: 'lots' is not a whole number above 0"},
      {{"--record-every=0"}, "--record-every: '0' is not a whole number above 0"},
      {{"--seed", "-5"}, "invalid argument '-5' for '--seed'"},
      {{"--scale", "17"}, "--scale"},
      {{"--scale"}, "option '--scale' requires an argument"},
      {{"--window=0"}, "option '--window' doesn't allow an argument"},
      {{"--data", "/no/such/folder"}, "--data"},
      {{"--input", "/no/such/script"}, "--input"},
  };
  for (const auto& [args, message] : cases) {
    const TRunResult run = RunBinary(QUIBBET_BINARY, args);
    EXPECT_EQ(run.ExitCode, 2) << args.front();
    EXPECT_TRUE(run.Out.empty()) << args.front();
    const std::vector<std::string> lines = Lines(run.Err);
    ASSERT_EQ(lines.size(), 2u) << run.Err;
    EXPECT_EQ(lines[0].rfind("quibbet: ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(message), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1], "Try 'quibbet --help' for more information.");
  }
}

TEST(GnuOptions, IntegerScaleIsAnOptionOfItsOwn) {
  const std::string data = ScratchDir("gnu_options_data");
  WriteGameData(data);
  const TRunResult run = RunBinary(QUIBBET_BINARY, {"--integer-scale", "--headless", "--turbo",
                                                    "--data", data, "--max-frames", "2"});
  EXPECT_EQ(run.ExitCode, 0) << run.Err;
}
