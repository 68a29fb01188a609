#ifndef LUNARET_CORE_STORE_BINARY_VALUE_H
#define LUNARET_CORE_STORE_BINARY_VALUE_H

#include <cstddef>
#include <string>

#include "core/store/registry.h"
#include "core/store/user_store.h"

namespace lunaret {

// A REG_BINARY value's bytes into *bytes (capacity is the largest size accepted); false when it
// is absent, not binary or larger.
bool ReadBinaryValue(Registry& registry, RegKey key, const std::string& name, std::string* bytes,
                     std::size_t capacity);
// Writes bytes as a REG_BINARY value; the registry's result.
long WriteBinaryValue(Registry& registry, RegKey key, const std::string& name,
                      const std::string& bytes);
// The same for a value of the user's own key, opened for the call; false too when she has no key
// (which is never made for her here).
bool ReadUserBinaryValue(UserStore& store, const std::string& user, const std::string& name,
                         std::string* bytes, std::size_t capacity);
bool WriteUserBinaryValue(UserStore& store, const std::string& user, const std::string& name,
                          const std::string& bytes);
// Whether a DeleteValue's result leaves the value gone (also when there was none).
inline bool ValueGone(long rc) {
  return rc == kErrorSuccess || rc == kErrorFileNotFound;
}

}  // namespace lunaret

#endif  // LUNARET_CORE_STORE_BINARY_VALUE_H
