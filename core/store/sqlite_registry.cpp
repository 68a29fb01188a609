// The registry on SQLite: its keys, their handles and lookups, and its transactions. The values
// are in sqlite_registry_values.cpp. Key handles live in memory only: opening or closing a key
// touches no file.

#include "core/store/sqlite_registry.h"

#include <cstring>

#include "core/base/text.h"
#include "core/store/key_path.h"
#include "core/store/statement_run.h"

namespace lunaret {

SqliteRegistry::~SqliteRegistry() {
  if (depth_ > 0)
    ExecSql(db_, "ROLLBACK");
  // The statement members are finalized after this body; sqlite3_close_v2 lets the
  // connection go once they are.
  sqlite3_close_v2(db_);
}

bool SqliteRegistry::Prepare() {
  return findChild_.Prepare(db_, "SELECT id FROM keys WHERE parent = ?1 AND folded = ?2") &&
         keyExists_.Prepare(db_, "SELECT 1 FROM keys WHERE id = ?1") &&
         addKey_.Prepare(db_, "INSERT INTO keys(parent, name, folded) VALUES(?1, ?2, ?3)") &&
         firstChild_.Prepare(db_, "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1") &&
         deleteKey_.Prepare(db_, "DELETE FROM keys WHERE id = ?1") &&
         listChildren_.Prepare(db_, "SELECT name FROM keys WHERE parent = ?1 ORDER BY folded") &&
         getValue_.Prepare(db_, "SELECT type, data FROM vals WHERE key = ?1 AND folded = ?2") &&
         setValue_.Prepare(db_,
                           "INSERT INTO vals(key, name, folded, type, data)"
                           " VALUES(?1, ?2, ?3, ?4, ?5) ON CONFLICT(key, folded)"
                           " DO UPDATE SET type = excluded.type, data = excluded.data") &&
         setValueChecked_.Prepare(db_,
                                  "INSERT INTO vals(key, name, folded, type, data)"
                                  " SELECT ?1, ?2, ?3, ?4, ?5"
                                  " WHERE EXISTS(SELECT 1 FROM keys WHERE id = ?1)"
                                  " ON CONFLICT(key, folded)"
                                  " DO UPDATE SET type = excluded.type, data = excluded.data") &&
         listValues_.Prepare(
             db_, "SELECT folded, type, data FROM vals WHERE key = ?1 ORDER BY folded") &&
         listValueNames_.Prepare(db_, "SELECT name FROM vals WHERE key = ?1 ORDER BY folded") &&
         deleteValue_.Prepare(db_, "DELETE FROM vals WHERE key = ?1 AND folded = ?2") &&
         deleteValuesOf_.Prepare(db_, "DELETE FROM vals WHERE key = ?1") &&
         countValues_.Prepare(db_, "SELECT count(*) FROM vals WHERE key = ?1") &&
         dataVersion_.Prepare(db_, "PRAGMA data_version");
}

void SqliteRegistry::ClearCache() {
  snapshots_.clear();
  cache_.Clear();
}

bool SqliteRegistry::Alive(sqlite3_int64 id) {
  if (id == 0 || cache_.IsAlive(id))
    return true;
  if (!KeyExists(id))
    return false;
  cache_.MarkAlive(id);
  return true;
}

bool SqliteRegistry::FindPath(sqlite3_int64 parent, const std::string& path,
                              const std::vector<std::string>& folded, sqlite3_int64* id) {
  if (cache_.FindPath(parent, path, id))
    return true;
  sqlite3_int64 current = parent;
  for (const std::string& name : folded) {
    if (!Lookup(current, name, &current))
      return false;
  }
  cache_.AddPath(parent, path, current);
  *id = current;
  return true;
}

void SqliteRegistry::CheckCache() {
  StatementRun run(dataVersion_);
  const sqlite3_int64 version = run.Step() == SQLITE_ROW ? run.ColumnInt(0) : -1;
  if (version != seenDataVersion_ || version < 0)
    ClearCache();
  seenDataVersion_ = version;
}

void SqliteRegistry::Rollback() {
  if (!sqlite3_get_autocommit(db_))
    ExecSql(db_, "ROLLBACK");
  ClearCache();
}

void SqliteRegistry::RollbackToSavepoint() {
  // When SQLite has already rolled the whole transaction back, there is no savepoint left:
  // TransactionLost then refuses the rest of it.
  if (!sqlite3_get_autocommit(db_))
    ExecSql(db_, "ROLLBACK TO write_scope; RELEASE write_scope");
  // Keys added since the savepoint are gone again.
  ClearCache();
}

bool SqliteRegistry::TransactionLost() {
  if (depth_ > 0 && sqlite3_get_autocommit(db_)) {
    lost_ = true;
    ClearCache();
  }
  return lost_;
}

long SqliteRegistry::Resolve(RegKey key, sqlite3_int64* id, std::uint32_t* access,
                             Handle** handle) {
  Handle* found = handles_.Resolve(key);
  if (found == nullptr)
    return kErrorInvalidHandle;
  *id = found->id;
  *access = found->access;
  if (handle)
    *handle = found;
  return kErrorSuccess;
}

long SqliteRegistry::ResolveFor(RegKey key, std::uint32_t needed, sqlite3_int64* id,
                                Handle** handle) {
  std::uint32_t access = 0;
  if (const long rc = Resolve(key, id, &access, handle); rc != kErrorSuccess)
    return rc;
  return (access & needed) == needed ? kErrorSuccess : kErrorAccessDenied;
}

bool SqliteRegistry::KeyExists(sqlite3_int64 id) {
  if (id == 0)
    return true;
  StatementRun run(keyExists_);
  return run.Int(1, id).Step() == SQLITE_ROW;
}

bool SqliteRegistry::Lookup(sqlite3_int64 parent, const std::string& folded, sqlite3_int64* id) {
  if (cache_.FindChild(parent, folded, id))
    return true;
  StatementRun run(findChild_);
  if (run.Int(1, parent).Blob(2, folded).Step() != SQLITE_ROW)
    return false;
  *id = run.ColumnInt(0);
  cache_.AddChild(parent, folded, *id);
  return true;
}

long SqliteRegistry::CreateKey(RegKey parent, const std::string& path, RegKey* key) {
  if (key == nullptr)
    return kErrorInvalidParameter;
  sqlite3_int64 id = 0;
  std::uint32_t access = 0;
  if (const long rc = Resolve(parent, &id, &access, nullptr); rc != kErrorSuccess)
    return rc;
  if (depth_ == 0 || lost_)
    CheckCache();
  // Most calls open a key that was opened before: one look into the cache of whole paths.
  if (sqlite3_int64 cached = 0; cache_.FindPath(id, path, &cached)) {
    *key = AddHandle(cached, kKeyAllAccess);
    return *key != 0 ? kErrorSuccess : kErrorGeneric;
  }
  std::vector<std::string> names;
  if (!SplitPath(path, &names))
    return kErrorInvalidParameter;
  const std::vector<std::string> folded = FoldAll(names);
  if (names.empty()) {
    if (!Alive(id))
      return kErrorKeyDeleted;
    *key = AddHandle(id, kKeyAllAccess);
    return *key != 0 ? kErrorSuccess : kErrorGeneric;
  }

  // Then most open a key that exists: find it without taking the write lock.
  sqlite3_int64 current = id;
  if (!FindPath(id, path, folded, &current)) {
    if ((access & kKeyCreateSubKey) != kKeyCreateSubKey)
      return kErrorAccessDenied;
    WriteScope scope(*this);
    if (!scope.Begin())
      return kErrorGeneric;
    if (!Alive(id))
      return kErrorKeyDeleted;
    current = id;
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (Lookup(current, folded[i], &current))
        continue;
      StatementRun run(addKey_);
      if (run.Int(1, current).Blob(2, names[i]).Blob(3, folded[i]).Step() != SQLITE_DONE)
        return kErrorGeneric;
      const sqlite3_int64 added = sqlite3_last_insert_rowid(db_);
      cache_.AddChild(current, folded[i], added);
      current = added;
    }
    if (!scope.Commit())
      return kErrorGeneric;
    cache_.AddPath(id, path, current);
  }
  *key = AddHandle(current, kKeyAllAccess);
  return *key != 0 ? kErrorSuccess : kErrorGeneric;
}

long SqliteRegistry::OpenKey(RegKey parent, const std::string& path, std::uint32_t access,
                             RegKey* key) {
  if (key == nullptr)
    return kErrorInvalidParameter;
  sqlite3_int64 id = 0;
  std::uint32_t parentAccess = 0;
  if (const long rc = Resolve(parent, &id, &parentAccess, nullptr); rc != kErrorSuccess)
    return rc;
  if (depth_ == 0 || lost_)
    CheckCache();
  std::vector<std::string> names;
  if (!SplitPath(path, &names))
    return kErrorInvalidParameter;
  if (names.empty()) {
    if (!Alive(id))
      return kErrorKeyDeleted;
  } else {
    if (!FindPath(id, path, FoldAll(names), &id))
      return kErrorFileNotFound;
  }
  *key = AddHandle(id, access);
  return *key != 0 ? kErrorSuccess : kErrorGeneric;
}

long SqliteRegistry::EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize) {
  sqlite3_int64 id = 0;
  Handle* handle = nullptr;
  if (const long rc = ResolveFor(key, kKeyEnumerateSubKeys, &id, &handle); rc != kErrorSuccess)
    return rc;
  if (name == nullptr || nameSize == nullptr)
    return kErrorInvalidParameter;

  // The walk reads the list once, at index 0, and serves the later indices from it.
  std::vector<std::string>& children = handle->children;
  if (index == 0 || !handle->haveChildren) {
    children.clear();
    handle->haveChildren = false;
    StatementRun run(listChildren_);
    run.Int(1, id);
    int rc = 0;
    while ((rc = run.Step()) == SQLITE_ROW)
      children.push_back(run.ColumnBlob(0));
    if (rc != SQLITE_DONE) {
      children.clear();
      return kErrorGeneric;
    }
    handle->haveChildren = true;
  }
  if (index >= children.size())
    return kErrorNoMoreItems;
  const std::string& child = children[index];
  if (child.size() + 1 > *nameSize)
    return kErrorMoreData;
  std::memcpy(name, child.data(), child.size());
  name[child.size()] = '\0';
  *nameSize = static_cast<std::uint32_t>(child.size());
  return kErrorSuccess;
}

long SqliteRegistry::DeleteKey(RegKey key, const std::string& subkey) {
  sqlite3_int64 id = 0;
  std::uint32_t access = 0;
  if (const long rc = Resolve(key, &id, &access, nullptr); rc != kErrorSuccess)
    return rc;
  std::vector<std::string> names;
  if (!SplitPath(subkey, &names) || names.empty())
    return kErrorInvalidParameter;
  WriteScope scope(*this);
  if (!scope.Begin())
    return kErrorGeneric;
  for (const std::string& name : names) {
    if (!Lookup(id, UpperCase(name), &id))
      return kErrorFileNotFound;
  }
  {
    StatementRun run(firstChild_);
    const int rc = run.Int(1, id).Step();
    if (rc == SQLITE_ROW)
      return kErrorAccessDenied;
    if (rc != SQLITE_DONE)
      return kErrorGeneric;
  }
  {
    StatementRun run(deleteValuesOf_);
    if (run.Int(1, id).Step() != SQLITE_DONE)
      return kErrorGeneric;
  }
  {
    StatementRun run(deleteKey_);
    if (run.Int(1, id).Step() != SQLITE_DONE)
      return kErrorGeneric;
  }
  // The deleted id may be handed out again: forget every cached lookup.
  ClearCache();
  return scope.Commit() ? kErrorSuccess : kErrorGeneric;
}

long SqliteRegistry::CloseKey(RegKey key) {
  if (key == kCurrentUser)
    return kErrorSuccess;
  return handles_.Close(key) ? kErrorSuccess : kErrorInvalidHandle;
}

bool SqliteRegistry::BeginTransaction() {
  if (depth_++ > 0)
    return !TransactionLost();
  // BEGIN IMMEDIATE takes the write lock at once, waiting up to the busy timeout for another
  // process's save, so a transaction never fails halfway for a lock. When it cannot be had,
  // the writes up to the matching commit are refused.
  lost_ = !ExecSql(db_, "BEGIN IMMEDIATE");
  CheckCache();
  return !lost_;
}

bool SqliteRegistry::CommitTransaction() {
  if (depth_ == 0)
    return false;
  if (--depth_ > 0)
    return !TransactionLost();
  // Once the transaction ends, other copies may write again.
  snapshots_.clear();
  const bool lost = TransactionLost();
  lost_ = false;
  if (lost) {
    Rollback();
    return false;
  }
  if (ExecSql(db_, "COMMIT"))
    return true;
  Rollback();
  return false;
}

}  // namespace lunaret
