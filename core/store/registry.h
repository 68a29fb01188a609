#ifndef LUNARET_CORE_STORE_REGISTRY_H
#define LUNARET_CORE_STORE_REGISTRY_H

#include <cstdint>
#include <string>

namespace lunaret {

// A small hierarchical key/value store shaped after the Win32 registry calls the user store
// uses. Each operation maps onto exactly one call:
//   CreateKey       RegCreateKeyExA(parent, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
//                                   &key, nullptr)
//   OpenKey         RegOpenKeyExA(parent, path, 0, access, &key)
//   QueryValue      RegQueryValueExA(key, name, nullptr, &type, data, &size)
//   SetValue        RegSetValueExA(key, name, 0, type, data, size)
//   EnumKey         RegEnumKeyExA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr)
//   EnumValue       RegEnumValueA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr)
//   DeleteValue     RegDeleteValueA(key, name)
//   DeleteKey       RegDeleteKeyA(key, subkey)
//   CloseKey        RegCloseKey(key)
//   QueryValueCount RegQueryInfoKeyA(key, ..., &values, ...)
// Results are Win32 error codes (kErrorSuccess on success). Names are bytes in the process's
// multibyte encoding; key and value names match without regard to letter case.
using RegKey = std::uintptr_t;

inline constexpr RegKey kCurrentUser = 0x80000001u;  // HKEY_CURRENT_USER

inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorInvalidParameter = 87;
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorNoMoreItems = 259;
inline constexpr long kErrorKeyDeleted = 1018;  // the key behind the handle was deleted
inline constexpr long kErrorGeneric = 1;        // any failure of the backing itself

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegBinary = 3;  // bytes as they are: the journal's UTF-8 texts
inline constexpr std::uint32_t kRegDword = 4;

inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;

class Registry {
 public:
  virtual ~Registry() = default;

  // Creates the key (and any missing keys on the path) or opens it when it exists.
  virtual long CreateKey(RegKey parent, const std::string& path, RegKey* key) = 0;
  // Opens an existing key; kErrorFileNotFound when it does not exist.
  virtual long OpenKey(RegKey parent, const std::string& path, std::uint32_t access,
                       RegKey* key) = 0;
  // Reads a value. On entry *size is the capacity of data (data may be null to ask the size);
  // on return it is the stored size. A value larger than the capacity gives kErrorMoreData.
  // An empty name is the key's default value.
  virtual long QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                          unsigned char* data, std::uint32_t* size) = 0;
  virtual long SetValue(RegKey key, const std::string& name, std::uint32_t type,
                        const unsigned char* data, std::uint32_t size) = 0;
  // The index-th subkey's name into name[0..*nameSize), zero-terminated; *nameSize is set to
  // the length without terminator. kErrorNoMoreItems past the last subkey, kErrorMoreData
  // when the name does not fit.
  virtual long EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize) = 0;
  // The index-th value's name, the same way; needs kKeyQueryValue. The order is the backend's
  // (and may change once a value is added or deleted); an empty name is the default value's.
  virtual long EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize) = 0;
  virtual long DeleteValue(RegKey key, const std::string& name) = 0;
  // Deletes a subkey with all its values; refuses a subkey that has subkeys of its own.
  virtual long DeleteKey(RegKey key, const std::string& subkey) = 0;
  virtual long CloseKey(RegKey key) = 0;
  virtual long QueryValueCount(RegKey key, std::uint32_t* count) = 0;

  // Groups writes: everything between BeginTransaction and CommitTransaction becomes durable
  // together, or not at all. Nests by counting. Every BeginTransaction is matched by one
  // CommitTransaction, also one that failed: the writes in between are then refused, so that
  // nothing of the group becomes durable piecemeal, and the commit reports false. Backends
  // without transactions do nothing.
  virtual bool BeginTransaction() { return true; }
  virtual bool CommitTransaction() { return true; }
};

// Commits on destruction the writes made while it lived; see Registry::BeginTransaction.
class StoreTransaction {
 public:
  explicit StoreTransaction(Registry& registry) : registry_(registry) {
    begun_ = registry_.BeginTransaction();
  }
  ~StoreTransaction() { Commit(); }
  StoreTransaction(const StoreTransaction&) = delete;
  StoreTransaction& operator=(const StoreTransaction&) = delete;

  // Whether the backend began the transaction: false when another process held the store past
  // the busy timeout, in which case every write until the commit is refused.
  bool Begun() const { return begun_; }
  // Commits early; true when the writes are durable.
  bool Commit() {
    if (!active_)
      return committed_;
    active_ = false;
    committed_ = registry_.CommitTransaction() && begun_;
    return committed_;
  }

 private:
  Registry& registry_;
  bool active_ = true;
  bool begun_ = false;
  bool committed_ = false;
};

}  // namespace lunaret

#endif  // LUNARET_CORE_STORE_REGISTRY_H
