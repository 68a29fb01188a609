// Texts are bytes in the process's encoding: UTF-8 here; tests/windows has the code pages.
#include "core/base/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <string>
#include <utility>

#include "../test_support.h"
#include "core/base/scramble.h"

namespace lunaret {
namespace {

using std::string_literals::operator""s;

#ifndef _WIN32
// The store keeps a folded copy of each name: the folding must not depend on the process's
// locale, or names stored by one run would not be found by the next.
TEST(Text, FoldsAndReversesByUtf8CharacterWhateverTheLocale) {
  const std::pair<std::string, std::string> upper[] = {
      {"guest az", "GUEST AZ"},
      {"\xC3\xA5sa \xD0\xBD\xD0\xB0\xCF\x83", "\xC3\x85SA \xD0\x9D\xD0\x90\xCE\xA3"},  // åsa наσ
      {"a\377b\200c\303\0z"s, "A\377B\200C\303\0Z"s}};  // bytes that are no character are kept
  for (const char* locale : {"C", test::kRealLocale}) {
    ASSERT_NE(std::setlocale(LC_ALL, locale), nullptr) << locale;
    for (const auto& [text, folded] : upper)
      EXPECT_EQ(UpperCase(text), folded) << locale << " " << ::testing::PrintToString(text);
  }
  std::setlocale(LC_ALL, "C");
  // a é b € 😀; a continuation byte, a lead byte without its continuation, an overlong zero, a
  // surrogate, a code point above U+10FFFF and a cut character go byte by byte.
  EXPECT_EQ(ReverseByCharacter("a\303\251b\342\202\254\xF0\x9F\x98\x80"),
            "\xF0\x9F\x98\x80\342\202\254b\303\251a");
  EXPECT_EQ(ReverseByCharacter("\x80\xC3x\xC0\x80\xED\xA0\x80\xF4\x90\x80\x80\xE2\x82"),
            "\x82\xE2\x80\x80\x90\xF4\x80\xA0\xED\x80\xC0x\xC3\x80");
  EXPECT_EQ(CharLength("a", 1), 0u);
  EXPECT_EQ(ScramblePassword("a\xC3\xA9"), "\xC2\xA9\x62");  // C3 A9 61, raised by -1, 0, +1
}
#endif

TEST(Text, AtoiRuleAndPrefixes) {
  const std::pair<const char*, long> numbers[] = {{"29", 29},    {" -7days", -7}, {"+5", 5},
                                                  {"0189", 189}, {"", 0},         {"- 5", 0}};
  for (const auto& [text, value] : numbers)
    EXPECT_EQ(AtoiRule(text), value) << '"' << text << '"';
  EXPECT_EQ(AtoiRule(std::string(30, '9')), LONG_MAX);
  EXPECT_EQ(AtoiRule("-" + std::string(30, '9')), LONG_MIN);
  EXPECT_TRUE(StartsWithNoCase("StatisticsDate10", "statisticsdate") &&
              !StartsWithNoCase("Stat", "Statistics"));
}

TEST(ScramblePassword, GivesTheStoredFormByteForByteAndUnscrambleReversesIt) {
  const char* cases[][2] = {{"abc", "bbb"}, {"aaa", "\x60\x61\x62"}, {"a", "\x60"}, {"", ""}};
  for (const auto& [password, stored] : cases)
    EXPECT_EQ(ScramblePassword(password), stored) << password;
  EXPECT_EQ(ScramblePassword("\xFF\xFF\xFF"), "\xFE\xFF\0"s);  // a zero byte: the store cuts it
  EXPECT_TRUE(ScrambledFormHasZeroByte("\xFF\xFF\xFF") && !ScrambledFormHasZeroByte("abc"));
  // Every length up to 255 bytes, from characters of one to four bytes, comes back; only a few
  // passwords scramble to a zero byte and cannot.
  const std::string pieces[] = {"a", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "Z", "7"};
  int checked = 0;
  for (std::size_t length = 0; length <= 255; ++length) {
    std::string password;
    for (std::size_t i = length; password.size() < length; ++i)
      password += password.size() + pieces[i % 6].size() <= length ? pieces[i % 6] : "q";
    if (!ScrambledFormHasZeroByte(password) && ++checked) {
      ASSERT_EQ(UnscramblePassword(ScramblePassword(password)), password) << length;
    }
  }
  EXPECT_GT(checked, 150);
}

}  // namespace
}  // namespace lunaret
