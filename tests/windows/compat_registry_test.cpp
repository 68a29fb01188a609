// Stores in the registry are shared between builds: a store written by hand in regedit's format
// is read by the core, and what the core writes exports to exactly the values a store holds.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/registry_win.h"
#include "core/statistics.h"
#include "core/user_store.h"
#include "registry_test_support.h"

namespace lunaret {
namespace {

using test::DwordBytes;
using test::NativePath;
using test::RawValue;
using test::ReadBytes;
using test::ReadRawA;
using test::ReadRawW;
using test::RegFileLines;
using test::RunRegedit;
using test::ScratchKey;
using test::TempFile;
using test::Utf16Bytes;
using test::WriteBytes;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

std::string HandWrittenStorePath() {
  return NativePath(LUNARET_COMPAT_STORE_REG);
}

// 5 January, 2 February, 3 March 2004 at 01:01:01 UTC and two ovulation dates.
constexpr TimeValue kJan5 = 0x3ff8b74d;
constexpr TimeValue kJan19 = 0x400b2c4d;
constexpr TimeValue kFeb2 = 0x401da14d;
constexpr TimeValue kMar1 = 0x40428b4d;
constexpr TimeValue kMar3 = 0x40452e4d;
constexpr TimeValue kMar17 = 0x4057a34d;

class HandWrittenStore : public ::testing::Test {
 protected:
  void SetUp() override {
    // The file names the real root; it is imported below a scratch key instead.
    const std::string original = ReadBytes(HandWrittenStorePath());
    ASSERT_NE(original.find("[HKEY_CURRENT_USER\\Software\\Lunaret\\Alice]"), std::string::npos)
        << "cannot read " << HandWrittenStorePath();
    WriteBytes(file_.path(), ReplaceAll(original, "[HKEY_CURRENT_USER\\Software\\Lunaret",
                                        "[" + scratch_.FullName() + "\\Software\\Lunaret"));
    ASSERT_EQ(RunRegedit("/S \"" + file_.path() + "\""), 0);
    registry_ = OpenWindowsRegistry(scratch_.path());
    ASSERT_NE(registry_, nullptr);
    store_ = std::make_unique<UserStore>(*registry_);
  }

  ScratchKey scratch_;
  TempFile file_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<UserStore> store_;
};

TEST_F(HandWrittenStore, UsersLogInWithTheirPasswordsUnderAnySpelling) {
  EXPECT_THAT(store_->ListUsers(), UnorderedElementsAre("Alice", "Guest"));
  EXPECT_TRUE(store_->FindUser("ALICE"));
  EXPECT_FALSE(store_->FindUser("Alic"));

  std::string password;
  ASSERT_TRUE(store_->GetPassword("alice", &password));
  EXPECT_EQ(password, "abc");

  // The second user's password lives as UTF-16 in the registry and reaches the core in the
  // ANSI code page.
  if (GetACP() == 1252) {
    ASSERT_TRUE(store_->GetPassword("Guest", &password));
    EXPECT_EQ(password, "\xE9");
  }
  EXPECT_FALSE(store_->GetPassword("Nobody", &password));
}

TEST_F(HandWrittenStore, ForecastAndStatisticsLoad) {
  EXPECT_EQ(store_->GetCycleStart("Alice"), kMar1);
  EXPECT_EQ(store_->GetDuration("Alice"), "28");

  const std::vector<StatisticsRecord> records = LoadStatistics(*store_, "Alice");
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].mensesDate, kJan5);
  EXPECT_EQ(records[0].ovulationDate, kJan19);
  EXPECT_EQ(records[1].mensesDate, kFeb2);
  EXPECT_EQ(records[1].ovulationDate, 0);
  EXPECT_EQ(records[2].mensesDate, kMar3);
  EXPECT_EQ(records[2].ovulationDate, kMar17);
  EXPECT_EQ(DurationDays(&records[0], &records[1]), 28);
  EXPECT_EQ(DurationDays(&records[1], &records[2]), 30);
  EXPECT_EQ(DurationDays(&records[2], nullptr), -1);
  EXPECT_EQ(OvulationOffsetDays(records[0]), 14);
  EXPECT_EQ(OvulationOffsetDays(records[2]), 14);

  // A user with only a password has no forecast values and no records.
  EXPECT_EQ(store_->GetCycleStart("Guest"), 0);
  EXPECT_TRUE(LoadStatistics(*store_, "Guest").empty());
}

TEST_F(HandWrittenStore, DeletingAUserRemovesItsKeyAndKeepsTheOthers) {
  store_->DeleteUserKey("alice");
  EXPECT_FALSE(store_->FindUser("Alice"));
  EXPECT_THAT(store_->ListUsers(), ElementsAre("Guest"));
  EXPECT_EQ(ReadRawA(scratch_.path() + "\\Software\\Lunaret\\Alice", "").result,
            ERROR_FILE_NOT_FOUND);
}

class CoreWrittenStore : public ::testing::Test {
 protected:
  void SetUp() override {
    registry_ = OpenWindowsRegistry(scratch_.path());
    ASSERT_NE(registry_, nullptr);
    store_ = std::make_unique<UserStore>(*registry_);
    userKey_ = scratch_.path() + "\\Software\\Lunaret\\Bob";
  }

  // Registers Bob as the account dialog does, then saves a forecast and statistics the way the
  // pages save: first three records, then two over them.
  void WriteBob() {
    ASSERT_TRUE(store_->SetPassword("Bob", "abc"));
    store_->SetCycleStart("Bob", kMar1);
    store_->SetDuration("Bob", "28");
    SaveStatistics(*store_, "Bob", {{kJan5, kJan19}, {kFeb2, 0}, {kMar3, kMar17}});
    SaveStatistics(*store_, "Bob", {{kFeb2, kMar17}, {kMar3, 0}});
  }

  std::vector<std::string> ExportBob() {
    TempFile file;
    EXPECT_EQ(RunRegedit("/E \"" + file.path() + "\" \"HKEY_CURRENT_USER\\" + userKey_ + "\""), 0);
    return RegFileLines(ReadBytes(file.path()));
  }

  ScratchKey scratch_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<UserStore> store_;
  std::string userKey_;
};

TEST_F(CoreWrittenStore, ExportHasExactlyTheNamesTypesAndValuesOfAStore) {
  WriteBob();
  const std::vector<std::string> lines = ExportBob();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Windows Registry Editor Version 5.00");
  EXPECT_EQ(lines[1], "[HKEY_CURRENT_USER\\" + userKey_ + "]");
  // No values of the three-record save are left behind, and nothing else is stored.
  EXPECT_THAT(std::vector<std::string>(lines.begin() + 2, lines.end()),
              UnorderedElementsAre(
                  "@=\"bbb\"", "\"data\"=dword:40428b4d", "\"duration\"=\"28\"",
                  "\"StatisticsLength\"=dword:00000002", "\"StatisticsDate0\"=dword:401da14d",
                  "\"StatisticsOvalDate0\"=dword:4057a34d", "\"StatisticsDate1\"=dword:40452e4d",
                  "\"StatisticsOvalDate1\"=dword:00000000"));
}

TEST_F(CoreWrittenStore, TextsAreStoredWithTheirTerminatorAndNumbersAsLittleEndianDwords) {
  WriteBob();
  const RawValue password = ReadRawA(userKey_, "");
  ASSERT_EQ(password.result, ERROR_SUCCESS);
  EXPECT_EQ(password.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(password.bytes, std::string("bbb", 4));
  // The registry keeps texts as UTF-16; the terminator is stored too.
  EXPECT_EQ(ReadRawW(userKey_, L"").bytes, Utf16Bytes(std::wstring(L"bbb", 4)));

  const RawValue duration = ReadRawA(userKey_, "duration");
  EXPECT_EQ(duration.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(duration.bytes, std::string("28", 3));
  EXPECT_EQ(ReadRawW(userKey_, L"duration").bytes, Utf16Bytes(std::wstring(L"28", 3)));

  const RawValue data = ReadRawA(userKey_, "data");
  EXPECT_EQ(data.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(data.bytes, DwordBytes(static_cast<DWORD>(kMar1)));
  EXPECT_EQ(data.bytes, "\x4d\x8b\x42\x40");
  EXPECT_EQ(ReadRawA(userKey_, "StatisticsLength").bytes, DwordBytes(2));
  EXPECT_EQ(ReadRawA(userKey_, "StatisticsOvalDate1").bytes, DwordBytes(0));
  EXPECT_EQ(ReadRawA(userKey_, "StatisticsDate2").result, ERROR_FILE_NOT_FOUND);
}

TEST_F(CoreWrittenStore, ExportedStoreImportsBackUnchanged) {
  WriteBob();
  TempFile file;
  ASSERT_EQ(RunRegedit("/E \"" + file.path() + "\" \"HKEY_CURRENT_USER\\" + userKey_ + "\""), 0);
  store_->DeleteUserKey("Bob");
  ASSERT_FALSE(store_->FindUser("Bob"));

  ASSERT_EQ(RunRegedit("/S \"" + file.path() + "\""), 0);
  std::string password;
  ASSERT_TRUE(store_->GetPassword("Bob", &password));
  EXPECT_EQ(password, "abc");
  EXPECT_EQ(store_->GetDuration("Bob"), "28");
  EXPECT_EQ(store_->GetCycleStart("Bob"), kMar1);
  const std::vector<StatisticsRecord> records = LoadStatistics(*store_, "Bob");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].mensesDate, kFeb2);
  EXPECT_EQ(records[0].ovulationDate, kMar17);
  EXPECT_EQ(records[1].mensesDate, kMar3);
  EXPECT_EQ(records[1].ovulationDate, 0);
}

}  // namespace
}  // namespace lunaret
