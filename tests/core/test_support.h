#ifndef LUNARET_TESTS_CORE_TEST_SUPPORT_H
#define LUNARET_TESTS_CORE_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <zlib.h>

#include "core/base/statistics_record.h"
#include "core/store/statistics_store.h"
#include "core/store/user_store.h"
#ifdef _WIN32
#include <windows.h>

#include "core/store/registry_win.h"
#else
#include <sqlite3.h>

#include "core/store/store_file.h"
#endif

namespace lunaret {

namespace test {

// Sets an environment variable (removes it, for null) while it lives; TZ is read again.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* current = std::getenv(name))
      previous_ = current;
    Set(name, value);
  }
  ~ScopedEnv() { Set(name_, previous_ ? previous_->c_str() : nullptr); }

 private:
  static void Set(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value != nullptr ? value : "");
    _tzset();
#else
    value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    tzset();
#endif
  }
  const char* name_;
  std::optional<std::string> previous_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}
// Every file of the folder by name, with its bytes.
inline std::map<std::string, std::string> Files(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    files[entry.path().filename().string()] = ReadFile(entry.path().string());
  return files;
}

// A new empty folder in the temporary folder, removed with everything in it when it goes.
class TempFolder {
 public:
  TempFolder() {
    std::error_code error;
    const auto base = std::filesystem::temp_directory_path(error);
    for (unsigned n = std::random_device{}(); !error && path_.empty(); ++n) {
      const auto path = base / ("lunaret-test-" + std::to_string(n));
      if (std::filesystem::create_directory(path, error))
        path_ = path.string();
    }
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// A test's store: a SQLite file in a folder of its own, made on opening, or on Windows the
// registry below a scratch key named after that folder, removed afterwards.
#ifdef _WIN32
inline std::string StorePath(const TempFolder& folder) {
  return "LunaretTest\\" + std::filesystem::path(folder.path()).filename().string();
}
inline std::unique_ptr<Registry> OpenStore(const std::string& path) {
  return OpenWindowsRegistry(path);
}
inline void RemoveStore(const std::string& path) {
  RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, "LunaretTest");  // refused while other tests still use it
}
#else
inline std::string StorePath(const TempFolder& folder) {
  return folder.path() + "/lunaret/registry.db";
}
inline std::unique_ptr<Registry> OpenStore(const std::string& path) {
  StoreOpenResult result;
  return OpenSqliteStore(path, &result);
}
inline void RemoveStore(const std::string&) {}  // the folder goes with the fixture
#endif

// A real locale beside the C one, for what depends on the locale (scripts/deps.sh test makes it).
#ifdef _WIN32
inline constexpr const char* kRealLocale = "";  // the user's own locale, whatever Wine gives
#else
inline constexpr const char* kRealLocale = "de_DE.UTF-8";
#endif

// text repeated times as one gzip member (zlib).
inline std::string Gzip(const std::string& text, int times = 1) {
  z_stream stream{};
  deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out;
  std::vector<char> buffer(1 << 16);
  for (int i = 0; i < times; ++i) {
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    const int flush = i + 1 == times ? Z_FINISH : Z_NO_FLUSH;
    do {
      stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
      stream.avail_out = static_cast<uInt>(buffer.size());
      deflate(&stream, flush);
      out.append(buffer.data(), buffer.size() - stream.avail_out);
    } while (stream.avail_out == 0);
  }
  deflateEnd(&stream);
  return out;
}

// What a fixture could not get (a store that did not open) fails the test at once, with the
// reason, instead of crashing it: GoogleTest reports an exception thrown in a test as a failure.
template <typename T>
T& Got(const std::unique_ptr<T>& thing, const char* what) {
  if (thing == nullptr)
    throw std::runtime_error(std::string(what) + " could not be had");
  return *thing;
}

// Another run of the program on the store at path: its backend and its user store.
struct StoreRun {
  explicit StoreRun(const std::string& path) : registry(OpenStore(path)) {}
  std::unique_ptr<Registry> registry;
  UserStore store{Got(registry, "the store")};
};

#ifndef _WIN32
// Runs sql on the store file as another program would; with leaveLog that program ends without
// folding its log in, as after a crash. SQLite's result.
inline int RunSql(const std::string& path, const char* sql, bool leaveLog = false) {
  sqlite3* db = nullptr;
  int result = sqlite3_open(path.c_str(), &db);
  if (result == SQLITE_OK && leaveLog)
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  if (result == SQLITE_OK)
    result = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return result;
}
#endif

// Passes every call to a real registry below it; tests override the calls they watch or refuse.
class ForwardingRegistry : public Registry {
 public:
  explicit ForwardingRegistry(Registry& inner) : inner_(inner) {}

  long CreateKey(RegKey parent, const std::string& path, RegKey* key) override {
    return inner_.CreateKey(parent, path, key);
  }
  long OpenKey(RegKey parent, const std::string& path, std::uint32_t access, RegKey* key) override {
    return inner_.OpenKey(parent, path, access, key);
  }
  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, unsigned char* data,
                  std::uint32_t* size) override {
    return inner_.QueryValue(key, name, type, data, size);
  }
  long SetValue(RegKey key, const std::string& name, std::uint32_t type, const unsigned char* data,
                std::uint32_t size) override {
    return inner_.SetValue(key, name, type, data, size);
  }
  long EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize) override {
    return inner_.EnumKey(key, index, name, nameSize);
  }
  long EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize) override {
    return inner_.EnumValue(key, index, name, nameSize);
  }
  long DeleteValue(RegKey key, const std::string& name) override {
    return inner_.DeleteValue(key, name);
  }
  long DeleteKey(RegKey key, const std::string& subkey) override {
    return inner_.DeleteKey(key, subkey);
  }
  long CloseKey(RegKey key) override { return inner_.CloseKey(key); }
  long QueryValueCount(RegKey key, std::uint32_t* count) override {
    return inner_.QueryValueCount(key, count);
  }
  bool BeginTransaction() override { return inner_.BeginTransaction(); }
  bool CommitTransaction() override { return inner_.CommitTransaction(); }

 private:
  Registry& inner_;
};

// The one store fixture: a fresh, empty store that nothing else shares, and calls that reach
// the registry past the user store. Keys opened by Create and Open are closed at the end.
class StoreTest : public ::testing::Test {
 protected:
  StoreTest() { Reopen(); }
  ~StoreTest() override {
    Close();
    RemoveStore(path_);
  }
  void SetUp() override { ASSERT_NE(registry_, nullptr); }
  void TearDown() override {
    for (RegKey key : keys_)
      EXPECT_EQ(registry().CloseKey(key), kErrorSuccess);
  }
  Registry& registry() { return Got(registry_, "the test store"); }
  UserStore& store() { return Got(store_, "the test store"); }
  void Close() { store_.reset(), registry_.reset(); }
  // Closes the backend and opens the same store again, as the next run of the program would.
  void Reopen() {
    Close();
    registry_ = folder_.path().empty() ? nullptr : OpenStore(path_);
    store_ = registry_ ? std::make_unique<UserStore>(*registry_) : nullptr;
  }
  RegKey Create(const std::string& path) {
    RegKey key = 0;
    EXPECT_EQ(registry().CreateKey(kCurrentUser, path, &key), kErrorSuccess) << path;
    return keys_.emplace_back(key);
  }
  RegKey Open(RegKey parent, const std::string& path, std::uint32_t access = kKeyRead) {
    RegKey key = 0;
    EXPECT_EQ(registry().OpenKey(parent, path, access, &key), kErrorSuccess) << path;
    return keys_.emplace_back(key);
  }
  // Writes bytes as they are: a text's terminator is part of them.
  long Set(RegKey key, const std::string& name, const std::string& bytes,
           std::uint32_t type = kRegSz) {
    return registry().SetValue(key, name, type,
                               reinterpret_cast<const unsigned char*>(bytes.data()),
                               static_cast<std::uint32_t>(bytes.size()));
  }
  // The value's bytes with its type in *type, or "<absent>" when it cannot be read.
  std::string Read(RegKey key, const std::string& name, std::uint32_t* type = nullptr) {
    std::string bytes(1024, '\0');
    auto size = static_cast<std::uint32_t>(bytes.size());
    if (registry().QueryValue(key, name, type, reinterpret_cast<unsigned char*>(bytes.data()),
                              &size) != kErrorSuccess)
      return "<absent>";
    return bytes.substr(0, size);
  }

  TempFolder folder_;
  const std::string path_ = StorePath(folder_);  // the file, or the key below HKEY_CURRENT_USER
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<UserStore> store_;
  std::vector<RegKey> keys_;
};

}  // namespace test
}  // namespace lunaret

#endif  // LUNARET_TESTS_CORE_TEST_SUPPORT_H
