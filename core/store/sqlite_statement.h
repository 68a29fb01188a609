#ifndef LUNARET_CORE_STORE_SQLITE_STATEMENT_H
#define LUNARET_CORE_STORE_SQLITE_STATEMENT_H

#include <sqlite3.h>

namespace lunaret {

// A prepared statement kept for the lifetime of the connection.
class SqliteStatement {
 public:
  SqliteStatement() = default;
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;
  ~SqliteStatement();

  bool Prepare(sqlite3* db, const char* sql);
  sqlite3_stmt* get() const { return statement_; }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

// Runs the statements of sql one after the other; true when all of them succeeded.
bool ExecSql(sqlite3* db, const char* sql);

}  // namespace lunaret

#endif  // LUNARET_CORE_STORE_SQLITE_STATEMENT_H
