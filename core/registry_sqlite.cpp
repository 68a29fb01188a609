// The store where there is no registry: one SQLite database per OS user. Keys form a tree below
// the virtual root HKEY_CURRENT_USER (key id 0); every name is kept as given and as folded by
// UpperCase, and lookups go through the folded copy so that names match without regard to
// letter case. Key handles live in memory only: opening or closing a key touches no file.

#include "core/registry_sqlite.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/text.h"

namespace lunaret {
namespace {

// Registry key names are at most 255 bytes; a longer one could never be read back through the
// 256-byte buffers of the user store.
constexpr std::size_t kMaxKeyNameBytes = 255;

constexpr const char* kSchema =
    "CREATE TABLE keys(id INTEGER PRIMARY KEY, parent INTEGER NOT NULL, name BLOB NOT NULL,"
    " folded BLOB NOT NULL, UNIQUE(parent, folded));"
    "CREATE TABLE vals(key INTEGER NOT NULL,"
    " name BLOB NOT NULL, folded BLOB NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,"
    " PRIMARY KEY(key, folded)) WITHOUT ROWID;";

// The Win32 calls take zero-terminated names: whatever follows a zero byte is not part of it.
std::string CName(const std::string& text) {
  return std::string(text.c_str());
}

// The folded form of such a name, without a copy for the usual name without zero bytes.
std::string FoldedName(const std::string& text) {
  return UpperCase(text.find('\0') == std::string::npos ? text : CName(text));
}

// Splits a key path at its backslashes. A trailing backslash is ignored; a leading one, two in
// a row or a name over 255 bytes make the path invalid.
bool SplitPath(const std::string& path, std::vector<std::string>* names) {
  const std::string text = CName(path);
  names->clear();
  if (text.empty())
    return true;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\\', start);
    if (end == std::string::npos)
      end = text.size();
    if (end == start || end - start > kMaxKeyNameBytes)
      return false;
    names->push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return true;
}

// A prepared statement kept for the lifetime of the connection.
class Statement {
 public:
  Statement() = default;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement() { sqlite3_finalize(statement_); }

  bool Prepare(sqlite3* db, const char* sql) {
    return sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement_, nullptr) ==
           SQLITE_OK;
  }
  sqlite3_stmt* get() const { return statement_; }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

// One execution of a statement: binds, steps and resets it when it goes, so that no read
// transaction stays open between calls. Bound texts must outlive the Run.
class Run {
 public:
  explicit Run(const Statement& statement) : statement_(statement.get()) {}
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;
  ~Run() { sqlite3_reset(statement_); }

  Run& Int(int index, sqlite3_int64 value) {
    sqlite3_bind_int64(statement_, index, value);
    return *this;
  }
  Run& Blob(int index, const void* data, std::size_t size) {
    // A zero-length blob still needs a non-null pointer, or SQLite stores NULL.
    static const char kEmpty = 0;
    sqlite3_bind_blob64(statement_, index, size == 0 ? &kEmpty : data, size, SQLITE_STATIC);
    return *this;
  }
  Run& Blob(int index, const std::string& text) { return Blob(index, text.data(), text.size()); }

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

bool Exec(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

StoreOpenResult ResultOf(int code) {
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

class SqliteRegistry final : public Registry {
 public:
  explicit SqliteRegistry(sqlite3* db) : db_(db) {
    root_.inUse = true;
    root_.access = kKeyAllAccess;
  }
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
  long DeleteValue(RegKey key, const std::string& name) override;
  long DeleteKey(RegKey key, const std::string& subkey) override;
  long CloseKey(RegKey key) override;
  long QueryValueCount(RegKey key, std::uint32_t* count) override;

  bool BeginTransaction() override;
  bool CommitTransaction() override;

 private:
  struct Handle {
    bool inUse = false;
    std::uintptr_t generation = 0;  // counts the uses of the slot, so stale handles fail
    sqlite3_int64 id = 0;
    std::uint32_t access = 0;
    bool haveChildren = false;  // children holds the list taken at the last EnumKey index 0
    std::vector<std::string> children;
  };

  // Holds the write lock for one registry call made outside a transaction, so that the call
  // is atomic; inside a transaction it does nothing.
  class WriteScope {
   public:
    explicit WriteScope(SqliteRegistry& registry) : registry_(registry) {}
    WriteScope(const WriteScope&) = delete;
    WriteScope& operator=(const WriteScope&) = delete;
    ~WriteScope() {
      if (began_)
        registry_.Rollback();
    }
    bool Begin() {
      if (registry_.depth_ > 0)
        return !registry_.TransactionLost();
      if (!Exec(registry_.db_, "BEGIN IMMEDIATE"))
        return false;
      began_ = true;
      registry_.CheckCache();
      return true;
    }
    bool Commit() {
      if (!began_)
        return true;
      began_ = false;
      if (Exec(registry_.db_, "COMMIT"))
        return true;
      registry_.Rollback();
      return false;
    }

   private:
    SqliteRegistry& registry_;
    bool began_ = false;
  };

  Handle* Find(RegKey key);
  long Resolve(RegKey key, sqlite3_int64* id, std::uint32_t* access, Handle** handle);
  RegKey AddHandle(sqlite3_int64 id, std::uint32_t access);
  bool KeyExists(sqlite3_int64 id);
  // The id of the child of parent named folded; false when there is none.
  bool Lookup(sqlite3_int64 parent, const std::string& folded, sqlite3_int64* id);
  void CheckCache();
  void ClearCache();
  // True when the key id still exists; remembered while the cache is valid.
  bool Alive(sqlite3_int64 id);
  // The key at path below parent, from the cache of whole paths or by a walk of its names.
  bool CachedPath(sqlite3_int64 parent, const std::string& path, sqlite3_int64* id) const;
  void CachePath(sqlite3_int64 parent, const std::string& path, sqlite3_int64 id);
  bool FindPath(sqlite3_int64 parent, const std::string& path,
                const std::vector<std::string>& folded, sqlite3_int64* id);
  void Rollback();
  // True inside a transaction that SQLite has already rolled back (a failed write can do
  // that): every further write is refused until the transaction ends, so nothing of it
  // becomes durable piecemeal.
  bool TransactionLost();

  static std::string CacheKey(sqlite3_int64 parent, const std::string& folded) {
    std::string key(sizeof parent, '\0');
    std::memcpy(key.data(), &parent, sizeof parent);
    return key + folded;
  }

  sqlite3* db_;
  Statement findChild_, keyExists_, addKey_, firstChild_, deleteKey_, listChildren_;
  Statement getValue_, listValues_, setValue_, setValueChecked_, deleteValue_, deleteValuesOf_,
      countValues_, dataVersion_;

  Handle root_;  // HKEY_CURRENT_USER, never closed
  // Open handles by slot; a handle value encodes its slot and the slot's generation. Values
  // are multiples of 4 above zero, so none is HKEY_CURRENT_USER.
  std::vector<Handle> slots_;
  std::vector<std::size_t> freeSlots_;
  int depth_ = 0;
  bool lost_ = false;

  // Key ids by (parent, folded name). Valid while no other connection has written, which
  // PRAGMA data_version tells; inside a transaction nobody else can write at all.
  std::unordered_map<std::string, sqlite3_int64> cache_;
  std::unordered_map<std::string, sqlite3_int64> pathCache_;  // (parent, path as given) -> id
  std::unordered_map<std::string, sqlite3_int64> rootPaths_;  // the same below the root
  std::unordered_set<sqlite3_int64> alive_;

  // Inside a transaction, a key whose values are read one by one many times (a statistics
  // load) has them all read at once instead; a write to the key drops them again.
  static constexpr int kSnapshotAfterQueries = 64;
  class ValueSnapshot {
   public:
    struct Entry {
      std::size_t name = 0;  // offsets into the arena
      std::size_t nameSize = 0;
      std::size_t data = 0;
      std::uint32_t dataSize = 0;
      std::uint32_t type = 0;
    };
    int queries = 0;
    bool loaded = false;

    void Add(const void* name, std::size_t nameSize, std::uint32_t type, const void* data,
             std::uint32_t dataSize);
    // Sorts the entries by name, unless they came sorted.
    void Seal();
    const Entry* Find(std::string_view name);
    const char* Bytes(const Entry& entry) const { return arena_.data() + entry.data; }

   private:
    std::string_view NameOf(std::size_t index) const {
      return {arena_.data() + entries_[index].name, entries_[index].nameSize};
    }
    std::string arena_;           // every folded name and value, back to back
    std::vector<Entry> entries_;  // in the byte order of the names, as SQLite compares blobs
    // Reads mostly walk the names in order, in two interleaved runs (a record's date, then its
    // ovulation): the next name is usually right after one of the last two found.
    std::size_t fingers_[2] = {0, 0};
    int recent_ = 0;
  };
  ValueSnapshot* SnapshotOf(sqlite3_int64 id);
  std::unordered_map<sqlite3_int64, ValueSnapshot> snapshots_;
  sqlite3_int64 seenDataVersion_ = -1;
};

SqliteRegistry::~SqliteRegistry() {
  if (depth_ > 0)
    Exec(db_, "ROLLBACK");
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
         deleteValue_.Prepare(db_, "DELETE FROM vals WHERE key = ?1 AND folded = ?2") &&
         deleteValuesOf_.Prepare(db_, "DELETE FROM vals WHERE key = ?1") &&
         countValues_.Prepare(db_, "SELECT count(*) FROM vals WHERE key = ?1") &&
         dataVersion_.Prepare(db_, "PRAGMA data_version");
}

void SqliteRegistry::ClearCache() {
  snapshots_.clear();
  cache_.clear();
  pathCache_.clear();
  rootPaths_.clear();
  alive_.clear();
}

bool SqliteRegistry::Alive(sqlite3_int64 id) {
  if (id == 0 || alive_.count(id) != 0)
    return true;
  if (!KeyExists(id))
    return false;
  alive_.insert(id);
  return true;
}

bool SqliteRegistry::CachedPath(sqlite3_int64 parent, const std::string& path,
                                sqlite3_int64* id) const {
  if (parent == 0) {
    const auto it = rootPaths_.find(path);
    if (it == rootPaths_.end())
      return false;
    *id = it->second;
    return true;
  }
  const auto it = pathCache_.find(CacheKey(parent, path));
  if (it == pathCache_.end())
    return false;
  *id = it->second;
  return true;
}

void SqliteRegistry::CachePath(sqlite3_int64 parent, const std::string& path, sqlite3_int64 id) {
  if (parent == 0)
    rootPaths_.emplace(path, id);
  else
    pathCache_.emplace(CacheKey(parent, path), id);
}

bool SqliteRegistry::FindPath(sqlite3_int64 parent, const std::string& path,
                              const std::vector<std::string>& folded, sqlite3_int64* id) {
  if (CachedPath(parent, path, id))
    return true;
  sqlite3_int64 current = parent;
  for (const std::string& name : folded) {
    if (!Lookup(current, name, &current))
      return false;
  }
  CachePath(parent, path, current);
  *id = current;
  return true;
}

void SqliteRegistry::CheckCache() {
  Run run(dataVersion_);
  const sqlite3_int64 version = run.Step() == SQLITE_ROW ? run.ColumnInt(0) : -1;
  if (version != seenDataVersion_ || version < 0)
    ClearCache();
  seenDataVersion_ = version;
}

void SqliteRegistry::Rollback() {
  if (!sqlite3_get_autocommit(db_))
    Exec(db_, "ROLLBACK");
  ClearCache();
}

bool SqliteRegistry::TransactionLost() {
  if (depth_ > 0 && sqlite3_get_autocommit(db_)) {
    lost_ = true;
    ClearCache();
  }
  return lost_;
}

namespace {

constexpr unsigned kSlotBits = 20;
constexpr std::uintptr_t kSlotMask = (std::uintptr_t{1} << kSlotBits) - 1;

RegKey EncodeHandle(std::size_t slot, std::uintptr_t generation) {
  return ((generation << kSlotBits) | (slot + 1)) << 2;
}

}  // namespace

SqliteRegistry::Handle* SqliteRegistry::Find(RegKey key) {
  if ((key & 3) != 0)
    return nullptr;
  const std::uintptr_t slot = ((key >> 2) & kSlotMask) - 1;
  if (slot >= slots_.size())
    return nullptr;
  Handle& handle = slots_[slot];
  if (!handle.inUse || EncodeHandle(slot, handle.generation) != key)
    return nullptr;
  return &handle;
}

long SqliteRegistry::Resolve(RegKey key, sqlite3_int64* id, std::uint32_t* access,
                             Handle** handle) {
  Handle* found = key == kCurrentUser ? &root_ : Find(key);
  if (found == nullptr)
    return kErrorInvalidHandle;
  *id = found->id;
  *access = found->access;
  if (handle)
    *handle = found;
  return kErrorSuccess;
}

RegKey SqliteRegistry::AddHandle(sqlite3_int64 id, std::uint32_t access) {
  std::size_t slot = 0;
  if (!freeSlots_.empty()) {
    slot = freeSlots_.back();
    freeSlots_.pop_back();
  } else {
    if (slots_.size() >= kSlotMask)
      return 0;  // a million keys open at once: refused
    slot = slots_.size();
    slots_.emplace_back();
  }
  Handle& handle = slots_[slot];
  handle.inUse = true;
  handle.generation = (handle.generation + 1) & (~std::uintptr_t{0} >> (kSlotBits + 2));
  handle.id = id;
  handle.access = access;
  handle.haveChildren = false;
  handle.children.clear();
  return EncodeHandle(slot, handle.generation);
}

bool SqliteRegistry::KeyExists(sqlite3_int64 id) {
  if (id == 0)
    return true;
  Run run(keyExists_);
  return run.Int(1, id).Step() == SQLITE_ROW;
}

bool SqliteRegistry::Lookup(sqlite3_int64 parent, const std::string& folded, sqlite3_int64* id) {
  const std::string cacheKey = CacheKey(parent, folded);
  const auto it = cache_.find(cacheKey);
  if (it != cache_.end()) {
    *id = it->second;
    return true;
  }
  Run run(findChild_);
  if (run.Int(1, parent).Blob(2, folded).Step() != SQLITE_ROW)
    return false;
  *id = run.ColumnInt(0);
  cache_.emplace(cacheKey, *id);
  alive_.insert(*id);
  return true;
}

namespace {

// The folded copies that key names are matched by.
std::vector<std::string> FoldAll(const std::vector<std::string>& names) {
  std::vector<std::string> folded;
  folded.reserve(names.size());
  for (const std::string& name : names)
    folded.push_back(UpperCase(name));
  return folded;
}

}  // namespace

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
  if (sqlite3_int64 cached = 0; CachedPath(id, path, &cached)) {
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
      Run run(addKey_);
      if (run.Int(1, current).Blob(2, names[i]).Blob(3, folded[i]).Step() != SQLITE_DONE)
        return kErrorGeneric;
      const sqlite3_int64 added = sqlite3_last_insert_rowid(db_);
      cache_.emplace(CacheKey(current, folded[i]), added);
      alive_.insert(added);
      current = added;
    }
    if (!scope.Commit())
      return kErrorGeneric;
    CachePath(id, path, current);
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

void SqliteRegistry::ValueSnapshot::Add(const void* name, std::size_t nameSize, std::uint32_t type,
                                        const void* data, std::uint32_t dataSize) {
  Entry entry;
  entry.name = arena_.size();
  entry.nameSize = nameSize;
  if (nameSize > 0)
    arena_.append(static_cast<const char*>(name), nameSize);
  entry.data = arena_.size();
  entry.dataSize = dataSize;
  if (dataSize > 0)
    arena_.append(static_cast<const char*>(data), dataSize);
  entry.type = type;
  entries_.push_back(entry);
}

void SqliteRegistry::ValueSnapshot::Seal() {
  const auto byName = [this](const Entry& a, const Entry& b) {
    return std::string_view(arena_.data() + a.name, a.nameSize) <
           std::string_view(arena_.data() + b.name, b.nameSize);
  };
  if (!std::is_sorted(entries_.begin(), entries_.end(), byName))
    std::sort(entries_.begin(), entries_.end(), byName);
  loaded = true;
}

const SqliteRegistry::ValueSnapshot::Entry* SqliteRegistry::ValueSnapshot::Find(
    std::string_view name) {
  for (int i = 0; i < 2; ++i) {
    const int finger = (recent_ + i) % 2;
    for (std::size_t index = fingers_[finger]; index < fingers_[finger] + 2; ++index) {
      if (index < entries_.size() && NameOf(index) == name) {
        fingers_[finger] = index;
        recent_ = finger;
        return &entries_[index];
      }
    }
  }
  std::size_t low = 0;
  std::size_t high = entries_.size();
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (NameOf(middle) < name)
      low = middle + 1;
    else
      high = middle;
  }
  if (low == entries_.size() || NameOf(low) != name)
    return nullptr;
  recent_ = 1 - recent_;  // the finger used longest ago moves here
  fingers_[recent_] = low;
  return &entries_[low];
}

SqliteRegistry::ValueSnapshot* SqliteRegistry::SnapshotOf(sqlite3_int64 id) {
  if (depth_ == 0 || lost_)
    return nullptr;
  ValueSnapshot& snapshot = snapshots_[id];
  if (snapshot.loaded)
    return &snapshot;
  if (++snapshot.queries <= kSnapshotAfterQueries)
    return nullptr;
  Run run(listValues_);
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
  std::uint32_t access = 0;
  if (const long rc = Resolve(key, &id, &access, nullptr); rc != kErrorSuccess)
    return rc;
  if ((access & kKeyQueryValue) != kKeyQueryValue)
    return kErrorAccessDenied;
  if (data != nullptr && size == nullptr)
    return kErrorInvalidParameter;
  const std::string folded = FoldedName(name);
  if (ValueSnapshot* snapshot = SnapshotOf(id)) {
    const ValueSnapshot::Entry* entry = snapshot->Find(folded);
    if (entry == nullptr)
      return kErrorFileNotFound;
    return CopyValue(entry->type, snapshot->Bytes(*entry), entry->dataSize, type, data, size);
  }
  Run run(getValue_);
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
  std::uint32_t access = 0;
  if (const long rc = Resolve(key, &id, &access, nullptr); rc != kErrorSuccess)
    return rc;
  if ((access & kKeySetValue) != kKeySetValue)
    return kErrorAccessDenied;
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
  Run run(checked ? setValueChecked_ : setValue_);
  const int rc =
      run.Int(1, id).Blob(2, valueName).Blob(3, folded).Int(4, type).Blob(5, data, size).Step();
  snapshots_.erase(id);
  if (rc != SQLITE_DONE)
    return kErrorGeneric;
  return sqlite3_changes(db_) > 0 ? kErrorSuccess : kErrorKeyDeleted;
}

long SqliteRegistry::EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize) {
  sqlite3_int64 id = 0;
  std::uint32_t access = 0;
  Handle* handle = nullptr;
  if (const long rc = Resolve(key, &id, &access, &handle); rc != kErrorSuccess)
    return rc;
  if ((access & kKeyEnumerateSubKeys) != kKeyEnumerateSubKeys)
    return kErrorAccessDenied;
  if (name == nullptr || nameSize == nullptr)
    return kErrorInvalidParameter;

  // The walk reads the list once, at index 0, and serves the later indices from it.
  std::vector<std::string>& children = handle->children;
  if (index == 0 || !handle->haveChildren) {
    children.clear();
    handle->haveChildren = false;
    Run run(listChildren_);
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

long SqliteRegistry::DeleteValue(RegKey key, const std::string& name) {
  sqlite3_int64 id = 0;
  std::uint32_t access = 0;
  if (const long rc = Resolve(key, &id, &access, nullptr); rc != kErrorSuccess)
    return rc;
  if ((access & kKeySetValue) != kKeySetValue)
    return kErrorAccessDenied;
  if (depth_ > 0 && TransactionLost())
    return kErrorGeneric;
  const std::string folded = FoldedName(name);
  snapshots_.erase(id);
  Run run(deleteValue_);
  if (run.Int(1, id).Blob(2, folded).Step() != SQLITE_DONE)
    return kErrorGeneric;
  return sqlite3_changes(db_) > 0 ? kErrorSuccess : kErrorFileNotFound;
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
    Run run(firstChild_);
    const int rc = run.Int(1, id).Step();
    if (rc == SQLITE_ROW)
      return kErrorAccessDenied;
    if (rc != SQLITE_DONE)
      return kErrorGeneric;
  }
  {
    Run run(deleteValuesOf_);
    if (run.Int(1, id).Step() != SQLITE_DONE)
      return kErrorGeneric;
  }
  {
    Run run(deleteKey_);
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
  Handle* handle = Find(key);
  if (handle == nullptr)
    return kErrorInvalidHandle;
  handle->inUse = false;
  handle->children.clear();
  handle->children.shrink_to_fit();
  freeSlots_.push_back(static_cast<std::size_t>(((key >> 2) & kSlotMask) - 1));
  return kErrorSuccess;
}

long SqliteRegistry::QueryValueCount(RegKey key, std::uint32_t* count) {
  sqlite3_int64 id = 0;
  std::uint32_t access = 0;
  if (const long rc = Resolve(key, &id, &access, nullptr); rc != kErrorSuccess)
    return rc;
  if ((access & kKeyQueryValue) != kKeyQueryValue)
    return kErrorAccessDenied;
  if (count == nullptr)
    return kErrorInvalidParameter;
  Run run(countValues_);
  if (run.Int(1, id).Step() != SQLITE_ROW)
    return kErrorGeneric;
  *count = static_cast<std::uint32_t>(run.ColumnInt(0));
  return kErrorSuccess;
}

bool SqliteRegistry::BeginTransaction() {
  if (depth_++ > 0)
    return !TransactionLost();
  // BEGIN IMMEDIATE takes the write lock at once, waiting up to the busy timeout for another
  // process's save, so a transaction never fails halfway for a lock. When it cannot be had,
  // the writes up to the matching commit are refused.
  lost_ = !Exec(db_, "BEGIN IMMEDIATE");
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
  if (Exec(db_, "COMMIT"))
    return true;
  Rollback();
  return false;
}

}  // namespace

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
    *result = ResultOf(rc);
    sqlite3_close_v2(db);
    return nullptr;
  }
  auto registry = std::make_unique<SqliteRegistry>(db);
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, busyTimeoutMs);

  // Read before anything is written: a file that is not a store is left as it is.
  StoreContents contents = ReadContents(db);
  if (contents.code != SQLITE_OK) {
    *result = ResultOf(contents.code);
    return nullptr;
  }
  if (IsEmpty(contents)) {
    if (!Exec(db, "BEGIN IMMEDIATE")) {
      *result = ResultOf(sqlite3_errcode(db));
      return nullptr;
    }
    // Another copy of the program may have set the store up in the meantime.
    contents = ReadContents(db);
    bool ok = contents.code == SQLITE_OK;
    if (ok && IsEmpty(contents)) {
      const std::string setup = "PRAGMA application_id = " + std::to_string(kStoreApplicationId) +
                                "; PRAGMA user_version = " + std::to_string(kStoreSchemaVersion) +
                                "; " + kSchema;
      ok = Exec(db, setup.c_str());
      if (ok)
        contents = ReadContents(db);
    }
    ok = ok && Exec(db, "COMMIT");
    if (!ok) {
      *result = ResultOf(sqlite3_errcode(db));
      Exec(db, "ROLLBACK");
      return nullptr;
    }
  }
  if (!IsOurs(contents)) {
    *result = StoreOpenResult::kNotAStore;
    return nullptr;
  }
  if (!PassesQuickCheck(db, result))
    return nullptr;
  // WAL lets readers go on while another copy writes. When the switch cannot be made now (a
  // reader holds the file), the store keeps working in rollback mode.
  Exec(db, "PRAGMA journal_mode = WAL");
  if (!Exec(db, "PRAGMA synchronous = FULL; PRAGMA cache_size = -16384") || !registry->Prepare()) {
    *result = ResultOf(sqlite3_errcode(db));
    return nullptr;
  }
  *result = StoreOpenResult::kOk;
  return registry;
}

}  // namespace lunaret
