// The Registry interface as the user store relies on it, on this platform's backend.

#include "core/registry.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "test_store.h"

namespace lunaret {
namespace {

class RegistryTest : public test::StoreTest {
 protected:
  // The subkeys by EnumKey, which must end with kErrorNoMoreItems.
  std::multiset<std::string> Children(RegKey key) {
    std::multiset<std::string> names;
    char name[256];
    for (std::uint32_t i = 0;; ++i) {
      std::uint32_t size = sizeof name;
      const long rc = registry().EnumKey(key, i, name, &size);
      if (rc != kErrorSuccess) {
        EXPECT_EQ(rc, kErrorNoMoreItems);
        return names;
      }
      EXPECT_EQ(size, std::string(name).size());
      names.insert(std::string(name, size));
    }
  }
};

TEST_F(RegistryTest, KeysAreMadeAlongThePathMatchWithoutRegardToCaseAndKeepTheirAccess) {
  RegKey missing = 0;
  EXPECT_EQ(registry().OpenKey(kCurrentUser, "Software\\Lunaret", kKeyRead, &missing),
            kErrorFileNotFound);
  ASSERT_EQ(SetText(Create("Software\\Lunaret\\Anna"), "duration", "28"), kErrorSuccess);
  EXPECT_EQ(ReadText(Create("SOFTWARE\\lunaret\\ANNA"), "DURATION"), "28");
  const RegKey root = Open(kCurrentUser, "Software\\Lunaret");
  const RegKey reading = Open(root, "anna");
  EXPECT_EQ(ReadText(reading, "duration"), "28");
  EXPECT_EQ(SetText(reading, "duration", "30"), kErrorAccessDenied);  // opened for reading
  EXPECT_EQ(ReadText(reading, "duration"), "28");
  EXPECT_EQ(Children(root), std::multiset<std::string>{"Anna"});
}

TEST_F(RegistryTest, EnumKeyListsEachSubkeyOnceWithItsCaseAndNeedsRoomForTheTerminator) {
  const RegKey root = Create("Software\\Lunaret");
  EXPECT_TRUE(Children(root).empty());
  for (const char* name : {"Zoe", "anna", "Berta", "CLARA"})
    Create(std::string("Software\\Lunaret\\") + name);
  EXPECT_EQ(Children(root), (std::multiset<std::string>{"Zoe", "anna", "Berta", "CLARA"}));

  const RegKey one = Create("Software\\One");
  Create("Software\\One\\Anna");
  char name[8];
  std::uint32_t size = 4;  // "Anna" without its terminator
  EXPECT_EQ(registry().EnumKey(one, 0, name, &size), kErrorMoreData);
  size = 5;
  ASSERT_EQ(registry().EnumKey(one, 0, name, &size), kErrorSuccess);
  EXPECT_EQ(size, 4u);
  EXPECT_STREQ(name, "Anna");
}

TEST_F(RegistryTest, ValuesKeepTheirTypeAndBytesAndRefuseSmallBuffers) {
  const RegKey key = Create("Software\\Lunaret\\Anna");
  ASSERT_EQ(SetText(key, "data", "a much longer text"), kErrorSuccess);
  ASSERT_EQ(SetDword(key, "Data", 0x04030201), kErrorSuccess);  // replaces the text
  ASSERT_EQ(SetText(key, "", "secret"), kErrorSuccess);
  EXPECT_EQ(ValueCount(key), 2u);
  std::uint32_t type = 0;
  EXPECT_EQ(Read(key, "DATA", &type), "\1\2\3\4");
  EXPECT_EQ(type, kRegDword);

  std::uint32_t size = 0;
  ASSERT_EQ(registry().QueryValue(key, "", &type, nullptr, &size), kErrorSuccess);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(size, 7u);
  unsigned char buffer[6] = {};
  size = sizeof buffer;
  EXPECT_EQ(registry().QueryValue(key, "", &type, buffer, &size), kErrorMoreData);
  EXPECT_EQ(size, 7u);

  EXPECT_EQ(registry().DeleteValue(key, "dATA"), kErrorSuccess);
  EXPECT_EQ(registry().DeleteValue(key, "data"), kErrorFileNotFound);
  EXPECT_EQ(Read(key, "data"), "<absent>");
  EXPECT_EQ(ReadText(key, ""), "secret");
  EXPECT_EQ(ValueCount(key), 1u);
}

TEST_F(RegistryTest, DeleteKeyRemovesALeafWithItsValuesOnly) {
  const RegKey anna = Create("Software\\Lunaret\\Anna");
  SetText(anna, "duration", "28");
  Close(anna);  // as the user key is when the store deletes it
  const RegKey root = Create("Software\\Lunaret");
  EXPECT_NE(registry().DeleteKey(Create("Software"), "Lunaret"), kErrorSuccess);  // has subkeys
  EXPECT_EQ(registry().DeleteKey(root, "Nobody"), kErrorFileNotFound);
  EXPECT_EQ(registry().DeleteKey(root, "ANNA"), kErrorSuccess);
  EXPECT_TRUE(Children(root).empty());
  EXPECT_EQ(ValueCount(Create("Software\\Lunaret\\Anna")), 0u);  // made anew: empty
}

// Inside a transaction the backend may read a key's values in bulk; what is read must still
// follow every write made since, also after many reads.
TEST_F(RegistryTest, ReadsInsideATransactionFollowTheWritesMadeInIt) {
  StoreTransaction transaction(registry());
  const RegKey key = Create("Software\\Lunaret\\Anna");
  const auto readAll = [&] {
    for (int i = 0; i < 200; ++i)
      Read(key, "v" + std::to_string(i));
  };
  for (int i = 0; i < 200; ++i)
    ASSERT_EQ(SetText(key, "v" + std::to_string(i), "old"), kErrorSuccess);
  for (int i = 0; i < 200; ++i)
    ASSERT_EQ(ReadText(key, "V" + std::to_string(i)), "old");
  ASSERT_EQ(SetText(key, "v7", "new"), kErrorSuccess);
  EXPECT_EQ(ReadText(key, "v7"), "new");
  readAll();
  ASSERT_EQ(registry().DeleteValue(key, "v8"), kErrorSuccess);
  EXPECT_EQ(Read(key, "v8"), "<absent>");
  EXPECT_EQ(registry().DeleteValue(key, "v8"), kErrorFileNotFound);
  readAll();
  ASSERT_EQ(SetText(key, "extra", "added"), kErrorSuccess);
  EXPECT_EQ(ReadText(key, "EXTRA"), "added");
  readAll();
  EXPECT_EQ(ReadText(key, "v7"), "new");
  EXPECT_EQ(Read(key, "v8"), "<absent>");
  EXPECT_EQ(ReadText(key, "v9"), "old");
  EXPECT_EQ(ValueCount(key), 200u);

  // A key deleted and made anew in the same transaction starts empty.
  Close(key);
  EXPECT_EQ(registry().DeleteKey(Create("Software\\Lunaret"), "Anna"), kErrorSuccess);
  const RegKey again = Create("Software\\Lunaret\\Anna");
  EXPECT_EQ(ValueCount(again), 0u);
  for (int i = 0; i < 100; ++i)
    EXPECT_EQ(Read(again, "v" + std::to_string(i)), "<absent>");
  EXPECT_TRUE(transaction.Commit());
}

}  // namespace
}  // namespace lunaret
