// The Registry interface as the user store relies on it, on this platform's backend.

#include "core/registry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "test_store.h"

namespace lunaret {
namespace {

using ::testing::UnorderedElementsAre;

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(backend_.ok()); }
  Registry& registry() { return backend_.registry(); }

  RegKey Create(const std::string& path) {
    RegKey key = 0;
    EXPECT_EQ(registry().CreateKey(kCurrentUser, path, &key), kErrorSuccess) << path;
    return key;
  }
  long SetText(RegKey key, const std::string& name, const std::string& text) {
    return registry().SetValue(key, name, kRegSz,
                               reinterpret_cast<const unsigned char*>(text.c_str()),
                               static_cast<std::uint32_t>(text.size() + 1));
  }
  std::string GetText(RegKey key, const std::string& name) {
    char buffer[256] = {};
    std::uint32_t size = sizeof buffer;
    if (registry().QueryValue(key, name, nullptr, reinterpret_cast<unsigned char*>(buffer),
                              &size) != kErrorSuccess)
      return "<absent>";
    return std::string(buffer);
  }
  std::set<std::string> Children(RegKey key) {
    std::set<std::string> names;
    char name[256];
    for (std::uint32_t i = 0;; ++i) {
      std::uint32_t size = sizeof name;
      const long rc = registry().EnumKey(key, i, name, &size);
      if (rc == kErrorNoMoreItems)
        break;
      EXPECT_EQ(rc, kErrorSuccess);
      if (rc != kErrorSuccess)
        break;
      EXPECT_EQ(size, std::string(name).size());
      names.insert(std::string(name, size));
    }
    return names;
  }

  test::TestStore backend_;
};

TEST_F(RegistryTest, CreateKeyMakesTheWholePathAndOpensExistingKeys) {
  const RegKey deep = Create("Software\\Lunaret\\Anna");
  ASSERT_EQ(SetText(deep, "duration", "28"), kErrorSuccess);
  RegKey again = 0;
  ASSERT_EQ(registry().CreateKey(kCurrentUser, "SOFTWARE\\lunaret\\ANNA", &again), kErrorSuccess);
  EXPECT_EQ(GetText(again, "DURATION"), "28");

  RegKey root = 0;
  ASSERT_EQ(registry().OpenKey(kCurrentUser, "Software\\Lunaret", kKeyRead, &root), kErrorSuccess);
  EXPECT_EQ(Children(root), std::set<std::string>{"Anna"});
  RegKey relative = 0;
  ASSERT_EQ(registry().OpenKey(root, "anna", kKeyRead, &relative), kErrorSuccess);
  EXPECT_EQ(GetText(relative, "duration"), "28");
  for (RegKey key : {deep, again, root, relative})
    EXPECT_EQ(registry().CloseKey(key), kErrorSuccess);
}

TEST_F(RegistryTest, OpenKeyDoesNotCreate) {
  RegKey key = 0;
  EXPECT_EQ(registry().OpenKey(kCurrentUser, "Software\\Lunaret\\Nobody", kKeyRead, &key),
            kErrorFileNotFound);
  const RegKey root = Create("Software\\Lunaret");
  EXPECT_TRUE(Children(root).empty());
  registry().CloseKey(root);
}

TEST_F(RegistryTest, EnumKeyListsEachSubkeyOnceWithItsCase) {
  const RegKey root = Create("Software\\Lunaret");
  for (const char* name : {"Zoe", "anna", "Berta", "CLARA"})
    registry().CloseKey(Create(std::string("Software\\Lunaret\\") + name));
  EXPECT_EQ(Children(root), (std::set<std::string>{"Zoe", "anna", "Berta", "CLARA"}));

  char name[256];
  std::uint32_t size = sizeof name;
  EXPECT_EQ(registry().EnumKey(root, 4, name, &size), kErrorNoMoreItems);
  registry().CloseKey(root);
}

TEST_F(RegistryTest, EnumKeyNeedsRoomForTheTerminator) {
  const RegKey root = Create("Software\\Lunaret");
  registry().CloseKey(Create("Software\\Lunaret\\Anna"));
  char name[8];
  std::uint32_t size = 4;  // "Anna" without its terminator
  EXPECT_EQ(registry().EnumKey(root, 0, name, &size), kErrorMoreData);
  size = 5;
  ASSERT_EQ(registry().EnumKey(root, 0, name, &size), kErrorSuccess);
  EXPECT_EQ(size, 4u);
  EXPECT_STREQ(name, "Anna");
  registry().CloseKey(root);
}

TEST_F(RegistryTest, QueryValueReportsTypeAndSizeAndRefusesSmallBuffers) {
  const RegKey key = Create("Software\\Lunaret\\Anna");
  const unsigned char dword[4] = {1, 2, 3, 4};
  ASSERT_EQ(registry().SetValue(key, "data", kRegDword, dword, 4), kErrorSuccess);
  ASSERT_EQ(SetText(key, "", "secret"), kErrorSuccess);

  std::uint32_t type = 0;
  std::uint32_t size = 0;
  ASSERT_EQ(registry().QueryValue(key, "", &type, nullptr, &size), kErrorSuccess);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(size, 7u);

  unsigned char small[3] = {};
  size = sizeof small;
  EXPECT_EQ(registry().QueryValue(key, "", &type, small, &size), kErrorMoreData);
  EXPECT_EQ(size, 7u);

  unsigned char buffer[16] = {};
  size = sizeof buffer;
  ASSERT_EQ(registry().QueryValue(key, "DATA", &type, buffer, &size), kErrorSuccess);
  EXPECT_EQ(type, kRegDword);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(std::string(buffer, buffer + 4), std::string("\1\2\3\4"));

  size = sizeof buffer;
  EXPECT_EQ(registry().QueryValue(key, "missing", &type, buffer, &size), kErrorFileNotFound);
  registry().CloseKey(key);
}

TEST_F(RegistryTest, SetValueReplacesTypeAndBytes) {
  const RegKey key = Create("Software\\Lunaret\\Anna");
  ASSERT_EQ(SetText(key, "duration", "a much longer text"), kErrorSuccess);
  const unsigned char dword[4] = {9, 0, 0, 0};
  ASSERT_EQ(registry().SetValue(key, "Duration", kRegDword, dword, 4), kErrorSuccess);
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  ASSERT_EQ(registry().QueryValue(key, "duration", &type, nullptr, &size), kErrorSuccess);
  EXPECT_EQ(type, kRegDword);
  EXPECT_EQ(size, 4u);
  std::uint32_t count = 0;
  ASSERT_EQ(registry().QueryValueCount(key, &count), kErrorSuccess);
  EXPECT_EQ(count, 1u);
  registry().CloseKey(key);
}

TEST_F(RegistryTest, DeleteValueRemovesOneValue) {
  const RegKey key = Create("Software\\Lunaret\\Anna");
  SetText(key, "StatisticsDate0", "x");
  SetText(key, "StatisticsDate1", "y");
  EXPECT_EQ(registry().DeleteValue(key, "statisticsdate0"), kErrorSuccess);
  EXPECT_EQ(registry().DeleteValue(key, "StatisticsDate0"), kErrorFileNotFound);
  EXPECT_EQ(GetText(key, "StatisticsDate0"), "<absent>");
  EXPECT_EQ(GetText(key, "StatisticsDate1"), "y");
  std::uint32_t count = 0;
  ASSERT_EQ(registry().QueryValueCount(key, &count), kErrorSuccess);
  EXPECT_EQ(count, 1u);
  registry().CloseKey(key);
}

TEST_F(RegistryTest, DeleteKeyRemovesALeafWithItsValuesOnly) {
  const RegKey anna = Create("Software\\Lunaret\\Anna");
  SetText(anna, "duration", "28");
  registry().CloseKey(anna);
  const RegKey root = Create("Software\\Lunaret");
  const RegKey software = Create("Software");

  EXPECT_NE(registry().DeleteKey(software, "Lunaret"), kErrorSuccess);  // has subkeys
  EXPECT_EQ(Children(root), std::set<std::string>{"Anna"});
  EXPECT_EQ(registry().DeleteKey(root, "Nobody"), kErrorFileNotFound);
  EXPECT_EQ(registry().DeleteKey(root, "ANNA"), kErrorSuccess);
  EXPECT_TRUE(Children(root).empty());

  const RegKey recreated = Create("Software\\Lunaret\\Anna");
  std::uint32_t count = 5;
  ASSERT_EQ(registry().QueryValueCount(recreated, &count), kErrorSuccess);
  EXPECT_EQ(count, 0u);
  for (RegKey key : {recreated, root, software})
    registry().CloseKey(key);
}

TEST_F(RegistryTest, AKeyOpenedForReadingCannotWrite) {
  registry().CloseKey(Create("Software\\Lunaret\\Anna"));
  RegKey key = 0;
  ASSERT_EQ(registry().OpenKey(kCurrentUser, "Software\\Lunaret\\Anna", kKeyRead, &key),
            kErrorSuccess);
  EXPECT_EQ(SetText(key, "duration", "28"), kErrorAccessDenied);
  EXPECT_EQ(GetText(key, "duration"), "<absent>");
  registry().CloseKey(key);
}

TEST_F(RegistryTest, WritesInsideATransactionBecomeDurableTogether) {
  {
    StoreTransaction transaction(registry());
    const RegKey key = Create("Software\\Lunaret\\Anna");
    SetText(key, "duration", "28");
    SetText(key, "", "pw");
    registry().CloseKey(key);
    EXPECT_TRUE(transaction.Commit());
  }
  backend_.Reopen();
  ASSERT_TRUE(backend_.ok());
  RegKey key = 0;
  ASSERT_EQ(registry().OpenKey(kCurrentUser, "Software\\Lunaret\\Anna", kKeyRead, &key),
            kErrorSuccess);
  EXPECT_EQ(GetText(key, "duration"), "28");
  EXPECT_EQ(GetText(key, ""), "pw");
  registry().CloseKey(key);
}

// Inside a transaction the backend may read a key's values in bulk; what is read must still
// follow every write made since.
TEST_F(RegistryTest, ReadsInsideATransactionFollowTheWritesMadeInIt) {
  StoreTransaction transaction(registry());
  RegKey key = Create("Software\\Lunaret\\Anna");
  for (int i = 0; i < 200; ++i)
    ASSERT_EQ(SetText(key, "v" + std::to_string(i), "old"), kErrorSuccess);
  for (int round = 0; round < 2; ++round)
    for (int i = 0; i < 200; ++i)
      ASSERT_EQ(GetText(key, "V" + std::to_string(i)), "old");

  // Each write is read back at once, and again after many reads.
  const auto readAll = [&] {
    for (int i = 0; i < 200; ++i)
      GetText(key, "v" + std::to_string(i));
  };
  ASSERT_EQ(SetText(key, "v7", "new"), kErrorSuccess);
  EXPECT_EQ(GetText(key, "v7"), "new");
  readAll();
  ASSERT_EQ(registry().DeleteValue(key, "v8"), kErrorSuccess);
  EXPECT_EQ(GetText(key, "v8"), "<absent>");
  EXPECT_EQ(registry().DeleteValue(key, "v8"), kErrorFileNotFound);
  readAll();
  ASSERT_EQ(SetText(key, "extra", "added"), kErrorSuccess);
  EXPECT_EQ(GetText(key, "EXTRA"), "added");
  readAll();
  EXPECT_EQ(GetText(key, "v7"), "new");
  EXPECT_EQ(GetText(key, "v8"), "<absent>");
  EXPECT_EQ(GetText(key, "v9"), "old");
  EXPECT_EQ(GetText(key, "extra"), "added");
  std::uint32_t count = 0;
  ASSERT_EQ(registry().QueryValueCount(key, &count), kErrorSuccess);
  EXPECT_EQ(count, 200u);

  // A key deleted and made anew in the same transaction starts empty.
  registry().CloseKey(key);
  const RegKey root = Create("Software\\Lunaret");
  ASSERT_EQ(registry().DeleteKey(root, "Anna"), kErrorSuccess);
  key = Create("Software\\Lunaret\\Anna");
  ASSERT_EQ(registry().QueryValueCount(key, &count), kErrorSuccess);
  EXPECT_EQ(count, 0u);
  for (int i = 0; i < 100; ++i)
    EXPECT_EQ(GetText(key, "v" + std::to_string(i)), "<absent>");
  for (RegKey k : {key, root})
    registry().CloseKey(k);
  EXPECT_TRUE(transaction.Commit());
}

}  // namespace
}  // namespace lunaret
