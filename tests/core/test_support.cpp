#include "test_support.h"

#include <cstdlib>
#include <ctime>
#include <map>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <climits>
#endif

namespace lunaret::test {
namespace {

void SetZone(const char* zone) {
#ifdef _WIN32
  _putenv_s("TZ", zone != nullptr ? zone : "");
  _tzset();
#else
  if (zone != nullptr)
    setenv("TZ", zone, 1);
  else
    unsetenv("TZ");
  tzset();
#endif
}

std::map<std::string, ChildRole>& Roles() {
  static std::map<std::string, ChildRole> roles;
  return roles;
}

}  // namespace

ScopedTimeZone::ScopedTimeZone(const char* zone) {
  if (const char* current = std::getenv("TZ")) {
    hadValue_ = true;
    previous_ = current;
  }
  SetZone(zone);
}

ScopedTimeZone::~ScopedTimeZone() {
  SetZone(hadValue_ ? previous_.c_str() : nullptr);
}

bool ScopedTimeZone::rulesSupported() {
#ifdef _WIN32
  return false;
#else
  return true;
#endif
}

bool RegisterChildRole(const std::string& name, ChildRole role) {
  Roles()[name] = std::move(role);
  return true;
}

const ChildRole* ChildRoleOfThisProcess() {
  const char* name = std::getenv("LUNARET_CORE_CHILD");
  if (name == nullptr)
    return nullptr;
  const auto it = Roles().find(name);
  return it == Roles().end() ? nullptr : &it->second;
}

std::string TestBinaryPath() {
  if (const char* path = std::getenv("LUNARET_TEST_BINARY"); path != nullptr && path[0] != '\0')
    return path;
#ifdef _WIN32
  char buffer[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  return buffer;
#else
  char buffer[PATH_MAX] = {};
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
#endif
}

}  // namespace lunaret::test
