// The Windows backend hands out real registry handles and roots kCurrentUser where it says.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/registry_win.h"
#include "core/store_file.h"
#include "core/user_store.h"
#include "registry_test_support.h"

namespace lunaret {
namespace {

using std::string_literals::operator""s;

TEST(WindowsRegistry, TheDefaultStoreIsTheCurrentUsersRegistry) {
  StoreOpenResult result = StoreOpenResult::kCannotCreate;
  const std::unique_ptr<Registry> registry = OpenDefaultStore(&result);
  ASSERT_NE(registry, nullptr);
  EXPECT_EQ(result, StoreOpenResult::kOk);
  // Written below a scratch key through kCurrentUser, read back past the backend.
  test::ScratchKey scratch;
  RegKey key = 0;
  ASSERT_EQ(registry->CreateKey(kCurrentUser, scratch.path() + "\\Anna", &key), kErrorSuccess);
  const unsigned char bytes[4] = {0x4d, 0x8b, 0x42, 0x40};
  ASSERT_EQ(registry->SetValue(key, "data", kRegDword, bytes, 4), kErrorSuccess);
  EXPECT_EQ(registry->CloseKey(key), kErrorSuccess);
  DWORD type = 0;
  EXPECT_EQ(test::ReadRawA(scratch.path() + "\\Anna", "data", &type), "\x4d\x8b\x42\x40");
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
}

TEST(WindowsRegistry, KeysAreRealHandlesBelowTheScratchBaseWhichOutlivesACloseOfIt) {
  test::ScratchKey scratch;
  const std::unique_ptr<Registry> registry = OpenWindowsRegistry(scratch.path());
  ASSERT_NE(registry, nullptr);
  UserStore store(*registry);
  ASSERT_TRUE(store.SetPassword("Anna", "abc"));
  // The store's root lies below the scratch key, not below HKEY_CURRENT_USER itself.
  EXPECT_EQ(test::ReadRawA(scratch.path() + "\\Software\\Lunaret\\Anna", ""), "bbb\0"s);

  // A value set with the Win32 call on a handle is what the backend reads.
  RegKey key = 0;
  ASSERT_EQ(registry->CreateKey(kCurrentUser, "Software\\Lunaret\\Anna", &key), kErrorSuccess);
  const HKEY handle = reinterpret_cast<HKEY>(key);
  ASSERT_EQ(RegSetValueExA(handle, "duration", 0, REG_SZ, reinterpret_cast<const BYTE*>("29"), 3),
            ERROR_SUCCESS);
  EXPECT_EQ(store.GetDuration("anna"), "29");
  EXPECT_EQ(registry->CloseKey(key), kErrorSuccess);
  EXPECT_EQ(RegQueryValueExA(handle, "duration", nullptr, nullptr, nullptr, nullptr),
            ERROR_INVALID_HANDLE);  // gone once closed

  // Closing kCurrentUser is harmless: the base key stays open for the next operation.
  EXPECT_EQ(registry->CloseKey(kCurrentUser), kErrorSuccess);
  std::string password;
  ASSERT_TRUE(store.GetPassword("ANNA", &password));
  EXPECT_EQ(password, "abc");
}

}  // namespace
}  // namespace lunaret
