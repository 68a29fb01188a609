// The store under a double-byte ANSI code page (932, Japanese): passwords and user names are
// byte texts of that code page, a two-byte character moves and folds as a unit, and the
// registry holds their UTF-16 form. Runs in a process started with LC_ALL=ja_JP.UTF-8, which
// makes Wine choose code page 932.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "core/registry_win.h"
#include "core/scramble.h"
#include "core/text.h"
#include "core/user_store.h"
#include "registry_test_support.h"

namespace lunaret {
namespace {

using ::testing::UnorderedElementsAre;

// Shift-JIS: HIRAGANA A, FULLWIDTH A and a, KATAKANA SMALL YA (trail byte 'a') and KATAKANA A
// (trail byte 'A').
const std::string kHiraganaA = "\x82\xA0";
const std::string kFullwidthUpperA = "\x82\x60";
const std::string kFullwidthLowerA = "\x82\x81";
const std::string kSmallYa = "\x83\x61";
const std::string kKatakanaA = "\x83\x41";

class CodePage932 : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8 under Wine"; }
};

TEST_F(CodePage932, DoubleByteCharactersReverseAndFoldAsAUnit) {
  EXPECT_EQ(CharLength(kHiraganaA, 0), 2u);
  EXPECT_EQ(ReverseByCharacter("a" + kHiraganaA + "b"), "b" + kHiraganaA + "a");
  EXPECT_EQ(ReverseByCharacter(kSmallYa + kKatakanaA), kKatakanaA + kSmallYa);
  // A lead byte without its trail byte stays a byte of its own.
  EXPECT_EQ(ReverseByCharacter("a\x83"), std::string("\x83") + "a");
  EXPECT_EQ(UpperCase(kFullwidthLowerA), kFullwidthUpperA);
  EXPECT_TRUE(EqualNoCase(kFullwidthLowerA + "bc", kFullwidthUpperA + "BC"));
  // The trail byte of SMALL YA is the letter a; upper-casing it would make KATAKANA A.
  EXPECT_EQ(UpperCase(kSmallYa), kSmallYa);
}

TEST_F(CodePage932, PasswordsWithDoubleByteCharactersScrambleAndComeBack) {
  // b, HIRAGANA A, a = 62 82 A0 61, raised by -1, 0, 1, 2.
  EXPECT_EQ(ScramblePassword("a" + kHiraganaA + "b"), "\x61\x82\xA1\x63");
  EXPECT_EQ(UnscramblePassword("\x61\x82\xA1\x63"), "a" + kHiraganaA + "b");

  const std::string pieces[] = {"a", kHiraganaA, "Z", kSmallYa, kFullwidthLowerA, "7"};
  int checked = 0;
  for (std::size_t length = 0; length <= 255; ++length) {
    std::string password;
    for (std::size_t i = length; password.size() < length; ++i) {
      const std::string& piece = pieces[i % std::size(pieces)];
      password += password.size() + piece.size() <= length ? piece : "q";
    }
    if (ScrambledFormHasZeroByte(password))
      continue;
    ASSERT_EQ(UnscramblePassword(ScramblePassword(password)), password) << "length " << length;
    ++checked;
  }
  EXPECT_GT(checked, 200);  // only a few passwords scramble to a zero byte
}

class CodePage932Store : public CodePage932 {
 protected:
  void SetUp() override {
    CodePage932::SetUp();
    registry_ = OpenWindowsRegistry(scratch_.path());
    ASSERT_NE(registry_, nullptr);
    store_ = std::make_unique<UserStore>(*registry_);
  }

  std::string UserKey(const std::string& user) const {
    return scratch_.path() + "\\Software\\Lunaret\\" + user;
  }

  test::ScratchKey scratch_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<UserStore> store_;
};

// Names whose trail bytes differ only in case are two users; fullwidth letters match without
// regard to case.
TEST_F(CodePage932Store, NamesFoldByDoubleByteCharacter) {
  ASSERT_TRUE(store_->SetPassword(kSmallYa, "one"));
  ASSERT_TRUE(store_->SetPassword(kKatakanaA, "two"));
  ASSERT_TRUE(store_->SetPassword(kFullwidthUpperA + "nna", "three"));
  EXPECT_THAT(store_->ListUsers(),
              UnorderedElementsAre(kSmallYa, kKatakanaA, kFullwidthUpperA + "nna"));
  const std::pair<std::string, std::string> logins[] = {
      {kSmallYa, "one"}, {kKatakanaA, "two"}, {kFullwidthLowerA + "NNA", "three"}};
  for (const auto& [user, expected] : logins) {
    std::string password;
    ASSERT_TRUE(store_->GetPassword(user, &password));
    EXPECT_EQ(password, expected);
  }
  store_->DeleteUserKey(kSmallYa);
  EXPECT_FALSE(store_->FindUser(kSmallYa));
  EXPECT_TRUE(store_->FindUser(kKatakanaA));
}

TEST_F(CodePage932Store, TheRegistryHoldsTheUtf16FormOfTheCodePageTexts) {
  ASSERT_TRUE(store_->SetPassword(kHiraganaA, kHiraganaA));
  // HIRAGANA A scrambles to 81 A0 (WHITE SQUARE, U+25A1); the stored size counts the bytes of
  // the code page text with its terminator.
  EXPECT_EQ(test::ReadRawA(UserKey(kHiraganaA), ""), std::string("\x81\xA0", 3));
  EXPECT_EQ(test::ReadRawW(UserKey(kHiraganaA), L""), std::string("\xA1\x25\0\0", 4));

  // The key's name is the UTF-16 form of the user name.
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER,
                          (std::wstring(scratch_.path().begin(), scratch_.path().end()) +
                           L"\\Software\\Lunaret\\\x3042")
                              .c_str(),
                          0, KEY_READ, &key),
            ERROR_SUCCESS);
  RegCloseKey(key);

  std::string password;
  ASSERT_TRUE(store_->GetPassword(kHiraganaA, &password));
  EXPECT_EQ(password, kHiraganaA);
}

}  // namespace
}  // namespace lunaret
