#include "core/dates.h"

#include <gtest/gtest.h>

#include <climits>
#include <ctime>

#include "test_support.h"

namespace lunaret {
namespace {

using test::ScopedTimeZone;

constexpr const char* kCentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";

CalendarDate DateOnly(const CalendarDate& date) {
  return MakeDate(date.year, date.month, date.day);
}

// The local date of 01:01:01 on first plus length * 86400 seconds: how the forecast was
// computed from time values, which the calendar arithmetic must agree with.
CalendarDate ForecastBySeconds(const CalendarDate& first, long length) {
  CalendarDate date;
  EXPECT_TRUE(
      LocalDateOf(MakeTimeValue(first, 1, 1, 1) + static_cast<TimeValue>(length * 86400), &date));
  return DateOnly(date);
}

TEST(MakeDate, FillsInTheDayOfWeek) {
  EXPECT_EQ(MakeDate(2004, 3, 5).dayOfWeek, 5);  // Friday
  EXPECT_EQ(MakeDate(2004, 5, 1).dayOfWeek, 6);  // Saturday
  EXPECT_EQ(MakeDate(2004, 3, 7).dayOfWeek, 0);  // Sunday
  EXPECT_EQ(MakeDate(1970, 1, 1).dayOfWeek, 4);
  EXPECT_EQ(MakeDate(2000, 2, 29).dayOfWeek, 2);
  EXPECT_EQ(MakeDate(1900, 1, 1).dayOfWeek, 1);
  EXPECT_EQ(MakeDate(1, 1, 1).dayOfWeek, 1);
  EXPECT_EQ(MakeDate(9999, 12, 31).dayOfWeek, 5);
  const CalendarDate date = MakeDate(2024, 12, 31);
  EXPECT_EQ(date.year, 2024);
  EXPECT_EQ(date.month, 12);
  EXPECT_EQ(date.day, 31);
  EXPECT_EQ(date.hour + date.minute + date.second + date.milliseconds, 0);
}

TEST(MakeTimeValue, ReadsTheDateAsLocalTime) {
  {
    ScopedTimeZone zone("UTC0");
    EXPECT_EQ(MakeTimeValue(MakeDate(2004, 3, 5), 1, 1, 1), 1078448461);
    EXPECT_EQ(MakeTimeValue(MakeDate(1970, 1, 1), 0, 0, 0), 0);
    EXPECT_EQ(MakeTimeValue(MakeDate(1899, 12, 31), 12, 0, 0), 0);  // before 1900: 0
    EXPECT_EQ(MakeTimeValue(MakeDate(3000, 1, 1), 0, 0, 0), -1);    // beyond 32 bits
  }
  {
    ScopedTimeZone zone("CET-1");
    EXPECT_EQ(MakeTimeValue(MakeDate(2004, 3, 5), 1, 1, 1), 1078448461 - 3600);
  }
}

TEST(LocalDateOf, GivesTheLocalDateAndNoneForNegativeTimes) {
  ScopedTimeZone zone("JST-9");
  CalendarDate date;
  ASSERT_TRUE(LocalDateOf(1078448461, &date));  // 01:01:01 UTC is 10:01:01 in Japan
  EXPECT_EQ(date.year, 2004);
  EXPECT_EQ(date.month, 3);
  EXPECT_EQ(date.day, 5);
  EXPECT_EQ(date.dayOfWeek, 5);
  EXPECT_EQ(date.hour, 10);
  EXPECT_EQ(date.minute, 1);
  EXPECT_EQ(date.second, 1);
  EXPECT_FALSE(LocalDateOf(-1, &date));
}

TEST(DaysSince, CountsCalendarDays) {
  ScopedTimeZone zone("UTC0");
  EXPECT_EQ(DaysSince(MakeDate(2004, 3, 1), MakeDate(2004, 3, 1)), 0);
  EXPECT_EQ(DaysSince(MakeDate(2004, 3, 1), MakeDate(2004, 4, 2)), 32);
  EXPECT_EQ(DaysSince(MakeDate(2004, 3, 5), MakeDate(2004, 3, 1)), -4);
  EXPECT_EQ(DaysSince(MakeDate(2003, 12, 31), MakeDate(2004, 1, 1)), 1);
  EXPECT_EQ(DaysSince(MakeDate(2000, 1, 1), MakeDate(2001, 1, 1)), 366);
  EXPECT_EQ(DaysSince(MakeDate(1850, 1, 1), MakeDate(1850, 1, 2)), 1);  // before 1900 too
}

// A first day N calendar days before today is cycle day N + 1, also when summer time starts
// or ends in between (local midnights are then 23 or 25 hours apart).
TEST(DaysSince, IsNotShiftedBySummerTime) {
  if (!ScopedTimeZone::rulesSupported())
    GTEST_SKIP() << "no POSIX time zone rules here";
  ScopedTimeZone zone(kCentralEurope);
  EXPECT_EQ(DaysSince(MakeDate(2024, 3, 30), MakeDate(2024, 4, 2)), 3);
  EXPECT_EQ(DaysSince(MakeDate(2024, 3, 31), MakeDate(2024, 4, 1)), 1);
  EXPECT_EQ(DaysSince(MakeDate(2024, 4, 1), MakeDate(2024, 3, 31)), -1);
  EXPECT_EQ(DaysSince(MakeDate(2024, 10, 26), MakeDate(2024, 10, 28)), 2);
  EXPECT_EQ(DaysSince(MakeDate(2024, 10, 28), MakeDate(2024, 10, 27)), -1);
  EXPECT_EQ(CycleStatus(MakeDate(2024, 3, 30), 28, MakeDate(2024, 4, 2)),
            "Today is day 4, menses after 25 day(s)");
  EXPECT_EQ(CycleStatus(MakeDate(2024, 4, 1), 28, MakeDate(2024, 3, 31)), "Menses after 1 day(s)");
}

TEST(CycleStatus, FollowsTheTableOfExamples) {
  ScopedTimeZone zone("UTC0");
  const CalendarDate march1 = MakeDate(2004, 3, 1);
  EXPECT_EQ(CycleStatus(march1, 28, march1), "Today is day 1, menses after 28 day(s)");
  EXPECT_EQ(CycleStatus(march1, 28, MakeDate(2004, 3, 10)),
            "Today is day 10, menses after 19 day(s)");
  EXPECT_EQ(CycleStatus(march1, 28, MakeDate(2004, 3, 29)), "Menses must be today:)");
  EXPECT_EQ(CycleStatus(march1, 28, MakeDate(2004, 4, 2)), "Today is day 33");
  EXPECT_EQ(CycleStatus(MakeDate(2004, 3, 5), 28, march1), "Menses after 4 day(s)");
  EXPECT_EQ(CycleStatus(march1, 28, MakeDate(2004, 3, 30)), "Today is day 30");
}

TEST(CycleStatus, HandlesEmptyAndExtremeLengths) {
  const CalendarDate first = MakeDate(2004, 3, 1);
  EXPECT_EQ(CycleStatus(first, 0, first), "Menses must be today:)");
  EXPECT_EQ(CycleStatus(first, 0, MakeDate(2004, 3, 2)), "Today is day 2");
  EXPECT_EQ(CycleStatus(first, -5, first), "Today is day 1");
  EXPECT_EQ(CycleStatus(first, LONG_MAX, MakeDate(2004, 3, 2)),
            "Today is day 2, menses after " + std::to_string(LONG_MAX - 1) + " day(s)");
  EXPECT_EQ(CycleStatus(first, LONG_MIN, MakeDate(2004, 3, 2)), "Today is day 2");
}

TEST(ForecastNextStart, CrossesFebruaryOfLeapAndCommonYears) {
  EXPECT_EQ(ForecastNextStart(MakeDate(2004, 1, 31), 29), MakeDate(2004, 2, 29));
  EXPECT_EQ(ForecastNextStart(MakeDate(2003, 1, 31), 29), MakeDate(2003, 3, 1));
  EXPECT_EQ(ForecastNextStart(MakeDate(2000, 1, 31), 29), MakeDate(2000, 2, 29));
  EXPECT_EQ(ForecastNextStart(MakeDate(2100, 1, 31), 29), MakeDate(2100, 3, 1));
  EXPECT_EQ(ForecastNextStart(MakeDate(2004, 2, 10), 28), MakeDate(2004, 3, 9));
  EXPECT_EQ(ForecastNextStart(MakeDate(2004, 12, 20), 28), MakeDate(2005, 1, 17));
}

TEST(ForecastNextStart, HandlesEmptyNegativeAndAbsurdLengths) {
  const CalendarDate first = MakeDate(2004, 3, 1);
  EXPECT_EQ(ForecastNextStart(first, 0), first);
  EXPECT_EQ(ForecastNextStart(first, -1), MakeDate(2004, 2, 29));
  EXPECT_EQ(ForecastNextStart(first, LONG_MAX), MakeDate(9999, 12, 31));
  EXPECT_EQ(ForecastNextStart(first, LONG_MIN), MakeDate(1, 1, 1));
  EXPECT_EQ(ForecastNextStart(first, 366L * 10000), MakeDate(9999, 12, 31));
}

TEST(ForecastNextStart, AgreesWithTheSecondsForecastAcrossSummerTime) {
  if (!ScopedTimeZone::rulesSupported())
    GTEST_SKIP() << "no POSIX time zone rules here";
  ScopedTimeZone zone(kCentralEurope);
  EXPECT_EQ(ForecastNextStart(MakeDate(2024, 3, 20), 28), MakeDate(2024, 4, 17));
  EXPECT_EQ(ForecastNextStart(MakeDate(2024, 10, 20), 28), MakeDate(2024, 11, 17));
  EXPECT_EQ(ForecastNextStart(MakeDate(2024, 3, 30), 1), MakeDate(2024, 3, 31));
  EXPECT_EQ(ForecastNextStart(MakeDate(2024, 3, 31), 1), MakeDate(2024, 4, 1));
  // Every first day of a year with both changes, for a usual and a long cycle.
  for (int day = 0; day < 366; ++day) {
    const CalendarDate first = ForecastNextStart(MakeDate(2024, 1, 1), day);
    for (long length : {28L, 35L}) {
      ASSERT_EQ(ForecastNextStart(first, length), ForecastBySeconds(first, length))
          << FormatDate(first) << " + " << length;
    }
  }
}

TEST(FormatDate, UsesTheLocaleNamesWithAFullStopAfterTheMonth) {
  EXPECT_EQ(FormatDate(MakeDate(2004, 3, 5)), "5 Mar. 2004, Friday");
  EXPECT_EQ(FormatDate(MakeDate(2004, 5, 1)), "1 May. 2004, Saturday");
  EXPECT_EQ(FormatDate(MakeDate(2004, 3, 7)), "7 Mar. 2004, Sunday");
  EXPECT_EQ(FormatDate(MakeDate(2023, 12, 31)), "31 Dec. 2023, Sunday");
  EXPECT_EQ(FormatDate(MakeDate(2024, 1, 1)), "1 Jan. 2024, Monday");
}

TEST(FormatDate, LeavesNamesOutOfRangeEmpty) {
  CalendarDate date = MakeDate(2004, 3, 5);
  date.month = 13;
  date.dayOfWeek = 7;
  EXPECT_EQ(FormatDate(date), "5 . 2004, ");
}

TEST(FormatDateOfTime, FormatsTheLocalDate) {
  {
    ScopedTimeZone zone("UTC0");
    EXPECT_EQ(FormatDateOfTime(1078448461), "5 Mar. 2004, Friday");
    EXPECT_EQ(FormatDateOfTime(0), "1 Jan. 1970, Thursday");
    EXPECT_EQ(FormatDateOfTime(-1), "");
  }
  {
    ScopedTimeZone zone("HST10");  // 01:01:01 UTC is the evening before in Hawaii
    EXPECT_EQ(FormatDateOfTime(1078448461), "4 Mar. 2004, Thursday");
  }
}

TEST(DayDifference, CountsLocalCalendarDays) {
  ScopedTimeZone zone("UTC0");
  EXPECT_EQ(DayDifference(1079658061, 1078448461), 14);
  EXPECT_EQ(DayDifference(1078448461, 1079658061), -14);
  EXPECT_EQ(DayDifference(1078448461 + 86399 - 3661, 1078448461 - 3661), 0);  // same day
  EXPECT_EQ(DayDifference(1078448461 - 3662, 1078448461 - 3661), -1);         // a second before
}

TEST(DayDifference, IsNotShiftedBySummerTime) {
  if (!ScopedTimeZone::rulesSupported())
    GTEST_SKIP() << "no POSIX time zone rules here";
  ScopedTimeZone zone(kCentralEurope);
  const TimeValue before = MakeTimeValue(MakeDate(2024, 3, 30), 1, 1, 1);
  const TimeValue after = MakeTimeValue(MakeDate(2024, 4, 1), 1, 1, 1);
  ASSERT_EQ(after - before, 2 * 86400 - 3600);  // one hour short of two days
  EXPECT_EQ(DayDifference(after, before), 2);
}

TEST(DayDifference, DividesPlainSecondsWhenATimeHasNoLocalDate) {
  EXPECT_EQ(DayDifference(0, -100000), 1);
  EXPECT_EQ(DayDifference(-100000, 0), -1);  // truncated toward zero
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
      const std::time_t after = std::time(nullptr);
      if (before != after)
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
