// Backup of the whole store while it is in use, and restore: the round trip, the previous store
// kept aside, and every refusal leaving the store, its folder and the backup as they were.
#include "core/store_backup.h"

#include <dirent.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

#include "core/store_file.h"
#include "test_store.h"

namespace lunaret {
namespace {

constexpr std::time_t kRestoreTime = 1709288100;  // 2024-03-01 10:15:00 UTC

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

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

class StoreBackupTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_.path() + "/" + name; }
  std::unique_ptr<Registry> Open(const std::string& path) {
    StoreOpenResult result;
    auto registry = OpenSqliteStore(path, &result);
    EXPECT_NE(registry, nullptr) << path;
    return registry;
  }
  void Save(const std::string& path, const std::vector<StatisticsRecord>& records) {
    auto registry = Open(path);
    UserStore store(*registry);
    SaveStatistics(store, "Anna", records);
  }
  std::vector<StatisticsRecord> Load(const std::string& path) {
    auto registry = Open(path);
    UserStore store(*registry);
    return LoadStatistics(store, "Anna");
  }
  void WriteBackup(const std::string& bytes) {
    std::ofstream(Path("backup.db"), std::ios::binary | std::ios::trunc) << bytes;
  }

  test::TempFolder folder_;
  const std::vector<StatisticsRecord> saved_ = {{1078448461, 0}, {1080867661, 1082077261}};
};

TEST_F(StoreBackupTest, BackupTakenWhileInUseRestoresOverTheStoreAndKeepsTheOldOne) {
  const std::string live = Path("registry.db");
  std::string image;
  auto registry = Open(live);
  UserStore store(*registry);
  SaveStatistics(store, "Anna", saved_);
  ASSERT_TRUE(ReadStoreImage(live, &image));  // while the store is open
  registry.reset();
  WriteBackup(image);
  // A copy that ended without folding its log in, after it had removed everything: the log
  // belongs to the old store and must not reach the new one.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(live.c_str(), &db), SQLITE_OK);
  sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  ASSERT_EQ(sqlite3_exec(db, "DELETE FROM vals", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  ASSERT_TRUE(Snapshot(folder_.path()).contains("registry.db-wal"));

  const RestoreOutcome outcome = RestoreStore(Path("backup.db"), live, kRestoreTime);
  ASSERT_EQ(outcome.result, RestoreResult::kRestored);
  EXPECT_EQ(outcome.keptAs, live + ".before-restore-20240301-101500");
  const auto files = Snapshot(folder_.path());
  EXPECT_EQ(files.size(), 3u);  // the backup, the store and the one kept: no temporary left
  EXPECT_EQ(files.at("backup.db"), image);
  struct stat info {};
  ASSERT_EQ(stat(live.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(Load(live), saved_);
  EXPECT_TRUE(Load(outcome.keptAs).empty());
  // A second restore in the same second keeps the store it replaces under a name of its own.
  EXPECT_EQ(RestoreStore(Path("backup.db"), live, kRestoreTime).keptAs, outcome.keptAs + "-2");
}

TEST_F(StoreBackupTest, RefusalsChangeNothing) {
  const std::string live = Path("registry.db");
  Save(live, std::vector<StatisticsRecord>(2000, {1078448461, 0}));  // many pages
  std::string image;
  ASSERT_TRUE(ReadStoreImage(live, &image));
  std::string damaged = image;
  damaged.replace(2 * 4096, 4096, std::string(4096, '\x55'));
  sqlite3* foreign = nullptr;
  ASSERT_EQ(sqlite3_open(Path("foreign.db").c_str(), &foreign), SQLITE_OK);
  sqlite3_exec(foreign, "CREATE TABLE t(x); INSERT INTO t VALUES(1)", nullptr, nullptr, nullptr);
  sqlite3_close(foreign);
  const std::string foreignBytes = ReadFile(Path("foreign.db"));
  std::remove(Path("foreign.db").c_str());
  const std::string empty;
  const std::string text = "start\r\n2024-01-01\r\n";

  const struct {
    const char* name;
    const std::string* backup;  // null: no backup file
    bool storeOpen;
    RestoreResult result;
  } cases[] = {
      {"no such file", nullptr, false, RestoreResult::kCannotRead},
      {"0 bytes", &empty, false, RestoreResult::kNotAStore},
      {"a text file", &text, false, RestoreResult::kNotAStore},
      {"another program's database", &foreignBytes, false, RestoreResult::kNotAStore},
      {"a damaged store", &damaged, false, RestoreResult::kNotAStore},
      {"the store in use", &image, true, RestoreResult::kInUse},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::remove(Path("backup.db").c_str());
    if (c.backup != nullptr)
      WriteBackup(*c.backup);
    std::unique_ptr<Registry> running = c.storeOpen ? Open(live) : nullptr;
    const auto before = Snapshot(folder_.path());
    EXPECT_EQ(RestoreStore(Path("backup.db"), live, kRestoreTime).result, c.result);
    EXPECT_EQ(Snapshot(folder_.path()), before);
  }
  EXPECT_EQ(Load(live).size(), 2000u);
}

}  // namespace
}  // namespace lunaret
