#include "core/dates.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <limits>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <langinfo.h>
#endif

namespace lunaret {
namespace {

// Days from 1970-01-01 to the given proleptic Gregorian date. Months and days outside their
// range carry over into the next unit, as with mktime.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0);
}

std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
  const std::int64_t carry = FloorDiv(month - 1, 12);
  year += carry;
  month -= 12 * carry;
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = FloorDiv(year, 400);
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468 + (day - 1);
}

struct Civil {
  std::int64_t year;
  int month;
  int day;
};

Civil CivilFromDays(std::int64_t days) {
  days += 719468;
  const std::int64_t era = FloorDiv(days, 146097);
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shifted = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * shifted + 2) / 5 + 1);
  const int month = static_cast<int>(shifted < 10 ? shifted + 3 : shifted - 9);
  return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

std::int64_t DaysOf(const CalendarDate& date) {
  return DaysFromCivil(date.year, date.month, date.day);
}

// 0 = Sunday; 1970-01-01 was a Thursday.
int WeekdayOf(std::int64_t days) {
  return static_cast<int>(days + 4 - 7 * FloorDiv(days + 4, 7));
}

bool LocalTime(std::time_t t, std::tm* fields) {
#ifdef _WIN32
  return localtime_s(fields, &t) == 0;
#else
  return localtime_r(&t, fields) != nullptr;
#endif
}

CalendarDate DateOfFields(const std::tm& fields) {
  CalendarDate date;
  date.year = static_cast<std::uint16_t>(fields.tm_year + 1900);
  date.month = static_cast<std::uint16_t>(fields.tm_mon + 1);
  date.dayOfWeek = static_cast<std::uint16_t>(fields.tm_wday);
  date.day = static_cast<std::uint16_t>(fields.tm_mday);
  date.hour = static_cast<std::uint16_t>(fields.tm_hour);
  date.minute = static_cast<std::uint16_t>(fields.tm_min);
  date.second = static_cast<std::uint16_t>(fields.tm_sec);
  return date;
}

// The locale's abbreviated name of month 1..12 and full name of weekday 0..6 (0 = Sunday);
// empty when out of range or when the locale has none.
std::string MonthAbbreviation(int month) {
  if (month < 1 || month > 12)
    return {};
#ifdef _WIN32
  char buffer[256] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVMONTHNAME1 + (month - 1), buffer,
                     sizeof buffer) == 0)
    return {};
  return buffer;
#else
  static constexpr nl_item kItems[12] = {ABMON_1, ABMON_2, ABMON_3, ABMON_4,  ABMON_5,  ABMON_6,
                                         ABMON_7, ABMON_8, ABMON_9, ABMON_10, ABMON_11, ABMON_12};
  const char* name = nl_langinfo(kItems[month - 1]);
  return name != nullptr ? name : "";
#endif
}

std::string DayName(int weekday) {
  if (weekday < 0 || weekday > 6)
    return {};
#ifdef _WIN32
  // LOCALE_SDAYNAME1 is Monday, LOCALE_SDAYNAME7 Sunday.
  const LCTYPE item = weekday == 0 ? LOCALE_SDAYNAME7 : LOCALE_SDAYNAME1 + (weekday - 1);
  char buffer[256] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, item, buffer, sizeof buffer) == 0)
    return {};
  return buffer;
#else
  // DAY_1 is Sunday.
  static constexpr nl_item kItems[7] = {DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7};
  const char* name = nl_langinfo(kItems[weekday]);
  return name != nullptr ? name : "";
#endif
}

std::string Format(const char* format, long value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

// The dates a CalendarDate can carry and the calendars show: years 1 to 9999.
const std::int64_t kFirstDay = DaysFromCivil(1, 1, 1);
const std::int64_t kLastDay = DaysFromCivil(9999, 12, 31);

}  // namespace

CalendarDate MakeDate(int year, int month, int day) {
  CalendarDate date;
  date.year = static_cast<std::uint16_t>(year);
  date.month = static_cast<std::uint16_t>(month);
  date.day = static_cast<std::uint16_t>(day);
  date.dayOfWeek = static_cast<std::uint16_t>(WeekdayOf(DaysFromCivil(year, month, day)));
  return date;
}

TimeValue MakeTimeValue(const CalendarDate& date, int hour, int minute, int second) {
  if (date.year < 1900)
    return 0;
  std::tm fields{};
  fields.tm_sec = second;
  fields.tm_min = minute;
  fields.tm_hour = hour;
  fields.tm_mday = date.day;
  fields.tm_mon = date.month - 1;
  fields.tm_year = date.year - 1900;
  fields.tm_isdst = -1;
  const std::time_t t = std::mktime(&fields);
  // A moment the 32-bit time value cannot hold reads as mktime's failure, -1.
  if (t < std::numeric_limits<TimeValue>::min() || t > std::numeric_limits<TimeValue>::max())
    return -1;
  return static_cast<TimeValue>(t);
}

bool LocalDateOf(TimeValue t, CalendarDate* date) {
  if (t < 0)
    return false;
  std::tm fields{};
  if (!LocalTime(static_cast<std::time_t>(t), &fields))
    return false;
  if (date != nullptr)
    *date = DateOfFields(fields);
  return true;
}

CalendarDate TodayLocal() {
  std::tm fields{};
  if (!LocalTime(std::time(nullptr), &fields))
    return MakeDate(1970, 1, 1);
  return MakeDate(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday);
}

long DaysSince(const CalendarDate& first, const CalendarDate& today) {
  return static_cast<long>(DaysOf(today) - DaysOf(first));
}

std::string CycleStatus(const CalendarDate& first, long length, const CalendarDate& today) {
  const long d = DaysSince(first, today);
  if (d < 0)
    return Format("Menses after %ld day(s)", -d);
  // Compared before subtracting, so that no length can overflow the difference.
  if (length > d) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "Today is day %ld, menses after %ld day(s)", d + 1,
                  length - d);
    return buffer;
  }
  if (length == d)
    return "Menses must be today:)";
  return Format("Today is day %ld", d + 1);
}

CalendarDate ForecastNextStart(const CalendarDate& first, long length) {
  const std::int64_t start = DaysOf(first);
  // Lengths beyond the calendar's range end at its first or last day.
  const std::int64_t span = kLastDay - kFirstDay;
  const std::int64_t step = std::clamp<std::int64_t>(length, -span, span);
  const std::int64_t target = std::clamp<std::int64_t>(start + step, kFirstDay, kLastDay);
  const Civil civil = CivilFromDays(target);
  return MakeDate(static_cast<int>(civil.year), civil.month, civil.day);
}

std::string FormatDate(const CalendarDate& date) {
  return std::to_string(date.day) + " " + MonthAbbreviation(date.month) + ". " +
         std::to_string(date.year) + ", " + DayName(date.dayOfWeek);
}

std::string FormatDateOfTime(TimeValue t) {
  CalendarDate date;
  if (!LocalDateOf(t, &date))
    return {};
  return FormatDate(date);
}

long DayDifference(TimeValue later, TimeValue earlier) {
  CalendarDate laterDate;
  CalendarDate earlierDate;
  if (!LocalDateOf(later, &laterDate) || !LocalDateOf(earlier, &earlierDate))
    return static_cast<long>((static_cast<std::int64_t>(later) - earlier) / 86400);
  return static_cast<long>(DaysOf(laterDate) - DaysOf(earlierDate));
}

}  // namespace lunaret
