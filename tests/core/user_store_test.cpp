#include "core/user_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "core/scramble.h"
#include "recording_registry.h"
#include "test_store.h"

namespace lunaret {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

struct RawValue {
  std::uint32_t type = 0;
  std::string bytes;
};

// A value as the registry holds it, read around the user store; nothing when it is absent.
std::optional<RawValue> ReadRaw(Registry& registry, const std::string& user,
                                const std::string& name) {
  RegKey key = 0;
  if (registry.OpenKey(kCurrentUser, std::string(UserStore::kRootPath) + "\\" + user, kKeyRead,
                       &key) != kErrorSuccess)
    return std::nullopt;
  RawValue value;
  std::uint32_t size = 0;
  long rc = registry.QueryValue(key, name, &value.type, nullptr, &size);
  if (rc == kErrorSuccess) {
    value.bytes.resize(size);
    rc = registry.QueryValue(key, name, &value.type,
                             reinterpret_cast<unsigned char*>(value.bytes.data()), &size);
  }
  registry.CloseKey(key);
  if (rc != kErrorSuccess)
    return std::nullopt;
  return value;
}

bool KeyExists(Registry& registry, const std::string& user) {
  RegKey key = 0;
  if (registry.OpenKey(kCurrentUser, std::string(UserStore::kRootPath) + "\\" + user, kKeyRead,
                       &key) != kErrorSuccess)
    return false;
  registry.CloseKey(key);
  return true;
}

std::string Dword(std::uint32_t value) {
  return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
          static_cast<char>(value >> 24)};
}

// 255 bytes whose stored form holds no zero byte.
std::string LongPassword(std::size_t length) {
  std::string password;
  for (std::size_t k = 0; k < length; ++k)
    password += static_cast<char>('a' + k % 26);
  return password;
}

class UserStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(backend_.ok()); }
  Registry& registry() { return backend_.registry(); }
  UserStore& store() { return backend_.store(); }

  test::TestStore backend_;
};

TEST_F(UserStoreTest, NamesDifferingInCaseAreOneUser) {
  ASSERT_TRUE(store().SetPassword("Guest", "secret"));
  EXPECT_TRUE(store().FindUser("Guest"));
  EXPECT_TRUE(store().FindUser("GUEST"));
  EXPECT_TRUE(store().FindUser("guest"));
  EXPECT_FALSE(store().FindUser("Guests"));
  EXPECT_FALSE(store().FindUser("Gues"));
  std::string password;
  ASSERT_TRUE(store().GetPassword("guest", &password));
  EXPECT_EQ(password, "secret");

  // Writing under another spelling reaches the same key, which keeps its first spelling.
  ASSERT_TRUE(store().SetPassword("GUEST", "other"));
  store().SetDuration("gUeSt", "31");
  EXPECT_THAT(store().ListUsers(), ElementsAre("Guest"));
  ASSERT_TRUE(store().GetPassword("Guest", &password));
  EXPECT_EQ(password, "other");
  EXPECT_EQ(store().GetDuration("GUEST"), "31");
}

TEST_F(UserStoreTest, NonAsciiNamesFoldCase) {
#ifdef _WIN32
  // The ANSI code page (Windows-1252): Å/å, É/é.
  const std::string upperA = "\xC5sa", lowerA = "\xE5sa", upperE = "\xC9LODIE",
                    lowerE = "\xE9lodie";
#else
  const std::string upperA = "\xC3\x85sa", lowerA = "\xC3\xA5sa", upperE = "\xC3\x89LODIE",
                    lowerE = "\xC3\xA9lodie";
#endif
  ASSERT_TRUE(store().SetPassword(upperA, "1"));
  ASSERT_TRUE(store().SetPassword(lowerE, "2"));
  EXPECT_TRUE(store().FindUser(lowerA));
  EXPECT_TRUE(store().FindUser(upperE));
  std::string password;
  ASSERT_TRUE(store().GetPassword(lowerA, &password));
  EXPECT_EQ(password, "1");
  ASSERT_TRUE(store().GetPassword(upperE, &password));
  EXPECT_EQ(password, "2");
  EXPECT_FALSE(store().FindUser("asa"));
  EXPECT_THAT(store().ListUsers(), UnorderedElementsAre(upperA, lowerE));
}

#ifndef _WIN32
TEST_F(UserStoreTest, CyrillicAndGreekNamesFoldCase) {
  const std::string natasha = "\xD0\x9D\xD0\xB0\xD1\x82\xD0\xB0\xD1\x88\xD0\xB0";  // Наташа
  const std::string natashaUpper = "\xD0\x9D\xD0\x90\xD0\xA2\xD0\x90\xD0\xA8\xD0\x90";  // НАТАША
  const std::string natashaLower = "\xD0\xBD\xD0\xB0\xD1\x82\xD0\xB0\xD1\x88\xD0\xB0";  // наташа
  const std::string sofia = "\xCE\xA3\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1";       // Σοφία
  const std::string sofiaLower = "\xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1";  // σοφία
  ASSERT_TRUE(store().SetPassword(natasha, "n"));
  ASSERT_TRUE(store().SetPassword(sofiaLower, "s"));
  EXPECT_TRUE(store().FindUser(natashaUpper));
  EXPECT_TRUE(store().FindUser(natashaLower));
  EXPECT_TRUE(store().FindUser(sofia));
  std::string password;
  ASSERT_TRUE(store().GetPassword(natashaLower, &password));
  EXPECT_EQ(password, "n");
  EXPECT_THAT(store().ListUsers(), UnorderedElementsAre(natasha, sofiaLower));
}
#endif

TEST_F(UserStoreTest, PasswordsOfUpTo255BytesAreStored) {
  const std::string longest = LongPassword(255);
  ASSERT_FALSE(ScrambledFormHasZeroByte(longest));
  ASSERT_TRUE(store().SetPassword("Anna", longest));
  std::string password;
  ASSERT_TRUE(store().GetPassword("Anna", &password));
  EXPECT_EQ(password, longest);

  ASSERT_TRUE(store().SetPassword("Empty", ""));
  ASSERT_TRUE(store().GetPassword("Empty", &password));
  EXPECT_EQ(password, "");
}

TEST_F(UserStoreTest, PasswordsOver255BytesAreRefusedWithoutCreatingAnything) {
  EXPECT_FALSE(store().SetPassword("Anna", LongPassword(256)));
  EXPECT_FALSE(store().FindUser("Anna"));
  EXPECT_FALSE(KeyExists(registry(), "Anna"));
  EXPECT_THAT(store().ListUsers(), IsEmpty());

  // An existing password stays as it was.
  ASSERT_TRUE(store().SetPassword("Anna", "old"));
  EXPECT_FALSE(store().SetPassword("Anna", LongPassword(300)));
  std::string password;
  ASSERT_TRUE(store().GetPassword("Anna", &password));
  EXPECT_EQ(password, "old");
}

TEST_F(UserStoreTest, PasswordIsStoredScrambledAsAZeroTerminatedText) {
  ASSERT_TRUE(store().SetPassword("Anna", "abc"));
  const auto stored = ReadRaw(registry(), "Anna", "");
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->type, kRegSz);
  EXPECT_EQ(stored->bytes, std::string("bbb\0", 4));

  // A stored form with a zero byte is kept up to that byte: 0xFF lands on position 2.
  ASSERT_TRUE(store().SetPassword("Cut",
                                  "\xFF"
                                  "ab"));
  const auto cut = ReadRaw(registry(), "Cut", "");
  ASSERT_TRUE(cut.has_value());
  EXPECT_EQ(cut->bytes, std::string("aa\0", 3));
}

TEST_F(UserStoreTest, GetPasswordFailsForUnknownUsersAndUsersWithoutPassword) {
  std::string password = "unchanged";
  EXPECT_FALSE(store().GetPassword("Nobody", &password));
  EXPECT_EQ(password, "unchanged");
  store().SetCycleStart("NoPassword", 5);
  EXPECT_FALSE(store().GetPassword("NoPassword", &password));
  EXPECT_EQ(password, "unchanged");
}

TEST_F(UserStoreTest, ValueOperationsOnAnUnknownNameCreateTheKeyEmpty) {
  EXPECT_EQ(store().GetCycleStart("Nobody"), 0);
  EXPECT_TRUE(KeyExists(registry(), "Nobody"));
  EXPECT_TRUE(store().FindUser("nobody"));
  EXPECT_EQ(store().CountValues("Nobody"), 0u);
  EXPECT_EQ(store().GetDuration("Nobody"), "");
  EXPECT_EQ(store().GetStatisticsLength("Nobody"), 0u);
  EXPECT_EQ(store().GetStatisticsDate("Nobody", 3), 0);
  EXPECT_EQ(store().GetStatisticsOvulationDate("Nobody", 3), 0);
  EXPECT_EQ(store().CountValues("Nobody"), 0u);
  EXPECT_THAT(store().ListUsers(), ElementsAre("Nobody"));
}

TEST_F(UserStoreTest, NumbersAreFourLittleEndianBytesKeptUnchanged) {
  store().SetCycleStart("Anna", -5);
  EXPECT_EQ(store().GetCycleStart("Anna"), -5);
  const auto data = ReadRaw(registry(), "Anna", "data");
  ASSERT_TRUE(data.has_value());
  EXPECT_EQ(data->type, kRegDword);
  EXPECT_EQ(data->bytes, Dword(0xFFFFFFFBu));

  store().SetCycleStart("Anna", 1078448461);
  EXPECT_EQ(store().GetCycleStart("Anna"), 1078448461);
  store().SetStatisticsLength("Anna", 0xFFFFFFFFu);
  EXPECT_EQ(store().GetStatisticsLength("Anna"), 0xFFFFFFFFu);
  EXPECT_EQ(ReadRaw(registry(), "Anna", "StatisticsLength")->bytes, Dword(0xFFFFFFFFu));
}

TEST_F(UserStoreTest, DurationIsATextReadThrough100Bytes) {
  store().SetDuration("Anna", "29");
  EXPECT_EQ(store().GetDuration("Anna"), "29");
  const auto stored = ReadRaw(registry(), "Anna", "duration");
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->type, kRegSz);
  EXPECT_EQ(stored->bytes, std::string("29\0", 3));

  store().SetDuration("Anna", std::string(99, '7'));
  EXPECT_EQ(store().GetDuration("Anna"), std::string(99, '7'));
  store().SetDuration("Anna", std::string(100, '7'));  // 101 bytes with the terminator
  EXPECT_EQ(store().GetDuration("Anna"), "");
  store().SetDuration("Anna", "");
  EXPECT_EQ(store().GetDuration("Anna"), "");
  EXPECT_EQ(ReadRaw(registry(), "Anna", "duration")->bytes, std::string("\0", 1));
}

TEST_F(UserStoreTest, StatisticsValuesAreNamedWithTheirIndex) {
  store().SetStatisticsDate("Anna", 111, 10);
  store().SetStatisticsOvulationDate("Anna", 222, 10);
  store().SetStatisticsDate("Anna", 333, 1);
  EXPECT_EQ(ReadRaw(registry(), "Anna", "StatisticsDate10")->bytes, Dword(111));
  EXPECT_EQ(ReadRaw(registry(), "Anna", "StatisticsOvalDate10")->bytes, Dword(222));
  EXPECT_EQ(ReadRaw(registry(), "Anna", "StatisticsDate1")->bytes, Dword(333));
  EXPECT_FALSE(ReadRaw(registry(), "Anna", "StatisticsDate010").has_value());
  EXPECT_EQ(store().GetStatisticsDate("Anna", 10), 111);
  EXPECT_EQ(store().GetStatisticsOvulationDate("Anna", 10), 222);
  EXPECT_EQ(store().GetStatisticsDate("Anna", 1), 333);
  EXPECT_EQ(store().GetStatisticsOvulationDate("Anna", 1), 0);
  EXPECT_EQ(store().GetStatisticsDate("Anna", 0), 0);
}

TEST_F(UserStoreTest, DeleteStatisticsRemovesTheNumberedValuesOfTheStoredCount) {
  for (int i = 0; i < 5; ++i) {
    store().SetStatisticsDate("Anna", 100 + i, i);
    store().SetStatisticsOvulationDate("Anna", 200 + i, i);
  }
  store().SetCycleStart("Anna", 7);
  store().SetStatisticsLength("Anna", 3);
  store().DeleteStatistics("Anna");
  EXPECT_EQ(store().GetStatisticsLength("Anna"), 0u);
  EXPECT_TRUE(ReadRaw(registry(), "Anna", "StatisticsLength").has_value());
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(ReadRaw(registry(), "Anna", "StatisticsDate" + std::to_string(i)));
    EXPECT_FALSE(ReadRaw(registry(), "Anna", "StatisticsOvalDate" + std::to_string(i)));
  }
  // Indices at or above the stored count are not touched, nor are the other values.
  EXPECT_EQ(store().GetStatisticsDate("Anna", 3), 103);
  EXPECT_EQ(store().GetStatisticsOvulationDate("Anna", 4), 204);
  EXPECT_EQ(store().GetCycleStart("Anna"), 7);
}

TEST_F(UserStoreTest, DeleteStatisticsWithoutOrWithANegativeCountDeletesNothing) {
  store().SetStatisticsDate("Anna", 100, 0);
  store().DeleteStatistics("Anna");
  EXPECT_EQ(ReadRaw(registry(), "Anna", "StatisticsLength")->bytes, Dword(0));
  EXPECT_EQ(store().GetStatisticsDate("Anna", 0), 100);

  store().SetStatisticsLength("Anna", 0xFFFFFFFFu);
  store().DeleteStatistics("Anna");
  EXPECT_EQ(store().GetStatisticsLength("Anna"), 0u);
  EXPECT_EQ(store().GetStatisticsDate("Anna", 0), 100);
}

// A damaged count must not turn the clearing into billions of calls; what a save could have
// written is still removed.
TEST_F(UserStoreTest, DeleteStatisticsWithAHugeCountEndsAndClears) {
  for (int i = 0; i < 3; ++i) {
    store().SetStatisticsDate("Anna", 100 + i, i);
    store().SetStatisticsOvulationDate("Anna", 200 + i, i);
  }
  store().SetStatisticsLength("Anna", 0x7FFFFFFFu);
  test::RecordingRegistry recording(registry());
  UserStore watched(recording);
  watched.DeleteStatistics("Anna");
  EXPECT_LT(recording.CallsStartingWith("DeleteValue").size(), 20u);
  EXPECT_EQ(store().GetStatisticsLength("Anna"), 0u);
  EXPECT_EQ(store().CountValues("Anna"), 1u);  // only the count is left
}

TEST_F(UserStoreTest, DeleteUserKeyRemovesEverythingOfThatUserOnly) {
  ASSERT_TRUE(store().SetPassword("Anna", "pw"));
  store().SetCycleStart("Anna", 12345);
  store().SetDuration("Anna", "28");
  store().SetStatisticsLength("Anna", 1);
  store().SetStatisticsDate("Anna", 1, 0);
  store().SetStatisticsOvulationDate("Anna", 2, 0);
  ASSERT_TRUE(store().SetPassword("Berta", "pw2"));

  store().DeleteUserKey("ANNA");
  EXPECT_FALSE(store().FindUser("Anna"));
  EXPECT_FALSE(KeyExists(registry(), "Anna"));
  EXPECT_THAT(store().ListUsers(), ElementsAre("Berta"));
  std::string password;
  EXPECT_TRUE(store().GetPassword("Berta", &password));

  // A later value operation creates the key anew, without the old values.
  EXPECT_EQ(store().GetCycleStart("Anna"), 0);
  EXPECT_EQ(store().CountValues("Anna"), 0u);
  EXPECT_EQ(store().GetStatisticsDate("Anna", 0), 0);
}

TEST_F(UserStoreTest, DeleteUserKeyOfAnEmptyOrUnknownNameDeletesNoOne) {
  ASSERT_TRUE(store().SetPassword("Anna", "pw"));
  store().DeleteUserKey("");
  store().DeleteUserKey("Nobody");
  EXPECT_TRUE(store().OpenRoot());
  EXPECT_THAT(store().ListUsers(), ElementsAre("Anna"));
}

TEST_F(UserStoreTest, ListUsersListsEveryUserOnce) {
  EXPECT_TRUE(store().OpenRoot());
  EXPECT_THAT(store().ListUsers(), IsEmpty());
  std::vector<std::string> names;
  for (int i = 0; i < 40; ++i) {
    names.push_back("User " + std::to_string(i));
    ASSERT_TRUE(store().SetPassword(names.back(), "pw"));
  }
  std::vector<std::string> listed = store().ListUsers();
  std::sort(listed.begin(), listed.end());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(listed, names);
  for (const std::string& name : names)
    EXPECT_TRUE(store().FindUser(name));
}

TEST_F(UserStoreTest, ValuesOutliveTheBackend) {
  ASSERT_TRUE(store().SetPassword("Anna", "pw"));
  store().SetCycleStart("Anna", 1078448461);
  store().SetDuration("Anna", "29");
  backend_.Reopen();
  ASSERT_TRUE(backend_.ok());
  std::string password;
  ASSERT_TRUE(store().GetPassword("anna", &password));
  EXPECT_EQ(password, "pw");
  EXPECT_EQ(store().GetCycleStart("Anna"), 1078448461);
  EXPECT_EQ(store().GetDuration("Anna"), "29");
}

// Each operation opens what it needs, with the access of its algorithm, and closes it again
// before it returns, whatever the outcome.
class UserStoreCallsTest : public UserStoreTest {
 protected:
  void SetUp() override {
    UserStoreTest::SetUp();
    recording_ = std::make_unique<test::RecordingRegistry>(registry());
    watched_ = std::make_unique<UserStore>(*recording_);
  }
  std::unique_ptr<test::RecordingRegistry> recording_;
  std::unique_ptr<UserStore> watched_;
};

TEST_F(UserStoreCallsTest, EveryOperationClosesEveryKeyItOpens) {
  UserStore& s = *watched_;
  std::string password;
  s.SetPassword("Anna", "pw");
  s.SetPassword("Anna", std::string(256, 'x'));
  s.GetPassword("Anna", &password);
  s.GetPassword("Nobody", &password);
  s.FindUser("Nobody");
  s.ListUsers();
  s.SetDuration("Anna", "28");
  s.GetDuration("Anna");
  s.SetCycleStart("Anna", 1);
  s.GetCycleStart("Anna");
  s.SetStatisticsLength("Anna", 2);
  s.SetStatisticsDate("Anna", 1, 0);
  s.SetStatisticsOvulationDate("Anna", 1, 1);
  s.GetStatisticsDate("Anna", 0);
  s.GetStatisticsOvulationDate("Anna", 1);
  s.DeleteStatistics("Anna");
  s.CountValues("Anna");
  s.OpenRoot();
  s.DeleteUserKey("Anna");
  s.DeleteUserKey("Nobody");
  EXPECT_EQ(recording_->openKeys, 0);
  EXPECT_GT(recording_->CallsStartingWith("CloseKey").size(), 20u);
}

TEST_F(UserStoreCallsTest, GetPasswordFindsTheUserThenReadsWithReadAccess) {
  ASSERT_TRUE(store().SetPassword("Anna", "pw"));
  std::string password;
  ASSERT_TRUE(watched_->GetPassword("ANNA", &password));
  const auto& calls = recording_->calls;
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls.front(), "CreateKey Software\\Lunaret");
  EXPECT_EQ(recording_->CallsStartingWith("OpenKey"),
            std::vector<std::string>{"OpenKey Software\\Lunaret\\ANNA 20019"});
  EXPECT_EQ(recording_->CallsStartingWith("QueryValue"), std::vector<std::string>{"QueryValue "});
}

TEST_F(UserStoreCallsTest, DeleteUserKeyOpensTheRootToDeleteSubkeys) {
  ASSERT_TRUE(store().SetPassword("Anna", "pw"));
  watched_->DeleteUserKey("Anna");
  EXPECT_THAT(recording_->calls,
              ElementsAre("OpenKey Software\\Lunaret 2001f", "DeleteKey Anna", "CloseKey"));
}

TEST_F(UserStoreCallsTest, ARefusedPasswordMakesNoCallAtAll) {
  EXPECT_FALSE(watched_->SetPassword("Anna", std::string(256, 'x')));
  EXPECT_THAT(recording_->calls, IsEmpty());
}

TEST_F(UserStoreCallsTest, DeleteStatisticsDeletesInIndexOrderThenWritesZero) {
  for (int i = 0; i < 2; ++i) {
    store().SetStatisticsDate("Anna", 100 + i, i);
    store().SetStatisticsOvulationDate("Anna", 0, i);
  }
  store().SetStatisticsLength("Anna", 2);
  watched_->DeleteStatistics("Anna");
  EXPECT_THAT(recording_->CallsStartingWith("DeleteValue"),
              ElementsAre("DeleteValue StatisticsDate0", "DeleteValue StatisticsOvalDate0",
                          "DeleteValue StatisticsDate1", "DeleteValue StatisticsOvalDate1"));
  EXPECT_THAT(recording_->CallsStartingWith("SetValue"), ElementsAre("SetValue StatisticsLength"));
  EXPECT_EQ(recording_->calls.back(), "CloseKey");
}

}  // namespace
}  // namespace lunaret
