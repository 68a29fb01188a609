// Stores in the registry are shared between builds: regedit's files of them, both ways.
#include "core/store/registry_win.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <sstream>

#include "../core/test_support.h"

namespace lunaret {
namespace {

using std::string_literals::operator""s;
using ::testing::UnorderedElementsAre;

// 5 January, 2 February, 1 and 3 March 2004 at 01:01:01 UTC, and two ovulation dates.
constexpr TimeValue kJan5 = 0x3ff8b74d, kJan19 = 0x400b2c4d, kFeb2 = 0x401da14d;
constexpr TimeValue kMar1 = 0x40428b4d, kMar3 = 0x40452e4d, kMar17 = 0x4057a34d;

class RegeditStore : public test::StoreTest {
 protected:
  static bool Regedit(const std::string& arguments) {
    return std::system(("regedit.exe " + arguments).c_str()) == 0;
  }
  const std::string root_ = "HKEY_CURRENT_USER\\" + path_ + "\\Software\\Lunaret";
};

// store_by_hand.reg names the real root; it is imported below the scratch key instead.
TEST_F(RegeditStore, AStoreWrittenByHandIsReadByTheCore) {
  std::string file = test::ReadFile(LUNARET_COMPAT_STORE_REG);
  const std::string root = "HKEY_CURRENT_USER\\Software\\Lunaret";
  ASSERT_NE(file.find(root + "\\Alice]"), std::string::npos) << LUNARET_COMPAT_STORE_REG;
  for (std::size_t at = file.find(root); at != std::string::npos; at = file.find(root, at + 1))
    file.replace(at, root.size(), root_);
  test::WriteFile(folder_.path() + "\\import.reg", file);
  ASSERT_TRUE(Regedit("/S \"" + folder_.path() + "\\import.reg\""));

  EXPECT_THAT(store().ListUsers(), UnorderedElementsAre("Alice", "Guest"));
  std::string password;
  ASSERT_TRUE(store().GetPassword("ALICE", &password));
  EXPECT_EQ(password, "abc");
  // Guest's password is UTF-16 in the registry and reaches the core in the ANSI code page 1252.
  ASSERT_TRUE(store().GetPassword("guest", &password));
  EXPECT_EQ(password, "\xE9");
  EXPECT_EQ(store().GetCycleStart("Alice"), kMar1);
  EXPECT_EQ(store().GetDuration("Alice"), "28");
  const std::vector<StatisticsRecord> records = LoadStatistics(store(), "Alice");
  EXPECT_EQ(records, (std::vector<StatisticsRecord>{{kJan5, kJan19}, {kFeb2, 0}, {kMar3, kMar17}}));
}

// Bob is registered and saved the way the dialogs and pages do it: three records, then two
// over them. regedit's export of his key holds exactly the values of a store.
TEST_F(RegeditStore, WhatTheCoreWritesExportsToExactlyTheValuesOfAStore) {
  ASSERT_TRUE(store().SetPassword("Bob", "abc"));
  store().SetCycleStart("Bob", kMar1);
  store().SetDuration("Bob", "28");
  SaveStatistics(store(), "Bob", {{kJan5, kJan19}, {kFeb2, 0}, {kMar3, kMar17}});
  SaveStatistics(store(), "Bob", {{kFeb2, kMar17}, {kMar3, 0}});
  ASSERT_TRUE(Regedit("/E \"" + folder_.path() + "\\export.reg\" \"" + root_ + "\\Bob\""));
  // UTF-16LE after a byte-order mark; all of it ASCII here.
  const std::string utf16 = test::ReadFile(folder_.path() + "\\export.reg");
  std::string text;
  for (std::size_t i = 2; i + 1 < utf16.size(); i += 2)
    text += utf16[i + 1] == 0 ? utf16[i] : '?';
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line, '\n');)
    if (line.size() > 1)
      lines.push_back(line.substr(0, line.size() - 1));  // without its '\r'
  EXPECT_THAT(
      lines,
      UnorderedElementsAre(
          "Windows Registry Editor Version 5.00", "[" + root_ + "\\Bob]", "@=\"bbb\"",
          "\"data\"=dword:40428b4d", "\"duration\"=\"28\"", "\"StatisticsLength\"=dword:00000002",
          "\"StatisticsDate0\"=dword:401da14d", "\"StatisticsOvalDate0\"=dword:4057a34d",
          "\"StatisticsDate1\"=dword:40452e4d", "\"StatisticsOvalDate1\"=dword:00000000"));
  EXPECT_EQ(registry().CloseKey(kCurrentUser), kErrorSuccess);  // the scratch base stays open
  EXPECT_EQ(Read(Open(kCurrentUser, "Software\\Lunaret\\Bob"), ""), "bbb\0"s);  // terminated
}

}  // namespace
}  // namespace lunaret
