// The user store's registry interface on the real Windows registry. Every operation is exactly
// one Reg*A call; the interface's constants are the Win32 ones, so flags, types and error codes
// pass through unchanged.
#include "core/store/registry_win.h"

#include <windows.h>

#include "core/store/store_file.h"

namespace lunaret {

static_assert(kErrorSuccess == ERROR_SUCCESS);
static_assert(kErrorFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(kErrorAccessDenied == ERROR_ACCESS_DENIED);
static_assert(kErrorInvalidHandle == ERROR_INVALID_HANDLE);
static_assert(kErrorInvalidParameter == ERROR_INVALID_PARAMETER);
static_assert(kErrorMoreData == ERROR_MORE_DATA);
static_assert(kErrorNoMoreItems == ERROR_NO_MORE_ITEMS);
static_assert(kRegSz == REG_SZ);
static_assert(kRegBinary == REG_BINARY);
static_assert(kRegDword == REG_DWORD);
static_assert(kKeyQueryValue == KEY_QUERY_VALUE);
static_assert(kKeySetValue == KEY_SET_VALUE);
static_assert(kKeyCreateSubKey == KEY_CREATE_SUB_KEY);
static_assert(kKeyEnumerateSubKeys == KEY_ENUMERATE_SUB_KEYS);
static_assert(kKeyRead == KEY_READ);
static_assert(kKeyAllAccess == KEY_ALL_ACCESS);
static_assert(sizeof(RegKey) == sizeof(HKEY), "a RegKey carries the HKEY itself");

namespace {

class WindowsRegistry final : public Registry {
 public:
  // base is HKEY_CURRENT_USER, or a key this object owns and closes.
  WindowsRegistry(HKEY base, bool ownsBase) : base_(base), ownsBase_(ownsBase) {}
  ~WindowsRegistry() override {
    if (ownsBase_)
      RegCloseKey(base_);
  }
  WindowsRegistry(const WindowsRegistry&) = delete;
  WindowsRegistry& operator=(const WindowsRegistry&) = delete;

  long CreateKey(RegKey parent, const std::string& path, RegKey* key) override {
    HKEY created = nullptr;
    const LONG rc = RegCreateKeyExA(Handle(parent), path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, &created, nullptr);
    *key = rc == ERROR_SUCCESS ? Value(created) : 0;
    return rc;
  }

  long OpenKey(RegKey parent, const std::string& path, std::uint32_t access, RegKey* key) override {
    HKEY opened = nullptr;
    const LONG rc = RegOpenKeyExA(Handle(parent), path.c_str(), 0, access, &opened);
    *key = rc == ERROR_SUCCESS ? Value(opened) : 0;
    return rc;
  }

  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, unsigned char* data,
                  std::uint32_t* size) override {
    DWORD valueType = 0;
    DWORD valueSize = size != nullptr ? *size : 0;
    const LONG rc =
        RegQueryValueExA(Handle(key), name.c_str(), nullptr, type != nullptr ? &valueType : nullptr,
                         data, size != nullptr ? &valueSize : nullptr);
    if (type != nullptr)
      *type = valueType;
    if (size != nullptr)
      *size = valueSize;
    return rc;
  }

  long SetValue(RegKey key, const std::string& name, std::uint32_t type, const unsigned char* data,
                std::uint32_t size) override {
    return RegSetValueExA(Handle(key), name.c_str(), 0, type, data, size);
  }

  long EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize) override {
    DWORD length = *nameSize;
    const LONG rc =
        RegEnumKeyExA(Handle(key), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    *nameSize = length;
    return rc;
  }

  long EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize) override {
    DWORD length = *nameSize;
    const LONG rc =
        RegEnumValueA(Handle(key), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    *nameSize = length;
    return rc;
  }

  long DeleteValue(RegKey key, const std::string& name) override {
    return RegDeleteValueA(Handle(key), name.c_str());
  }

  long DeleteKey(RegKey key, const std::string& subkey) override {
    return RegDeleteKeyA(Handle(key), subkey.c_str());
  }

  long CloseKey(RegKey key) override {
    // The base key lives as long as this object; closing it through the interface would leave
    // every later call on kCurrentUser with a dead handle.
    if (key == kCurrentUser && ownsBase_)
      return ERROR_SUCCESS;
    return RegCloseKey(Handle(key));
  }

  long QueryValueCount(RegKey key, std::uint32_t* count) override {
    DWORD values = 0;
    const LONG rc = RegQueryInfoKeyA(Handle(key), nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, &values, nullptr, nullptr, nullptr, nullptr);
    *count = rc == ERROR_SUCCESS ? values : 0;
    return rc;
  }

 private:
  // kCurrentUser is the 32-bit HKEY_CURRENT_USER value; the real predefined handle is that
  // value sign-extended, so it is mapped here rather than cast.
  HKEY Handle(RegKey key) const {
    return key == kCurrentUser ? base_ : reinterpret_cast<HKEY>(key);
  }
  static RegKey Value(HKEY key) { return reinterpret_cast<RegKey>(key); }

  HKEY base_;
  bool ownsBase_;
};

}  // namespace

std::unique_ptr<Registry> OpenWindowsRegistry(const std::string& basePath) {
  if (basePath.empty())
    return std::make_unique<WindowsRegistry>(HKEY_CURRENT_USER, false);
  HKEY base = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, basePath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &base, nullptr) != ERROR_SUCCESS)
    return nullptr;
  return std::make_unique<WindowsRegistry>(base, true);
}

std::unique_ptr<Registry> OpenDefaultStore(StoreOpenResult* result) {
  // The registry is always there; a key that cannot be opened later is a failed operation of
  // the store, not a failed start.
  if (result != nullptr)
    *result = StoreOpenResult::kOk;
  return OpenWindowsRegistry();
}

}  // namespace lunaret
