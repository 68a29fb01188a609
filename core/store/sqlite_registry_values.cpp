// The values of the registry on SQLite: read, written, deleted and counted.

#include "core/store/sqlite_registry.h"

#include <cstring>

#include "core/base/text.h"
#include "core/store/key_path.h"
#include "core/store/statement_run.h"

namespace lunaret {
namespace {

// Hands a stored value out the way RegQueryValueExA does.
long CopyValue(std::uint32_t storedType, const void* stored, std::uint32_t storedSize,
               std::uint32_t* type, unsigned char* data, std::uint32_t* size) {
  if (type != nullptr)
    *type = storedType;
  if (size == nullptr)
    return kErrorSuccess;
  if (data != nullptr) {
    if (storedSize > *size) {
      *size = storedSize;
      return kErrorMoreData;
    }
    if (storedSize > 0)
      std::memcpy(data, stored, storedSize);
  }
  *size = storedSize;
  return kErrorSuccess;
}

}  // namespace

ValueSnapshot* SqliteRegistry::SnapshotOf(sqlite3_int64 id) {
  if (depth_ == 0 || lost_)
    return nullptr;
  ValueSnapshot& snapshot = snapshots_[id];
  if (snapshot.loaded)
    return &snapshot;
  if (++snapshot.queries <= kSnapshotAfterQueries)
    return nullptr;
  StatementRun run(listValues_);
  run.Int(1, id);
  int rc = 0;
  sqlite3_stmt* statement = listValues_.get();
  while ((rc = run.Step()) == SQLITE_ROW) {
    snapshot.Add(sqlite3_column_blob(statement, 0),
                 static_cast<std::size_t>(sqlite3_column_bytes(statement, 0)),
                 static_cast<std::uint32_t>(sqlite3_column_int64(statement, 1)),
                 sqlite3_column_blob(statement, 2),
                 static_cast<std::uint32_t>(sqlite3_column_bytes(statement, 2)));
  }
  if (rc != SQLITE_DONE) {
    snapshots_.erase(id);
    return nullptr;
  }
  snapshot.Seal();
  return &snapshot;
}

long SqliteRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                                unsigned char* data, std::uint32_t* size) {
  sqlite3_int64 id = 0;
  if (const long rc = ResolveFor(key, kKeyQueryValue, &id); rc != kErrorSuccess)
    return rc;
  if (data != nullptr && size == nullptr)
    return kErrorInvalidParameter;
  const std::string folded = FoldedName(name);
  if (ValueSnapshot* snapshot = SnapshotOf(id)) {
    const ValueSnapshot::Entry* entry = snapshot->Find(folded);
    if (entry == nullptr)
      return kErrorFileNotFound;
    return CopyValue(entry->type, snapshot->Bytes(*entry), entry->dataSize, type, data, size);
  }
  StatementRun run(getValue_);
  const int rc = run.Int(1, id).Blob(2, folded).Step();
  if (rc == SQLITE_DONE)
    return kErrorFileNotFound;
  if (rc != SQLITE_ROW)
    return kErrorGeneric;
  return CopyValue(
      static_cast<std::uint32_t>(run.ColumnInt(0)), sqlite3_column_blob(getValue_.get(), 1),
      static_cast<std::uint32_t>(sqlite3_column_bytes(getValue_.get(), 1)), type, data, size);
}

long SqliteRegistry::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                              const unsigned char* data, std::uint32_t size) {
  sqlite3_int64 id = 0;
  if (const long rc = ResolveFor(key, kKeySetValue, &id); rc != kErrorSuccess)
    return rc;
  if (id == 0)
    return kErrorAccessDenied;  // the root itself holds no values
  if (data == nullptr && size > 0)
    return kErrorInvalidParameter;
  if (depth_ > 0 && TransactionLost())
    return kErrorGeneric;
  // Inside a transaction nobody else can delete the key between the check and the write;
  // outside one, the write checks for the key itself.
  const bool checked = depth_ == 0;
  if (!checked && !Alive(id))
    return kErrorKeyDeleted;
  const std::string valueName = CName(name);
  const std::string folded = UpperCase(valueName);
  StatementRun run(checked ? setValueChecked_ : setValue_);
  const int rc =
      run.Int(1, id).Blob(2, valueName).Blob(3, folded).Int(4, type).Blob(5, data, size).Step();
  snapshots_.erase(id);
  if (rc != SQLITE_DONE)
    return kErrorGeneric;
  return sqlite3_changes(db_) > 0 ? kErrorSuccess : kErrorKeyDeleted;
}

long SqliteRegistry::DeleteValue(RegKey key, const std::string& name) {
  sqlite3_int64 id = 0;
  if (const long rc = ResolveFor(key, kKeySetValue, &id); rc != kErrorSuccess)
    return rc;
  if (depth_ > 0 && TransactionLost())
    return kErrorGeneric;
  const std::string folded = FoldedName(name);
  snapshots_.erase(id);
  StatementRun run(deleteValue_);
  if (run.Int(1, id).Blob(2, folded).Step() != SQLITE_DONE)
    return kErrorGeneric;
  return sqlite3_changes(db_) > 0 ? kErrorSuccess : kErrorFileNotFound;
}

long SqliteRegistry::EnumValue(RegKey key, std::uint32_t index, char* name,
                               std::uint32_t* nameSize) {
  sqlite3_int64 id = 0;
  Handle* handle = nullptr;
  if (const long rc = ResolveFor(key, kKeyQueryValue, &id, &handle); rc != kErrorSuccess)
    return rc;
  if (name == nullptr || nameSize == nullptr)
    return kErrorInvalidParameter;

  // As EnumKey: the walk reads the names once, at index 0, and serves the later indices from
  // them.
  std::vector<std::string>& values = handle->values;
  if (index == 0 || !handle->haveValues) {
    values.clear();
    handle->haveValues = false;
    StatementRun run(listValueNames_);
    run.Int(1, id);
    int rc = 0;
    while ((rc = run.Step()) == SQLITE_ROW)
      values.push_back(run.ColumnBlob(0));
    if (rc != SQLITE_DONE) {
      values.clear();
      return kErrorGeneric;
    }
    handle->haveValues = true;
  }
  if (index >= values.size())
    return kErrorNoMoreItems;
  const std::string& value = values[index];
  if (value.size() + 1 > *nameSize)
    return kErrorMoreData;
  std::memcpy(name, value.data(), value.size());
  name[value.size()] = '\0';
  *nameSize = static_cast<std::uint32_t>(value.size());
  return kErrorSuccess;
}

long SqliteRegistry::QueryValueCount(RegKey key, std::uint32_t* count) {
  sqlite3_int64 id = 0;
  if (const long rc = ResolveFor(key, kKeyQueryValue, &id); rc != kErrorSuccess)
    return rc;
  if (count == nullptr)
    return kErrorInvalidParameter;
  StatementRun run(countValues_);
  if (run.Int(1, id).Step() != SQLITE_ROW)
    return kErrorGeneric;
  *count = static_cast<std::uint32_t>(run.ColumnInt(0));
  return kErrorSuccess;
}

}  // namespace lunaret
