// Key names for the settings file: every code has a name that reads back, names are read
// in any case, and words that name no key are refused.
#include "platform/key_names.h"

#include <gtest/gtest.h>

TEST(KeyNames, EveryCodeHasANameThatReadsBack) {
  for (int code = 0; code <= 255; ++code) {
    const std::string name = KeyName(static_cast<uint8_t>(code));
    EXPECT_EQ(KeyCode(name), code) << name;
  }
  EXPECT_EQ(KeyName('A'), "A");
  EXPECT_EQ(KeyName('7'), "7");
  EXPECT_EQ(KeyName(112), "F1");
  EXPECT_EQ(KeyName(123), "F12");
  EXPECT_EQ(KeyName(17), "Ctrl");
  EXPECT_EQ(KeyName(189), "Minus");
  EXPECT_EQ(KeyName(107), "KeypadPlus");
  EXPECT_EQ(KeyName(186), "Key186");
  EXPECT_EQ(KeyName(0), "Key0");
}

TEST(KeyNames, NamesAreReadInAnyCaseWithControlForCtrl) {
  EXPECT_EQ(KeyCode("w"), 'W');
  EXPECT_EQ(KeyCode("UP"), 38);
  EXPECT_EQ(KeyCode("pageDOWN"), 34);
  EXPECT_EQ(KeyCode("f11"), 122);
  EXPECT_EQ(KeyCode("Control"), 17);
  EXPECT_EQ(KeyCode("ctrl"), 17);
  EXPECT_EQ(KeyCode("kEy65"), 'A');
}

TEST(KeyNames, WordsThatNameNoKeyAreRefused) {
  for (const char* word : {"", " ", "Up ", "AB", "#", "Fx", "F0", "F13", "F-1", "F+1", "Key",
                           "Key256", "Key-1", "Key99999999999", "Ctrl+Z", "Esc", "\xc3\xa9"})
    EXPECT_FALSE(KeyCode(word)) << "'" << word << "'";
}

TEST(KeyNames, ListsKeepTheirOrderAndNameTheFirstUnknownWord) {
  std::string unknown;
  EXPECT_EQ(KeyCodes("  Up\tw  Key186 ", unknown), (std::vector<uint8_t>{38, 'W', 186}));
  EXPECT_EQ(KeyCodes("", unknown), std::vector<uint8_t>{});
  EXPECT_EQ(KeyNames({17, 'Z', 'J'}), "Ctrl Z J");
  EXPECT_FALSE(KeyCodes("Up Jump Fly", unknown));
  EXPECT_EQ(unknown, "Jump");
}
