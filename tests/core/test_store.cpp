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
  RegDeleteTreeA(HKEY_CURRENT_USER, basePath_.c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, "LunaretTest");  // refused while other tests still use it
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

void StoreTest::TearDown() {
  for (RegKey key : keys_)
    EXPECT_EQ(registry().CloseKey(key), kErrorSuccess);
}

RegKey StoreTest::Create(const std::string& path) {
  RegKey key = 0;
  EXPECT_EQ(registry().CreateKey(kCurrentUser, path, &key), kErrorSuccess) << path;
  keys_.push_back(key);
  return key;
}

RegKey StoreTest::Open(RegKey parent, const std::string& path, std::uint32_t access) {
  RegKey key = 0;
  EXPECT_EQ(registry().OpenKey(parent, path, access, &key), kErrorSuccess) << path;
  keys_.push_back(key);
  return key;
}

void StoreTest::Close(RegKey key) {
  std::erase(keys_, key);
  EXPECT_EQ(registry().CloseKey(key), kErrorSuccess);
}

long StoreTest::SetText(RegKey key, const std::string& name, const std::string& text) {
  return registry().SetValue(key, name, kRegSz,
                             reinterpret_cast<const unsigned char*>(text.c_str()),
                             static_cast<std::uint32_t>(text.size() + 1));
}

long StoreTest::SetDword(RegKey key, const std::string& name, std::uint32_t value) {
  const unsigned char bytes[4] = {
      static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
      static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
  return registry().SetValue(key, name, kRegDword, bytes, 4);
}

std::string StoreTest::Read(RegKey key, const std::string& name, std::uint32_t* type) {
  std::string bytes(1024, '\0');
  auto size = static_cast<std::uint32_t>(bytes.size());
  if (registry().QueryValue(key, name, type, reinterpret_cast<unsigned char*>(bytes.data()),
                            &size) != kErrorSuccess)
    return "<absent>";
  bytes.resize(size);
  return bytes;
}

std::uint32_t StoreTest::ValueCount(RegKey key) {
  std::uint32_t count = 12345;
  EXPECT_EQ(registry().QueryValueCount(key, &count), kErrorSuccess);
  return count;
}

}  // namespace lunaret::test
