#ifndef LUNARET_CORE_STORE_KEY_CACHE_H
#define LUNARET_CORE_STORE_KEY_CACHE_H

#include <sqlite3.h>

#include <string>
#include <unordered_map>
#include <unordered_set>

namespace lunaret {

// What the SQLite store has learnt about its keys: ids by parent and folded name, ids by
// parent and whole path as a caller gave it, and the ids known to exist. It holds only while
// no other connection has written, which the registry checks before it relies on it.
class KeyCache {
 public:
  void Clear();

  bool FindChild(sqlite3_int64 parent, const std::string& folded, sqlite3_int64* id) const;
  // Remembers the child, and that it exists.
  void AddChild(sqlite3_int64 parent, const std::string& folded, sqlite3_int64 id);
  bool FindPath(sqlite3_int64 parent, const std::string& path, sqlite3_int64* id) const;
  void AddPath(sqlite3_int64 parent, const std::string& path, sqlite3_int64 id);
  bool IsAlive(sqlite3_int64 id) const { return alive_.count(id) != 0; }
  void MarkAlive(sqlite3_int64 id) { alive_.insert(id); }

 private:
  static std::string KeyOf(sqlite3_int64 parent, const std::string& name);

  std::unordered_map<std::string, sqlite3_int64> children_;   // (parent, folded name) -> id
  std::unordered_map<std::string, sqlite3_int64> paths_;      // (parent, path as given) -> id
  std::unordered_map<std::string, sqlite3_int64> rootPaths_;  // the same below the root
  std::unordered_set<sqlite3_int64> alive_;
};

}  // namespace lunaret

#endif  // LUNARET_CORE_STORE_KEY_CACHE_H
