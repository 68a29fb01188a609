#ifndef LUNARET_TESTS_CORE_TEST_STORE_H
#define LUNARET_TESTS_CORE_TEST_STORE_H

#include <memory>
#include <ostream>
#include <string>

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

}  // namespace test
}  // namespace lunaret

#endif  // LUNARET_TESTS_CORE_TEST_STORE_H
