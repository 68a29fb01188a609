// The SQLite file behind the store: created, recognised, refused, shared, killed in a save.
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>  // umask
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <tuple>
#include <utility>

#include "../test_support.h"
#include "core/store/registry_sqlite.h"

// Counts the syncs that reach the disk: SQLite calls these, and they go on to the system.
static int syncs = 0;
extern "C" int fsync(int fd) {
  ++syncs;
  return static_cast<int>(syscall(SYS_fsync, fd));
}
extern "C" int fdatasync(int fd) {
  ++syncs;
  return static_cast<int>(syscall(SYS_fdatasync, fd));
}

namespace lunaret {
namespace {

using std::string_literals::operator""s;
namespace fs = std::filesystem;
using Records = std::vector<StatisticsRecord>;

Records Generation(int generation, int count) {
  Records records;
  for (int i = 0; i < count; ++i)
    records.push_back({generation * 1000000 + i * 86400, i % 3 == 0 ? 0 : generation + i});
  return records;
}

// Saves records as Anna's, and the generation as her cycle start.
void Save(const std::string& path, int generation, int count) {
  test::StoreRun run(path);
  SaveStatistics(run.store, "Anna", Generation(generation, count));
  run.store.SetCycleStart("Anna", generation);
}

// Runs work in a child process; the parent holds no connection: SQLite's locks stay behind.
pid_t Fork(const std::function<int()>& work) {
  const pid_t pid = fork();
  if (pid == 0)
    _exit(work());
  return pid;
}

TEST(SqliteStoreFile, ADamagedOrForeignFileIsRefusedAndLeftByteForByteAsItWas) {
  // Each file: a store with that many records (or none), SQL another program ran on it, and
  // 2000 bytes of garbage written at an offset (or none).
  const std::tuple<int, const char*, int> files[] = {
      {-1, nullptr, 0},  // our header on garbage
      {-1, "PRAGMA journal_mode=WAL; CREATE TABLE t(x); INSERT INTO t VALUES(1);", -1},
      {-1, "PRAGMA application_id = 1280201300; CREATE TABLE other(x);", -1},
      {1, "PRAGMA user_version = 2;", -1},  // a newer schema
      {1, "PRAGMA journal_mode = DELETE; ALTER TABLE vals RENAME COLUMN data TO payload;", -1},
      {3000, nullptr, 5 * 4096 + 100},  // a damaged page
      // a damaged page, and the log a crash left beside it
      {3000, "UPDATE keys SET name = name WHERE id = 1", 5 * 4096 + 100}};
  std::mt19937 random(7);
  for (const auto& [records, sql, garbageAt] : files) {
    SCOPED_TRACE(std::to_string(records) + " " + std::to_string(garbageAt));
    test::TempFolder folder;
    const std::string path = folder.path() + "/registry.db";
    if (records >= 0)
      Save(path, 1, records);
    if (sql) {  // the log stays, as after a crash, where there is no store or it is damaged
      EXPECT_EQ(test::RunSql(path, sql, records < 0 || garbageAt >= 0), SQLITE_OK) << sql;
    }
    if (garbageAt >= 0) {
      std::string bytes = test::ReadFile(path);
      bytes.resize(std::max<std::size_t>(bytes.size(), 8192));
      for (int k = 0; k < 2000; ++k)
        bytes[garbageAt + k] = static_cast<char>(random());
      if (records < 0)
        bytes.replace(0, 16, "SQLite format 3\0"s).replace(68, 4, "LNRT");
      test::WriteFile(path, bytes);
    }
    const auto before = test::Files(folder.path());
    StoreOpenResult result = StoreOpenResult::kOk;
    EXPECT_EQ(OpenSqliteStore(path, &result), nullptr);
    EXPECT_EQ(result, StoreOpenResult::kNotAStore);
    EXPECT_EQ(test::Files(folder.path()), before);
  }
  // A sound store with the log a crash left: opened, and closed with the log folded in.
  test::TempFolder folder;
  const std::string path = folder.path() + "/registry.db";
  Save(path, 1, 2);
  EXPECT_EQ(test::RunSql(path, "UPDATE vals SET data = data", true), SQLITE_OK);
  ASSERT_TRUE(fs::exists(path + "-wal"));
  EXPECT_NE(test::OpenStore(path), nullptr);
  EXPECT_FALSE(fs::exists(path + "-wal"));
}

// In $XDG_DATA_HOME, or ~/.local/share when that is not an absolute path; its folders and files
// readable by their owner only, and every write on the disk when it returns.
TEST(SqliteStoreFile, ANewStoreIsMadeReadableByItsOwnerOnlyAndWritesAreDurable) {
  test::TempFolder folder;
  test::ScopedEnv home("HOME", "/home/anna");
  for (const char* unusable : {"relative/data", static_cast<const char*>(nullptr)}) {
    test::ScopedEnv data("XDG_DATA_HOME", unusable);
    EXPECT_EQ(DefaultStorePath(), "/home/anna/.local/share/lunaret/registry.db");
  }
  test::ScopedEnv data("XDG_DATA_HOME", (folder.path() + "/data").c_str());
  const mode_t previous = umask(0);
  StoreOpenResult result = StoreOpenResult::kCannotCreate;
  auto registry = OpenDefaultStore(&result);
  umask(previous);
  ASSERT_NE(registry, nullptr);
  const int before = syncs;
  EXPECT_TRUE(UserStore(*registry).SetPassword("Anna", "pw"));
  EXPECT_GT(syncs, before);
  const std::string path = folder.path() + "/data/lunaret/registry.db";
  for (const std::string& made : {folder.path() + "/data", folder.path() + "/data/lunaret"})
    EXPECT_EQ(fs::status(made).permissions(), fs::perms::owner_all) << made;
  for (const std::string& made : {path, path + "-wal"})
    EXPECT_EQ(fs::status(made).permissions(), fs::perms(0600)) << made;
  const std::string empty = folder.path() + "/empty.db";  // an empty file becomes a store
  test::WriteFile(empty, "");
  Save(empty, 5, 2);
  EXPECT_EQ(test::StoreRun(empty).store.GetCycleStart("anna"), 5);
  // A file, a folder, a FIFO and a device in the store's place: refused without waiting.
  const std::string fifo = folder.path() + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& place : {empty + "/registry.db", folder.path(), fifo, "/dev/null"s}) {
    EXPECT_EQ(OpenSqliteStore(place, &result), nullptr);
    EXPECT_EQ(result, StoreOpenResult::kCannotCreate);
  }
}

using SqliteRegistryTest = test::StoreTest;

// Another copy sees every change at once, also a user deleted and registered again.
TEST_F(SqliteRegistryTest, TwoCopiesSeeEachOthersChanges) {
  test::StoreRun other(path_);  // another running copy of the program
  UserStore& otherStore = other.store;
  ASSERT_TRUE(store().SetPassword("Anna", "pw"));
  EXPECT_TRUE(otherStore.FindUser("anna"));
  EXPECT_TRUE(otherStore.DeleteUserKey("Anna"));
  EXPECT_FALSE(store().FindUser("Anna"));
  ASSERT_TRUE(otherStore.SetPassword("Berta", "pw"));
  ASSERT_TRUE(otherStore.SetPassword("Anna", "new"));
  store().SetCycleStart("Anna", 42);  // reaches the new key, not the one in the old one's place
  EXPECT_EQ(otherStore.GetCycleStart("Anna"), 42);
  EXPECT_FALSE(store().SetPassword(std::string(256, 'u'), "pw"));  // key names: 255 bytes
  ASSERT_TRUE(store().SetPassword(std::string(255, 'u'), "pw"));
  EXPECT_TRUE(otherStore.FindUser(std::string(255, 'U')));
}

// Handles live in memory: closed ones, those of deleted keys and bad paths are refused.
TEST_F(SqliteRegistryTest, StaleHandlesAndBadPathsAreRefused) {
  const RegKey closed = Create("Software\\Lunaret\\Anna");
  keys_.pop_back();
  EXPECT_EQ(registry().CloseKey(closed), kErrorSuccess);
  EXPECT_EQ(registry().CloseKey(closed), kErrorInvalidHandle);
  const RegKey anna = Create("Software\\Lunaret\\Anna");  // in the closed handle's place
  EXPECT_EQ(Set(closed, "data", "x"), kErrorInvalidHandle);
  RegKey key = 0;
  EXPECT_EQ(registry().CreateKey(anna | 1, "x", &key), kErrorInvalidHandle);
  for (const std::string& path : {"\\Software"s, "Software\\\\x"s, std::string(256, 'k')})
    EXPECT_EQ(registry().CreateKey(kCurrentUser, path, &key), kErrorInvalidParameter) << path;
  EXPECT_EQ(registry().DeleteKey(kCurrentUser, ""), kErrorInvalidParameter);
  EXPECT_EQ(registry().CreateKey(Open(kCurrentUser, "Software"), "New", &key), kErrorAccessDenied);
  ASSERT_EQ(registry().DeleteKey(Create("Software\\Lunaret"), "Anna"), kErrorSuccess);
  EXPECT_EQ(Set(anna, "data", "x"), kErrorKeyDeleted);
  EXPECT_EQ(registry().CreateKey(anna, "Child", &key), kErrorKeyDeleted);
  EXPECT_FALSE(registry().CommitTransaction());  // none begun
}

// A call that fails halfway inside a transaction leaves nothing of itself for the commit, and the
// transaction goes on: a key deletion refused after the key's values went, a path refused at its
// last key. Another program's triggers refuse those last steps.
TEST_F(SqliteRegistryTest, ACallThatFailsHalfwayInsideATransactionLeavesNothingOfItself) {
  ASSERT_TRUE(store().SetPassword("Anna", "pw"));
  EXPECT_EQ(test::RunSql(path_,
                         "CREATE TRIGGER no_delete BEFORE DELETE ON keys BEGIN"
                         " SELECT RAISE(ABORT, 'refused'); END;"
                         "CREATE TRIGGER no_b BEFORE INSERT ON keys WHEN NEW.name = X'42' BEGIN"
                         " SELECT RAISE(ABORT, 'refused'); END;"),
            SQLITE_OK);
  for (const bool nested : {false, true}) {
    SCOPED_TRACE(nested ? "inside a transaction" : "alone");
    std::optional<StoreTransaction> outer;
    if (nested)
      outer.emplace(registry());
    EXPECT_FALSE(store().DeleteUserKey("Anna"));
    RegKey key = 0;
    EXPECT_EQ(registry().CreateKey(kCurrentUser, "Software\\Lunaret\\A\\B", &key), kErrorGeneric);
    EXPECT_EQ(registry().OpenKey(kCurrentUser, "Software\\Lunaret\\A", kKeyRead, &key),
              kErrorFileNotFound);
    store().SetCycleStart("Anna", 7);
    EXPECT_TRUE(!outer || outer->Commit());
    EXPECT_TRUE(store().GetPassword("Anna", nullptr));
    EXPECT_EQ(store().GetCycleStart("Anna"), 7);
    EXPECT_EQ(registry().OpenKey(kCurrentUser, "Software\\Lunaret\\A", kKeyRead, &key),
              kErrorFileNotFound);
  }
}

// A copy that cannot get the store in time writes nothing of its save or deletion, and says so.
TEST_F(SqliteRegistryTest, ASaveThatCannotGetTheStoreWritesNothingAndSaysSo) {
  const Records old = {{5, 6}, {7, 8}};
  SaveStatistics(store(), "Anna", old);
  StoreOpenResult result;
  auto impatient = OpenSqliteRegistry(path_, &result, /*busyTimeoutMs=*/50);
  ASSERT_NE(impatient, nullptr);
  UserStore impatientStore(*impatient);
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_FALSE(impatientStore.DeleteUserKey("Anna"));
  for (bool free : {false, true}) {  // then once the store is free again, the save is made
    StoreTransaction transaction(*impatient);
    sqlite3_close(std::exchange(holder, nullptr));  // the other copy lets go
    SaveStatistics(impatientStore, "Anna", {{9, 10}});
    EXPECT_EQ(transaction.Commit(), free);
    EXPECT_EQ(LoadStatistics(store(), "Anna"), (free ? Records{{9, 10}} : old));
  }
  EXPECT_TRUE(impatientStore.DeleteUserKey("Anna"));
  EXPECT_FALSE(store().FindUser("Anna"));
}

// A child saving 10,000 records over 5,000 is killed before its commit or while it runs: the
// store holds one complete set and goes on working.
TEST(KilledSave, AKillAtAnyMomentLeavesTheOldOrTheNewRecordsComplete) {
  test::TempFolder folder;
  const std::string path = folder.path() + "/registry.db";
  for (const int delayMs : {-1, 0, 20, 200}) {  // -1: held before the commit
    SCOPED_TRACE("killed after " + std::to_string(delayMs) + " ms");
    Save(path, 1, 5000);
    int signal[2];
    ASSERT_EQ(pipe(signal), 0);
    const pid_t pid = Fork([&] {
      auto registry = test::OpenStore(path);
      if (!registry || write(signal[1], "x", 1) != 1)
        return 3;
      UserStore store(*registry);
      StoreTransaction transaction(*registry);
      store.SetCycleStart("Anna", 2);
      SaveStatistics(store, "Anna", Generation(2, 10000));
      if (delayMs < 0 && write(signal[1], "x", 1) == 1)
        for (;;)
          pause();
      return transaction.Commit() ? 0 : 5;
    });
    ASSERT_GT(pid, 0);
    close(signal[1]);
    char byte = 0;
    for (int signals = delayMs < 0 ? 2 : 1; signals > 0; --signals)
      ASSERT_EQ(read(signal[0], &byte, 1), 1) << "the child did not get there";
    usleep(std::max(delayMs, 0) * 1000);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    close(signal[0]);
    test::StoreRun run(path);
    UserStore& store = run.store;
    const TimeValue start = store.GetCycleStart("Anna");
    EXPECT_EQ(LoadStatistics(store, "Anna"), Generation(start, start == 1 ? 5000 : 10000));
    EXPECT_TRUE(delayMs >= 0 || (start == 1 && WIFSIGNALED(status))) << "held before its commit";
  }
}

TEST(ConcurrentWriters, TwoProcessesWritingAtOnceBothSucceed) {
  test::TempFolder folder;
  const std::string path = folder.path() + "/lunaret/registry.db";
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  std::vector<pid_t> children;
  for (const int base : {0, 1000}) {
    children.push_back(Fork([&, base] {
      close(go[1]);
      char byte = 0;
      auto registry =
          read(go[0], &byte, 1) == 0 ? test::OpenStore(path) : nullptr;  // when go closes
      if (!registry)
        return 3;
      UserStore store(*registry);
      for (int i = base; i < base + 60; ++i) {
        if (!store.SetPassword('U' + std::to_string(i), "pw"))
          return 4;
        store.SetStatisticsDate("Shared", i, i);
        StoreTransaction transaction(*registry);
        SaveStatistics(store, std::to_string(base), Generation(i, 50));
        if (!transaction.Commit())
          return 5;
      }
      return 0;
    }));
    ASSERT_GT(children.back(), 0);
  }
  close(go[0]);
  close(go[1]);  // both start now
  for (pid_t child : children) {
    int status = 0;
    for (int waited = 0; waitpid(child, &status, WNOHANG) != child; waited += 10)
      usleep(waited < 50000 ? 10000 : kill(child, SIGKILL));  // a writer that hangs fails
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  }
  test::StoreRun run(path);
  UserStore& store = run.store;
  EXPECT_EQ(store.ListUsers().size(), 2u * 60 + 3);  // the users, 0, 1000 and Shared
  for (int i = 0; i < 1060; i += i == 59 ? 941 : 1) {
    ASSERT_TRUE(store.GetPassword('U' + std::to_string(i), nullptr)) << i;
    ASSERT_EQ(store.GetStatisticsDate("Shared", i), i) << i;
  }
  EXPECT_EQ(LoadStatistics(store, "0"), Generation(59, 50));
  EXPECT_EQ(LoadStatistics(store, "1000"), Generation(1059, 50));
}

}  // namespace
}  // namespace lunaret
