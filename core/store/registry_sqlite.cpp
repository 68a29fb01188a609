// The store where there is no registry: one SQLite database per OS user, opened here.

#include "core/store/registry_sqlite.h"

#include <sqlite3.h>

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

  if (!CheckStoreFile(db, result))
    return nullptr;
  // WAL lets readers go on while another copy writes. When the switch cannot be made now (a
  // reader holds the file), the store keeps working in rollback mode.
  ExecSql(db, "PRAGMA journal_mode = WAL");
  if (!ExecSql(db, "PRAGMA synchronous = FULL; PRAGMA cache_size = -16384") ||
      !registry->Prepare()) {
    *result = OpenResultOf(sqlite3_errcode(db));
    return nullptr;
  }
  *result = StoreOpenResult::kOk;
  return registry;
}

}  // namespace lunaret
