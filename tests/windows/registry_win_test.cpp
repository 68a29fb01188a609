// The Windows backend hands out real registry handles and roots kCurrentUser where it says.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "core/registry_win.h"
#include "core/store_file.h"
#include "core/user_store.h"
#include "registry_test_support.h"

namespace lunaret {
namespace {

std::string Dword(std::uint32_t value) {
  return test::DwordBytes(value);
}

TEST(WindowsRegistry, TheDefaultStoreIsTheCurrentUsersRegistry) {
  StoreOpenResult result = StoreOpenResult::kCannotCreate;
  const std::unique_ptr<Registry> registry = OpenDefaultStore(&result);
  ASSERT_NE(registry, nullptr);
  EXPECT_EQ(result, StoreOpenResult::kOk);

  // Written below a scratch key through kCurrentUser, read back past the backend.
  test::ScratchKey scratch;
  RegKey key = 0;
  ASSERT_EQ(registry->CreateKey(kCurrentUser, scratch.path() + "\\Anna", &key), kErrorSuccess);
  const std::string bytes = Dword(0x40428b4d);
  ASSERT_EQ(registry->SetValue(key, "data", kRegDword,
                               reinterpret_cast<const unsigned char*>(bytes.data()), 4),
            kErrorSuccess);
  EXPECT_EQ(registry->CloseKey(key), kErrorSuccess);

  const test::RawValue raw = test::ReadRawA(scratch.path() + "\\Anna", "data");
  ASSERT_EQ(raw.result, ERROR_SUCCESS);
  EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(raw.bytes, bytes);
}

TEST(WindowsRegistry, KeysAreRealRegistryHandles) {
  test::ScratchKey scratch;
  const std::unique_ptr<Registry> registry = OpenWindowsRegistry(scratch.path());
  ASSERT_NE(registry, nullptr);
  RegKey key = 0;
  ASSERT_EQ(registry->CreateKey(kCurrentUser, "Software\\Lunaret\\Anna", &key), kErrorSuccess);

  // A value set with the Win32 call on the handle is what the backend reads, and the reverse.
  const HKEY handle = reinterpret_cast<HKEY>(key);
  ASSERT_EQ(RegSetValueExA(handle, "duration", 0, REG_SZ, reinterpret_cast<const BYTE*>("29"), 3),
            ERROR_SUCCESS);
  unsigned char data[16] = {};
  std::uint32_t type = 0;
  std::uint32_t size = sizeof data;
  ASSERT_EQ(registry->QueryValue(key, "duration", &type, data, &size), kErrorSuccess);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), size), std::string("29", 3));

  EXPECT_EQ(registry->CloseKey(key), kErrorSuccess);
  // The handle is gone once closed.
  EXPECT_EQ(RegQueryValueExA(handle, "duration", nullptr, nullptr, nullptr, nullptr),
            ERROR_INVALID_HANDLE);
}

TEST(WindowsRegistry, AScratchBaseHoldsTheWholeStoreAndOutlivesACloseOfTheBase) {
  test::ScratchKey scratch;
  const std::unique_ptr<Registry> registry = OpenWindowsRegistry(scratch.path());
  ASSERT_NE(registry, nullptr);
  UserStore store(*registry);
  ASSERT_TRUE(store.SetPassword("Anna", "abc"));

  // The store's root lies below the scratch key, not below HKEY_CURRENT_USER itself.
  EXPECT_EQ(test::ReadRawA(scratch.path() + "\\Software\\Lunaret\\Anna", "").bytes,
            std::string("bbb", 4));

  // Closing kCurrentUser is harmless: the base key stays open for the next operation.
  EXPECT_EQ(registry->CloseKey(kCurrentUser), kErrorSuccess);
  std::string password;
  ASSERT_TRUE(store.GetPassword("ANNA", &password));
  EXPECT_EQ(password, "abc");
}

TEST(WindowsRegistry, FailuresAreTheWin32ErrorCodes) {
  test::ScratchKey scratch;
  const std::unique_ptr<Registry> registry = OpenWindowsRegistry(scratch.path());
  ASSERT_NE(registry, nullptr);
  RegKey key = 0;
  EXPECT_EQ(registry->OpenKey(kCurrentUser, "Software\\Nothing", kKeyRead, &key),
            kErrorFileNotFound);
  EXPECT_EQ(key, 0u);

  ASSERT_EQ(registry->CreateKey(kCurrentUser, "Software\\Lunaret\\Anna", &key), kErrorSuccess);
  std::uint32_t count = 7;
  ASSERT_EQ(registry->QueryValueCount(key, &count), kErrorSuccess);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(registry->DeleteValue(key, "data"), kErrorFileNotFound);
  char name[8];
  std::uint32_t nameSize = sizeof name;
  EXPECT_EQ(registry->EnumKey(key, 0, name, &nameSize), kErrorNoMoreItems);
  registry->CloseKey(key);
}

}  // namespace
}  // namespace lunaret
