// Backup and restore of the SQLite store file. The Windows build keeps its store in the
// registry and has neither.

#include "core/exchange/store_backup.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/store/registry_sqlite.h"
#include "core/store/store_file.h"

namespace lunaret {
namespace {

struct DatabaseClose {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Database = std::unique_ptr<sqlite3, DatabaseClose>;

Database OpenDatabase(const std::string& path, int flags) {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  Database database(db);
  if (rc != SQLITE_OK)
    database.reset();
  return database;
}

// A file descriptor closed when it goes.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() { Close(); }
  int get() const { return fd_; }
  bool Close() {
    const bool ok = fd_ < 0 || close(fd_) == 0;
    fd_ = -1;
    return ok;
  }

 private:
  int fd_;
};

// A temporary file next to the store, removed with the logs SQLite made for it when it goes,
// unless it was put in place.
class TempFile {
 public:
  explicit TempFile(std::string path) : path_(std::move(path)) {}
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() {
    if (path_.empty())
      return;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
      unlink((path_ + suffix).c_str());
  }
  const std::string& path() const { return path_; }
  void Release() { path_.clear(); }

 private:
  std::string path_;
};

// Copies the whole file; on failure the result says which side failed, errno why.
enum class CopyResult { kDone, kReadFailed, kWriteFailed };
CopyResult CopyAll(int from, int to) {
  std::vector<char> buffer(1 << 16);
  while (true) {
    const ssize_t got = read(from, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return CopyResult::kReadFailed;
    if (got == 0)
      return CopyResult::kDone;
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = write(to, buffer.data() + done, static_cast<std::size_t>(got - done));
      if (put < 0 && errno == EINTR)
        continue;
      if (put <= 0)
        return CopyResult::kWriteFailed;
      done += put;
    }
  }
}

bool SyncPath(const std::string& path, int flags) {
  Descriptor fd(open(path.c_str(), flags | O_CLOEXEC));
  return fd.get() >= 0 && fsync(fd.get()) == 0;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

// Takes the store for this process alone, with an exclusive lock held until the connection
// closes, and writes nothing yet: a restore that is refused later leaves the store as it was, log
// included. SQLite's code when it cannot be taken; SQLITE_BUSY means another connection has the
// store open.
int LockStore(const std::string& path, Database* lock) {
  *lock = OpenDatabase(path, SQLITE_OPEN_READWRITE);
  if (!*lock)
    return SQLITE_CANTOPEN;
  sqlite3* db = lock->get();
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, 0);
  // Closed without a checkpoint when a log lies beside the store, so that a refused restore
  // leaves it as it is; without one, the close only removes the empty log that reading made.
  sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, Exists(path + "-wal") ? 1 : 0, nullptr);
  // In exclusive locking mode the lock taken stays after the transaction: a WAL store that
  // another copy has open (it holds a shared lock as long as it is connected) refuses it. The
  // empty transaction writes nothing.
  const int rc = sqlite3_exec(db, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; COMMIT",
                              nullptr, nullptr, nullptr);
  return rc == SQLITE_OK ? rc : sqlite3_extended_errcode(db);
}

// Folds the write-ahead log of the store locked by LockStore into its file and removes it, so
// that the log of the old store cannot be replayed into the new one. The journal stays in memory,
// so that no file of the old store is left behind.
int FoldLog(sqlite3* db) {
  sqlite3_stmt* statement = nullptr;
  int rc = sqlite3_prepare_v2(db, "PRAGMA journal_mode = MEMORY", -1, &statement, nullptr);
  if (rc == SQLITE_OK) {
    rc = sqlite3_step(statement);
    const unsigned char* mode = rc == SQLITE_ROW ? sqlite3_column_text(statement, 0) : nullptr;
    if (rc == SQLITE_ROW)
      rc = mode != nullptr && std::strcmp(reinterpret_cast<const char*>(mode), "memory") == 0
               ? SQLITE_OK
               : SQLITE_BUSY;
  }
  sqlite3_finalize(statement);
  return rc;
}

// Moves the rollback journal and write-ahead log of one database file to another's names. When
// one cannot be moved, those already moved go back and errno says why.
bool MoveJournals(const std::string& from, const std::string& to) {
  std::vector<const char*> moved;
  for (const char* suffix : {"-wal", "-journal"}) {
    if (!Exists(from + suffix))
      continue;
    if (rename((from + suffix).c_str(), (to + suffix).c_str()) != 0) {
      const int error = errno;
      for (const char* back : moved)
        rename((to + back).c_str(), (from + back).c_str());
      errno = error;
      return false;
    }
    moved.push_back(suffix);
  }
  return true;
}

std::string KeptName(const std::string& storePath, std::time_t now) {
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::string kept = storePath + ".before-restore-" + stamp;
  for (int n = 2; Exists(kept); ++n)
    kept = storePath + ".before-restore-" + stamp + "-" + std::to_string(n);
  return kept;
}

RestoreOutcome Refused(RestoreResult result, int error = 0) {
  RestoreOutcome outcome;
  outcome.result = result;
  if (error != 0)
    outcome.systemError = std::strerror(error);
  return outcome;
}

// The store could not be taken: another copy has it, or SQLite says why not.
RestoreOutcome RefusedBySqlite(int rc) {
  if ((rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED)
    return Refused(RestoreResult::kInUse);
  RestoreOutcome outcome = Refused(RestoreResult::kCannotWrite);
  outcome.systemError = sqlite3_errstr(rc);
  return outcome;
}

// Folders made for the restore, removed again when it is refused.
class MadeFolders {
 public:
  MadeFolders() = default;
  MadeFolders(const MadeFolders&) = delete;
  MadeFolders& operator=(const MadeFolders&) = delete;
  ~MadeFolders() {
    for (auto it = paths_.rbegin(); it != paths_.rend(); ++it)
      rmdir(it->c_str());
  }
  std::vector<std::string>* paths() { return &paths_; }
  void Keep() { paths_.clear(); }

 private:
  std::vector<std::string> paths_;
};

}  // namespace

bool ReadStoreImage(const std::string& storePath, std::string* image) {
  Database source = OpenDatabase(storePath, SQLITE_OPEN_READONLY);
  Database copy = OpenDatabase(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  if (!source || !copy)
    return false;
  sqlite3_busy_timeout(source.get(), kStoreBusyTimeoutMs);
  sqlite3_backup* backup = sqlite3_backup_init(copy.get(), "main", source.get(), "main");
  if (backup == nullptr)
    return false;
  // All pages in one step: one read transaction, one state of the store.
  const int rc = sqlite3_backup_step(backup, -1);
  if (sqlite3_backup_finish(backup) != SQLITE_OK || rc != SQLITE_DONE)
    return false;
  sqlite3_int64 size = 0;
  unsigned char* bytes = sqlite3_serialize(copy.get(), "main", &size, 0);
  if (bytes == nullptr)
    return false;
  image->assign(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
  sqlite3_free(bytes);
  return true;
}

RestoreOutcome RestoreStore(const std::string& backupPath, const std::string& storePath,
                            std::time_t now) {
  // Opened without waiting: a FIFO or a device is refused as a folder is, not waited on.
  Descriptor backup(open(backupPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat info {};
  if (backup.get() < 0 || fstat(backup.get(), &info) != 0)
    return Refused(RestoreResult::kCannotRead, errno);
  if (!S_ISREG(info.st_mode) || info.st_size == 0)
    return Refused(RestoreResult::kNotAStore);

  // The copy that is checked and put in place lives in the store's own folder, so that the
  // rename cannot cross file systems; its folders are made as the program's start makes them.
  const std::string folder = std::filesystem::path(storePath).parent_path().string();
  MadeFolders made;
  if (!folder.empty() && !MakeStoreFolders(folder, made.paths()))
    return Refused(RestoreResult::kCannotWrite, errno);

  // The store is held from before the copy is made until the new one is in place: while it is,
  // no other restore runs, and the copies that killed ones left can go.
  Database lock;
  if (IsStoreFile(storePath)) {
    if (const int rc = LockStore(storePath, &lock); rc != SQLITE_OK)
      return RefusedBySqlite(rc);
    RemoveRestoreLeftovers(storePath);
  }

  // Only the copy is ever opened with SQLite.
  std::string pattern = RestoreCopyPattern(storePath);
  Descriptor out(mkstemp(pattern.data()));  // mode 0600
  if (out.get() < 0)
    return Refused(RestoreResult::kCannotWrite, errno);
  TempFile temp(pattern);
  if (const CopyResult copied = CopyAll(backup.get(), out.get()); copied != CopyResult::kDone) {
    return Refused(copied == CopyResult::kReadFailed ? RestoreResult::kCannotRead
                                                     : RestoreResult::kCannotWrite,
                   errno);
  }
  if (fsync(out.get()) != 0 || !out.Close())
    return Refused(RestoreResult::kCannotWrite, errno);

  // The checks of opening: header, schema and a page check. Closing the copy folds its log.
  {
    StoreOpenResult result = StoreOpenResult::kOk;
    if (!IsStoreFile(temp.path()) || !OpenSqliteStore(temp.path(), &result))
      return Refused(RestoreResult::kNotAStore);
  }
  if (!SyncPath(temp.path(), O_RDONLY))
    return Refused(RestoreResult::kCannotWrite, errno);

  RestoreOutcome outcome;
  outcome.result = RestoreResult::kRestored;
  if (Exists(storePath)) {
    // A file that is not a store cannot be open in the program; it is only moved aside. A store
    // that appeared while the copy was made is taken now.
    if (!lock && IsStoreFile(storePath)) {
      if (const int rc = LockStore(storePath, &lock); rc != SQLITE_OK)
        return RefusedBySqlite(rc);
    }
    if (lock) {
      if (const int rc = FoldLog(lock.get()); rc != SQLITE_OK)
        return RefusedBySqlite(rc);
    }
    outcome.keptAs = KeptName(storePath, now);
    if (link(storePath.c_str(), outcome.keptAs.c_str()) != 0)
      return Refused(RestoreResult::kCannotWrite, errno);
    // A log the old store could not fold in goes with it; its index is rebuilt from the log.
    if (!MoveJournals(storePath, outcome.keptAs)) {
      const int error = errno;
      unlink(outcome.keptAs.c_str());
      return Refused(RestoreResult::kCannotWrite, error);
    }
    unlink((storePath + "-shm").c_str());
  }
  if (rename(temp.path().c_str(), storePath.c_str()) != 0) {
    const int error = errno;
    if (!outcome.keptAs.empty()) {
      MoveJournals(outcome.keptAs, storePath);
      unlink(outcome.keptAs.c_str());
    }
    return Refused(RestoreResult::kCannotWrite, error);
  }
  temp.Release();
  made.Keep();
  SyncPath(folder.empty() ? "." : folder, O_RDONLY | O_DIRECTORY);
  return outcome;
}

}  // namespace lunaret
