#include "core/dates.h"

#include <gtest/gtest.h>

#include <climits>
#include <ctime>
#include <string>
#include <tuple>

#include "test_support.h"

namespace lunaret {
namespace {

using test::ScopedTimeZone;

constexpr const char* kCentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";
constexpr TimeValue kMarch5 = 1078448461;  // Friday 5 March 2004, 01:01:01 UTC

// Central Europe with its summer time where the C library reads such rules, UTC elsewhere.
const char* ZoneWithSummerTime() {
  return ScopedTimeZone::kRulesSupported ? kCentralEurope : "UTC0";
}

TEST(MakeDate, FillsInTheDayOfWeek) {
  const int cases[][4] = {{2004, 3, 5, 5},  {2004, 5, 1, 6}, {2004, 3, 7, 0}, {1970, 1, 1, 4},
                          {2000, 2, 29, 2}, {1900, 1, 1, 1}, {1, 1, 1, 1},    {9999, 12, 31, 5}};
  for (const auto& [year, month, day, weekday] : cases)
    EXPECT_EQ(MakeDate(year, month, day).dayOfWeek, weekday) << year << "-" << month;
  EXPECT_EQ(MakeDate(2024, 12, 31), (CalendarDate{2024, 12, 2, 31, 0, 0, 0, 0}));
}

TEST(MakeTimeValue, ReadsTheDateAsLocalTimeAndLocalDateOfGoesBack) {
  {
    ScopedTimeZone zone("UTC0");
    EXPECT_EQ(MakeTimeValue(MakeDate(2004, 3, 5), 1, 1, 1), kMarch5);
    EXPECT_EQ(MakeTimeValue(MakeDate(1970, 1, 1), 0, 0, 0), 0);
    EXPECT_EQ(MakeTimeValue(MakeDate(1899, 12, 31), 12, 0, 0), 0);  // before 1900: 0
    EXPECT_EQ(MakeTimeValue(MakeDate(3000, 1, 1), 0, 0, 0), -1);    // beyond 32 bits
  }
  ScopedTimeZone zone("JST-9");
  EXPECT_EQ(MakeTimeValue(MakeDate(2004, 3, 5), 10, 1, 1), kMarch5);
  CalendarDate date;
  ASSERT_TRUE(LocalDateOf(kMarch5, &date));
  EXPECT_EQ(date, (CalendarDate{2004, 3, 5, 5, 10, 1, 1, 0}));
  EXPECT_FALSE(LocalDateOf(-1, &date));  // no local date before 1970
}

// A first day N calendar days before today is cycle day N + 1, also when summer time starts
// or ends in between (local midnights are then 23 or 25 hours apart).
TEST(CycleStatus, FollowsTheTableOfExamples) {
  ScopedTimeZone zone(ZoneWithSummerTime());
  const CalendarDate march1 = MakeDate(2004, 3, 1);
  const std::tuple<CalendarDate, long, CalendarDate, std::string> cases[] = {
      {march1, 28, march1, "Today is day 1, menses after 28 day(s)"},
      {march1, 28, MakeDate(2004, 3, 10), "Today is day 10, menses after 19 day(s)"},
      {march1, 28, MakeDate(2004, 3, 29), "Menses must be today:)"},
      {march1, 28, MakeDate(2004, 3, 30), "Today is day 30"},
      {march1, 28, MakeDate(2004, 4, 2), "Today is day 33"},
      {MakeDate(2004, 3, 5), 28, march1, "Menses after 4 day(s)"},
      {MakeDate(2024, 3, 30), 28, MakeDate(2024, 4, 2), "Today is day 4, menses after 25 day(s)"},
      {MakeDate(2024, 4, 1), 28, MakeDate(2024, 3, 31), "Menses after 1 day(s)"},
      {MakeDate(2024, 10, 26), 28, MakeDate(2024, 10, 28),
       "Today is day 3, menses after 26 day(s)"},
      {MakeDate(2003, 12, 31), 400, MakeDate(2005, 1, 1),
       "Today is day 368, menses after 33 day(s)"},
      // Empty, negative and extreme lengths.
      {march1, 0, march1, "Menses must be today:)"},
      {march1, 0, MakeDate(2004, 3, 2), "Today is day 2"},
      {march1, -5, march1, "Today is day 1"},
      {march1, LONG_MAX, MakeDate(2004, 3, 2),
       "Today is day 2, menses after " + std::to_string(LONG_MAX - 1) + " day(s)"},
      {march1, LONG_MIN, MakeDate(2004, 3, 2), "Today is day 2"},
  };
  for (const auto& [first, length, today, text] : cases)
    EXPECT_EQ(CycleStatus(first, length, today), text) << FormatDate(first) << " + " << length;
}

TEST(ForecastNextStart, CrossesFebruaryOfLeapAndCommonYearsAndStaysInTheCalendar) {
  const CalendarDate march1 = MakeDate(2004, 3, 1);
  const std::tuple<CalendarDate, long, CalendarDate> cases[] = {
      {MakeDate(2004, 1, 31), 29, MakeDate(2004, 2, 29)},
      {MakeDate(2003, 1, 31), 29, MakeDate(2003, 3, 1)},
      {MakeDate(2000, 1, 31), 29, MakeDate(2000, 2, 29)},
      {MakeDate(2100, 1, 31), 29, MakeDate(2100, 3, 1)},
      {MakeDate(2004, 2, 10), 28, MakeDate(2004, 3, 9)},
      {MakeDate(2004, 12, 20), 28, MakeDate(2005, 1, 17)},
      {march1, 0, march1},
      {march1, -1, MakeDate(2004, 2, 29)},
      {march1, LONG_MAX, MakeDate(9999, 12, 31)},
      {march1, LONG_MIN, MakeDate(1, 1, 1)},
      {march1, 366L * 10000, MakeDate(9999, 12, 31)},
  };
  for (const auto& [first, length, next] : cases)
    EXPECT_EQ(ForecastNextStart(first, length), next) << FormatDate(first) << " + " << length;
}

// The forecast of calendar days agrees with the local date of 01:01:01 on the first day plus
// length * 86400 seconds, for every first day of a year with both changes of summer time.
TEST(ForecastNextStart, AgreesWithTheForecastInSecondsAcrossSummerTime) {
  if (!ScopedTimeZone::kRulesSupported)
    GTEST_SKIP() << "no POSIX time zone rules here";
  ScopedTimeZone zone(kCentralEurope);
  for (int day = 0; day < 366; ++day) {
    const CalendarDate first = ForecastNextStart(MakeDate(2024, 1, 1), day);
    for (long length : {1L, 28L, 35L}) {
      CalendarDate bySeconds;
      ASSERT_TRUE(LocalDateOf(MakeTimeValue(first, 1, 1, 1) + length * 86400, &bySeconds));
      ASSERT_EQ(ForecastNextStart(first, length),
                MakeDate(bySeconds.year, bySeconds.month, bySeconds.day))
          << FormatDate(first) << " + " << length;
    }
  }
}

TEST(FormatDate, UsesTheLocaleNamesWithAFullStopAfterTheMonth) {
  EXPECT_EQ(FormatDate(MakeDate(2004, 3, 5)), "5 Mar. 2004, Friday");
  EXPECT_EQ(FormatDate(MakeDate(2004, 5, 1)), "1 May. 2004, Saturday");
  EXPECT_EQ(FormatDate(MakeDate(2023, 12, 31)), "31 Dec. 2023, Sunday");
  EXPECT_EQ(FormatDate(MakeDate(2024, 1, 1)), "1 Jan. 2024, Monday");
  CalendarDate outOfRange = MakeDate(2004, 3, 5);
  outOfRange.month = 13;
  outOfRange.dayOfWeek = 7;
  EXPECT_EQ(FormatDate(outOfRange), "5 . 2004, ");

  ScopedTimeZone zone("HST10");  // 01:01:01 UTC is the evening before in Hawaii
  EXPECT_EQ(FormatDateOfTime(kMarch5), "4 Mar. 2004, Thursday");
  EXPECT_EQ(FormatDateOfTime(-1), "");
}

TEST(DayDifference, CountsLocalCalendarDaysOrPlainSecondsWithoutALocalDate) {
  ScopedTimeZone zone("UTC0");
  const TimeValue midnight = kMarch5 - 3661;
  EXPECT_EQ(DayDifference(kMarch5 + 14 * 86400, kMarch5), 14);
  EXPECT_EQ(DayDifference(kMarch5, kMarch5 + 14 * 86400), -14);
  EXPECT_EQ(DayDifference(midnight + 86399, midnight), 0);  // the same day
  EXPECT_EQ(DayDifference(midnight - 1, midnight), -1);     // a second before
  // A time before 1970 has no local date: (later - earlier) / 86400, truncated toward zero.
  EXPECT_EQ(DayDifference(0, -100000), 1);
  EXPECT_EQ(DayDifference(-100000, 0), -1);
  EXPECT_EQ(DayDifference(-1, -172801), 2);
  EXPECT_EQ(DayDifference(INT32_MAX, INT32_MIN), 49710);
}

// Today is the local date: in a zone 14 hours ahead of UTC or 12 behind, at almost any moment
// one of the two has a different date than UTC. The zone names have three letters, the only
// length the Windows C library reads.
TEST(TodayLocal, IsTheLocalDateNotTheUtcDate) {
  for (const auto& [zoneName, offsetHours] : {std::pair{"LIT-14", 14}, std::pair{"BIT+12", -12}}) {
    ScopedTimeZone zone(zoneName);
    for (int attempt = 0; attempt < 3; ++attempt) {
      const std::time_t before = std::time(nullptr);
      const CalendarDate today = TodayLocal();
      if (std::time(nullptr) != before)
        continue;  // a second passed: the date may have changed too
      std::tm utc{};
      const std::time_t shifted = before + offsetHours * 3600;
#ifdef _WIN32
      gmtime_s(&utc, &shifted);
#else
      gmtime_r(&shifted, &utc);
#endif
      EXPECT_EQ(today, MakeDate(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday)) << zoneName;
      break;
    }
  }
}

}  // namespace
}  // namespace lunaret
