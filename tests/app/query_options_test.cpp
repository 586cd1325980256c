// The options of a web page's address: the command line's meanings, the host site's own
// parameters passed over, and a wrong value named.
#include <gtest/gtest.h>

#include "app/query_options.h"

TEST(QueryOptions, TakeTheCommandLinesNamesAndMeanings) {
  TOptions options;
  std::string error;
  ASSERT_TRUE(
      ParseQueryOptions("?seed=42&autoplay=1&turbo&mute=true&volume=30&max-frames=900"
                        "&record-frames=0,10,20&input=%2Finput.txt&data=my+mod%2F&utm=x",
                        options, error))
      << error;
  EXPECT_EQ(options.Seed, 42u);
  EXPECT_TRUE(options.Autoplay && options.Turbo && options.Mute);
  EXPECT_EQ(options.Volume, 30);
  EXPECT_EQ(options.MaxFrames, 900u);
  EXPECT_EQ(options.RecordFrames, (std::vector<uint64_t>{0, 10, 20}));
  EXPECT_EQ(options.InputFile, "/input.txt");
  EXPECT_EQ(options.DataDir, "my mod/");

  ASSERT_TRUE(ParseQueryOptions("autoplay=0&&turbo=off", options, error));
  EXPECT_FALSE(options.Autoplay || options.Turbo);
}

TEST(QueryOptions, AWrongValueIsNamed) {
  const std::pair<const char*, const char*> wrong[] = {
      {"seed=-1", "invalid value '-1' for 'seed'"},
      {"seed=4294967296", "invalid value '4294967296' for 'seed'"},
      {"volume=101", "invalid value '101' for 'volume'"},
      {"max-frames=0", "invalid value '0' for 'max-frames'"},
      {"autoplay=maybe", "invalid value 'maybe' for 'autoplay'"},
      {"record-frames=1,,2", "invalid value '1,,2' for 'record-frames'"},
  };
  for (const auto& [query, message] : wrong) {
    TOptions options;
    std::string error;
    EXPECT_FALSE(ParseQueryOptions(query, options, error)) << query;
    EXPECT_EQ(error, message);
  }
}
