#include "core/store/binary_value.h"

#include <cstdint>

#include "core/store/opened_key.h"

namespace lunaret {

bool ReadBinaryValue(Registry& registry, RegKey key, const std::string& name, std::string* bytes,
                     std::size_t capacity) {
  bytes->resize(capacity);
  std::uint32_t type = 0;
  auto size = static_cast<std::uint32_t>(capacity);
  if (registry.QueryValue(key, name, &type, reinterpret_cast<unsigned char*>(bytes->data()),
                          &size) != kErrorSuccess ||
      type != kRegBinary)
    return false;
  bytes->resize(size);
  return true;
}

long WriteBinaryValue(Registry& registry, RegKey key, const std::string& name,
                      const std::string& bytes) {
  return registry.SetValue(key, name, kRegBinary,
                           reinterpret_cast<const unsigned char*>(bytes.data()),
                           static_cast<std::uint32_t>(bytes.size()));
}

bool ReadUserBinaryValue(UserStore& store, const std::string& user, const std::string& name,
                         std::string* bytes, std::size_t capacity) {
  OpenedKey key(store.registry());
  return key.Open(UserStore::KeyPath(user), kKeyRead) &&
         ReadBinaryValue(store.registry(), key.get(), name, bytes, capacity);
}

bool WriteUserBinaryValue(UserStore& store, const std::string& user, const std::string& name,
                          const std::string& bytes) {
  OpenedKey key(store.registry());
  return key.Open(UserStore::KeyPath(user), kKeyQueryValue | kKeySetValue) &&
         WriteBinaryValue(store.registry(), key.get(), name, bytes) == kErrorSuccess;
}

}  // namespace lunaret
