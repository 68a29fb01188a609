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

using std::string_literals::operator""s;
using ::testing::UnorderedElementsAre;

// 5 January, 2 February, 1 and 3 March 2004 at 01:01:01 UTC, and two ovulation dates.
constexpr TimeValue kJan5 = 0x3ff8b74d;
constexpr TimeValue kJan19 = 0x400b2c4d;
constexpr TimeValue kFeb2 = 0x401da14d;
constexpr TimeValue kMar1 = 0x40428b4d;
constexpr TimeValue kMar3 = 0x40452e4d;
constexpr TimeValue kMar17 = 0x4057a34d;

class CompatibleStore : public ::testing::Test {
 protected:
  void SetUp() override {
    registry_ = OpenWindowsRegistry(scratch_.path());
    ASSERT_NE(registry_, nullptr);
    store_ = std::make_unique<UserStore>(*registry_);
  }

  test::ScratchKey scratch_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<UserStore> store_;
};

// store_by_hand.reg names the real root; it is imported below the scratch key instead.
TEST_F(CompatibleStore, AStoreWrittenByHandIsReadByTheCore) {
  std::string file = test::ReadBytes(LUNARET_COMPAT_STORE_REG);
  const std::string root = "[HKEY_CURRENT_USER\\Software\\Lunaret";
  ASSERT_NE(file.find(root + "\\Alice]"), std::string::npos) << LUNARET_COMPAT_STORE_REG;
  for (std::size_t at = file.find(root); at != std::string::npos; at = file.find(root, at + 1))
    file.replace(at, root.size(), "[HKEY_CURRENT_USER\\" + scratch_.path() + "\\Software\\Lunaret");
  test::TempFile imported;
  test::WriteBytes(imported.path(), file);
  ASSERT_EQ(test::RunRegedit("/S \"" + imported.path() + "\""), 0);

  EXPECT_THAT(store_->ListUsers(), UnorderedElementsAre("Alice", "Guest"));
  EXPECT_FALSE(store_->FindUser("Alic"));
  std::string password;
  ASSERT_TRUE(store_->GetPassword("ALICE", &password));
  EXPECT_EQ(password, "abc");
  // Guest's password is UTF-16 in the registry and reaches the core in the ANSI code page.
  if (GetACP() == 1252) {
    ASSERT_TRUE(store_->GetPassword("guest", &password));
    EXPECT_EQ(password, "\xE9");
  }

  EXPECT_EQ(store_->GetCycleStart("Alice"), kMar1);
  EXPECT_EQ(store_->GetDuration("Alice"), "28");
  const std::vector<StatisticsRecord> records = LoadStatistics(*store_, "Alice");
  ASSERT_EQ(records.size(), 3u);
  const TimeValue expected[3][2] = {{kJan5, kJan19}, {kFeb2, 0}, {kMar3, kMar17}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(records[i].mensesDate, expected[i][0]) << i;
    EXPECT_EQ(records[i].ovulationDate, expected[i][1]) << i;
  }
  EXPECT_EQ(DurationDays(&records[0], &records[1]), 28);
  EXPECT_EQ(DurationDays(&records[1], &records[2]), 30);
  EXPECT_EQ(OvulationOffsetDays(records[0]), 14);
  EXPECT_EQ(OvulationOffsetDays(records[2]), 14);
  EXPECT_TRUE(LoadStatistics(*store_, "Guest").empty());
}

// Bob is registered and saved the way the dialogs and pages do it: three records, then two
// over them. regedit's export of his key holds exactly the values of a store, and the texts
// are kept with their terminator.
TEST_F(CompatibleStore, WhatTheCoreWritesExportsToExactlyTheValuesOfAStore) {
  ASSERT_TRUE(store_->SetPassword("Bob", "abc"));
  store_->SetCycleStart("Bob", kMar1);
  store_->SetDuration("Bob", "28");
  SaveStatistics(*store_, "Bob", {{kJan5, kJan19}, {kFeb2, 0}, {kMar3, kMar17}});
  SaveStatistics(*store_, "Bob", {{kFeb2, kMar17}, {kMar3, 0}});

  const std::string bob = scratch_.path() + "\\Software\\Lunaret\\Bob";
  test::TempFile exported;
  ASSERT_EQ(test::RunRegedit("/E \"" + exported.path() + "\" \"HKEY_CURRENT_USER\\" + bob + "\""),
            0);
  const std::vector<std::string> lines = test::RegFileLines(test::ReadBytes(exported.path()));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Windows Registry Editor Version 5.00");
  EXPECT_EQ(lines[1], "[HKEY_CURRENT_USER\\" + bob + "]");
  EXPECT_THAT(std::vector<std::string>(lines.begin() + 2, lines.end()),
              UnorderedElementsAre(
                  "@=\"bbb\"", "\"data\"=dword:40428b4d", "\"duration\"=\"28\"",
                  "\"StatisticsLength\"=dword:00000002", "\"StatisticsDate0\"=dword:401da14d",
                  "\"StatisticsOvalDate0\"=dword:4057a34d", "\"StatisticsDate1\"=dword:40452e4d",
                  "\"StatisticsOvalDate1\"=dword:00000000"));
  EXPECT_EQ(test::ReadRawA(bob, ""), "bbb\0"s);
  EXPECT_EQ(test::ReadRawW(bob, L""), "b\0b\0b\0\0\0"s);
  EXPECT_EQ(test::ReadRawW(bob, L"duration"), "2\08\0\0\0"s);  // "28" in UTF-16
}

}  // namespace
}  // namespace lunaret
