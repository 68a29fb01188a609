// The SQLite file behind the store where there is no registry: how it is created, recognised
// and refused, and how its key handles and transactions behave.

#include <dirent.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <string>

#include "core/registry_sqlite.h"
#include "core/statistics.h"
#include "core/store_file.h"
#include "core/user_store.h"
#include "recording_registry.h"
#include "test_store.h"

namespace lunaret {
namespace {

using std::string_literals::operator""s;
using test::TempFolder;
using ::testing::ElementsAre;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

unsigned Mode(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
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
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
  sqlite3_close(db);
}

// A store at path whose user Anna has count records.
void MakeStore(const std::string& path, int count) {
  StoreOpenResult result;
  auto registry = OpenSqliteStore(path, &result);
  ASSERT_NE(registry, nullptr);
  UserStore store(*registry);
  SaveStatistics(store, "Anna", std::vector<StatisticsRecord>(count, {1078448461, 0}));
}

// Every file of the folder with its contents, to compare before and after.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.')
        files[entry->d_name] = ReadFile(folder + "/" + entry->d_name);
    closedir(dir);
  }
  return files;
}

TEST(SqliteStoreFile, ADamagedOrForeignFileIsRefusedAndLeftByteForByteAsItWas) {
  const struct {
    const char* name;
    std::function<void(const std::string&)> make;
  } files[] = {
      {"random bytes", [](const std::string& path) { WriteFile(path, RandomBytes(8192, 1)); }},
      {"our header on garbage",
       [](const std::string& path) {
         std::string bytes = RandomBytes(8192, 2);
         bytes.replace(0, 16, std::string("SQLite format 3\0", 16));
         WriteFile(path, bytes.replace(68, 4, "LNRT"));
       }},
      {"another program's database",
       [](const std::string& path) {
         RunSql(path, "CREATE TABLE notes(text TEXT); INSERT INTO notes VALUES('keep me');");
       }},
      {"another program's database with a log not yet written back",
       [](const std::string& path) {
         RunSql(path,
                "PRAGMA journal_mode=WAL; CREATE TABLE notes(text TEXT);"
                "INSERT INTO notes VALUES('only in the log');",
                /*keepLog=*/true);
         ASSERT_GT(ReadFile(path + "-wal").size(), 0u);
       }},
      {"our id on other tables",
       [](const std::string& path) {
         RunSql(path, "PRAGMA application_id = 1280201300; CREATE TABLE other(x);");
       }},
      {"a store of a newer schema",
       [](const std::string& path) {
         MakeStore(path, 1);
         RunSql(path, "PRAGMA user_version = 2;");
       }},
      {"a store with a damaged page",
       [](const std::string& path) {
         MakeStore(path, 3000);
         std::string bytes = ReadFile(path);
         ASSERT_GT(bytes.size(), 8u * 4096);
         WriteFile(path, bytes.replace(5 * 4096 + 100, 2000, RandomBytes(2000, 3)));
       }},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    TempFolder folder;
    const std::string path = folder.path() + "/registry.db";
    file.make(path);
    const auto before = Snapshot(folder.path());
    StoreOpenResult result = StoreOpenResult::kOk;
    EXPECT_EQ(OpenSqliteStore(path, &result), nullptr);
    EXPECT_EQ(result, StoreOpenResult::kNotAStore);
    EXPECT_EQ(Snapshot(folder.path()), before);
  }
}

TEST(SqliteStoreFile, ANewStoreIsReadableByItsOwnerOnlyAndAnEmptyFileBecomesOne) {
  TempFolder folder;
  const mode_t previous = umask(0);
  const std::string path = folder.path() + "/data/lunaret/registry.db";
  StoreOpenResult result;
  auto registry = OpenSqliteStore(path, &result);
  umask(previous);
  ASSERT_NE(registry, nullptr);
  EXPECT_EQ(result, StoreOpenResult::kOk);
  EXPECT_TRUE(UserStore(*registry).SetPassword("Anna", "pw"));
  for (const std::string& made : {folder.path() + "/data", folder.path() + "/data/lunaret"})
    EXPECT_EQ(Mode(made), 0700u) << made;
  EXPECT_EQ(Mode(path), 0600u);
  EXPECT_EQ(Mode(path + "-wal"), 0600u);

  const std::string empty = folder.path() + "/empty.db";
  WriteFile(empty, "");
  MakeStore(empty, 2);
  auto reopened = OpenSqliteStore(empty, &result);
  ASSERT_NE(reopened, nullptr);
  EXPECT_EQ(UserStore(*reopened).GetStatisticsLength("anna"), 2u);
}

TEST(SqliteStoreFile, APlaceThatCannotHoldTheFileIsReported) {
  TempFolder folder;
  WriteFile(folder.path() + "/plain", "x");
  StoreOpenResult result;
  EXPECT_EQ(OpenSqliteStore(folder.path() + "/plain/registry.db", &result), nullptr);
  EXPECT_EQ(result, StoreOpenResult::kCannotCreate);
  EXPECT_EQ(OpenSqliteStore(folder.path(), &result), nullptr);  // a folder
  EXPECT_EQ(result, StoreOpenResult::kCannotCreate);
  EXPECT_EQ(ReadFile(folder.path() + "/plain"), "x");
}

// Sets an environment variable (or removes it, for null) and restores it when it goes.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name), had_(std::getenv(name)) {
    if (had_)
      previous_ = std::getenv(name);
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { had_ ? setenv(name_, previous_.c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  bool had_;
  std::string previous_;
};

TEST(SqliteStoreFile, TheDefaultStoreLiesInXdgDataHome) {
  ScopedEnv home("HOME", "/home/anna");
  {
    ScopedEnv data("XDG_DATA_HOME", "relative/data");  // ignored
    EXPECT_EQ(DefaultStorePath(), "/home/anna/.local/share/lunaret/registry.db");
  }
  ScopedEnv unset("XDG_DATA_HOME", nullptr);
  EXPECT_EQ(DefaultStorePath(), "/home/anna/.local/share/lunaret/registry.db");
  TempFolder folder;
  ScopedEnv data("XDG_DATA_HOME", folder.path().c_str());
  StoreOpenResult result;
  ASSERT_NE(OpenDefaultStore(&result), nullptr);
  EXPECT_EQ(result, StoreOpenResult::kOk);
  EXPECT_EQ(Mode(folder.path() + "/lunaret/registry.db"), 0600u);
}

class SqliteRegistryTest : public test::StoreTest {
 protected:
  // Another running copy of the program: a connection of its own to the same file.
  std::unique_ptr<Registry> OpenOtherCopy(int busyTimeoutMs = kStoreBusyTimeoutMs) {
    StoreOpenResult result;
    return OpenSqliteRegistry(backend_.path(), &result, busyTimeoutMs);
  }
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

// Handles live in memory: opening a key costs no file, and a closed or deleted key's handle
// never reaches another key, also when its place is taken by a key opened later.
TEST_F(SqliteRegistryTest, HandlesCostNoFilesAndStaleOnesAreRefused) {
  Close(Create("Software\\Lunaret\\Anna"));
  const int files = OpenFileCount();
  for (int i = 0; i < 500; ++i)
    Create("Software\\Lunaret\\Anna");
  EXPECT_EQ(OpenFileCount(), files);

  const RegKey closed = keys_.front();
  Close(closed);
  EXPECT_EQ(registry().CloseKey(closed), kErrorInvalidHandle);
  EXPECT_EQ(SetDword(closed, "data", 1), kErrorInvalidHandle);
  RegKey child = 0;
  EXPECT_EQ(registry().CreateKey(0x1234567, "x", &child), kErrorInvalidHandle);
  const RegKey anna = Create("Software\\Lunaret\\Anna");  // in the closed handle's place
  EXPECT_EQ(SetDword(closed, "data", 1), kErrorInvalidHandle);
  ASSERT_EQ(registry().DeleteKey(Create("Software\\Lunaret"), "Anna"), kErrorSuccess);
  EXPECT_EQ(SetDword(anna, "data", 1), kErrorKeyDeleted);
  EXPECT_EQ(registry().CreateKey(anna, "Child", &child), kErrorKeyDeleted);
  EXPECT_EQ(ValueCount(Create("Software\\Lunaret\\Anna")), 0u);
}

// Names are bytes: kept as given, matched by their folded form, split at single backslashes,
// at most 255 bytes each.
TEST_F(SqliteRegistryTest, KeyPathsAreNamesOfUpTo255BytesKeptByteForByte) {
  const std::string odd = "\377\376Anna\200";
  const RegKey key = Create("Software\\Lunaret\\" + odd + "\\");    // a trailing backslash
  EXPECT_EQ(SetDword(key, "\303\251t\303\251", 7), kErrorSuccess);  // été
  EXPECT_THAT(store().ListUsers(), ElementsAre(odd));
  EXPECT_EQ(Read(Open(kCurrentUser, "software\\lunaret\\\377\376ANNA\200"), "\303\211T\303\211"),
            "\7\0\0\0"s);

  RegKey bad = 0;
  for (const std::string& path :
       {"\\Software"s, "Software\\\\Lunaret"s, "Software\\" + std::string(256, 'k')})
    EXPECT_EQ(registry().CreateKey(kCurrentUser, path, &bad), kErrorInvalidParameter) << path;
  EXPECT_FALSE(store().SetPassword(std::string(256, 'u'), "pw"));
  ASSERT_TRUE(store().SetPassword(std::string(255, 'u'), "pw"));
  EXPECT_TRUE(store().FindUser(std::string(255, 'U')));
  EXPECT_EQ(store().ListUsers().size(), 2u);
}

TEST_F(SqliteRegistryTest, OthersSeeATransactionOnlyWhenTheOutermostCommits) {
  auto other = OpenOtherCopy();
  ASSERT_NE(other, nullptr);
  UserStore otherStore(*other);
  store().SetCycleStart("Anna", 1);
  {
    StoreTransaction outer(registry());
    store().SetCycleStart("Anna", 2);
    {
      StoreTransaction inner(registry());
      SaveStatistics(store(), "Anna", {{5, 6}});
      EXPECT_TRUE(inner.Commit());
    }
    EXPECT_EQ(otherStore.GetCycleStart("Anna"), 1);
    EXPECT_EQ(otherStore.GetStatisticsLength("Anna"), 0u);
    EXPECT_EQ(store().GetCycleStart("Anna"), 2);  // the writer sees its own writes
    EXPECT_TRUE(outer.Commit());
  }
  EXPECT_EQ(otherStore.GetCycleStart("Anna"), 2);
  EXPECT_EQ(LoadStatistics(otherStore, "Anna"), (std::vector<StatisticsRecord>{{5, 6}}));
  EXPECT_FALSE(registry().CommitTransaction());  // nothing left to commit
}

TEST_F(SqliteRegistryTest, ChangesOfAnotherCopyAreSeenAtOnce) {
  auto other = OpenOtherCopy();
  ASSERT_NE(other, nullptr);
  UserStore otherStore(*other);
  ASSERT_TRUE(store().SetPassword("Anna", "pw"));
  EXPECT_TRUE(otherStore.FindUser("anna"));
  EXPECT_TRUE(otherStore.DeleteUserKey("Anna"));
  EXPECT_FALSE(store().FindUser("Anna"));
  // The same name again is a new key: writes reach it, not the deleted one nor the key that
  // took the deleted one's place.
  ASSERT_TRUE(otherStore.SetPassword("Berta", "pw"));
  ASSERT_TRUE(otherStore.SetPassword("Anna", "new"));
  store().SetCycleStart("Anna", 42);
  EXPECT_EQ(otherStore.GetCycleStart("Anna"), 42);
  std::string password;
  ASSERT_TRUE(store().GetPassword("Anna", &password));
  EXPECT_EQ(password, "new");
}

// A copy that cannot get the store within its wait writes nothing of its save, not even what
// it could write once the other copy let go halfway, and its commit says so.
TEST_F(SqliteRegistryTest, ASaveThatCannotGetTheStoreWritesNothingAndSaysSo) {
  const std::vector<StatisticsRecord> old = {{5, 6}, {7, 8}};
  store().SetCycleStart("Anna", 1);
  SaveStatistics(store(), "Anna", old);
  auto backend = OpenOtherCopy(/*busyTimeoutMs=*/50);
  ASSERT_NE(backend, nullptr);
  test::RecordingRegistry impatient(*backend);
  UserStore impatientStore(impatient);
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(backend_.path().c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  impatient.beforeSetValue = [&](int) {  // the other copy lets go in the middle of the save
    if (holder == nullptr)
      return;
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    holder = nullptr;
  };
  for (bool free : {false, true}) {  // then once the store is free again, the save is made
    StoreTransaction transaction(impatient);
    SaveStatistics(impatientStore, "Anna", {{9, 10}});
    impatientStore.SetCycleStart("Anna", 2);
    EXPECT_EQ(transaction.Commit(), free);
    ASSERT_EQ(holder, nullptr);
    EXPECT_EQ(LoadStatistics(store(), "Anna"),
              (free ? std::vector<StatisticsRecord>{{9, 10}} : old));
    EXPECT_EQ(store().GetCycleStart("Anna"), free ? 2 : 1);
  }
}

// A deletion while another copy holds the store past the wait is refused and says so.
TEST_F(SqliteRegistryTest, ADeletionThatCannotGetTheStoreSaysSo) {
  ASSERT_TRUE(store().SetPassword("Anna", "pw"));
  auto backend = OpenOtherCopy(/*busyTimeoutMs=*/50);
  ASSERT_NE(backend, nullptr);
  UserStore impatient(*backend);
  ASSERT_TRUE(registry().BeginTransaction());
  EXPECT_FALSE(impatient.DeleteUserKey("Anna"));
  EXPECT_TRUE(registry().CommitTransaction());
  EXPECT_TRUE(impatient.FindUser("Anna"));
  EXPECT_TRUE(impatient.DeleteUserKey("Anna"));
  EXPECT_FALSE(store().FindUser("Anna"));
}

}  // namespace
}  // namespace lunaret
