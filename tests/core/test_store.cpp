#include "test_store.h"

#ifdef _WIN32
#include <windows.h>

#include <atomic>

#include "core/registry_win.h"
#else
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

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
  for (std::uint32_t size = sizeof name; registry.EnumKey(key, 0, name, &size) == kErrorSuccess;
       size = sizeof name)
    DeleteTree(registry, key, std::string(name, size));
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
  std::error_code ignored;
  if (!path_.empty())
    std::filesystem::remove_all(path_, ignored);
}

// The store file lies in a folder of its own below the temporary one, so that opening also
// creates a folder, as it does for a new user.
TestStore::TestStore() : path_(folder_.path() + "/lunaret/registry.db") {
  if (!folder_.path().empty())
    Open();
}

TestStore::~TestStore() = default;

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
