#ifndef LUNARET_CORE_STORE_STATEMENT_RUN_H
#define LUNARET_CORE_STORE_STATEMENT_RUN_H

#include <sqlite3.h>

#include <cstddef>
#include <string>

#include "core/store/sqlite_statement.h"

namespace lunaret {

// One execution of a prepared statement: binds, steps and resets it when it goes, so that no
// read transaction stays open between calls. Bound texts must outlive the run. Inline: every
// store call goes through it.
class StatementRun {
 public:
  explicit StatementRun(const SqliteStatement& statement) : statement_(statement.get()) {}
  StatementRun(const StatementRun&) = delete;
  StatementRun& operator=(const StatementRun&) = delete;
  ~StatementRun() { sqlite3_reset(statement_); }

  StatementRun& Int(int index, sqlite3_int64 value) {
    sqlite3_bind_int64(statement_, index, value);
    return *this;
  }
  StatementRun& Blob(int index, const void* data, std::size_t size) {
    // A zero-length blob still needs a non-null pointer, or SQLite stores NULL.
    static const char kEmpty = 0;
    sqlite3_bind_blob64(statement_, index, size == 0 ? &kEmpty : data, size, SQLITE_STATIC);
    return *this;
  }
  StatementRun& Blob(int index, const std::string& text) {
    return Blob(index, text.data(), text.size());
  }

  int Step() { return sqlite3_step(statement_); }
  sqlite3_int64 ColumnInt(int column) const { return sqlite3_column_int64(statement_, column); }
  std::string ColumnBlob(int column) const {
    const void* data = sqlite3_column_blob(statement_, column);
    const int size = sqlite3_column_bytes(statement_, column);
    if (data == nullptr || size <= 0)
      return {};
    return std::string(static_cast<const char*>(data), static_cast<std::size_t>(size));
  }

 private:
  sqlite3_stmt* statement_;
};

}  // namespace lunaret

#endif  // LUNARET_CORE_STORE_STATEMENT_RUN_H
