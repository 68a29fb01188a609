#include "core/scramble.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace lunaret {
namespace {

std::string Bytes(std::initializer_list<unsigned char> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

TEST(ScramblePassword, ProducesTheStoredFormByteForByte) {
  EXPECT_EQ(ScramblePassword("abc"), "bbb");
  EXPECT_EQ(ScramblePassword("aaa"), Bytes({0x60, 0x61, 0x62}));
  EXPECT_EQ(ScramblePassword(""), "");
  EXPECT_EQ(ScramblePassword("x"), "w");  // one byte: that byte minus 1
  EXPECT_EQ(ScramblePassword(Bytes({0x00})), Bytes({0xFF}));
  EXPECT_EQ(ScramblePassword(Bytes({0xFF, 0xFF, 0xFF})), Bytes({0xFE, 0xFF, 0x00}));
}

TEST(ScramblePassword, OnlyTheLowEightBitsOfThePositionCount) {
  const std::string password(300, 'a');
  const std::string stored = ScramblePassword(password);
  ASSERT_EQ(stored.size(), 300u);
  EXPECT_EQ(static_cast<unsigned char>(stored[255]), static_cast<unsigned char>('a' + 254));
  EXPECT_EQ(stored[256], 'a' - 1);  // like position 0
  EXPECT_EQ(stored[257], 'a');      // like position 1
}

#ifndef _WIN32
TEST(ScramblePassword, ReversesByCharacterBeforeShifting) {
  // "aé": reversed é a = C3 A9 61, then -1, 0, +1.
  EXPECT_EQ(ScramblePassword("a\xC3\xA9"), Bytes({0xC2, 0xA9, 0x62}));
  EXPECT_EQ(UnscramblePassword(Bytes({0xC2, 0xA9, 0x62})), "a\xC3\xA9");
}

// Every length from 0 to 255 bytes, built from characters of one to four bytes and cut to the
// exact length with ASCII letters.
std::string MixedPassword(std::size_t length, std::size_t offset) {
  static const std::vector<std::string> pieces = {
      "a", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "Z", "\xD0\xB6", "7", "\xE6\x97\xA5"};
  std::string password;
  std::size_t i = offset;
  while (password.size() < length) {
    const std::string& piece = pieces[i++ % pieces.size()];
    if (password.size() + piece.size() <= length)
      password += piece;
    else
      password += static_cast<char>('b' + password.size() % 20);
  }
  return password;
}

TEST(UnscramblePassword, GivesBackEveryPasswordOfUpTo255Bytes) {
  for (std::size_t length = 0; length <= 255; ++length) {
    int checked = 0;
    for (std::size_t offset = 0; offset < 16; ++offset) {
      const std::string password = MixedPassword(length, offset);
      ASSERT_EQ(password.size(), length);
      const std::string stored = ScramblePassword(password);
      ASSERT_EQ(stored.size(), length);
      if (ScrambledFormHasZeroByte(password))
        continue;
      ASSERT_EQ(UnscramblePassword(stored), password) << "length " << length;
      ++checked;
    }
    // The zero-byte check leaves out only some of the texts of each length.
    EXPECT_GT(checked, 0) << "length " << length;
  }
}

TEST(UnscramblePassword, GivesBackRandomUtf8Passwords) {
  std::mt19937 random(20040305);
  std::uniform_int_distribution<int> kind(0, 3);
  for (int round = 0; round < 2000; ++round) {
    std::string password;
    const std::size_t length = random() % 255;
    while (password.size() < length) {
      char32_t c = 0;
      switch (kind(random)) {
        case 0:
          c = 0x20 + random() % 0x5F;
          break;
        case 1:
          c = 0x80 + random() % 0x780;
          break;
        case 2:
          c = 0xE000 + random() % 0x1000;
          break;
        default:
          c = 0x10000 + random() % 0x10000;
          break;
      }
      std::string encoded;
      if (c < 0x80) {
        encoded = static_cast<char>(c);
      } else if (c < 0x800) {
        encoded = {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
      } else if (c < 0x10000) {
        encoded = {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                   static_cast<char>(0x80 | (c & 0x3F))};
      } else {
        encoded = {
            static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
            static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
      }
      if (password.size() + encoded.size() > length)
        break;
      password += encoded;
    }
    if (ScrambledFormHasZeroByte(password))
      continue;
    ASSERT_EQ(UnscramblePassword(ScramblePassword(password)), password);
  }
}
#endif

TEST(ScrambledFormHasZeroByte, FindsThePasswordsTheStoreWouldCutShort) {
  EXPECT_FALSE(ScrambledFormHasZeroByte(""));
  EXPECT_FALSE(ScrambledFormHasZeroByte("abc"));
  EXPECT_TRUE(ScrambledFormHasZeroByte(Bytes({0x01})));                 // position 0: 1 - 1
  EXPECT_TRUE(ScrambledFormHasZeroByte(Bytes({0xFF, 'a', 'b'})));       // 0xFF lands on position 2
  EXPECT_TRUE(ScrambledFormHasZeroByte(Bytes({0xFE, 'a', 'b', 'c'})));  // 0xFE on position 3
  EXPECT_FALSE(ScrambledFormHasZeroByte(Bytes({'a', 'b', 0xFF})));      // 0xFF on position 0
  EXPECT_TRUE(ScrambledFormHasZeroByte(std::string(255, 'a')));         // 'a' on position 160
}

}  // namespace
}  // namespace lunaret
