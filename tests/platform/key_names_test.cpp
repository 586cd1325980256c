// Key names for the settings file: every code has a name that reads back, names are read
// in any case, and words that name no key are refused.
#include "platform/key_names.h"

#include <gtest/gtest.h>

#include "platform/keys.h"
#include "platform/player_settings.h"

TEST(KeyNames, EveryCodeHasANameThatReadsBack) {
  for (int code = 0; code <= 255; ++code) {
    const std::string name = KeyName(static_cast<uint8_t>(code));
    EXPECT_EQ(KeyCode(name), code) << name;
  }
  EXPECT_EQ(KeyName(Vk::Letter('A')), "A");
  EXPECT_EQ(KeyName(Vk::Digit(7)), "7");
  EXPECT_EQ(KeyName(Vk::F1), "F1");
  EXPECT_EQ(KeyName(Vk::Function(12)), "F12");
  EXPECT_EQ(KeyName(Vk::Control), "Ctrl");
  EXPECT_EQ(KeyName(Vk::Minus), "Minus");
  EXPECT_EQ(KeyName(Vk::KeypadPlus), "KeypadPlus");
  EXPECT_EQ(KeyName(186), "Key186");
  EXPECT_EQ(KeyName(0), "Key0");
}

TEST(KeyNames, NamesAreReadInAnyCaseWithControlForCtrl) {
  EXPECT_EQ(KeyCode("w"), Vk::Letter('W'));
  EXPECT_EQ(KeyCode("UP"), Vk::Up);
  EXPECT_EQ(KeyCode("pageDOWN"), Vk::PageDown);
  EXPECT_EQ(KeyCode("f11"), Vk::Function(11));
  EXPECT_EQ(KeyCode("Control"), Vk::Control);
  EXPECT_EQ(KeyCode("ctrl"), Vk::Control);
  EXPECT_EQ(KeyCode("kEy65"), Vk::Letter('A'))
      << "a code by number, as a settings file may hold it";
}

TEST(KeyNames, WordsThatNameNoKeyAreRefused) {
  for (const char* word : {"", " ", "Up ", "AB", "#", "Fx", "F0", "F13", "F-1", "F+1", "Key",
                           "Key256", "Key-1", "Key99999999999", "Ctrl+Z", "Esc", "\xc3\xa9"})
    EXPECT_FALSE(KeyCode(word)) << "'" << word << "'";
}

TEST(KeyNames, ListsKeepTheirOrderAndNameTheFirstUnknownWord) {
  std::string unknown;
  EXPECT_EQ(KeyCodes("  Up\tw  Key186 ", unknown),
            (std::vector<uint8_t>{Vk::Up, Vk::Letter('W'), 186}));
  EXPECT_EQ(KeyCodes("", unknown), std::vector<uint8_t>{});
  EXPECT_EQ(KeyNames({Vk::Control, Vk::Letter('Z'), Vk::Letter('J')}), "Ctrl Z J");
  EXPECT_FALSE(KeyCodes("Up Jump Fly", unknown));
  EXPECT_EQ(unknown, "Jump");
}

TEST(KeyNames, TheDefaultKeysReadAsEverySettingsFileHasWrittenThem) {
  const TKeyBindings keys;
  EXPECT_EQ(KeyNames(keys.Up), "Up W");
  EXPECT_EQ(KeyNames(keys.Down), "Down S");
  EXPECT_EQ(KeyNames(keys.Fire), "Ctrl Z J");
  EXPECT_EQ(KeyNames(keys.Pause), "P Pause");
  EXPECT_EQ(KeyNames(keys.VolumeDown), "Minus");
  EXPECT_EQ(KeyNames(keys.VolumeUp), "Plus");
  EXPECT_EQ(KeyNames(keys.Mute), "M");
  EXPECT_EQ(KeyNames(keys.FullScreen), "F11");
  EXPECT_EQ(KeyNames(keys.Screenshot), "F12");
}

TEST(KeyNames, NamedKeysKeepTheCodesThatScriptsAndSettingsFilesHold) {
  // "Key27" in a settings file and "key down 27" in a recorded script both mean Escape.
  EXPECT_EQ(KeyCode("Key27"), KeyCode("Escape"));
  EXPECT_EQ(KeyCode("Key38"), KeyCode("Up"));
  EXPECT_EQ(KeyCode("Key189"), KeyCode("Minus"));
  EXPECT_EQ(KeyCode("Key122"), KeyCode("F11"));
}
