#include "core/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <string>

namespace lunaret {
namespace {

#ifndef _WIN32
// Texts are UTF-8 where there is no ANSI code page.

TEST(CharLength, CountsTheBytesOfOneEncodedCharacter) {
  const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // a é € 😀
  EXPECT_EQ(CharLength(text, 0), 1u);
  EXPECT_EQ(CharLength(text, 1), 2u);
  EXPECT_EQ(CharLength(text, 3), 3u);
  EXPECT_EQ(CharLength(text, 6), 4u);
  EXPECT_EQ(CharLength(text, text.size()), 0u);
  EXPECT_EQ(CharLength(text, text.size() + 5), 0u);
}

TEST(CharLength, TakesInvalidBytesOneByOne) {
  EXPECT_EQ(CharLength("\x80x", 0), 1u);             // continuation byte without a lead
  EXPECT_EQ(CharLength("\xC3", 0), 1u);              // lead byte cut off at the end
  EXPECT_EQ(CharLength("\xC3x", 0), 1u);             // lead byte without its continuation
  EXPECT_EQ(CharLength("\xC0\x80", 0), 1u);          // overlong zero
  EXPECT_EQ(CharLength("\xED\xA0\x80", 0), 1u);      // surrogate
  EXPECT_EQ(CharLength("\xF4\x90\x80\x80", 0), 1u);  // beyond U+10FFFF
  EXPECT_EQ(CharLength(std::string("\0a", 2), 0), 1u);
}

TEST(UpperCase, FoldsNonAsciiLettersOfEveryScript) {
  EXPECT_EQ(UpperCase("guest"), "GUEST");
  EXPECT_EQ(UpperCase("\xC3\xA5sa"), "\xC3\x85SA");                         // åsa -> ÅSA
  EXPECT_EQ(UpperCase("\xC3\xA9lodie"), "\xC3\x89LODIE");                   // élodie -> ÉLODIE
  EXPECT_EQ(UpperCase("\xD0\xBD\xD0\xB0\xD1\x82\xD0\xB0\xD1\x88\xD0\xB0"),  // наташа
            "\xD0\x9D\xD0\x90\xD0\xA2\xD0\x90\xD0\xA8\xD0\x90");            // НАТАША
  EXPECT_EQ(UpperCase("\xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1"),          // σοφία
            "\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x8A\xCE\x91");                    // ΣΟΦΊΑ
  EXPECT_EQ(UpperCase("\xE2\x82\xAC 1"), "\xE2\x82\xAC 1");                 // no case: unchanged
}

TEST(UpperCase, KeepsBytesThatAreNoCharacter) {
  EXPECT_EQ(UpperCase("a\xFF"
                      "b\x80"
                      "c"),
            "A\xFF"
            "B\x80"
            "C");
  EXPECT_EQ(UpperCase("\xC3"
                      "a"),
            "\xC3"
            "A");
  EXPECT_EQ(UpperCase(std::string("a\0b", 3)), std::string("A\0B", 3));
}

// The store keeps a folded copy of each name: the folding must not depend on the process's
// locale, or names stored by one run would not be found by the next.
TEST(UpperCase, IsTheSameWhateverTheLocaleOfTheProcess) {
  const std::string names[] = {"\xC3\xA5sa", "\xD0\xB8\xD1\x80\xD0\xB8\xD0\xBD\xD0\xB0", "Guest",
                               "\xC4\xB1ri"};  // ıri: dotless i folds to plain I
  std::string folded[4];
  for (int i = 0; i < 4; ++i)
    folded[i] = UpperCase(names[i]);
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  for (const char* locale : {"C", "POSIX", "C.UTF-8"}) {
    if (std::setlocale(LC_ALL, locale) == nullptr)
      continue;
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(UpperCase(names[i]), folded[i]) << locale;
  }
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_EQ(folded[0], "\xC3\x85SA");
  EXPECT_EQ(folded[3], "IRI");
}

TEST(ReverseByCharacter, MovesMultibyteCharactersAsUnits) {
  EXPECT_EQ(ReverseByCharacter("abc"), "cba");
  EXPECT_EQ(ReverseByCharacter("a\xC3\xA9"
                               "b\xE2\x82\xAC"),
            "\xE2\x82\xAC"
            "b\xC3\xA9"
            "a");
  EXPECT_EQ(ReverseByCharacter("\xF0\x9F\x98\x80x"), "x\xF0\x9F\x98\x80");
  EXPECT_EQ(ReverseByCharacter("a\xFF\x80"),
            "\x80\xFF"
            "a");
  EXPECT_EQ(ReverseByCharacter(""), "");
}

TEST(EqualNoCase, ComparesFoldedNames) {
  EXPECT_TRUE(EqualNoCase("Guest", "gUEST"));
  EXPECT_TRUE(EqualNoCase("\xC3\x89LODIE", "\xC3\xA9lodie"));
  EXPECT_FALSE(EqualNoCase("Anna", "Anne"));
  EXPECT_FALSE(EqualNoCase("Anna", "Ann"));
  EXPECT_FALSE(EqualNoCase("\xC3\xA5sa", "asa"));
}
#endif

TEST(EqualNoCase, AsciiNamesMatchWithoutRegardToCase) {
  EXPECT_TRUE(EqualNoCase("Guest", "GUEST"));
  EXPECT_TRUE(EqualNoCase("guest", "GUEST"));
  EXPECT_FALSE(EqualNoCase("guest", "guests"));
}

TEST(StartsWithNoCase, ComparesOnlyThePrefixLength) {
  EXPECT_TRUE(StartsWithNoCase("StatisticsDate10", "statisticsdate"));
  EXPECT_TRUE(StartsWithNoCase("abc", ""));
  EXPECT_FALSE(StartsWithNoCase("Stat", "Statistics"));
  EXPECT_FALSE(StartsWithNoCase("Duration", "data"));
}

TEST(AtoiRule, ReadsLikeTheStandardAtoi) {
  EXPECT_EQ(AtoiRule("29"), 29);
  EXPECT_EQ(AtoiRule("  \t\n-7days"), -7);
  EXPECT_EQ(AtoiRule("+5"), 5);
  EXPECT_EQ(AtoiRule("007"), 7);
  EXPECT_EQ(AtoiRule(""), 0);
  EXPECT_EQ(AtoiRule("abc"), 0);
  EXPECT_EQ(AtoiRule("- 5"), 0);
  EXPECT_EQ(AtoiRule("+-5"), 0);
  EXPECT_EQ(AtoiRule("12 34"), 12);
}

TEST(AtoiRule, SaturatesInsteadOfOverflowing) {
  EXPECT_EQ(AtoiRule("99999999999999999999999999"), LONG_MAX);
  EXPECT_EQ(AtoiRule("-99999999999999999999999999"), LONG_MIN);
  EXPECT_EQ(AtoiRule(std::to_string(LONG_MAX)), LONG_MAX);
  EXPECT_EQ(AtoiRule(std::to_string(LONG_MIN)), LONG_MIN);
  EXPECT_EQ(AtoiRule(std::to_string(LONG_MAX - 1)), LONG_MAX - 1);
}

}  // namespace
}  // namespace lunaret
