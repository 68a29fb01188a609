#include "core/cycles/dates.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <limits>
#include <tuple>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <langinfo.h>
#endif

#include "core/base/day_number.h"
#include "core/base/stored_dates.h"

namespace lunaret {
namespace {

namespace chrono = std::chrono;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0);
}

// Days from 1970-01-01 to the first of the month, for a year std::chrono::year cannot hold
// (it ends at 32767): the civil-days algorithm in 64-bit arithmetic.
std::int64_t DaysToMonth(std::int64_t year, std::int64_t month) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = FloorDiv(year, 400);
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5;
  return era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - 719468;
}

// The day of the proleptic Gregorian calendar. Months and days outside their range carry over
// into the next unit, as with mktime.
chrono::sys_days DayOf(int year, int month, int day) {
  const std::int64_t carry = FloorDiv(std::int64_t{month} - 1, 12);
  const std::int64_t fullYear = year + carry;
  const auto monthOfYear = static_cast<unsigned>(month - 12 * carry);  // 1..12
  const chrono::days rest{std::int64_t{day} - 1};
  if (fullYear < 1 || fullYear > 9999)
    return chrono::sys_days{chrono::days{DaysToMonth(fullYear, monthOfYear)}} + rest;
  return chrono::sys_days{chrono::year{static_cast<int>(fullYear)} / chrono::month{monthOfYear} /
                          1} +
         rest;
}

chrono::sys_days DayOf(const CalendarDate& date) {
  return DayOf(date.year, date.month, date.day);
}

// 0 = Sunday.
int WeekdayOf(chrono::sys_days day) {
  return static_cast<int>(chrono::weekday{day}.c_encoding());
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
constexpr chrono::sys_days kFirstDay = chrono::year{1} / chrono::January / 1;
constexpr chrono::sys_days kLastDay = chrono::year{9999} / chrono::December / 31;

}  // namespace

CalendarDate MakeDate(int year, int month, int day) {
  CalendarDate date;
  date.year = static_cast<std::uint16_t>(year);
  date.month = static_cast<std::uint16_t>(month);
  date.day = static_cast<std::uint16_t>(day);
  date.dayOfWeek = static_cast<std::uint16_t>(WeekdayOf(DayOf(year, month, day)));
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
  return static_cast<long>((DayOf(today) - DayOf(first)).count());
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
  // Lengths beyond the calendar's range end at its first or last day.
  const std::int64_t span = (kLastDay - kFirstDay).count();
  const std::int64_t step = std::clamp<std::int64_t>(length, -span, span);
  const chrono::year_month_day target{
      std::clamp(DayOf(first) + chrono::days{step}, kFirstDay, kLastDay)};
  return MakeDate(static_cast<int>(target.year()), static_cast<int>(unsigned{target.month()}),
                  static_cast<int>(unsigned{target.day()}));
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

DateTextKind ReadDateText(std::string_view text, CalendarDate* date) {
  StoredDay day{};
  if (!ReadDayText(text, &day))
    return DateTextKind::kNotADate;
  const CalendarDate read = MakeDate(day.year, day.month, day.day);
  if (!IsStoredDay(read))
    return DateTextKind::kOutOfRange;
  if (date != nullptr)
    *date = read;
  return DateTextKind::kStoredDay;
}

bool IsStoredDay(const CalendarDate& date) {
  const auto key = [](int year, int month, int day) { return std::tuple(year, month, day); };
  const auto day = key(date.year, date.month, date.day);
  return day >= key(kFirstStoredDay.year, kFirstStoredDay.month, kFirstStoredDay.day) &&
         day <= key(kLastStoredDay.year, kLastStoredDay.month, kLastStoredDay.day);
}

long DayDifference(TimeValue later, TimeValue earlier) {
  CalendarDate laterDate;
  CalendarDate earlierDate;
  if (!LocalDateOf(later, &laterDate) || !LocalDateOf(earlier, &earlierDate))
    return static_cast<long>((static_cast<std::int64_t>(later) - earlier) / 86400);
  return static_cast<long>((DayOf(laterDate) - DayOf(earlierDate)).count());
}

}  // namespace lunaret
