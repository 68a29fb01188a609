#ifndef LUNARET_TESTS_CORE_TEST_STORE_H
#define LUNARET_TESTS_CORE_TEST_STORE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/registry.h"
#include "core/statistics.h"
#include "core/user_store.h"

namespace lunaret {

inline bool operator==(const StatisticsRecord& a, const StatisticsRecord& b) {
  return a.mensesDate == b.mensesDate && a.ovulationDate == b.ovulationDate;
}

inline void PrintTo(const StatisticsRecord& record, std::ostream* out) {
  *out << "{" << record.mensesDate << ", " << record.ovulationDate << "}";
}

namespace test {

#ifndef _WIN32
// A new empty folder below TMPDIR (or /tmp), removed with everything in it when it goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};
#endif

// A fresh, empty store of this platform's backend that no other test and not the real
// per-user store share: a SQLite file in a new temporary folder, or on Windows the registry
// below a new scratch key. Everything is removed when it goes.
class TestStore {
 public:
  TestStore();
  ~TestStore();
  TestStore(const TestStore&) = delete;
  TestStore& operator=(const TestStore&) = delete;

  // False when the backend could not be opened; the tests then fail with that.
  bool ok() const { return registry_ != nullptr; }
  Registry& registry() { return *registry_; }
  UserStore& store() { return *store_; }

  // Closes the backend and opens the same store again, as the next run of the program would.
  void Reopen();

#ifndef _WIN32
  const std::string& path() const {
    return path_;
  }
#endif

 private:
  void Open();

#ifdef _WIN32
  std::string basePath_;
#else
  TempFolder folder_;
  std::string path_;
#endif
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<UserStore> store_;
};

// Tests on a TestStore, with calls that reach the registry past the user store. Keys opened
// by Create and Open are closed when the test ends.
class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(backend_.ok()); }
  void TearDown() override;
  Registry& registry() { return backend_.registry(); }
  UserStore& store() { return backend_.store(); }

  RegKey Create(const std::string& path);
  RegKey Open(RegKey parent, const std::string& path, std::uint32_t access = kKeyRead);
  void Close(RegKey key);
  long SetText(RegKey key, const std::string& name, const std::string& text);
  long SetDword(RegKey key, const std::string& name, std::uint32_t value);
  // The value's bytes with its type in *type, or "<absent>" when it cannot be read.
  std::string Read(RegKey key, const std::string& name, std::uint32_t* type = nullptr);
  // The text up to its terminator, or "<absent>".
  std::string ReadText(RegKey key, const std::string& name) { return Read(key, name).c_str(); }
  std::uint32_t ValueCount(RegKey key);

  TestStore backend_;
  std::vector<RegKey> keys_;
};

}  // namespace test
}  // namespace lunaret

#endif  // LUNARET_TESTS_CORE_TEST_STORE_H
