#include "test_store.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include <atomic>

#include "core/registry_win.h"
#else
#include <stdlib.h>

#include <cstdlib>

#include "core/store_file.h"
#endif

namespace lunaret::test {

#ifdef _WIN32

namespace {

// Deletes key path below parent with everything under it (the registry deletes leaves only).
void DeleteTree(Registry& registry, RegKey parent, const std::string& path) {
  RegKey key = 0;
  if (registry.OpenKey(parent, path, kKeyAllAccess, &key) != kErrorSuccess)
    return;
  char name[256];
  for (;;) {
    std::uint32_t size = sizeof name;
    if (registry.EnumKey(key, 0, name, &size) != kErrorSuccess)
      break;
    DeleteTree(registry, key, std::string(name, size));
  }
  registry.CloseKey(key);
  registry.DeleteKey(parent, path);
}

std::string NewScratchPath() {
  static std::atomic<int> counter{0};
  return "LunaretTest\\" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
}

}  // namespace

TestStore::TestStore() : basePath_(NewScratchPath()) {
  Open();
}

TestStore::~TestStore() {
  store_.reset();
  registry_.reset();
  if (std::unique_ptr<Registry> user = OpenWindowsRegistry()) {
    DeleteTree(*user, kCurrentUser, basePath_);
    user->DeleteKey(kCurrentUser, "LunaretTest");  // refused while other tests still use it
  }
}

void TestStore::Open() {
  registry_ = OpenWindowsRegistry(basePath_);
  store_ = registry_ ? std::make_unique<UserStore>(*registry_) : nullptr;
}

#else

TempFolder::TempFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/lunaret-test-XXXXXX";
  if (mkdtemp(pattern.data()) != nullptr)
    path_ = pattern;
}

TempFolder::~TempFolder() {
  if (path_.empty())
    return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

namespace {

std::string NewStoreFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/lunaret-store-XXXXXX";
  return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

}  // namespace

// The store file lies in a folder of its own below the temporary one, so that opening also
// creates a folder, as it does for a new user.
TestStore::TestStore() : folder_(NewStoreFolder()), path_(folder_ + "/lunaret/registry.db") {
  if (!folder_.empty())
    Open();
}

TestStore::~TestStore() {
  store_.reset();
  registry_.reset();
  if (folder_.empty())
    return;
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void TestStore::Open() {
  StoreOpenResult result = StoreOpenResult::kCannotCreate;
  registry_ = OpenSqliteStore(path_, &result);
  store_ = registry_ ? std::make_unique<UserStore>(*registry_) : nullptr;
}

#endif

void TestStore::Reopen() {
  store_.reset();
  registry_.reset();
  Open();
}

}  // namespace lunaret::test
