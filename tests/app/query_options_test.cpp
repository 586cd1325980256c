// The options of a web page's address: the command line's names, meanings and words for a
// wrong value, and the parameters the game does not take named and passed over.
#include <gtest/gtest.h>

#include "app/query_options.h"

namespace {

// What the command line says of these arguments; empty when it takes them.
std::string CommandLineError(const std::vector<std::string>& args) {
  TOptions options;
  std::string text;
  return ReadOptions(args, TOptionSource::CommandLine, options, text) == TOptionsResult::BadUsage
             ? text
             : "";
}

}  // namespace

TEST(QueryOptions, TakeTheCommandLinesNamesAndMeanings) {
  TOptions options;
  std::vector<std::string> notes;
  std::string error;
  ASSERT_TRUE(ReadQueryOptions({{"seed", "42"},
                                {"autoplay", "1"},
                                {"turbo", ""},
                                {"mute", "true"},
                                {"volume", "30"},
                                {"max-frames", "900"},
                                {"record-frames", "0,10,20"},
                                {"input", "/input.txt"}},
                               options, notes, error))
      << error;
  EXPECT_EQ(options.Seed, 42u);
  EXPECT_TRUE(options.Autoplay && options.Turbo && options.Mute);
  EXPECT_EQ(options.Volume, 30);
  EXPECT_EQ(options.MaxFrames, 900u);
  EXPECT_EQ(options.RecordFrames, (std::vector<uint64_t>{0, 10, 20}));
  EXPECT_EQ(options.InputFile, "/input.txt");
  EXPECT_TRUE(notes.empty());

  TOptions off;
  ASSERT_TRUE(ReadQueryOptions({{"autoplay", "0"}, {"turbo", "off"}}, off, notes, error));
  EXPECT_FALSE(off.Autoplay || off.Turbo);
}

TEST(QueryOptions, AWrongValueGetsTheCommandLinesWords) {
  const std::pair<TQueryParameter, std::vector<std::string>> wrong[] = {
      {{"seed", "-1"}, {"--seed=-1"}},
      {{"seed", "4294967296"}, {"--seed=4294967296"}},
      {{"seed", ""}, {"--seed"}},
      {{"volume", "101"}, {"--volume", "101"}},
      {{"max-frames", "0"}, {"--max-frames=0"}},
      {{"max-frames", "lots"}, {"--max-frames", "lots"}},
      {{"record-frames", "1,x"}, {"--record-frames=1,x"}},
  };
  for (const auto& [parameter, args] : wrong) {
    TOptions options;
    std::vector<std::string> notes;
    std::string error;
    EXPECT_FALSE(ReadQueryOptions({parameter}, options, notes, error)) << parameter.Name;
    EXPECT_FALSE(error.empty()) << parameter.Name;
    EXPECT_EQ(error, CommandLineError(args));
  }
}

TEST(QueryOptions, AFlagsWrongValueIsNamed) {
  TOptions options;
  std::vector<std::string> notes;
  std::string error;
  EXPECT_FALSE(ReadQueryOptions({{"autoplay", "maybe"}}, options, notes, error));
  EXPECT_EQ(error, "invalid argument 'maybe' for '--autoplay'");
}

TEST(QueryOptions, AParameterTheGameDoesNotTakeIsNamedAndPassedOver) {
  TOptions options;
  std::vector<std::string> notes;
  std::string error;
  // A typo, the hosting site's own, and options a browser has no use for.
  ASSERT_TRUE(ReadQueryOptions(
      {{"Seed", "5"}, {"seed", "7"}, {"utm_source", "x"}, {"headless", ""}, {"data", "mod/"}},
      options, notes, error))
      << error;
  EXPECT_EQ(options.Seed, 7u);
  EXPECT_FALSE(options.Headless);
  EXPECT_TRUE(options.DataDir.empty());
  ASSERT_EQ(notes.size(), 4u);
  EXPECT_EQ(notes[0], "unrecognized option 'Seed' in the address; the game starts without it");
  EXPECT_NE(notes[3].find("'data'"), std::string::npos);
}
