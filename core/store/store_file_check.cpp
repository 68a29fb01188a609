// The check of the SQLite file when the store opens: a file that is not a store is never written.

#include "core/store/store_file_check.h"

#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/store/registry_sqlite.h"
#include "core/store/sqlite_statement.h"

namespace lunaret {
namespace {

constexpr const char* kSchema =
    "CREATE TABLE keys(id INTEGER PRIMARY KEY, parent INTEGER NOT NULL, name BLOB NOT NULL,"
    " folded BLOB NOT NULL, UNIQUE(parent, folded));"
    "CREATE TABLE vals(key INTEGER NOT NULL,"
    " name BLOB NOT NULL, folded BLOB NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,"
    " PRIMARY KEY(key, folded)) WITHOUT ROWID;";

// What the file holds: its header fields and the objects of its schema.
struct StoreContents {
  int code = SQLITE_OK;  // first failure while reading
  sqlite3_int64 applicationId = 0;
  sqlite3_int64 schemaVersion = 0;
  std::vector<std::pair<std::string, std::string>> objects;  // (type, table it belongs to)
};

sqlite3_int64 ReadPragma(sqlite3* db, const char* sql, int* code) {
  sqlite3_stmt* statement = nullptr;
  sqlite3_int64 value = 0;
  int rc = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
  if (rc == SQLITE_OK) {
    rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW) {
      value = sqlite3_column_int64(statement, 0);
      rc = SQLITE_OK;
    } else if (rc == SQLITE_DONE) {
      rc = SQLITE_OK;
    }
  }
  sqlite3_finalize(statement);
  if (*code == SQLITE_OK)
    *code = rc;
  return value;
}

StoreContents ReadContents(sqlite3* db) {
  StoreContents contents;
  sqlite3_stmt* statement = nullptr;
  int rc =
      sqlite3_prepare_v2(db, "SELECT type, tbl_name FROM sqlite_master", -1, &statement, nullptr);
  if (rc == SQLITE_OK) {
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
      const unsigned char* type = sqlite3_column_text(statement, 0);
      const unsigned char* table = sqlite3_column_text(statement, 1);
      contents.objects.emplace_back(type ? reinterpret_cast<const char*>(type) : "",
                                    table ? reinterpret_cast<const char*>(table) : "");
    }
    if (rc == SQLITE_DONE)
      rc = SQLITE_OK;
  }
  sqlite3_finalize(statement);
  contents.code = rc;
  contents.applicationId = ReadPragma(db, "PRAGMA application_id", &contents.code);
  contents.schemaVersion = ReadPragma(db, "PRAGMA user_version", &contents.code);
  return contents;
}

// A damaged page would make later reads and writes fail one by one: find it before the
// program starts working with the store. Reads only.
bool PassesQuickCheck(sqlite3* db, StoreOpenResult* result) {
  sqlite3_stmt* statement = nullptr;
  int rc = sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &statement, nullptr);
  bool ok = false;
  if (rc == SQLITE_OK && (rc = sqlite3_step(statement)) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(statement, 0);
    ok = text != nullptr && std::strcmp(reinterpret_cast<const char*>(text), "ok") == 0;
  }
  sqlite3_finalize(statement);
  if (!ok)
    *result = (rc & 0xFF) == SQLITE_BUSY ? StoreOpenResult::kBusy : StoreOpenResult::kNotAStore;
  return ok;
}

bool IsEmpty(const StoreContents& contents) {
  return contents.objects.empty() && contents.applicationId == 0 && contents.schemaVersion == 0;
}

// Exactly the two tables of the store (with the indexes SQLite makes for them), marked as ours.
bool IsOurs(const StoreContents& contents) {
  if (contents.applicationId != static_cast<sqlite3_int64>(kStoreApplicationId) ||
      contents.schemaVersion != kStoreSchemaVersion)
    return false;
  std::set<std::string> tables;
  for (const auto& [type, table] : contents.objects) {
    if (table != "keys" && table != "vals")
      return false;
    if (type == "table")
      tables.insert(table);
    else if (type != "index")
      return false;
  }
  return tables.size() == 2;
}

}  // namespace

StoreOpenResult OpenResultOf(int code) {
  switch (code & 0xFF) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_FORMAT:
    case SQLITE_SCHEMA:
      return StoreOpenResult::kNotAStore;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return StoreOpenResult::kBusy;
    default:
      return StoreOpenResult::kCannotCreate;
  }
}

bool CheckStoreFile(sqlite3* db, StoreOpenResult* result) {
  // Read before anything is written: a file that is not a store is left as it is.
  StoreContents contents = ReadContents(db);
  if (contents.code != SQLITE_OK) {
    *result = OpenResultOf(contents.code);
    return false;
  }
  if (IsEmpty(contents)) {
    if (!ExecSql(db, "BEGIN IMMEDIATE")) {
      *result = OpenResultOf(sqlite3_errcode(db));
      return false;
    }
    // Another copy of the program may have set the store up in the meantime.
    contents = ReadContents(db);
    bool ok = contents.code == SQLITE_OK;
    if (ok && IsEmpty(contents)) {
      const std::string setup = "PRAGMA application_id = " + std::to_string(kStoreApplicationId) +
                                "; PRAGMA user_version = " + std::to_string(kStoreSchemaVersion) +
                                "; " + kSchema;
      ok = ExecSql(db, setup.c_str());
      if (ok)
        contents = ReadContents(db);
    }
    ok = ok && ExecSql(db, "COMMIT");
    if (!ok) {
      *result = OpenResultOf(sqlite3_errcode(db));
      ExecSql(db, "ROLLBACK");
      return false;
    }
  }
  if (!IsOurs(contents)) {
    *result = StoreOpenResult::kNotAStore;
    return false;
  }
  return PassesQuickCheck(db, result);
}

}  // namespace lunaret
