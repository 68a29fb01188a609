// The store where there is no registry: one SQLite database per OS user, opened here.

#include "core/store/registry_sqlite.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include "core/store/sqlite_registry.h"
#include "core/store/sqlite_statement.h"
#include "core/store/store_file_check.h"

namespace lunaret {

std::unique_ptr<Registry> OpenSqliteRegistry(const std::string& path, StoreOpenResult* result,
                                             int busyTimeoutMs) {
  StoreOpenResult ignored = StoreOpenResult::kCannotCreate;
  if (result == nullptr)
    result = &ignored;
  *result = StoreOpenResult::kCannotCreate;
  // Memory statistics cost a lock around every allocation; the store keeps none. (Refused
  // harmlessly once SQLite is initialised.)
  static const int kNoMemoryStatistics = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  static_cast<void>(kNoMemoryStatistics);
  sqlite3* db = nullptr;
  // The store is used from one thread, as is the rest of the program: SQLite need not lock.
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    *result = OpenResultOf(rc);
    sqlite3_close_v2(db);
    return nullptr;
  }
  auto registry = std::make_unique<SqliteRegistry>(db);
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, busyTimeoutMs);

  // Until the file has passed its checks, closing it writes nothing to it: a log that lies beside
  // it is neither folded into a file that is refused nor removed. Without one, the close only
  // removes the empty log and index that reading made.
  struct stat log {};
  const bool hadLog = stat((path + "-wal").c_str(), &log) == 0;
  sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, hadLog ? 1 : 0, nullptr);
  if (!CheckStoreFile(db, result))
    return nullptr;
  // The statements name every column the store uses: a table changed by another program is
  // refused here, before the switch to WAL below writes the header.
  if (!registry->Prepare()) {
    const int code = sqlite3_errcode(db);
    *result = (code & 0xFF) == SQLITE_ERROR ? StoreOpenResult::kNotAStore : OpenResultOf(code);
    return nullptr;
  }
  sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
  // WAL lets readers go on while another copy writes. When the switch cannot be made now (a
  // reader holds the file), the store keeps working in rollback mode.
  ExecSql(db, "PRAGMA journal_mode = WAL");
  if (!ExecSql(db, "PRAGMA synchronous = FULL; PRAGMA cache_size = -16384")) {
    *result = OpenResultOf(sqlite3_errcode(db));
    return nullptr;
  }
  // Copies that killed restores left next to the store. A restore holds the store from before it
  // makes its copy until it is done, so none runs while this read transaction lasts.
  if (ExecSql(db, "BEGIN; SELECT count(*) FROM keys"))
    RemoveRestoreLeftovers(path);
  if (!sqlite3_get_autocommit(db))
    ExecSql(db, "COMMIT");
  *result = StoreOpenResult::kOk;
  return registry;
}

}  // namespace lunaret
