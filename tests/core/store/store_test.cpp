// The user store on this platform's backend, and the registry behaviour it relies on.
#include "core/store/user_store.h"

#include <gmock/gmock.h>
#include <tuple>
#include <utility>

#include "../test_support.h"

namespace lunaret {
namespace {

using std::string_literals::operator""s;
using Records = std::vector<StatisticsRecord>;

class UserStoreTest : public test::StoreTest {
 protected:
  std::string Password(const std::string& user) {
    std::string password = "<none>";
    EXPECT_TRUE(store().GetPassword(user, &password)) << user;
    return password;
  }
};

TEST_F(UserStoreTest, NamesDifferingInCaseAreOneUserWhoKeepsTheFirstSpelling) {
  // Each name as registered, then as typed later: Guest, Åsa, Élodie, Наташа.
  const std::pair<std::string, std::string> names[] = {
      {"Guest", "gUEST"},
#ifdef _WIN32
      {"\xC5sa", "\xE5SA"},
      {"\xC9lodie", "\xE9LODIE"},  // code page 1252
#else
      {"\xC3\x85sa", "\xC3\xA5SA"},
      {"\xC3\x89lodie", "\xC3\xA9LODIE"},
      {"\xD0\x9D\xD0\xB0\xD1\x82\xD0\xB0\xD1\x88\xD0\xB0",
       "\xD0\xBD\xD0\x90\xD0\xA2\xD0\x90\xD0\xA8\xD0\xB0"},
#endif
  };
  for (const auto& [registered, typed] : names) {
    ASSERT_TRUE(store().SetPassword(registered, "old"));
    ASSERT_TRUE(store().SetPassword(typed, registered));  // the same key
    EXPECT_EQ(Password(typed), registered);
  }
  EXPECT_EQ(store().ListUsers().size(), std::size(names));
  EXPECT_THAT(store().ListUsers(), ::testing::Contains("Guest"));
  EXPECT_FALSE(store().FindUser("Guests") || store().FindUser("Gues"));
}

TEST_F(UserStoreTest, APasswordHasAtMost255Bytes) {
  std::string longest;
  for (std::size_t k = 0; k < 255; ++k)
    longest += static_cast<char>('a' + k % 26);  // letters: no zero byte once scrambled
  EXPECT_FALSE(store().SetPassword("Anna", longest + "x"));
  EXPECT_TRUE(store().ListUsers().empty());  // nothing created
  ASSERT_TRUE(store().SetPassword("Anna", longest));
  EXPECT_FALSE(store().SetPassword("Anna", longest + longest));  // the stored one stays
  EXPECT_EQ(Password("Anna"), longest);
}

TEST_F(UserStoreTest, ValuesAreStoredWithTheirNamesTypesAndBytes) {
  ASSERT_TRUE(store().SetPassword("Anna", "abc"));
  ASSERT_TRUE(store().SetPassword("Cut", "\377ab"));  // 0xFF lands on position 2 as 0: cut there
  store().SetDuration("Anna", "29");
  store().SetCycleStart("Anna", -5);
  store().SetStatisticsLength("Anna", 0x80000001u);
  store().SetStatisticsDate("Anna", 0x01020304, 10);
  store().SetStatisticsOvulationDate("Anna", 222, 10);
  const std::tuple<const char*, const char*, std::uint32_t, std::string> values[] = {
      {"Anna", "", kRegSz, "bbb\0"s},
      {"Cut", "", kRegSz, "aa\0"s},
      {"Anna", "duration", kRegSz, "29\0"s},
      {"Anna", "data", kRegDword, "\xFB\xFF\xFF\xFF"},
      {"Anna", "StatisticsLength", kRegDword, "\1\0\0\x80"s},
      {"Anna", "StatisticsDate10", kRegDword, "\4\3\2\1"},
      {"Anna", "StatisticsOvalDate10", kRegDword, "\xDE\0\0\0"s},
  };
  for (const auto& [user, name, type, bytes] : values) {
    std::uint32_t stored = 0;
    EXPECT_EQ(Read(Open(kCurrentUser, "Software\\Lunaret\\"s + user), name, &stored), bytes)
        << name;
    EXPECT_EQ(stored, type) << name;
  }
  EXPECT_EQ(store().CountValues("Anna"), 6u);  // and no others
  EXPECT_EQ(store().GetCycleStart("Anna"), -5);
  EXPECT_EQ(store().GetStatisticsLength("Anna"), 0x80000001u);
  EXPECT_EQ(store().GetStatisticsDate("Anna", 10), 0x01020304);
  store().SetDuration("Anna", std::string(100, '7'));  // 101 bytes do not fit the 100-byte buffer
  EXPECT_EQ(store().GetDuration("Anna"), "");
}

// Reading an unknown user creates her key, empty; deleting a user removes all her values.
TEST_F(UserStoreTest, UnknownAndDeletedUsersHaveNoValues) {
  ASSERT_TRUE(store().SetPassword("Anna", "pw"));
  store().SetStatisticsDate("Anna", 1, 0);
  EXPECT_EQ(store().GetCycleStart("Berta"), 0);
  std::string password = "unchanged";
  EXPECT_FALSE(store().GetPassword("berta", &password));
  EXPECT_EQ(password + store().GetDuration("Berta"), "unchanged");
  EXPECT_TRUE(store().DeleteUserKey("Nobody"));  // no key is a key gone
  EXPECT_TRUE(store().DeleteUserKey("aNNA"));
  EXPECT_THAT(store().ListUsers(), ::testing::ElementsAre("Berta"));
  // A key the store cannot delete (it has a key of its own) is reported and kept.
  RegKey sub = 0;
  ASSERT_EQ(registry().CreateKey(kCurrentUser, "Software\\Lunaret\\Berta\\sub", &sub),
            kErrorSuccess);
  registry().CloseKey(sub);
  EXPECT_FALSE(store().DeleteUserKey("Berta"));
  EXPECT_TRUE(store().FindUser("Berta"));
  EXPECT_EQ(store().GetStatisticsDate("Anna", 0), 0);  // a new key, without the old values
  EXPECT_EQ(store().CountValues("Anna") + store().CountValues("Berta"), 0u);
}

// The values of the stored count are deleted, none when it is negative as a signed number; no
// damaged count makes a load or a deletion hang or take all memory.
TEST_F(UserStoreTest, StatisticsLoadWhatWasSavedAndDamagedCountsAreSafe) {
  for (int i = 0; i < 5; ++i) {
    store().SetStatisticsDate("Anna", 100 + i, i);
    store().SetStatisticsOvulationDate("Anna", 200 + i, i);
  }
  for (std::uint32_t count : {0xFFFFFFFFu, 3u}) {
    store().SetStatisticsLength("Anna", count);
    EXPECT_EQ(LoadStatistics(store(), "Anna").size(), count == 3 ? 3u : 0u);
    store().DeleteStatistics("Anna");
  }
  EXPECT_EQ(store().CountValues("Anna"), 5u);  // indices 3 and 4 and the count 0 are left
  EXPECT_EQ(store().GetStatisticsOvulationDate("Anna", 3), 203);
  store().SetStatisticsLength("Anna", 0x7FFFFFFFu);
  EXPECT_THAT(LoadStatistics(store(), "Anna"), ::testing::SizeIs(5));
  store().DeleteStatistics("Anna");
  EXPECT_EQ(store().CountValues("Anna"), 1u);  // the count: what a save could write is gone

  const Records records = {{5, 6}, {7, 0}, {9, 10}};
  SaveStatistics(store(), "Anna", {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}});
  SaveStatistics(store(), "Anna", records);
  Reopen();
  ASSERT_NE(registry_, nullptr);
  EXPECT_EQ(LoadStatistics(store(), "anna"), records);
  EXPECT_EQ(store().CountValues("Anna"), 7u);  // the count and three pairs
}

// Read-only keys refuse writes; a buffer must hold a value or name with its terminator.
TEST_F(UserStoreTest, TheRegistryMatchesNamesAndRefusesWhatDoesNotFit) {
  RegKey key = 0;
  EXPECT_EQ(registry().OpenKey(kCurrentUser, "Software", kKeyRead, &key), kErrorFileNotFound);
  key = Create("Software\\Lunaret\\Anna");
  ASSERT_EQ(Set(key, "Data", "\1\2\3\4", kRegDword), kErrorSuccess);
  ASSERT_EQ(Set(key, "", "secret\0"s), kErrorSuccess);
  std::uint32_t type = 0;
  const RegKey root = Open(kCurrentUser, "software\\Lunaret");
  EXPECT_EQ(Set(Open(root, "anna"), "data", "x"), kErrorAccessDenied);
  unsigned char buffer[6] = {};
  std::uint32_t size = sizeof buffer;
  EXPECT_EQ(registry().QueryValue(key, "", &type, buffer, &size), kErrorMoreData);
  EXPECT_EQ(size, 7u);
  size = 4;  // "Anna" without its terminator
  EXPECT_EQ(registry().EnumKey(root, 0, reinterpret_cast<char*>(buffer), &size), kErrorMoreData);
  EXPECT_EQ(registry().DeleteValue(key, "dATA"), kErrorSuccess);
  EXPECT_EQ(registry().DeleteValue(key, "data"), kErrorFileNotFound);
  EXPECT_NE(registry().DeleteKey(Create("Software"), "Lunaret"), kErrorSuccess);  // has subkeys
  EXPECT_EQ(registry().DeleteKey(root, "Nobody"), kErrorFileNotFound);
}

TEST_F(UserStoreTest, ReadsInsideATransactionFollowTheWritesMadeInIt) {
  StoreTransaction transaction(registry());
  const RegKey key = Create("Software\\Lunaret\\Anna");
  const auto name = [](char letter, int i) { return letter + std::to_string(i); };
  for (int i = 0; i < 200; ++i)
    ASSERT_EQ(Set(key, name('v', i), "old\0"s), kErrorSuccess);
  for (bool changed : {false, true}) {  // many reads, then writes, then many reads
    for (int i = 199; i >= 0; --i) {    // 7 and 8 last, from what was read in bulk
      const auto expected = !changed || i > 8 || i < 7 ? "old\0"s : i == 7 ? "new\0"s : "<absent>";
      ASSERT_EQ(Read(key, name('V', i)), expected) << i;
    }
    if (changed)
      break;
    ASSERT_EQ(Set(key, "v7", "new\0"s), kErrorSuccess);
    EXPECT_EQ(Read(key, "v7"), "new\0"s);
    ASSERT_EQ(registry().DeleteValue(key, "v8"), kErrorSuccess);
    EXPECT_EQ(Read(key, "v8"), "<absent>");
  }
  EXPECT_TRUE(transaction.Commit());
}

}  // namespace
}  // namespace lunaret
