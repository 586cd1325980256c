// The game's own data as the build makes it: every picture, font and text of SPRITES.MPK,
// FONTS.MPK and TEXTS.MPK loads through the engine with the sizes the game's rules rely on,
// every text fits its box and holds only characters its font draws, and every sound of
// SOUNDS.MPK plays.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "audio/sound_bank.h"
#include "gfx/pcx.h"
#include "res/data_dir.h"
#include "res/image_cache.h"
#include "res/packfile.h"
#include "res/resource.h"
#include "support/engine_fixture.h"
#include "support/test_scene.h"
#include "text/font_text.h"

namespace {

constexpr int32_t ScreenWidth = 800;
constexpr int32_t ScreenHeight = 600;

// ---- What the game loads ----------------------------------------------------------------

std::vector<std::string> Frames(const std::string& base, int count) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i)
    names.push_back(base + (i < 10 ? "0" : "") + std::to_string(i) + ".pcx");
  return names;
}

// Pictures drawn with colour 0 as the key: actors, effects and the winning picture.
std::vector<std::string> KeyedPictures() {
  std::vector<std::string> names = {"bus.pcx",     "holycross.pcx", "med_red.pcx",
                                    "grenade.pcx", "carrot.pcx",    "m&m.pcx",
                                    "drumbo.pcx",  "zelvina.pcx",   "winner.pcx"};
  for (const auto& frame : Frames("explosion", 16))
    names.push_back(frame);
  for (const auto& frame : Frames("blood", 4))
    names.push_back(frame);
  return names;
}

std::vector<std::string> AllPictures() {
  std::vector<std::string> names = KeyedPictures();
  for (const char* name : {"background.pcx", "finger.pcx", "2008.pcx", "quibbet.pcx", "quon.pcx"})
    names.push_back(name);
  return names;
}

const std::vector<std::string> FontNames = {"fixedsys", "courier"};
const std::vector<std::string> SheetEndings = {"_engletters.pcx", "_numbers.pcx", "_signs.pcx",
                                               "_hunletters.pcx"};

// A text box as the scene that shows the text builds it.
struct TTextBox {
  std::string File;
  std::string Font;
  int32_t X;
  int32_t Columns;
  int32_t Rows;
  int32_t RowsOnScreen;  // fewer when something else is drawn below the text
};

std::vector<TTextBox> TextBoxes() {
  std::vector<TTextBox> boxes;
  for (int page = 1; page <= 4; ++page)
    boxes.push_back({"intro_f" + std::to_string(page) + ".txt", "fixedsys", 245, 40, 5, 5});
  boxes.push_back({"hint.txt", "fixedsys", 270, 40, 5, 5});
  for (int pair = 1; pair <= 5; ++pair) {
    // Headings stand 50 pixels above their names: three 16-pixel rows before they meet.
    boxes.push_back({"credits_t" + std::to_string(pair) + ".txt", "fixedsys", 205, 80, 10, 3});
    boxes.push_back({"credits_n" + std::to_string(pair) + ".txt", "courier", 230, 80, 10, 10});
  }
  return boxes;
}

// ---- Pixels -----------------------------------------------------------------------------

struct TRgb {
  int R, G, B;  // scaled back to 8 bits
};
TRgb Rgb(uint16_t pixel) {
  return {((pixel >> 11) & 31) << 3, ((pixel >> 5) & 63) << 2, (pixel & 31) << 3};
}

// Summed channel difference of two columns, per row.
double ColumnDifference(const TSurface& picture, int32_t a, int32_t b) {
  double sum = 0;
  for (int32_t y = 0; y < picture.Height; ++y) {
    const TRgb p = Rgb(PixelAt(picture, a, y)), q = Rgb(PixelAt(picture, b, y));
    sum += std::abs(p.R - q.R) + std::abs(p.G - q.G) + std::abs(p.B - q.B);
  }
  return sum / picture.Height;
}

bool CellHasInk(const TSurface& sheet, int32_t column, int32_t row, int32_t width, int32_t height) {
  for (int32_t y = row * height; y < (row + 1) * height; ++y)
    for (int32_t x = column * width; x < (column + 1) * width; ++x)
      if (PixelAt(sheet, x, y) != 0) return true;
  return false;
}

// ---- Fonts and texts --------------------------------------------------------------------

const std::string HungarianBytes =
    "\xA0\x82\xA1\xA2\x94\x8B\xA3\x81\xFB"   // á é í ó ö ő ú ü ű
    "\xB5\x90\xD6\xE0\x99\x8A\xE9\x9A\xEB";  // Á É Í Ó Ö Ő Ú Ü Ű

// Where a text entity with the Hungarian letters finds the glyph of a byte.
struct TGlyphPlace {
  int Sheet = -1;  // index into SheetEndings; -1 when the byte has no glyph
  int32_t Column = 0, Row = 0;
};
TGlyphPlace PlaceOf(uint8_t ch) {
  const size_t hungarian = HungarianBytes.find(static_cast<char>(ch));
  if (hungarian != std::string::npos)
    return {3, static_cast<int32_t>(hungarian % 9), static_cast<int32_t>(hungarian / 9)};
  if (ch >= 0x61 && ch <= 0x7A) return {0, ch - 0x61, 0};
  if (ch >= 0x41 && ch <= 0x5A) return {0, ch - 0x41, 1};
  if (ch >= 0x30 && ch <= 0x39) return {1, ch - 0x30, 0};
  if (ch >= 0x21 && ch <= 0x2F) return {2, ch - 0x21, 0};
  if (ch >= 0x3A && ch <= 0x3F) return {2, ch - 0x3A, 1};
  if (ch >= 0x5B && ch <= 0x5F) return {2, ch - 0x5B, 2};
  if (ch >= 0x7B && ch <= 0x7E) return {2, ch - 0x7B, 3};
  return {};
}

// Every byte that has a glyph in the layouts of the sheets.
std::vector<uint8_t> GlyphBytes() {
  std::vector<uint8_t> bytes;
  for (int ch = 0; ch < 256; ++ch)
    if (PlaceOf(static_cast<uint8_t>(ch)).Sheet >= 0) bytes.push_back(static_cast<uint8_t>(ch));
  return bytes;
}

// ---- Fixture ----------------------------------------------------------------------------

class GameDataTest : public TEngineFixture {
 protected:
  void SetUp() override {
    TEngineFixture::SetUp();
    ResetPackfiles();
    CacheInit();
    SetDataDirectory(QUIBBET_GAME_DATA_DIR);
  }
  void TearDown() override {
    for (TSurface& picture : Loaded)
      FreeSurface(picture);
    CacheDone();
    ResetPackfiles();
    SetDataDirectory("");
    TEngineFixture::TearDown();
  }

  // A picture of the package, loaded the way the game loads it; freed after the test.
  const TSurface& Picture(const std::string& name, const std::string& package = "SPRITES") {
    Loaded.emplace_back();
    LoadPcx(name, package, Loaded.back());
    return Loaded.back();
  }

  std::string Text(const std::string& name) { return LoadTextValue("&" + name + "@TEXTS"); }

  struct TFont {
    int32_t Width = 0, Height = 0;
    std::vector<const TSurface*> Sheets;
  };
  TFont Font(const std::string& name) {
    TFont font;
    const std::string metrics = LoadTextValue("&" + name + ".inf@FONTS");
    const size_t lineEnd = metrics.find_first_of("\r\n");
    font.Width = std::stoi(metrics.substr(0, lineEnd));
    font.Height = std::stoi(metrics.substr(metrics.find_first_not_of("\r\n", lineEnd)));
    for (const std::string& ending : SheetEndings)
      font.Sheets.push_back(&Picture(name + ending, "FONTS"));
    return font;
  }

  std::vector<std::string> Members(const std::string& package) {
    const uint8_t slot = PackfileOpen(package);
    EXPECT_LE(slot, PackfileSlotCount) << package << ": " << PackfileErrorText(slot);
    std::vector<std::string> names;
    if (const TPackfile* archive = PackfileObject(slot))
      for (const TPackEntry& entry : archive->Entries)
        names.push_back(entry.Name);
    PackfileClose(slot);
    std::sort(names.begin(), names.end());
    return names;
  }

  std::deque<TSurface> Loaded;  // a deque, as tests hold references to earlier pictures
};

// ---- Archives ---------------------------------------------------------------------------

TEST_F(GameDataTest, ArchivesHoldExactlyTheFilesTheGameLoads) {
  std::vector<std::string> pictures = AllPictures();
  std::sort(pictures.begin(), pictures.end());
  EXPECT_EQ(Members("SPRITES"), pictures);

  std::vector<std::string> fonts;
  for (const std::string& font : FontNames) {
    fonts.push_back(font + ".inf");
    for (const std::string& ending : SheetEndings)
      fonts.push_back(font + ending);
  }
  std::sort(fonts.begin(), fonts.end());
  EXPECT_EQ(Members("FONTS"), fonts);

  std::vector<std::string> texts;
  for (const TTextBox& box : TextBoxes())
    texts.push_back(box.File);
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ(Members("TEXTS"), texts);
  EXPECT_EQ(Members("SOUNDS").size(), SoundCount + MusicCount);
}

// ---- Pictures ---------------------------------------------------------------------------

TEST_F(GameDataTest, EveryPictureLoadsAndFitsTheScreen) {
  for (const std::string& name : AllPictures()) {
    if (name == "background.pcx") continue;  // scrolled, wider than the screen by design
    const TSurface& picture = Picture(name);
    EXPECT_GT(picture.Width, 0) << name;
    EXPECT_LE(picture.Width, ScreenWidth) << name;
    EXPECT_LE(picture.Height, ScreenHeight) << name;
  }
  EXPECT_TRUE(Platform->Boxes.empty());
}

TEST_F(GameDataTest, TitlePicturesHaveTheWidthsTheIntroCentres) {
  // The intro places them at x 295, 272 and 266; their pages start at y 450.
  const TSurface& year = Picture("2008.pcx");
  const TSurface& title = Picture("quibbet.pcx");
  const TSurface& hero = Picture("quon.pcx");
  EXPECT_EQ(year.Width, 210);
  EXPECT_EQ(title.Width, 256);
  EXPECT_EQ(hero.Width, 268);
  EXPECT_LE(236 + year.Height, 450);
  EXPECT_LE(100 + title.Height, 450);
  EXPECT_LE(100 + hero.Height, 450);
}

TEST_F(GameDataTest, EffectFramesAre64By64) {
  for (const std::string& name : AllPictures()) {
    if (name.rfind("explosion", 0) != 0 && name.rfind("blood", 0) != 0) continue;
    const TSurface& frame = Picture(name);
    EXPECT_EQ(frame.Width, 64) << name;
    EXPECT_EQ(frame.Height, 64) << name;
  }
}

TEST_F(GameDataTest, ActorsFitTheRulesOfTheLevel) {
  const TSurface& bus = Picture("bus.pcx");
  EXPECT_LE(425 + bus.Height, ScreenHeight) << "the bus leaves the screen at its lowest";

  const TSurface& carrot = Picture("carrot.pcx");
  EXPECT_LT(40 + carrot.Height, 425) << "the carrot has no room to bounce";

  const TSurface& drumbo = Picture("drumbo.pcx");
  EXPECT_LT(drumbo.Width, 600) << "the bomber picks its points in 600 - width";

  const TSurface& zelvina = Picture("zelvina.pcx");
  EXPECT_LE(20 + zelvina.Width, ScreenWidth) << "the boss must come wholly on screen";
  EXPECT_GE(zelvina.Height, 2) << "both halves of the boss need a box";
  EXPECT_GT(zelvina.Width, 20) << "her lower half is 10 pixels narrower on each side";
}

TEST_F(GameDataTest, ProjectilesAreSmallerThanWhatTheyStrike) {
  // Boxes touch only when a corner lies inside the other box, so a projectile larger than
  // its target in one direction could pass straight through it.
  const TSurface& cross = Picture("holycross.pcx");
  for (const char* target : {"carrot.pcx", "m&m.pcx", "drumbo.pcx", "zelvina.pcx"}) {
    const TSurface& enemy = Picture(target);
    // The boss is struck on one half of her picture at a time.
    const int32_t height = std::string(target) == "zelvina.pcx" ? enemy.Height / 2 : enemy.Height;
    EXPECT_LT(cross.Width, enemy.Width) << target;
    EXPECT_LT(cross.Height, height) << target;
  }
  const TSurface& bus = Picture("bus.pcx");
  for (const char* shot : {"med_red.pcx", "grenade.pcx"}) {
    const TSurface& projectile = Picture(shot);
    EXPECT_LT(projectile.Width, bus.Width) << shot;
    EXPECT_LT(projectile.Height, bus.Height) << shot;
  }
}

TEST_F(GameDataTest, KeyedPicturesStandOnTheKeyWithoutDarkFringes) {
  for (const std::string& name : KeyedPictures()) {
    const TSurface& picture = Picture(name);
    const int32_t right = picture.Width - 1, bottom = picture.Height - 1;
    EXPECT_EQ(PixelAt(picture, 0, 0), 0) << name << ": no box around the sprite";
    EXPECT_EQ(PixelAt(picture, right, 0), 0) << name;
    EXPECT_EQ(PixelAt(picture, 0, bottom), 0) << name;
    EXPECT_EQ(PixelAt(picture, right, bottom), 0) << name;

    // Pixels beside the key are the drawing's edge; a nearly black edge is a fringe left
    // from blending with the background.
    int fringe = 0, drawn = 0;
    for (int32_t y = 0; y < picture.Height; ++y)
      for (int32_t x = 0; x < picture.Width; ++x) {
        const uint16_t pixel = PixelAt(picture, x, y);
        if (pixel == 0) continue;
        ++drawn;
        const bool edge = (x > 0 && PixelAt(picture, x - 1, y) == 0) ||
                          (x < right && PixelAt(picture, x + 1, y) == 0) ||
                          (y > 0 && PixelAt(picture, x, y - 1) == 0) ||
                          (y < bottom && PixelAt(picture, x, y + 1) == 0);
        const TRgb rgb = Rgb(pixel);
        if (edge && std::max({rgb.R, rgb.G, rgb.B}) < 24) ++fringe;
      }
    EXPECT_GT(drawn, 0) << name;
    EXPECT_EQ(fringe, 0) << name;
  }
}

TEST_F(GameDataTest, BackgroundIsWideAndWrapsWithoutASeam) {
  const TSurface& background = Picture("background.pcx");
  EXPECT_GE(background.Width, 1600);
  EXPECT_EQ(background.Height, ScreenHeight);

  // Where the picture wraps, its last column meets its first: that pair must look like any
  // ordinary pair of neighbouring columns.
  std::vector<double> inside;
  for (int32_t x = 0; x + 1 < background.Width; ++x)
    inside.push_back(ColumnDifference(background, x, x + 1));
  std::sort(inside.begin(), inside.end());
  const double usual = inside[inside.size() * 99 / 100];
  EXPECT_LE(ColumnDifference(background, background.Width - 1, 0), usual);
}

// ---- Fonts ------------------------------------------------------------------------------

TEST_F(GameDataTest, FontsHaveTheirCellsAndAGlyphForEveryCharacter) {
  for (const std::string& name : FontNames) {
    const TFont font = Font(name);
    EXPECT_EQ(font.Height, 16) << name;
    if (name == "fixedsys") {
      EXPECT_EQ(font.Width, 8) << "the intro centres 40 columns of 8";
    }
    ASSERT_GT(font.Width, 0) << name;

    const int32_t minimum[4][2] = {{26, 2}, {10, 1}, {15, 4}, {9, 2}};  // cells across, down
    for (size_t sheet = 0; sheet < SheetEndings.size(); ++sheet) {
      EXPECT_GE(font.Sheets[sheet]->Width, minimum[sheet][0] * font.Width) << name << sheet;
      EXPECT_GE(font.Sheets[sheet]->Height, minimum[sheet][1] * font.Height) << name << sheet;
    }
    for (const uint8_t ch : GlyphBytes()) {
      const TGlyphPlace place = PlaceOf(ch);
      EXPECT_TRUE(
          CellHasInk(*font.Sheets[place.Sheet], place.Column, place.Row, font.Width, font.Height))
          << name << " draws nothing for byte " << int(ch);
    }
  }
}

// ---- Texts ------------------------------------------------------------------------------

TEST_F(GameDataTest, TextsFitTheirBoxesOnScreen) {
  // Each text is laid out and rendered by the text entity the game shows it with. Every
  // character that is not a space must come out as one inked cell inside the part of the box
  // that is on screen: a text that runs out of rows, a word wider than the box or a line
  // past the screen's edge loses cells or puts them where nobody sees them.
  TTestScene scene;
  scene.Setup();
  for (const TTextBox& box : TextBoxes()) {
    THunText text(static_cast<int16_t>(box.X), 0, scene.Agent, 0, 0, 32, 32,
                  static_cast<int16_t>(box.Columns), static_cast<int16_t>(box.Rows), false, "FONTS",
                  box.Font, "&" + box.File + "@TEXTS");
    text.RenderText();
    const int32_t visible = (ScreenWidth - box.X) / text.GlyphWidth;
    size_t inked = 0;
    for (int32_t row = 0; row < box.Rows; ++row)
      for (int32_t column = 0; column < box.Columns; ++column) {
        if (!CellHasInk(text.Image, column, row, text.GlyphWidth, text.GlyphHeight)) continue;
        ++inked;
        EXPECT_LT(column, visible) << box.File << ": row " << row << " runs off the screen";
        EXPECT_LT(row, box.RowsOnScreen) << box.File << " has too many lines";
      }
    const std::string bytes = Text(box.File);
    const size_t drawn = std::count_if(
        bytes.begin(), bytes.end(), [](char ch) { return ch != ' ' && ch != '\r' && ch != '\n'; });
    EXPECT_GT(drawn, 0u) << box.File << " is empty";
    EXPECT_EQ(inked, drawn) << box.File << " does not fit its box";
  }
}

TEST_F(GameDataTest, TextsHoldOnlyCharactersTheirFontsDraw) {
  for (const TTextBox& box : TextBoxes()) {
    const TFont font = Font(box.Font);
    const std::string text = Text(box.File);
    for (size_t i = 0; i < text.size(); ++i) {
      const uint8_t ch = static_cast<uint8_t>(text[i]);
      if (ch == ' ' || ch == '\r' || ch == '\n') continue;
      const TGlyphPlace place = PlaceOf(ch);
      ASSERT_GE(place.Sheet, 0) << box.File << ": byte " << int(ch) << " at " << i
                                << " has no glyph";
      EXPECT_TRUE(
          CellHasInk(*font.Sheets[place.Sheet], place.Column, place.Row, font.Width, font.Height))
          << box.File << ": byte " << int(ch) << " at " << i;
    }
  }
}

TEST_F(GameDataTest, CreditsShowEveryHungarianLetter) {
  std::set<char> used;
  for (int pair = 1; pair <= 5; ++pair)
    for (const char* kind : {"credits_t", "credits_n"})
      for (const char ch : Text(kind + std::to_string(pair) + ".txt"))
        if (HungarianBytes.find(ch) != std::string::npos) used.insert(ch);
  EXPECT_EQ(used.size(), HungarianBytes.size());
}

}  // namespace

// ---- Sounds -----------------------------------------------------------------------------

TEST_F(GameDataTest, EverySoundIsThereAndPlays) {
  testing::internal::CaptureStderr();
  const TSoundBank bank = LoadSoundBank();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "no sound is missing or unreadable";
  for (size_t i = 0; i < SoundCount; ++i) {
    EXPECT_GT(PcmFrames(bank.Effects[i]), AudioFrameLength / 4) << SoundNames[i];
    EXPECT_LT(PcmFrames(bank.Effects[i]), 4 * size_t{AudioRate}) << SoundNames[i];
  }
  // The level's pieces loop, so each must join its own start: a whole number of samples that
  // ends where it began, give or take the smallest step of the music itself.
  for (TMusic piece : {TMusic::Game, TMusic::Boss}) {
    TMusicSource& music = *bank.Music[static_cast<size_t>(piece)];
    std::vector<int16_t> all(2 * 120 * size_t{AudioRate});
    const size_t frames = music.Read(all.data(), PcmFrames(all));
    ASSERT_GT(frames, 10 * size_t{AudioRate}) << MusicNames[static_cast<size_t>(piece)];
    for (int c = 0; c < 2; ++c)
      EXPECT_LT(std::abs(all[c] - all[2 * (frames - 1) + c]), 3000)
          << MusicNames[static_cast<size_t>(piece)] << " joins its start without a click";
  }
  for (size_t i = 0; i < MusicCount; ++i)
    EXPECT_TRUE(bank.Music[i]) << MusicNames[i];
}
