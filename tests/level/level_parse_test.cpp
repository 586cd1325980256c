// The level format: what a level file says, what the writer makes of a level, and every
// fault the parser names with its line, caps included.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

#include "level/builtin_level.h"
#include "level/level.h"
#include "level/level_in_force.h"

using ::testing::HasSubstr;

namespace {

const std::string Header =
    "quibbet-level 1\n"
    "name Test level\n"
    "background background.pcx\n"
    "music game\n";
constexpr int HeaderLines = 4;

TLevel Parsed(const std::string& text) {
  TLevelNote error;
  std::optional<TLevel> level = ParseLevel(text, error);
  EXPECT_TRUE(level) << "line " << error.Line << ": " << error.Reason;
  return level.value_or(TLevel{});
}

TLevelNote Fault(const std::string& text) {
  TLevelNote error;
  EXPECT_FALSE(ParseLevel(text, error)) << text.substr(0, 200);
  return error;
}

std::string Row(const TLevelRow& row) {
  return std::to_string(row.Frame) + " " + ActionWord(row.Action) + " " + std::to_string(row.X) +
         "," + (row.AtBus ? "bus" : std::to_string(row.Y));
}

}  // namespace

// ---- Reading ----------------------------------------------------------------------------

TEST(LevelFormat, TheGamesOwnLevelIsTheTimetableItAlwaysHad) {
  const TLevel& level = BuiltinLevel();
  EXPECT_EQ(level.Background, "background.pcx");
  EXPECT_EQ(level.Music, "game");
  EXPECT_EQ(level.WonAt, 0);
  std::vector<std::string> starts;
  for (const TLevelEvent& event : LevelSchedule(level)) {
    TLevelRow row = level.Rows[event.Row];
    row.Frame = event.Frame;
    starts.push_back(Row(row));
  }
  const std::vector<std::string> expected = {
      "5 text 270,295",       "100 m&m 800,600",      "170 m&m 800,0",
      "230 m&m 800,0",        "280 m&m 800,600",      "350 grenade 800,325",
      "400 carrot 800,40",    "600 carrot 800,400",   "1100 grenade 800,bus",
      "1150 grenade 800,bus", "1200 grenade 800,bus", "1250 grenade 800,bus",
      "1300 grenade 800,bus", "1350 grenade 800,bus", "1400 bomber 800,10",
      "1900 boss 0,0"};
  EXPECT_EQ(starts, expected);
  const TLevelRow& hint = level.Rows.front();
  EXPECT_EQ(hint.TextFile, "hint.txt");
  EXPECT_EQ(hint.Hold, 20);
  EXPECT_EQ(hint.FadeIn, 10);
  EXPECT_EQ(hint.FadeOut, 10);
}

TEST(LevelFormat, EveryActionReadsItsArguments) {
  const TLevel level = Parsed(Header +
                              "10 text 1 2 3 4 5 intro-2.txt\n"
                              "20 m&m 800 600\n"
                              "30 carrot 0 0\n"
                              "40 grenade 799 bus\n"
                              "40 grenade 5 6\n"
                              "50 bomber 700 20\n"
                              "60 boss\n");
  ASSERT_EQ(level.Rows.size(), 7u);
  const TLevelRow& text = level.Rows[0];
  EXPECT_EQ(text.Action, TLevelAction::Text);
  EXPECT_EQ(std::tie(text.X, text.Y, text.Hold, text.FadeIn, text.FadeOut),
            std::make_tuple(int16_t{1}, int16_t{2}, uint16_t{3}, uint8_t{4}, uint8_t{5}));
  EXPECT_EQ(text.TextFile, "intro-2.txt");
  EXPECT_EQ(Row(level.Rows[1]), "20 m&m 800,600");
  EXPECT_EQ(Row(level.Rows[2]), "30 carrot 0,0");
  EXPECT_EQ(Row(level.Rows[3]), "40 grenade 799,bus");
  EXPECT_EQ(Row(level.Rows[4]), "40 grenade 5,6");
  EXPECT_EQ(Row(level.Rows[5]), "50 bomber 700,20");
  EXPECT_EQ(level.Rows[6].Action, TLevelAction::Boss);
  EXPECT_EQ(level.Rows[6].Line, HeaderLines + 7);
}

TEST(LevelFormat, CommentsBlankLinesTabsCrLfAndAByteOrderMarkAreWelcome) {
  const TLevel level = Parsed(
      "\xEF\xBB\xBF# a level\r\n"
      "\r\n"
      "  quibbet-level   1   # the format\r\n"
      "name \t Night  over  Quibbet \t# two spaces kept inside\r\n"
      "background\tnight.pcx\r\n"
      "music night   # Stücke: UTF-8 in a comment\r\n"
      "won-at 900\n"
      "\t100\tm&m\t800\t0\r\n");
  EXPECT_EQ(level.Name, "Night  over  Quibbet");
  EXPECT_EQ(level.Background, "night.pcx");
  EXPECT_EQ(level.WonAt, 900);
  EXPECT_EQ(level.WonAtLine, 7);
  ASSERT_EQ(level.Rows.size(), 1u);
  EXPECT_EQ(level.Rows[0].Line, 8);
}

TEST(LevelFormat, RepeatsSpreadOutAndShareFramesInRowOrder) {
  const TLevel level = Parsed(Header +
                              "100 m&m 800 0 every 30 times 3\n"
                              "130 carrot 800 40\n"
                              "150 grenade 800 bus every 10 times 2\n"
                              "160 boss\n");
  std::vector<std::pair<int, int>> starts;  // frame, row
  for (const TLevelEvent& event : LevelSchedule(level))
    starts.push_back({event.Frame, event.Row});
  EXPECT_EQ(starts, (std::vector<std::pair<int, int>>{
                        {100, 0}, {130, 0}, {130, 1}, {150, 2}, {160, 0}, {160, 2}, {160, 3}}));
}

TEST(LevelFormat, AWrittenLevelReadsBackAsTheSameLevel) {
  const std::string text = Header + "won-at 65535\n" +
                           "1 text 799 599 1000 32 1 a&b_c-d.txt\n"
                           "7 grenade 0 bus every 65534 times 1\n"  // once: no repeat
                           "9 m&m 3 4 every 7 times 1000\n"
                           "9 bomber 800 600\n";
  const TLevel level = Parsed(text);
  const std::string written = FormatLevel(level);
  EXPECT_EQ(FormatLevel(Parsed(written)), written);
  EXPECT_THAT(written, HasSubstr("\n7 grenade 0 bus\n9 m&m 3 4 every 7 times 1000\n"));
  EXPECT_EQ(FormatLevel(Parsed(FormatLevel(BuiltinLevel()))), FormatLevel(BuiltinLevel()));
  EXPECT_EQ(BuiltinLevelText().substr(0, 1), "#") << "the file as written, comments and all";
}

// ---- Faults -----------------------------------------------------------------------------

struct TFaultCase {
  std::string Text;
  int Line;
  std::string Reason;  // a part of it
};

void PrintTo(const TFaultCase& c, std::ostream* os) {
  *os << "line " << c.Line << " '" << c.Reason << "'";
}

class LevelFault : public ::testing::TestWithParam<TFaultCase> {};

TEST_P(LevelFault, NamesTheLineAndTheReason) {
  const TLevelNote error = Fault(GetParam().Text);
  EXPECT_EQ(error.Line, GetParam().Line) << error.Reason;
  EXPECT_THAT(error.Reason, HasSubstr(GetParam().Reason));
}

const std::string Boss = "1900 boss\n";
const int Row1 = HeaderLines + 1;

INSTANTIATE_TEST_SUITE_P(
    File, LevelFault,
    ::testing::Values(TFaultCase{"", 1, "the file is empty"},
                      TFaultCase{"\n# nothing\n\n", 3, "is empty"},
                      TFaultCase{"\x7F"
                                 "ELF\x02\x01\x01",
                                 1, "control byte (0x7f)"},
                      TFaultCase{"quibbet-level 1\nname caf\xC3\xA9\n", 2,
                                 "not ASCII (0xc3) outside a comment"},
                      TFaultCase{"quibbet-level 1\nname a\rb\n", 2, "control byte (0x0d)"},
                      TFaultCase{"level 1\n", 1, "not a level file"},
                      TFaultCase{"quibbet-level 2\n", 1, "of format 2; this game reads format 1"}));

INSTANTIATE_TEST_SUITE_P(
    Header, LevelFault,
    ::testing::Values(
        TFaultCase{"quibbet-level 1\nauthor me\n", 2, "unknown header line 'author'"},
        TFaultCase{"quibbet-level 1\nboss\n", 2, "a row begins with its frame"},
        TFaultCase{"quibbet-level 1\nname a\nname b\n", 3, "given twice (first on line 2)"},
        TFaultCase{"quibbet-level 1\nname \n", 2, "the name is empty"},
        TFaultCase{"quibbet-level 1\nname " + std::string(61, 'n') + "\n", 2, "longer than 60"},
        TFaultCase{"quibbet-level 1\nbackground a.png\n", 2, "'a.png' is not a .pcx file"},
        TFaultCase{"quibbet-level 1\nbackground ../x.pcx\n", 2, "holds '/'"},
        TFaultCase{"quibbet-level 1\nbackground\n", 2, "expected 'background FILE.pcx'"},
        TFaultCase{"quibbet-level 1\nmusic game.ogg\n", 2, "music's name 'game.ogg' holds '.'"},
        TFaultCase{"quibbet-level 1\nwon-at 0\n", 2, "must be 1 to 65535, not 0"},
        TFaultCase{"quibbet-level 1\nname a\nbackground b.pcx\n5 boss\n", 4, "no 'music' line"},
        TFaultCase{Header + Boss + "name again\n", Row1 + 1, "above the first row"},
        TFaultCase{Header, HeaderLines, "no timetable"},
        TFaultCase{Header + "10 m&m 1 1\n", Row1, "no boss and no 'won-at FRAME'"},
        TFaultCase{Header + "won-at 50\n" + Boss, Row1, "won by beating her"}));

INSTANTIATE_TEST_SUITE_P(
    Rows, LevelFault,
    ::testing::Values(
        TFaultCase{Header + "0 boss\n", Row1, "the frame must be 1 to 65535, not 0"},
        TFaultCase{Header + "65536 boss\n", Row1, "not 65536"},
        TFaultCase{Header + "99999999999999999999 boss\n", Row1, "must be 1 to 65535"},
        TFaultCase{Header + "5x boss\n", Row1, "the frame must be a whole number, not '5x'"},
        TFaultCase{Header + "600 boss\n400 m&m 1 1\n", Row1 + 1,
                   "frame 400 comes before frame 600 of line 5"},
        TFaultCase{Header + "5\n", Row1, "no action after its frame"},
        TFaultCase{Header + "5 dragon 1 1\n", Row1, "unknown action 'dragon' (text, m&m,"},
        TFaultCase{Header + "5 carrot 800 bus\n", Row1,
                   "Y of a carrot must be a whole number, not 'bus'"},
        TFaultCase{Header + "5 grenade bus 300\n", Row1, "X of a grenade must be a whole number"},
        TFaultCase{Header + "5 text 1 2 3 4 5 hint@TEXTS\n", Row1, "holds '@'"},
        TFaultCase{Header + "5 m&m 1 1 every 50\n", Row1, "a repeat is 'every N times K'"},
        TFaultCase{Header + "5 m&m 1 1 times 5 every 50\n", Row1, "a repeat is"},
        TFaultCase{Header + "5 m&m 1 1 every 0 times 5\n", Row1, "between repeats must be 1"},
        TFaultCase{Header + "5 m&m 1 1 every 9 times 1001\n", Row1, "times must be 1 to 1000"},
        TFaultCase{Header + "65000 m&m 1 1 every 100 times 7\n", Row1, "frame 65600, past 65535"},
        TFaultCase{Header + Boss + "1901 boss\n", Row1 + 1,
                   "a second boss (the first is on line 5)"},
        TFaultCase{Header + "5 boss every 5 times 2\n", Row1, "the boss comes once"}));

// Every action, with an argument missing, one too many, and each number one past its range.
TEST(LevelFormat, EveryActionRefusesMissingExtraAndOutOfRangeArguments) {
  struct TExample {
    std::vector<std::string> Args;
    std::vector<int> Max;  // per argument; -1 for a name
  };
  const std::map<std::string, TExample> examples = {
      {"text", {{"270", "295", "20", "10", "10", "hint.txt"}, {799, 599, 1000, 32, 32, -1}}},
      {"m&m", {{"800", "600"}, {800, 600}}},
      {"carrot", {{"800", "40"}, {800, 600}}},
      {"grenade", {{"800", "325"}, {800, 600}}},
      {"bomber", {{"800", "10"}, {800, 600}}},
      {"boss", {{}, {}}}};
  auto rowText = [](const std::string& action, const std::vector<std::string>& args) {
    std::string row = "100 " + action;
    for (const std::string& arg : args)
      row += " " + arg;
    return Header + row + "\n" + (action == "boss" ? "" : Boss);
  };
  for (const auto& [action, example] : examples) {
    SCOPED_TRACE(action);
    Parsed(rowText(action, example.Args));
    std::vector<std::string> more = example.Args;
    more.push_back("7");
    EXPECT_THAT(Fault(rowText(action, more)).Reason, HasSubstr("'" + action + "' takes"));
    if (example.Args.empty()) continue;
    std::vector<std::string> fewer(example.Args.begin(), example.Args.end() - 1);
    const TLevelNote missing = Fault(rowText(action, fewer));
    EXPECT_EQ(missing.Line, Row1);
    EXPECT_THAT(missing.Reason, HasSubstr("takes " + std::to_string(example.Args.size())));
    for (size_t i = 0; i < example.Args.size(); ++i) {
      if (example.Max[i] < 0) continue;
      std::vector<std::string> wide = example.Args;
      wide[i] = std::to_string(example.Max[i] + 1);
      const TLevelNote far = Fault(rowText(action, wide));
      EXPECT_EQ(far.Line, Row1);
      EXPECT_THAT(far.Reason,
                  HasSubstr(" to " + std::to_string(example.Max[i]) + ", not " + wide[i]));
    }
  }
  EXPECT_THAT(Fault(rowText("text", {"1", "2", "3", "4", "0", "a.txt"})).Reason,
              HasSubstr("FADE_OUT of a text must be 1 to 32, not 0"));
}

// ---- Caps -------------------------------------------------------------------------------

TEST(LevelFormat, EverySizeIsCappedAndTheFaultSaysWhere) {
  EXPECT_EQ(Fault(Header + std::string(10'000'000, 'x')).Line, HeaderLines + 1);
  EXPECT_THAT(Fault("# " + std::string(300, 'x')).Reason, HasSubstr("longer than 256"));

  std::string rows = Header;
  for (int i = 0; i < 1'000'000; ++i)
    rows += "100 m&m 800 0\n";
  const TLevelNote tooMany = Fault(rows);
  EXPECT_EQ(tooMany.Line, HeaderLines + 4001);
  EXPECT_THAT(tooMany.Reason, HasSubstr("more than 4000 rows"));

  EXPECT_THAT(Fault(std::string(30000, '\n')).Reason, HasSubstr("more than 20000 lines"));
  const std::string comment = "#" + std::string(250, 'c') + "\n";
  std::string bytes = Header;
  while (bytes.size() <= MaxLevelBytes)
    bytes += comment;
  EXPECT_THAT(Fault(bytes).Reason, HasSubstr("longer than 1048576 bytes"));

  std::string events = Header;
  for (int i = 0; i < 11; ++i)
    events += "100 m&m 1 1 every 1 times 1000\n";
  const TLevelNote started = Fault(events);
  EXPECT_EQ(started.Line, HeaderLines + 11);
  EXPECT_THAT(started.Reason, HasSubstr("more than 10000 actions"));
}
