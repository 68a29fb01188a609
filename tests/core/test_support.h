#ifndef LUNARET_TESTS_CORE_TEST_SUPPORT_H
#define LUNARET_TESTS_CORE_TEST_SUPPORT_H

#include <functional>
#include <string>

namespace lunaret::test {

// Sets TZ (and re-reads it) while it lives; restores the previous value afterwards.
// rulesSupported() is false where the C library cannot read POSIX rule strings such as
// "CET-1CEST,M3.5.0,M10.5.0/3"; tests of summer time changes then have nothing to check.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone);
  ~ScopedTimeZone();
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  static bool rulesSupported();

 private:
  bool hadValue_ = false;
  std::string previous_;
};

// Child roles: work a test starts in a separate process (the test binary run again with
// LUNARET_CORE_CHILD=<role>). main() runs the role instead of the tests; its result is the
// process's exit code.
using ChildRole = std::function<int()>;
bool RegisterChildRole(const std::string& name, ChildRole role);
// The role named by LUNARET_CORE_CHILD, or null when the process is not a child.
const ChildRole* ChildRoleOfThisProcess();

// Path of the running test binary (LUNARET_TEST_BINARY when set).
std::string TestBinaryPath();

}  // namespace lunaret::test

#endif  // LUNARET_TESTS_CORE_TEST_SUPPORT_H
