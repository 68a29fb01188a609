#ifndef LUNARET_CORE_BASE_REMINDER_SETTINGS_H
#define LUNARET_CORE_BASE_REMINDER_SETTINGS_H

#include "core/base/day_number.h"

namespace lunaret {

// How many days before her next period the first reminder may come, and the default.
inline constexpr int kMinDaysBefore = 1;
inline constexpr int kMaxDaysBefore = 7;
inline constexpr int kDefaultDaysBefore = 2;
// The daily reminder to log the day: minutes after midnight, 20:00 by default.
inline constexpr int kMinutesPerDay = 24 * 60;
inline constexpr int kDefaultLogMinute = 20 * 60;

// What a user wants to be reminded of. Everything is off until she switches it on.
struct ReminderSettings {
  bool beforePeriod = false;
  int daysBefore = kDefaultDaysBefore;  // kMinDaysBefore..kMaxDaysBefore
  bool onTheDay = false;
  bool fertileWindow = false;
  bool logDay = false;
  int logMinute = kDefaultLogMinute;  // 0..kMinutesPerDay - 1
  // Off, a notification names only the program and the user.
  bool showDetails = false;

  bool AnyOn() const { return beforePeriod || onTheDay || fertileWindow || logDay; }
  bool IsValid() const {
    return daysBefore >= kMinDaysBefore && daysBefore <= kMaxDaysBefore && logMinute >= 0 &&
           logMinute < kMinutesPerDay;
  }
  bool operator==(const ReminderSettings&) const = default;
};

// The day each kind of reminder was last sent for, so that none is sent twice: the expected
// first day for the two period reminders, the window's first day for the fertile window, the
// day itself for the log. kNeverSent (1 January 1970, before every stored day) when never.
inline constexpr DayNumber kNeverSent = 0;
struct RemindersSent {
  DayNumber beforePeriod = kNeverSent;
  DayNumber onTheDay = kNeverSent;
  DayNumber fertileWindow = kNeverSent;
  DayNumber logDay = kNeverSent;
  bool operator==(const RemindersSent&) const = default;
};

}  // namespace lunaret

#endif  // LUNARET_CORE_BASE_REMINDER_SETTINGS_H
