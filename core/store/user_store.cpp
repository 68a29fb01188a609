#include "core/store/user_store.h"

#include <charconv>
#include <cstring>

#include "core/base/scramble.h"
#include "core/base/text.h"
#include "core/store/opened_key.h"

namespace lunaret {
namespace {

constexpr std::uint32_t kNameBufferBytes = 256;
constexpr std::uint32_t kDurationBufferBytes = 100;

constexpr const char* kDurationValue = "duration";
constexpr const char* kCycleStartValue = "data";
constexpr const char* kStatisticsLengthValue = "StatisticsLength";
constexpr const char* kStatisticsDatePrefix = "StatisticsDate";
constexpr const char* kStatisticsOvulationPrefix = "StatisticsOvalDate";

// "%s%d": the prefix followed by the index in decimal, without leading zeros.
std::string NumberedName(const char* prefix, std::int32_t index) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, index).ptr;
  std::string name;
  name.reserve(std::strlen(prefix) + static_cast<std::size_t>(end - digits));
  return name.append(prefix).append(digits, end);
}

// A zero-terminated text as stored: the bytes up to the first zero within size.
std::string TextOf(const char* buffer, std::uint32_t size) {
  const void* zero = std::memchr(buffer, '\0', size);
  const std::size_t length =
      zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - buffer) : size;
  return std::string(buffer, length);
}

void WriteText(Registry& registry, const std::string& user, const char* name,
               const std::string& text) {
  OpenedKey key(registry);
  if (!key.Create(UserStore::KeyPath(user)))
    return;
  const char* bytes = text.c_str();
  registry.SetValue(key.get(), name, kRegSz, reinterpret_cast<const unsigned char*>(bytes),
                    static_cast<std::uint32_t>(std::strlen(bytes) + 1));
}

// REG_DWORD: four bytes, least significant first.
void WriteNumber(Registry& registry, const std::string& user, const std::string& name,
                 std::uint32_t value) {
  OpenedKey key(registry);
  if (!key.Create(UserStore::KeyPath(user)))
    return;
  const unsigned char bytes[4] = {
      static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
      static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
  registry.SetValue(key.get(), name, kRegDword, bytes, sizeof bytes);
}

// Starts from 0, so that whatever cannot be read reads as 0. The stored type is not checked.
std::uint32_t ReadNumber(Registry& registry, const std::string& user, const std::string& name) {
  OpenedKey key(registry);
  if (!key.Create(UserStore::KeyPath(user)))
    return 0;
  unsigned char bytes[4] = {0, 0, 0, 0};
  std::uint32_t type = 0;
  std::uint32_t size = sizeof bytes;
  if (registry.QueryValue(key.get(), name, &type, bytes, &size) != kErrorSuccess)
    return 0;
  std::uint32_t value = 0;
  for (std::uint32_t i = 0; i < size && i < sizeof bytes; ++i)
    value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
  return value;
}

}  // namespace

std::string UserStore::KeyPath(const std::string& user) {
  std::string path;
  path.reserve(std::strlen(kRootPath) + 1 + user.size());
  return path.append(kRootPath).append(1, '\\').append(user);
}

bool UserStore::OpenRoot() {
  OpenedKey root(registry_);
  return root.Create(kRootPath);
}

bool UserStore::SetPassword(const std::string& user, const std::string& password) {
  if (password.size() > kMaxPasswordBytes)
    return false;
  OpenedKey key(registry_);
  if (!key.Create(UserStore::KeyPath(user)))
    return false;
  const std::string stored = ScramblePassword(password);
  // Stored as a zero-terminated text: up to its first zero byte, plus the terminator.
  const char* bytes = stored.c_str();
  return registry_.SetValue(key.get(), "", kRegSz, reinterpret_cast<const unsigned char*>(bytes),
                            static_cast<std::uint32_t>(std::strlen(bytes) + 1)) == kErrorSuccess;
}

bool UserStore::GetPassword(const std::string& user, std::string* password) {
  if (!FindUser(user))
    return false;
  char buffer[kNameBufferBytes];
  std::uint32_t size = sizeof buffer;
  std::uint32_t type = 0;
  long rc = kErrorFileNotFound;
  {
    OpenedKey key(registry_);
    if (!key.Open(UserStore::KeyPath(user), kKeyRead))
      return false;
    rc =
        registry_.QueryValue(key.get(), "", &type, reinterpret_cast<unsigned char*>(buffer), &size);
  }
  if (rc != kErrorSuccess)
    return false;
  if (password != nullptr)
    *password = UnscramblePassword(TextOf(buffer, size));
  return true;
}

bool UserStore::FindUser(const std::string& user) {
  OpenedKey root(registry_);
  if (!root.Create(kRootPath))
    return false;
  const std::string sought = UpperCase(user);
  char name[kNameBufferBytes];
  for (std::uint32_t index = 0;; ++index) {
    std::uint32_t size = sizeof name;
    if (registry_.EnumKey(root.get(), index, name, &size) != kErrorSuccess)
      return false;
    if (UpperCase(std::string(name, size)) == sought)
      return true;
  }
}

std::vector<std::string> UserStore::ListUsers() {
  std::vector<std::string> users;
  OpenedKey root(registry_);
  if (!root.Create(kRootPath))
    return users;
  char name[kNameBufferBytes];
  for (std::uint32_t index = 0;; ++index) {
    std::uint32_t size = sizeof name;
    if (registry_.EnumKey(root.get(), index, name, &size) != kErrorSuccess)
      break;
    users.emplace_back(name, size);
  }
  return users;
}

bool UserStore::DeleteUserKey(const std::string& user) {
  OpenedKey root(registry_);
  if (!root.Open(kRootPath, kKeyRead | kKeyCreateSubKey | kKeySetValue))
    return false;
  const long rc = registry_.DeleteKey(root.get(), user);
  return rc == kErrorSuccess || rc == kErrorFileNotFound;
}

void UserStore::SetDuration(const std::string& user, const std::string& text) {
  WriteText(registry_, user, kDurationValue, text);
}

std::string UserStore::GetDuration(const std::string& user) {
  OpenedKey key(registry_);
  if (!key.Create(UserStore::KeyPath(user)))
    return {};
  char buffer[kDurationBufferBytes];
  std::uint32_t size = sizeof buffer;
  std::uint32_t type = 0;
  if (registry_.QueryValue(key.get(), kDurationValue, &type,
                           reinterpret_cast<unsigned char*>(buffer), &size) != kErrorSuccess)
    return {};
  return TextOf(buffer, size);
}

void UserStore::SetCycleStart(const std::string& user, TimeValue value) {
  WriteNumber(registry_, user, kCycleStartValue, static_cast<std::uint32_t>(value));
}

TimeValue UserStore::GetCycleStart(const std::string& user) {
  return static_cast<TimeValue>(ReadNumber(registry_, user, kCycleStartValue));
}

void UserStore::SetStatisticsLength(const std::string& user, std::uint32_t count) {
  WriteNumber(registry_, user, kStatisticsLengthValue, count);
}

std::uint32_t UserStore::GetStatisticsLength(const std::string& user) {
  return ReadNumber(registry_, user, kStatisticsLengthValue);
}

void UserStore::SetStatisticsDate(const std::string& user, TimeValue value, std::int32_t index) {
  WriteNumber(registry_, user, NumberedName(kStatisticsDatePrefix, index),
              static_cast<std::uint32_t>(value));
}

TimeValue UserStore::GetStatisticsDate(const std::string& user, std::int32_t index) {
  return static_cast<TimeValue>(
      ReadNumber(registry_, user, NumberedName(kStatisticsDatePrefix, index)));
}

void UserStore::SetStatisticsOvulationDate(const std::string& user, TimeValue value,
                                           std::int32_t index) {
  WriteNumber(registry_, user, NumberedName(kStatisticsOvulationPrefix, index),
              static_cast<std::uint32_t>(value));
}

TimeValue UserStore::GetStatisticsOvulationDate(const std::string& user, std::int32_t index) {
  return static_cast<TimeValue>(
      ReadNumber(registry_, user, NumberedName(kStatisticsOvulationPrefix, index)));
}

void UserStore::DeleteStatistics(const std::string& user) {
  const auto count = static_cast<std::int32_t>(GetStatisticsLength(user));
  OpenedKey key(registry_);
  key.Create(UserStore::KeyPath(user));
  if (key.isOpen() && count > 0) {
    // The walk ends as soon as every numbered value of the key is gone: a damaged count of
    // two billion would otherwise cost billions of calls that find nothing. The values that
    // are not numbered are the password, "duration", "data" and the count itself.
    std::uint32_t values = 0;
    if (registry_.QueryValueCount(key.get(), &values) != kErrorSuccess)
      values = 0;
    std::int64_t numbered = values;
    for (const char* name : {"", kDurationValue, kCycleStartValue, kStatisticsLengthValue}) {
      std::uint32_t size = 0;
      if (registry_.QueryValue(key.get(), name, nullptr, nullptr, &size) == kErrorSuccess)
        --numbered;
    }
    // Should the key hold values of other names, they are counted as numbered ones; the
    // walk then still stops this far past the values there are.
    const std::int64_t bound = static_cast<std::int64_t>(values) + 65536;
    for (std::int32_t i = 0; i < count && numbered > 0 && i < bound; ++i) {
      if (registry_.DeleteValue(key.get(), NumberedName(kStatisticsDatePrefix, i)) == kErrorSuccess)
        --numbered;
      if (registry_.DeleteValue(key.get(), NumberedName(kStatisticsOvulationPrefix, i)) ==
          kErrorSuccess)
        --numbered;
    }
  }
  SetStatisticsLength(user, 0);
}

std::uint32_t UserStore::CountValues(const std::string& user) {
  OpenedKey key(registry_);
  if (!key.Create(UserStore::KeyPath(user)))
    return 0;
  std::uint32_t count = 0;
  if (registry_.QueryValueCount(key.get(), &count) != kErrorSuccess)
    return 0;
  return count;
}

}  // namespace lunaret
