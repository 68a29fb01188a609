#include "core/scramble.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace lunaret {
namespace {

std::string Bytes(std::initializer_list<unsigned char> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

TEST(ScramblePassword, ProducesTheStoredFormByteForByteAndUnscrambleReversesIt) {
  const std::pair<std::string, std::string> cases[] = {
      {"abc", "bbb"},
      {"aaa", Bytes({0x60, 0x61, 0x62})},
      {"", ""},
      {Bytes({0x00}), Bytes({0xFF})},
      {Bytes({0xFF, 0xFF, 0xFF}), Bytes({0xFE, 0xFF, 0x00})},
#ifndef _WIN32
      // Reversed by character first: é a = C3 A9 61, then raised by -1, 0, +1.
      {"a\xC3\xA9", Bytes({0xC2, 0xA9, 0x62})},
#endif
  };
  for (const auto& [password, stored] : cases) {
    EXPECT_EQ(ScramblePassword(password), stored) << ::testing::PrintToString(password);
    if (!ScrambledFormHasZeroByte(password)) {
      EXPECT_EQ(UnscramblePassword(stored), password) << ::testing::PrintToString(password);
    }
  }
}

TEST(ScrambledFormHasZeroByte, FindsThePasswordsTheStoreWouldCutShort) {
  EXPECT_FALSE(ScrambledFormHasZeroByte(""));
  EXPECT_FALSE(ScrambledFormHasZeroByte("abc"));
  EXPECT_TRUE(ScrambledFormHasZeroByte(Bytes({0x01})));                 // position 0: 1 - 1
  EXPECT_TRUE(ScrambledFormHasZeroByte(Bytes({0xFF, 'a', 'b'})));       // 0xFF lands on position 2
  EXPECT_TRUE(ScrambledFormHasZeroByte(Bytes({0xFE, 'a', 'b', 'c'})));  // 0xFE on position 3
  EXPECT_FALSE(ScrambledFormHasZeroByte(Bytes({'a', 'b', 0xFF})));      // 0xFF on position 0
  EXPECT_TRUE(ScrambledFormHasZeroByte(std::string(255, 'a')));         // 'a' on position 160
}

#ifndef _WIN32
// Every length from 0 to 255 bytes, built from characters of one to four bytes in several
// orders and cut to the exact length with ASCII letters.
TEST(UnscramblePassword, GivesBackEveryPasswordOfUpTo255Bytes) {
  const std::vector<std::string> pieces = {
      "a", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "Z", "\xD0\xB6", "7", "\xE6\x97\xA5"};
  for (std::size_t length = 0; length <= 255; ++length) {
    int checked = 0;
    for (std::size_t offset = 0; offset < 16; ++offset) {
      std::string password;
      for (std::size_t i = offset; password.size() < length; ++i) {
        const std::string& piece = pieces[i % pieces.size()];
        password += password.size() + piece.size() <= length
                        ? piece
                        : std::string(1, static_cast<char>('b' + password.size() % 20));
      }
      const std::string stored = ScramblePassword(password);
      ASSERT_EQ(stored.size(), length);
      if (ScrambledFormHasZeroByte(password))
        continue;
      ASSERT_EQ(UnscramblePassword(stored), password) << "length " << length;
      ++checked;
    }
    EXPECT_GT(checked, 0) << "length " << length;  // not every text of a length is left out
  }
}
#endif

}  // namespace
}  // namespace lunaret
