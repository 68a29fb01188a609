// The SQLite file behind the store where there is no registry: how it is created, recognised
// and refused, and how its key handles and transactions behave.

#include <dirent.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <thread>

#include "core/registry_sqlite.h"
#include "core/statistics.h"
#include "core/store_file.h"
#include "core/user_store.h"
#include "recording_registry.h"
#include "records.h"
#include "test_store.h"

namespace lunaret {
namespace {

using test::TempFolder;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

unsigned Mode(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0)
    return 0;
  return info.st_mode & 0777;
}

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes)
    byte = static_cast<char>(random());
  return bytes;
}

// Runs SQL on a database file with a connection of its own, as another program would.
void RunSql(const std::string& path, const std::string& sql, bool keepLog = false) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  if (keepLog)
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
      << (error ? error : "");
  sqlite3_free(error);
  sqlite3_close(db);
}

std::unique_ptr<Registry> Open(const std::string& path, StoreOpenResult* result) {
  *result = StoreOpenResult::kOk;
  return OpenSqliteStore(path, result);
}

// Every file of the folder with its contents, to compare before and after.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..")
        files[name] = ReadFile(folder + "/" + name);
    }
    closedir(dir);
  }
  return files;
}

class RefusedFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(folder_.path().empty()); }

  // Opening must report kNotAStore and leave every file of the folder as it was.
  void ExpectRefusedAndUntouched() {
    const auto before = Snapshot(folder_.path());
    StoreOpenResult result;
    EXPECT_EQ(Open(path_, &result), nullptr);
    EXPECT_EQ(result, StoreOpenResult::kNotAStore);
    EXPECT_EQ(Snapshot(folder_.path()), before);
  }

  TempFolder folder_;
  std::string path_ = folder_.path() + "/registry.db";
};

TEST_F(RefusedFileTest, RandomBytes) {
  WriteFile(path_, RandomBytes(8192, 1));
  ExpectRefusedAndUntouched();
}

TEST_F(RefusedFileTest, AShortTextFile) {
  WriteFile(path_, "hello\n");
  ExpectRefusedAndUntouched();
}

TEST_F(RefusedFileTest, TheSqliteHeaderWithOurIdFollowedByGarbage) {
  std::string bytes = RandomBytes(8192, 2);
  const std::string magic("SQLite format 3\0", 16);
  bytes.replace(0, 16, magic);
  bytes.replace(68, 4, "LNRT");
  WriteFile(path_, bytes);
  ExpectRefusedAndUntouched();
}

TEST_F(RefusedFileTest, AnotherProgramsDatabase) {
  RunSql(path_,
         "CREATE TABLE notes(id INTEGER PRIMARY KEY, text TEXT);"
         "INSERT INTO notes(text) VALUES('keep me'), ('and me');");
  ExpectRefusedAndUntouched();
}

TEST_F(RefusedFileTest, AnotherProgramsDatabaseWithAnUncheckpointedLog) {
  RunSql(path_,
         "PRAGMA journal_mode=WAL; CREATE TABLE notes(text TEXT);"
         "INSERT INTO notes VALUES('only in the log');",
         /*keepLog=*/true);
  ASSERT_TRUE(Exists(path_ + "-wal"));
  ExpectRefusedAndUntouched();
}

TEST_F(RefusedFileTest, OurIdOnOtherTables) {
  RunSql(path_, "PRAGMA application_id = 1280201300; CREATE TABLE other(x);");
  ExpectRefusedAndUntouched();
}

TEST_F(RefusedFileTest, AStoreOfANewerSchema) {
  {
    StoreOpenResult result;
    auto registry = Open(path_, &result);
    ASSERT_NE(registry, nullptr);
    UserStore(*registry).SetPassword("Anna", "pw");
  }
  RunSql(path_, "PRAGMA user_version = 2;");
  ExpectRefusedAndUntouched();
}

TEST_F(RefusedFileTest, AStoreWithADamagedPage) {
  {
    StoreOpenResult result;
    auto registry = Open(path_, &result);
    ASSERT_NE(registry, nullptr);
    UserStore store(*registry);
    std::vector<StatisticsRecord> records(3000, StatisticsRecord{1078448461, 0});
    SaveStatistics(store, "Anna", records);
  }
  std::string bytes = ReadFile(path_);
  ASSERT_GT(bytes.size(), 8u * 4096);
  bytes.replace(5 * 4096 + 100, 2000, RandomBytes(2000, 3));
  WriteFile(path_, bytes);
  ExpectRefusedAndUntouched();
}

TEST(SqliteStoreFile, ANewStoreIsReadableByItsOwnerOnly) {
  TempFolder folder;
  const mode_t previous = umask(0);
  const std::string path = folder.path() + "/data/lunaret/registry.db";
  StoreOpenResult result;
  auto registry = Open(path, &result);
  umask(previous);
  ASSERT_NE(registry, nullptr);
  EXPECT_EQ(result, StoreOpenResult::kOk);
  UserStore(*registry).SetPassword("Anna", "pw");
  EXPECT_EQ(Mode(folder.path() + "/data"), 0700u);
  EXPECT_EQ(Mode(folder.path() + "/data/lunaret"), 0700u);
  EXPECT_EQ(Mode(path), 0600u);
  ASSERT_TRUE(Exists(path + "-wal"));
  EXPECT_EQ(Mode(path + "-wal"), 0600u);
}

TEST(SqliteStoreFile, AnEmptyFileBecomesAStore) {
  TempFolder folder;
  const std::string path = folder.path() + "/registry.db";
  WriteFile(path, "");
  StoreOpenResult result;
  {
    auto registry = Open(path, &result);
    ASSERT_NE(registry, nullptr);
    EXPECT_TRUE(UserStore(*registry).SetPassword("Anna", "pw"));
  }
  auto registry = Open(path, &result);
  ASSERT_NE(registry, nullptr);
  EXPECT_TRUE(UserStore(*registry).FindUser("anna"));
}

TEST(SqliteStoreFile, APlaceThatCannotHoldAFileIsReported) {
  TempFolder folder;
  WriteFile(folder.path() + "/plain", "x");
  StoreOpenResult result;
  EXPECT_EQ(Open(folder.path() + "/plain/registry.db", &result), nullptr);
  EXPECT_EQ(result, StoreOpenResult::kCannotCreate);
  EXPECT_EQ(Open(folder.path(), &result), nullptr);  // a folder
  EXPECT_EQ(result, StoreOpenResult::kCannotCreate);
  EXPECT_EQ(ReadFile(folder.path() + "/plain"), "x");
}

// Saves the environment variable and restores it when it goes.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name))
      previous_ = old;
    had_ = std::getenv(name) != nullptr;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (had_)
      setenv(name_, previous_.c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::string previous_;
  bool had_ = false;
};

TEST(SqliteStoreFile, TheDefaultPathFollowsXdgDataHome) {
  {
    ScopedEnv data("XDG_DATA_HOME", "/var/tmp/data");
    EXPECT_EQ(DefaultStorePath(), "/var/tmp/data/lunaret/registry.db");
  }
  ScopedEnv home("HOME", "/home/anna");
  {
    ScopedEnv data("XDG_DATA_HOME", "relative/data");  // ignored
    EXPECT_EQ(DefaultStorePath(), "/home/anna/.local/share/lunaret/registry.db");
  }
  ScopedEnv data("XDG_DATA_HOME", nullptr);
  EXPECT_EQ(DefaultStorePath(), "/home/anna/.local/share/lunaret/registry.db");
}

TEST(SqliteStoreFile, TheDefaultStoreOpensAtTheDefaultPath) {
  TempFolder folder;
  ScopedEnv data("XDG_DATA_HOME", folder.path().c_str());
  StoreOpenResult result;
  auto registry = OpenDefaultStore(&result);
  ASSERT_NE(registry, nullptr);
  EXPECT_EQ(result, StoreOpenResult::kOk);
  EXPECT_TRUE(Exists(folder.path() + "/lunaret/registry.db"));
}

class SqliteRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(backend_.ok()); }
  Registry& registry() { return backend_.registry(); }
  RegKey Create(const std::string& path, RegKey parent = kCurrentUser) {
    RegKey key = 0;
    EXPECT_EQ(registry().CreateKey(parent, path, &key), kErrorSuccess) << path;
    return key;
  }
  long SetDword(RegKey key, const std::string& name, std::uint32_t value) {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    return registry().SetValue(key, name, kRegDword, bytes, 4);
  }
  test::TestStore backend_;
};

int OpenFileCount() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir) != nullptr)
      ++count;
    closedir(dir);
  }
  return count;
}

TEST_F(SqliteRegistryTest, KeyHandlesCostNoFiles) {
  registry().CloseKey(Create("Software\\Lunaret\\Anna"));
  const int files = OpenFileCount();
  std::vector<RegKey> keys;
  for (int i = 0; i < 500; ++i)
    keys.push_back(Create("Software\\Lunaret\\Anna"));
  EXPECT_EQ(OpenFileCount(), files);
  for (RegKey key : keys)
    EXPECT_EQ(registry().CloseKey(key), kErrorSuccess);
  EXPECT_EQ(OpenFileCount(), files);
}

TEST_F(SqliteRegistryTest, ClosedAndUnknownHandlesAreRefused) {
  const RegKey key = Create("Software\\Lunaret\\Anna");
  ASSERT_EQ(registry().CloseKey(key), kErrorSuccess);
  EXPECT_EQ(registry().CloseKey(key), kErrorInvalidHandle);
  EXPECT_EQ(SetDword(key, "data", 1), kErrorInvalidHandle);
  std::uint32_t count = 0;
  EXPECT_EQ(registry().QueryValueCount(key, &count), kErrorInvalidHandle);
  RegKey child = 0;
  EXPECT_EQ(registry().CreateKey(0x1234567, "x", &child), kErrorInvalidHandle);
  // A handle value stays refused when its place is taken by a newly opened key.
  const RegKey next = Create("Software\\Lunaret\\Berta");
  EXPECT_NE(next, key);
  EXPECT_EQ(SetDword(key, "data", 1), kErrorInvalidHandle);
  EXPECT_EQ(SetDword(next, "data", 1), kErrorSuccess);
  EXPECT_EQ(registry().CloseKey(next), kErrorSuccess);
}

TEST_F(SqliteRegistryTest, AHandleOfADeletedKeyWritesNothing) {
  const RegKey anna = Create("Software\\Lunaret\\Anna");
  const RegKey root = Create("Software\\Lunaret");
  ASSERT_EQ(registry().DeleteKey(root, "Anna"), kErrorSuccess);
  EXPECT_EQ(SetDword(anna, "data", 1), kErrorKeyDeleted);
  RegKey child = 0;
  EXPECT_EQ(registry().CreateKey(anna, "Child", &child), kErrorKeyDeleted);
  const RegKey again = Create("Software\\Lunaret\\Anna");
  std::uint32_t count = 9;
  ASSERT_EQ(registry().QueryValueCount(again, &count), kErrorSuccess);
  EXPECT_EQ(count, 0u);
  for (RegKey key : {anna, root, again})
    registry().CloseKey(key);
}

TEST_F(SqliteRegistryTest, NamesAreKeptByteForByte) {
  const std::string odd =
      "\xFF\xFE"
      "Anna\x80";
  const RegKey key = Create("Software\\Lunaret\\" + odd);
  EXPECT_EQ(SetDword(key, "\xC3\xA9t\xC3\xA9", 7), kErrorSuccess);
  registry().CloseKey(key);
  UserStore store(registry());
  EXPECT_THAT(store.ListUsers(), ::testing::ElementsAre(odd));
  RegKey again = 0;
  ASSERT_EQ(registry().OpenKey(kCurrentUser,
                               "software\\lunaret\\\xFF\xFE"
                               "ANNA\x80",
                               kKeyRead, &again),
            kErrorSuccess);
  std::uint32_t size = 0;
  EXPECT_EQ(registry().QueryValue(again, "\xC3\x89T\xC3\x89", nullptr, nullptr, &size),
            kErrorSuccess);
  registry().CloseKey(again);
}

TEST_F(SqliteRegistryTest, KeyNamesOver255BytesAreRefused) {
  RegKey key = 0;
  EXPECT_EQ(registry().CreateKey(kCurrentUser, "Software\\" + std::string(256, 'k'), &key),
            kErrorInvalidParameter);
  UserStore store(registry());
  EXPECT_FALSE(store.SetPassword(std::string(256, 'u'), "pw"));
  EXPECT_TRUE(store.ListUsers().empty());
  const std::string longest(255, 'u');
  ASSERT_TRUE(store.SetPassword(longest, "pw"));
  EXPECT_TRUE(store.FindUser(std::string(255, 'U')));
  EXPECT_THAT(store.ListUsers(), ::testing::ElementsAre(longest));
}

TEST_F(SqliteRegistryTest, PathsAreSplitAtSingleBackslashes) {
  RegKey key = 0;
  EXPECT_EQ(registry().CreateKey(kCurrentUser, "\\Software", &key), kErrorInvalidParameter);
  EXPECT_EQ(registry().CreateKey(kCurrentUser, "Software\\\\Lunaret", &key),
            kErrorInvalidParameter);
  const RegKey trailing = Create("Software\\Lunaret\\");
  const RegKey plain = Create("Software\\Lunaret");
  ASSERT_EQ(SetDword(trailing, "v", 5), kErrorSuccess);
  std::uint32_t count = 0;
  ASSERT_EQ(registry().QueryValueCount(plain, &count), kErrorSuccess);
  EXPECT_EQ(count, 1u);
  for (RegKey k : {trailing, plain})
    registry().CloseKey(k);
}

// A second connection to the same file, as another running copy of the program has.
class SecondCopy {
 public:
  explicit SecondCopy(const std::string& path) {
    StoreOpenResult result;
    registry_ = OpenSqliteStore(path, &result);
    if (registry_)
      store_ = std::make_unique<UserStore>(*registry_);
  }
  UserStore& store() { return *store_; }
  bool ok() const { return store_ != nullptr; }

 private:
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<UserStore> store_;
};

TEST_F(SqliteRegistryTest, OthersSeeATransactionOnlyWhenTheOutermostCommits) {
  SecondCopy other(backend_.path());
  ASSERT_TRUE(other.ok());
  UserStore store(registry());
  store.SetCycleStart("Anna", 1);
  {
    StoreTransaction outer(registry());
    store.SetCycleStart("Anna", 2);
    {
      StoreTransaction inner(registry());
      store.SetDuration("Anna", "30");
      EXPECT_TRUE(inner.Commit());
    }
    EXPECT_EQ(other.store().GetCycleStart("Anna"), 1);
    EXPECT_EQ(other.store().GetDuration("Anna"), "");
    EXPECT_EQ(store.GetCycleStart("Anna"), 2);  // the writer sees its own writes
    EXPECT_TRUE(outer.Commit());
  }
  EXPECT_EQ(other.store().GetCycleStart("Anna"), 2);
  EXPECT_EQ(other.store().GetDuration("Anna"), "30");
  EXPECT_FALSE(registry().CommitTransaction());  // nothing left to commit
}

TEST_F(SqliteRegistryTest, AnUncommittedTransactionIsLostWithTheProcess) {
  UserStore(registry()).SetCycleStart("Anna", 1);
  ASSERT_TRUE(registry().BeginTransaction());
  UserStore(registry()).SetCycleStart("Anna", 2);
  SaveStatistics(backend_.store(), "Anna", {{5, 6}});
  backend_.Reopen();  // closes the connection without a commit
  ASSERT_TRUE(backend_.ok());
  EXPECT_EQ(backend_.store().GetCycleStart("Anna"), 1);
  EXPECT_TRUE(LoadStatistics(backend_.store(), "Anna").empty());
}

TEST_F(SqliteRegistryTest, AWriterWaitsForAnotherCopysTransaction) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(backend_.path().c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  std::thread holder([db] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  });
  UserStore store(registry());
  EXPECT_TRUE(store.SetPassword("Anna", "pw"));  // waits instead of failing
  {
    StoreTransaction transaction(registry());
    store.SetCycleStart("Anna", 3);
    EXPECT_TRUE(transaction.Commit());
  }
  holder.join();
  sqlite3_close(db);
  EXPECT_EQ(store.GetCycleStart("Anna"), 3);
}

TEST_F(SqliteRegistryTest, ChangesOfAnotherCopyAreSeenAtOnce) {
  SecondCopy other(backend_.path());
  ASSERT_TRUE(other.ok());
  UserStore store(registry());
  ASSERT_TRUE(store.SetPassword("Anna", "pw"));
  EXPECT_TRUE(other.store().FindUser("anna"));
  other.store().DeleteUserKey("Anna");
  EXPECT_FALSE(store.FindUser("Anna"));
  // The same name again is a new key: writes reach it, not the deleted one.
  ASSERT_TRUE(other.store().SetPassword("Anna", "new"));
  store.SetCycleStart("Anna", 42);
  EXPECT_EQ(other.store().GetCycleStart("Anna"), 42);
  std::string password;
  ASSERT_TRUE(store.GetPassword("Anna", &password));
  EXPECT_EQ(password, "new");
}

// A copy that cannot get the store within its wait writes nothing of its save, rather than
// a part of it, and its commit says so.
TEST_F(SqliteRegistryTest, ASaveThatCannotGetTheStoreWritesNothingAndSaysSo) {
  const std::vector<StatisticsRecord> old = {{5, 6}, {7, 8}};
  backend_.store().SetCycleStart("Anna", 1);
  SaveStatistics(backend_.store(), "Anna", old);
  StoreOpenResult result;
  auto backend = OpenSqliteRegistry(backend_.path(), &result, /*busyTimeoutMs=*/50);
  ASSERT_NE(backend, nullptr);
  test::RecordingRegistry impatient(*backend);
  UserStore store(impatient);

  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(backend_.path().c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  // The other copy lets go in the middle of the save: what comes after must not be written.
  impatient.beforeSetValue = [&](int) {
    if (holder == nullptr)
      return;
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    holder = nullptr;
  };
  {
    StoreTransaction transaction(impatient);
    SaveStatistics(store, "Anna", {{9, 10}});
    store.SetCycleStart("Anna", 2);
    EXPECT_FALSE(transaction.Commit());
  }
  ASSERT_EQ(holder, nullptr);
  EXPECT_EQ(LoadStatistics(backend_.store(), "Anna"), old);
  EXPECT_EQ(backend_.store().GetCycleStart("Anna"), 1);

  // Once the store is free again, the same copy saves as usual.
  {
    StoreTransaction transaction(impatient);
    SaveStatistics(store, "Anna", {{9, 10}});
    EXPECT_TRUE(transaction.Commit());
  }
  EXPECT_EQ(LoadStatistics(backend_.store(), "Anna"), (std::vector<StatisticsRecord>{{9, 10}}));
}

}  // namespace
}  // namespace lunaret
