#ifndef LUNARET_CORE_STORE_SQLITE_REGISTRY_H
#define LUNARET_CORE_STORE_SQLITE_REGISTRY_H

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/store/key_cache.h"
#include "core/store/key_handle_table.h"
#include "core/store/registry.h"
#include "core/store/sqlite_statement.h"
#include "core/store/value_snapshot.h"

namespace lunaret {

// The registry on one SQLite connection. Keys form a tree below the virtual root
// HKEY_CURRENT_USER (key id 0); every name is kept as given and as folded by UpperCase, and
// lookups go through the folded copy so that names match without regard to letter case.
// Opened by OpenSqliteRegistry, which checks the file first.
class SqliteRegistry final : public Registry {
 public:
  explicit SqliteRegistry(sqlite3* db) : db_(db) {}
  SqliteRegistry(const SqliteRegistry&) = delete;
  SqliteRegistry& operator=(const SqliteRegistry&) = delete;
  ~SqliteRegistry() override;

  bool Prepare();

  long CreateKey(RegKey parent, const std::string& path, RegKey* key) override;
  long OpenKey(RegKey parent, const std::string& path, std::uint32_t access, RegKey* key) override;
  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, unsigned char* data,
                  std::uint32_t* size) override;
  long SetValue(RegKey key, const std::string& name, std::uint32_t type, const unsigned char* data,
                std::uint32_t size) override;
  long EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize) override;
  long EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize) override;
  long DeleteValue(RegKey key, const std::string& name) override;
  long DeleteKey(RegKey key, const std::string& subkey) override;
  long CloseKey(RegKey key) override;
  long QueryValueCount(RegKey key, std::uint32_t* count) override;

  bool BeginTransaction() override;
  bool CommitTransaction() override;

 private:
  using Handle = KeyHandleTable::Handle;

  // Makes one registry call atomic: outside a transaction it holds the write lock for the call;
  // inside one it opens a savepoint, so that a call that fails halfway (a key's values deleted,
  // the key itself not) leaves nothing of itself for the outer commit.
  class WriteScope {
   public:
    explicit WriteScope(SqliteRegistry& registry) : registry_(registry) {}
    WriteScope(const WriteScope&) = delete;
    WriteScope& operator=(const WriteScope&) = delete;
    ~WriteScope() {
      if (began_)
        registry_.Rollback();
      else if (savepoint_)
        registry_.RollbackToSavepoint();
    }
    bool Begin() {
      if (registry_.depth_ > 0) {
        if (registry_.TransactionLost() || !ExecSql(registry_.db_, "SAVEPOINT write_scope"))
          return false;
        savepoint_ = true;
        return true;
      }
      if (!ExecSql(registry_.db_, "BEGIN IMMEDIATE"))
        return false;
      began_ = true;
      registry_.CheckCache();
      return true;
    }
    bool Commit() {
      if (savepoint_) {
        savepoint_ = false;
        if (ExecSql(registry_.db_, "RELEASE write_scope"))
          return true;
        registry_.RollbackToSavepoint();
        return false;
      }
      if (!began_)
        return true;
      began_ = false;
      if (ExecSql(registry_.db_, "COMMIT"))
        return true;
      registry_.Rollback();
      return false;
    }

   private:
    SqliteRegistry& registry_;
    bool began_ = false;
    bool savepoint_ = false;
  };

  long Resolve(RegKey key, sqlite3_int64* id, std::uint32_t* access, Handle** handle);
  // Resolve for an operation that needs the access rights needed: kErrorAccessDenied when the
  // handle lacks one of them.
  long ResolveFor(RegKey key, std::uint32_t needed, sqlite3_int64* id, Handle** handle = nullptr);
  RegKey AddHandle(sqlite3_int64 id, std::uint32_t access) { return handles_.Add(id, access); }
  bool KeyExists(sqlite3_int64 id);
  // The id of the child of parent named folded; false when there is none.
  bool Lookup(sqlite3_int64 parent, const std::string& folded, sqlite3_int64* id);
  void CheckCache();
  void ClearCache();
  // True when the key id still exists; remembered while the cache is valid.
  bool Alive(sqlite3_int64 id);
  // The key at path below parent, from the cache of whole paths or by a walk of its names.
  bool FindPath(sqlite3_int64 parent, const std::string& path,
                const std::vector<std::string>& folded, sqlite3_int64* id);
  void Rollback();
  // Undoes the writes since the write scope's savepoint and ends it; the transaction goes on.
  void RollbackToSavepoint();
  // True inside a transaction that SQLite has already rolled back (a failed write can do
  // that): every further write is refused until the transaction ends, so nothing of it
  // becomes durable piecemeal.
  bool TransactionLost();
  ValueSnapshot* SnapshotOf(sqlite3_int64 id);

  sqlite3* db_;
  SqliteStatement findChild_, keyExists_, addKey_, firstChild_, deleteKey_, listChildren_;
  SqliteStatement getValue_, listValues_, listValueNames_, setValue_, setValueChecked_,
      deleteValue_, deleteValuesOf_, countValues_, dataVersion_;

  KeyHandleTable handles_;
  int depth_ = 0;
  bool lost_ = false;

  // Valid while no other connection has written, which PRAGMA data_version tells; inside a
  // transaction nobody else can write at all.
  KeyCache cache_;
  sqlite3_int64 seenDataVersion_ = -1;

  // Inside a transaction, a key whose values are read one by one many times (a statistics
  // load) has them all read at once instead; a write to the key drops them again.
  static constexpr int kSnapshotAfterQueries = 64;
  std::unordered_map<sqlite3_int64, ValueSnapshot> snapshots_;
};

}  // namespace lunaret

#endif  // LUNARET_CORE_STORE_SQLITE_REGISTRY_H
