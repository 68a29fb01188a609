#ifndef LUNARET_CORE_STORE_OPENED_KEY_H
#define LUNARET_CORE_STORE_OPENED_KEY_H

#include <cstdint>
#include <string>

#include "core/store/registry.h"

namespace lunaret {

// A key held open for one operation and closed on every path out of it.
class OpenedKey {
 public:
  explicit OpenedKey(Registry& registry) : registry_(registry) {}
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  ~OpenedKey() { Close(); }

  // Create-or-open with full access.
  bool Create(const std::string& path) {
    open_ = registry_.CreateKey(kCurrentUser, path, &key_) == kErrorSuccess;
    return open_;
  }
  bool Open(const std::string& path, std::uint32_t access) {
    open_ = registry_.OpenKey(kCurrentUser, path, access, &key_) == kErrorSuccess;
    return open_;
  }
  void Close() {
    if (open_)
      registry_.CloseKey(key_);
    open_ = false;
  }
  bool isOpen() const { return open_; }
  RegKey get() const { return key_; }

 private:
  Registry& registry_;
  RegKey key_ = 0;
  bool open_ = false;
};

}  // namespace lunaret

#endif  // LUNARET_CORE_STORE_OPENED_KEY_H
