#ifndef LUNARET_CORE_CYCLES_DATES_H
#define LUNARET_CORE_CYCLES_DATES_H

#include <cstdint>
#include <string>
#include <string_view>

#include "core/base/time_value.h"

namespace lunaret {

// The fields of a calendar date as the month calendars hand them over (SYSTEMTIME order).
struct CalendarDate {
  std::uint16_t year = 0;
  std::uint16_t month = 0;      // 1..12
  std::uint16_t dayOfWeek = 0;  // 0 = Sunday
  std::uint16_t day = 0;        // 1..31
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t milliseconds = 0;

  bool operator==(const CalendarDate&) const = default;
};

// Builds a date with its day of week filled in (time fields 0).
CalendarDate MakeDate(int year, int month, int day);

// The moment h:m:s on that date read as local time; 0 when the year is below 1900.
TimeValue MakeTimeValue(const CalendarDate& date, int hour, int minute, int second);

// The local calendar date of t (time fields from t too). False for a negative time value,
// which has no local date.
bool LocalDateOf(TimeValue t, CalendarDate* date);

// Today's local calendar date.
CalendarDate TodayLocal();

// Calendar days from first to today (negative when first lies after today). Counts calendar
// dates, so a change of summer time in between does not shift it.
long DaysSince(const CalendarDate& first, const CalendarDate& today);

// The status line: which cycle day today is and how many days are left.
std::string CycleStatus(const CalendarDate& first, long length, const CalendarDate& today);

// The date length calendar days after first.
CalendarDate ForecastNextStart(const CalendarDate& first, long length);

// "5 Mar. 2004, Friday": day, abbreviated month name and ". ", year and ", ", full day name,
// names from the user's locale.
std::string FormatDate(const CalendarDate& date);
// FormatDate of the local date of t; empty for a negative time value.
std::string FormatDateOfTime(TimeValue t);

// What a date text in a file holds.
enum class DateTextKind {
  kStoredDay,  // a calendar day Lunaret stores (core/base/stored_dates.h)
  kNotADate,   // not YYYY-MM-DD, or no such day
  kOutOfRange  // a real day outside the stored range
};
// Reads YYYY-MM-DD: exactly four, two and two ASCII digits with hyphens, naming a real day of
// the Gregorian calendar. *date (with its day of week) is set only for a stored day.
DateTextKind ReadDateText(std::string_view text, CalendarDate* date);

// True when the date lies from kFirstStoredDay to kLastStoredDay, both included.
bool IsStoredDay(const CalendarDate& date);

// Whole calendar days from the local date of earlier to that of later. When either has no
// local date, the plain (later - earlier) / 86400 truncated toward zero.
long DayDifference(TimeValue later, TimeValue earlier);

}  // namespace lunaret

#endif  // LUNARET_CORE_CYCLES_DATES_H
