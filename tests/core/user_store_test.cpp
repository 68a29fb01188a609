#include "core/user_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "core/scramble.h"
#include "recording_registry.h"
#include "test_store.h"

namespace lunaret {
namespace {

using std::string_literals::operator""s;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string Dword(std::uint32_t value) {
  return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
          static_cast<char>(value >> 24)};
}

// Letters only: the stored form of such a password holds no zero byte.
std::string LongPassword(std::size_t length) {
  std::string password;
  for (std::size_t k = 0; k < length; ++k)
    password += static_cast<char>('a' + k % 26);
  return password;
}

class UserStoreTest : public test::StoreTest {
 protected:
  std::string Password(const std::string& user) {
    std::string password = "<none>";
    EXPECT_TRUE(store().GetPassword(user, &password)) << user;
    return password;
  }
  // A value of the user's key as the registry holds it, with its type in *type.
  std::string ReadValue(const std::string& user, const std::string& name, std::uint32_t* type) {
    return Read(Open(kCurrentUser, std::string(UserStore::kRootPath) + "\\" + user), name, type);
  }
};

TEST_F(UserStoreTest, NamesDifferingInCaseAreOneUser) {
  ASSERT_TRUE(store().SetPassword("Guest", "secret"));
  EXPECT_TRUE(store().FindUser("GUEST"));
  EXPECT_TRUE(store().FindUser("guest"));
  EXPECT_FALSE(store().FindUser("Guests"));
  EXPECT_FALSE(store().FindUser("Gues"));
  EXPECT_EQ(Password("guest"), "secret");
  // Writing under another spelling reaches the same key, which keeps its first spelling.
  ASSERT_TRUE(store().SetPassword("GUEST", "other"));
  store().SetDuration("gUeSt", "31");
  EXPECT_THAT(store().ListUsers(), ElementsAre("Guest"));
  EXPECT_EQ(Password("Guest"), "other");
  EXPECT_EQ(store().GetDuration("GUEST"), "31");
}

TEST_F(UserStoreTest, NonAsciiNamesFoldCase) {
  // Each name as registered, then as typed later.
#ifdef _WIN32
  // The ANSI code page, Windows-1252.
  const std::pair<std::string, std::string> names[] = {{"\xC5sa", "\xE5sa"},
                                                       {"\xE9lodie", "\xC9LODIE"}};
#else
  const std::pair<std::string, std::string> names[] = {
      {"\xC3\x85sa", "\xC3\xA5sa"},        // Åsa, åsa
      {"\xC3\xA9lodie", "\xC3\x89LODIE"},  // élodie, ÉLODIE
      {"\xD0\x9D\xD0\xB0\xD1\x82\xD0\xB0\xD1\x88\xD0\xB0",
       "\xD0\xBD\xD0\x90\xD0\xA2\xD0\x90\xD0\xA8\xD0\xB0"},  // Наташа, нАТАШа
      {"\xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1",
       "\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x8A\xCE\x91"},  // σοφία, ΣΟΦΊΑ
  };
#endif
  for (const auto& [registered, typed] : names)
    ASSERT_TRUE(store().SetPassword(registered, registered));
  for (const auto& [registered, typed] : names)
    EXPECT_EQ(Password(typed), registered);
  EXPECT_FALSE(store().FindUser("asa"));
  EXPECT_EQ(store().ListUsers().size(), std::size(names));
}

TEST_F(UserStoreTest, A255BytePasswordIsStoredAndA256ByteOneRefused) {
  const std::string longest = LongPassword(255);
  ASSERT_FALSE(ScrambledFormHasZeroByte(longest));
  EXPECT_FALSE(store().SetPassword("Anna", longest + "x"));
  EXPECT_THAT(store().ListUsers(), IsEmpty());  // nothing created
  ASSERT_TRUE(store().SetPassword("Anna", longest));
  EXPECT_FALSE(store().SetPassword("Anna", LongPassword(300)));  // the stored one stays
  EXPECT_EQ(Password("Anna"), longest);
  ASSERT_TRUE(store().SetPassword("Empty", ""));
  EXPECT_EQ(Password("Empty"), "");
}

TEST_F(UserStoreTest, AValueOperationOnAnUnknownNameCreatesTheKeyEmptyAndWithoutPassword) {
  std::string password = "unchanged";
  EXPECT_FALSE(store().GetPassword("Nobody", &password));
  EXPECT_EQ(store().GetCycleStart("Nobody"), 0);
  EXPECT_THAT(store().ListUsers(), ElementsAre("Nobody"));
  EXPECT_TRUE(store().FindUser("nobody"));
  EXPECT_FALSE(store().GetPassword("Nobody", &password));  // a user now, but no password
  EXPECT_EQ(password, "unchanged");
  EXPECT_EQ(store().GetDuration("Nobody"), "");
  EXPECT_EQ(store().GetStatisticsLength("Nobody"), 0u);
  EXPECT_EQ(store().GetStatisticsDate("Nobody", 3), 0);
  EXPECT_EQ(store().GetStatisticsOvulationDate("Nobody", 3), 0);
  EXPECT_EQ(store().CountValues("Nobody"), 0u);
}

TEST_F(UserStoreTest, ValuesAreStoredWithTheirNamesTypesAndBytes) {
  ASSERT_TRUE(store().SetPassword("Anna", "abc"));
  ASSERT_TRUE(store().SetPassword("Cut", "\377ab"));  // 0xFF lands on position 2 as 0: cut there
  store().SetDuration("Anna", "29");
  store().SetCycleStart("Anna", -5);
  store().SetStatisticsLength("Anna", 0xFFFFFFFFu);
  store().SetStatisticsDate("Anna", 111, 10);
  store().SetStatisticsOvulationDate("Anna", 222, 10);
  store().SetStatisticsDate("Anna", 333, 1);
  const std::tuple<const char*, const char*, std::uint32_t, std::string> values[] = {
      {"Anna", "", kRegSz, "bbb\0"s},
      {"Cut", "", kRegSz, "aa\0"s},
      {"Anna", "duration", kRegSz, "29\0"s},
      {"Anna", "data", kRegDword, Dword(0xFFFFFFFBu)},
      {"Anna", "StatisticsLength", kRegDword, Dword(0xFFFFFFFFu)},
      {"Anna", "StatisticsDate10", kRegDword, Dword(111)},
      {"Anna", "StatisticsOvalDate10", kRegDword, Dword(222)},
      {"Anna", "StatisticsDate1", kRegDword, Dword(333)},
  };
  for (const auto& [user, name, type, bytes] : values) {
    std::uint32_t stored = 0;
    EXPECT_EQ(ReadValue(user, name, &stored), bytes) << name;
    EXPECT_EQ(stored, type) << name;
  }
  EXPECT_EQ(store().CountValues("Anna"), 7u);  // and no others
  EXPECT_EQ(store().GetCycleStart("Anna"), -5);
  EXPECT_EQ(store().GetStatisticsLength("Anna"), 0xFFFFFFFFu);
}

TEST_F(UserStoreTest, DurationIsReadThroughA100ByteBuffer) {
  store().SetDuration("Anna", std::string(99, '7'));
  EXPECT_EQ(store().GetDuration("Anna"), std::string(99, '7'));
  store().SetDuration("Anna", std::string(100, '7'));  // 101 bytes with the terminator
  EXPECT_EQ(store().GetDuration("Anna"), "");
}

TEST_F(UserStoreTest, DeleteStatisticsDeletesTheValuesOfTheStoredCountAndWritesZero) {
  for (int i = 0; i < 5; ++i) {
    store().SetStatisticsDate("Anna", 100 + i, i);
    store().SetStatisticsOvulationDate("Anna", 200 + i, i);
  }
  store().SetCycleStart("Anna", 7);
  for (std::uint32_t none : {0u, 0xFFFFFFFFu}) {  // no count, or a negative one: nothing to delete
    store().SetStatisticsLength("Anna", none);
    store().DeleteStatistics("Anna");
    EXPECT_EQ(store().CountValues("Anna"), 12u) << none;
  }
  store().SetStatisticsLength("Anna", 3);
  store().DeleteStatistics("Anna");
  EXPECT_EQ(store().GetStatisticsLength("Anna"), 0u);
  EXPECT_EQ(store().CountValues("Anna"), 6u);  // indices 3 and 4, "data" and the count are left
  EXPECT_EQ(store().GetStatisticsDate("Anna", 3), 103);
  EXPECT_EQ(store().GetStatisticsOvulationDate("Anna", 4), 204);
  EXPECT_EQ(store().GetCycleStart("Anna"), 7);

  // A damaged count must not turn the clearing into billions of calls; what a save could have
  // written is still removed.
  store().SetStatisticsLength("Anna", 0x7FFFFFFFu);
  test::RecordingRegistry recording(registry());
  UserStore(recording).DeleteStatistics("Anna");
  EXPECT_LT(recording.CallsStartingWith("DeleteValue").size(), 20u);
  EXPECT_EQ(store().CountValues("Anna"), 2u);  // "data" and the count are left
}

TEST_F(UserStoreTest, DeleteUserKeyRemovesEverythingOfThatUserOnly) {
  ASSERT_TRUE(store().SetPassword("Anna", "pw"));
  store().SetCycleStart("Anna", 12345);
  store().SetDuration("Anna", "28");
  store().SetStatisticsLength("Anna", 1);
  store().SetStatisticsDate("Anna", 1, 0);
  store().SetStatisticsOvulationDate("Anna", 2, 0);
  ASSERT_TRUE(store().SetPassword("Berta", "pw2"));
  store().DeleteUserKey("");
  EXPECT_TRUE(store().DeleteUserKey("Nobody"));  // no key is a key gone
  EXPECT_TRUE(store().DeleteUserKey("ANNA"));
  EXPECT_FALSE(store().FindUser("Anna"));
  EXPECT_THAT(store().ListUsers(), ElementsAre("Berta"));
  EXPECT_EQ(Password("Berta"), "pw2");
  // A key the store refuses to delete (it has a key of its own) is reported and kept.
  RegKey sub = 0;
  ASSERT_EQ(registry().CreateKey(kCurrentUser, "Software\\Lunaret\\Berta\\sub", &sub),
            kErrorSuccess);
  registry().CloseKey(sub);
  EXPECT_FALSE(store().DeleteUserKey("Berta"));
  EXPECT_TRUE(store().FindUser("Berta"));
  // A later value operation creates the key anew, without the old values.
  EXPECT_EQ(store().GetCycleStart("Anna"), 0);
  EXPECT_EQ(store().CountValues("Anna"), 0u);
}

// Each operation opens what it needs, with the access of its algorithm, and closes it again
// before it returns, whatever the outcome.
TEST_F(UserStoreTest, EveryOperationClosesEveryKeyItOpens) {
  test::RecordingRegistry recording(registry());
  UserStore s(recording);
  EXPECT_FALSE(s.SetPassword("Anna", std::string(256, 'x')));
  EXPECT_THAT(recording.calls, IsEmpty());  // refused before any call
  std::string password;
  s.SetPassword("Anna", "pw");
  s.GetPassword("Anna", &password);
  s.GetPassword("Nobody", &password);
  s.FindUser("Nobody");
  s.ListUsers();
  s.SetDuration("Anna", "28");
  s.GetDuration("Anna");
  s.SetStatisticsLength("Anna", 2);
  s.GetStatisticsDate("Anna", 0);
  s.DeleteStatistics("Anna");
  s.CountValues("Anna");
  s.OpenRoot();
  s.DeleteUserKey("Anna");
  s.DeleteUserKey("Nobody");
  EXPECT_EQ(recording.openKeys, 0);
  EXPECT_GT(recording.CallsStartingWith("CloseKey").size(), 12u);
}

TEST_F(UserStoreTest, GetPasswordReadsWithReadAccessAndDeleteUserKeyOpensTheRootToDelete) {
  ASSERT_TRUE(store().SetPassword("Anna", "pw"));
  test::RecordingRegistry recording(registry());
  UserStore watched(recording);
  std::string password;
  ASSERT_TRUE(watched.GetPassword("ANNA", &password));
  EXPECT_EQ(password, "pw");
  EXPECT_EQ(recording.calls.front(), "CreateKey Software\\Lunaret");  // FindUser first
  EXPECT_THAT(recording.CallsStartingWith("OpenKey"),
              ElementsAre("OpenKey Software\\Lunaret\\ANNA 20019"));
  EXPECT_THAT(recording.CallsStartingWith("QueryValue"), ElementsAre("QueryValue "));
  recording.calls.clear();
  watched.DeleteUserKey("Anna");
  EXPECT_THAT(recording.calls,
              ElementsAre("OpenKey Software\\Lunaret 2001f", "DeleteKey Anna", "CloseKey"));
}

}  // namespace
}  // namespace lunaret
