#ifndef LUNARET_TESTS_CORE_TEST_SUPPORT_H
#define LUNARET_TESTS_CORE_TEST_SUPPORT_H

#include <cstdlib>
#include <ctime>
#include <string>

namespace lunaret::test {

// Sets TZ (and re-reads it) while it lives; restores the previous value afterwards.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* current = std::getenv("TZ"))
      previous_ = current;
    hadValue_ = std::getenv("TZ") != nullptr;
    Set(zone);
  }
  ~ScopedTimeZone() { Set(hadValue_ ? previous_.c_str() : nullptr); }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  // False where the C library cannot read POSIX rule strings such as
  // "CET-1CEST,M3.5.0,M10.5.0/3"; tests of summer time changes then have nothing to check.
#ifdef _WIN32
  static constexpr bool kRulesSupported = false;
#else
  static constexpr bool kRulesSupported = true;
#endif

 private:
  static void Set(const char* zone) {
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

  bool hadValue_ = false;
  std::string previous_;
};

}  // namespace lunaret::test

#endif  // LUNARET_TESTS_CORE_TEST_SUPPORT_H
