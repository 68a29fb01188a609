#include "core/store/key_cache.h"

#include <cstring>

namespace lunaret {

std::string KeyCache::KeyOf(sqlite3_int64 parent, const std::string& name) {
  std::string key(sizeof parent, '\0');
  std::memcpy(key.data(), &parent, sizeof parent);
  return key + name;
}

void KeyCache::Clear() {
  children_.clear();
  paths_.clear();
  rootPaths_.clear();
  alive_.clear();
}

bool KeyCache::FindChild(sqlite3_int64 parent, const std::string& folded, sqlite3_int64* id) const {
  const auto it = children_.find(KeyOf(parent, folded));
  if (it == children_.end())
    return false;
  *id = it->second;
  return true;
}

void KeyCache::AddChild(sqlite3_int64 parent, const std::string& folded, sqlite3_int64 id) {
  children_.emplace(KeyOf(parent, folded), id);
  alive_.insert(id);
}

bool KeyCache::FindPath(sqlite3_int64 parent, const std::string& path, sqlite3_int64* id) const {
  if (parent == 0) {
    const auto it = rootPaths_.find(path);
    if (it == rootPaths_.end())
      return false;
    *id = it->second;
    return true;
  }
  const auto it = paths_.find(KeyOf(parent, path));
  if (it == paths_.end())
    return false;
  *id = it->second;
  return true;
}

void KeyCache::AddPath(sqlite3_int64 parent, const std::string& path, sqlite3_int64 id) {
  if (parent == 0)
    rootPaths_.emplace(path, id);
  else
    paths_.emplace(KeyOf(parent, path), id);
}

}  // namespace lunaret
