// The store under the double-byte code page 932, which Wine chooses for LC_ALL=ja_JP.UTF-8.
#include <windows.h>

#include <tuple>

#include "../core/test_support.h"
#include "core/base/scramble.h"
#include "core/base/text.h"
#include "core/store/journal_store.h"

namespace lunaret {
namespace {

using std::string_literals::operator""s;

// Shift-JIS: HIRAGANA A, FULLWIDTH A and a, KATAKANA SMALL YA and KATAKANA A, whose trail bytes
// are the letters a and A.
const std::string kHiraganaA = "\x82\xA0", kFullwidthA = "\x82\x60", kFullwidthSmallA = "\x82\x81",
                  kSmallYa = "\x83\x61", kKatakanaA = "\x83\x41";

using CodePage932 = test::StoreTest;

TEST_F(CodePage932, DoubleByteCharactersMoveAndFoldAsAUnit) {
  ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8 under Wine";
  // A lead byte without its trail byte stays a byte of its own.
  EXPECT_EQ(ReverseByCharacter(kSmallYa + kKatakanaA + "a\x83"),
            std::string(1, '\x83') + "a" + kKatakanaA + kSmallYa);
  EXPECT_EQ(UpperCase(kFullwidthSmallA + "b" + kSmallYa), kFullwidthA + "B" + kSmallYa);
  // b, HIRAGANA A, a = 62 82 A0 61, raised by -1, 0, 1, 2.
  EXPECT_EQ(ScramblePassword("a" + kHiraganaA + "b"), "\x61\x82\xA1\x63");
  EXPECT_EQ(UnscramblePassword("\x61\x82\xA1\x63"), "a" + kHiraganaA + "b");

  const std::tuple<std::string, std::string, const char*> users[] = {
      {kSmallYa, kSmallYa, "one"},
      {kKatakanaA, kKatakanaA, "two"},
      {kFullwidthA + "nna", kFullwidthSmallA + "NNA", "three"}};
  for (const auto& [registered, typed, password] : users)
    ASSERT_TRUE(store().SetPassword(registered, password));
  for (const auto& [registered, typed, password] : users) {
    std::string stored;
    ASSERT_TRUE(store().GetPassword(typed, &stored));
    EXPECT_EQ(stored, password);
  }
  EXPECT_EQ(store().ListUsers().size(), 3u);
  // HIRAGANA A scrambles to 81 A0, WHITE SQUARE (U+25A1), under the key named U+3042; the
  // stored size counts the bytes of the code page text with its terminator.
  ASSERT_TRUE(store().SetPassword(kHiraganaA, kHiraganaA));
  EXPECT_EQ(Read(Open(kCurrentUser, "Software\\Lunaret\\" + kHiraganaA), ""), "\x81\xA0\0"s);
  const std::wstring key =
      std::wstring(path_.begin(), path_.end()) + L"\\Software\\Lunaret\\\x3042";
  wchar_t stored[4] = {};
  DWORD size = sizeof stored;
  EXPECT_EQ(
      RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"", RRF_RT_REG_SZ, nullptr, stored, &size),
      ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(stored), L"\x25A1");
}

// The journal keeps UTF-8 whatever the code page: a note and a symptom in Japanese and Greek,
// under a user named in Shift-JIS, come back byte for byte, stored as the same bytes.
TEST_F(CodePage932, JournalTextsStayUtf8) {
  ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8 under Wine";
  const std::string note =
      "\xE9\xA0\xAD\xE7\x97\x9B \xCE\xB1\xCE\xB2";  // U+982D U+75DB, alpha beta
  const std::string own = "\xE3\x81\x82";           // U+3042
  Journal journal;
  journal[DayNumberOf(2024, 3, 1)] = {Flow::kMedium, 0, {own}, Mood::kCalm, note};
  ASSERT_TRUE(store().SetPassword(kHiraganaA, "pw"));
  ASSERT_TRUE(SaveJournalChanges(store(), kHiraganaA, {}, journal));
  ASSERT_TRUE(SaveOwnSymptomNames(store(), kHiraganaA, {own}));
  Reopen();
  EXPECT_EQ(LoadJournal(store(), kHiraganaA), journal);
  EXPECT_EQ(LoadOwnSymptomNames(store(), kHiraganaA), std::vector<std::string>{own});
  const std::string stored =
      Read(Open(kCurrentUser, "Software\\Lunaret\\" + kHiraganaA), "Journal 2024-03-01");
  EXPECT_NE(stored.find(note), std::string::npos);
}

}  // namespace
}  // namespace lunaret
