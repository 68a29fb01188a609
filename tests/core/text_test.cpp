#include "core/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <string>
#include <utility>

namespace lunaret {
namespace {

using std::string_literals::operator""s;
using ::testing::PrintToString;

#ifndef _WIN32
// Texts are UTF-8 where there is no ANSI code page.

TEST(CharLength, CountsTheBytesOfOneCharacterAndTakesInvalidBytesOneByOne) {
  const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // a é € 😀
  EXPECT_EQ(CharLength(text, 0), 1u);
  EXPECT_EQ(CharLength(text, 1), 2u);
  EXPECT_EQ(CharLength(text, 3), 3u);
  EXPECT_EQ(CharLength(text, 6), 4u);
  EXPECT_EQ(CharLength(text, text.size()), 0u);
  EXPECT_EQ(CharLength(text, text.size() + 5), 0u);
  // A continuation byte without a lead, a lead byte cut off or without its continuation, an
  // overlong zero, a surrogate, a code point beyond U+10FFFF, a zero byte.
  for (const std::string& invalid :
       {"\x80x"s, "\xC3"s, "\xC3x"s, "\xC0\x80"s, "\xED\xA0\x80"s, "\xF4\x90\x80\x80"s, "\0a"s})
    EXPECT_EQ(CharLength(invalid, 0), 1u) << PrintToString(invalid);
}

// The store keeps a folded copy of each name: the folding must not depend on the process's
// locale, or names stored by one run would not be found by the next.
TEST(UpperCase, FoldsLettersOfEveryScriptWhateverTheLocaleAndKeepsTheRest) {
  const std::pair<std::string, std::string> cases[] = {
      {"guest az", "GUEST AZ"},
      {"\xC3\xA5sa", "\xC3\x85SA"},                         // åsa
      {"\xC3\xA9lodie", "\xC3\x89LODIE"},                   // élodie
      {"\xD0\xBD\xD0\xB0\xD1\x82\xD0\xB0\xD1\x88\xD0\xB0",  // наташа
       "\xD0\x9D\xD0\x90\xD0\xA2\xD0\x90\xD0\xA8\xD0\x90"},
      {"\xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1",
       "\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x8A\xCE\x91"},  // σοφία
      {"\xC4\xB1ri", "IRI"},                         // dotless i
      {"\xE2\x82\xAC 1", "\xE2\x82\xAC 1"},          // no letter case at all
      {"a\377b\200c", "A\377B\200C"},                // bytes that are no character are kept
      {"\303a", "\303A"},
      {"a\0b"s, "A\0B"s},
  };
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  for (const char* locale : {"C", "POSIX", "C.UTF-8"}) {
    if (std::setlocale(LC_ALL, locale) == nullptr)
      continue;
    for (const auto& [text, upper] : cases)
      EXPECT_EQ(UpperCase(text), upper) << locale << " " << PrintToString(text);
  }
  std::setlocale(LC_ALL, previous.c_str());
}

TEST(ReverseByCharacter, MovesMultibyteCharactersAsUnits) {
  EXPECT_EQ(ReverseByCharacter(""), "");
  EXPECT_EQ(ReverseByCharacter("abc"), "cba");
  EXPECT_EQ(ReverseByCharacter("a\303\251b\342\202\254"), "\342\202\254b\303\251a");  // a é b €
  EXPECT_EQ(ReverseByCharacter("\xF0\x9F\x98\x80x"), "x\xF0\x9F\x98\x80");
  EXPECT_EQ(ReverseByCharacter("a\377\200"), "\200\377a");
}
#endif

TEST(EqualNoCase, ComparesWholeNamesAndPrefixesWithoutRegardToCase) {
  EXPECT_TRUE(EqualNoCase("guest", "GUEST"));
  EXPECT_FALSE(EqualNoCase("guest", "guests"));
  EXPECT_FALSE(EqualNoCase("Anna", "Anne"));
  EXPECT_TRUE(StartsWithNoCase("StatisticsDate10", "statisticsdate"));
  EXPECT_TRUE(StartsWithNoCase("abc", ""));
  EXPECT_FALSE(StartsWithNoCase("Stat", "Statistics"));
  EXPECT_FALSE(StartsWithNoCase("Duration", "data"));
}

TEST(AtoiRule, ReadsLikeTheStandardAtoiButSaturates) {
  const std::pair<std::string, long> cases[] = {{"29", 29},
                                                {"  \t\n-7days", -7},
                                                {"+5", 5},
                                                {"007", 7},
                                                {"", 0},
                                                {"abc", 0},
                                                {"- 5", 0},
                                                {"+-5", 0},
                                                {"12 34", 12},
                                                {"99999999999999999999999999", LONG_MAX},
                                                {"-99999999999999999999999999", LONG_MIN},
                                                {std::to_string(LONG_MAX), LONG_MAX},
                                                {std::to_string(LONG_MIN), LONG_MIN},
                                                {std::to_string(LONG_MAX - 1), LONG_MAX - 1}};
  for (const auto& [text, value] : cases)
    EXPECT_EQ(AtoiRule(text), value) << '"' << text << '"';
}

}  // namespace
}  // namespace lunaret
