#include "core/cycles/dates.h"
#include "core/cycles/statistics.h"

#include <climits>
#include <clocale>
#include <cstdlib>
#include <tuple>

#include "../test_support.h"

namespace lunaret {
namespace {

using test::ScopedEnv;

constexpr TimeValue kDay = 86400;
constexpr TimeValue kMarch5 = 1078448461;  // Friday 5 March 2004, 01:01:01 UTC

TEST(Dates, CalendarDatesAndTimeValues) {
  const int cases[][4] = {{2004, 3, 5, 5},  {2004, 5, 1, 6}, {2004, 3, 7, 0}, {1970, 1, 1, 4},
                          {2000, 2, 29, 2}, {2100, 3, 1, 1}, {1, 1, 1, 1},    {9999, 12, 31, 5}};
  for (const auto& [year, month, day, weekday] : cases)
    EXPECT_EQ(MakeDate(year, month, day).dayOfWeek, weekday) << year << "-" << month;
  ScopedEnv zone("TZ", "JST-9");
  EXPECT_EQ(MakeTimeValue(MakeDate(2004, 3, 5), 10, 1, 1), kMarch5);
  EXPECT_EQ(MakeTimeValue(MakeDate(1899, 12, 31), 12, 0, 0), 0);  // before 1900: 0
  EXPECT_EQ(MakeTimeValue(MakeDate(3000, 1, 1), 0, 0, 0), -1);    // beyond 32 bits
}

// A first day N calendar days before today is cycle day N + 1, also when summer time starts
// or ends in between (local midnights are then 23 or 25 hours apart).
TEST(Dates, CycleStatusAndForecastCountCalendarDays) {
  ScopedEnv zone("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
  const CalendarDate march1 = MakeDate(2004, 3, 1);
  const std::tuple<CalendarDate, long, CalendarDate, std::string> cases[] = {
      {march1, 28, march1, "Today is day 1, menses after 28 day(s)"},
      {march1, 28, MakeDate(2004, 3, 29), "Menses must be today:)"},
      {march1, 28, MakeDate(2004, 4, 2), "Today is day 33"},
      {MakeDate(2004, 3, 5), 28, march1, "Menses after 4 day(s)"},
      {MakeDate(2024, 3, 30), 28, MakeDate(2024, 4, 2), "Today is day 4, menses after 25 day(s)"},
      {MakeDate(2024, 10, 26), 2, MakeDate(2024, 10, 28), "Menses must be today:)"},
      {march1, 0, MakeDate(2004, 3, 2), "Today is day 2"},  // an empty duration box
      {march1, LONG_MAX, march1,
       "Today is day 1, menses after " + std::to_string(LONG_MAX) + " day(s)"},
  };
  for (const auto& [first, length, today, text] : cases)
    EXPECT_EQ(CycleStatus(first, length, today), text) << FormatDate(first) << " + " << length;
  // The forecast crosses February and stays in the calendar.
  const std::tuple<CalendarDate, long, CalendarDate> forecasts[] = {
      {MakeDate(2004, 1, 31), 29, MakeDate(2004, 2, 29)},
      {MakeDate(2100, 1, 31), 29, MakeDate(2100, 3, 1)},
      {MakeDate(2004, 12, 20), 28, MakeDate(2005, 1, 17)},
      {march1, -1, MakeDate(2004, 2, 29)},
      {march1, LONG_MAX, MakeDate(9999, 12, 31)},
      {march1, LONG_MIN, MakeDate(1, 1, 1)}};
  for (const auto& [first, length, next] : forecasts)
    EXPECT_EQ(ForecastNextStart(first, length), next) << FormatDate(first) << " + " << length;
}

// A statistics row's texts: local dates and days between them, wordings by how it came about.
TEST(Dates, StatisticsRowTextsCountLocalDays) {
  EXPECT_EQ(FormatDate(CalendarDate{2004, 13, 7, 5}), "5 . 2004, ");  // out of range: no names
  EXPECT_EQ(FormatDate(MakeDate(2023, 12, 31)), "31 Dec. 2023, Sunday");
#ifndef _WIN32
  // Names from the user's locale.
  ASSERT_NE(std::setlocale(LC_ALL, test::kRealLocale), nullptr) << test::kRealLocale;
  EXPECT_EQ(FormatDate(MakeDate(2004, 3, 5)), "5 M\xC3\xA4r. 2004, Freitag");
  std::setlocale(LC_ALL, "C");
#endif
  ScopedEnv zone("TZ", "HST10");  // 01:01:01 UTC is the evening before in Hawaii
  const StatisticsRecord a{kMarch5, 0}, b{kMarch5 + 28 * kDay, 0}, c{kMarch5 + 58 * kDay, 0};
  EXPECT_EQ(MensesText(a), "4 Mar. 2004, Thursday");
  EXPECT_EQ(DurationDays(&a, &b), 28);
  EXPECT_EQ(DurationDays(&c, &b), -30);
  EXPECT_EQ(DurationDays(nullptr, &a) + DurationDays(&a, nullptr), -2);
  EXPECT_EQ(IdText(9), "10.");
  const StatisticsRecord record{kMarch5, kMarch5 + 14 * kDay};
  EXPECT_EQ(OvulationTextLoaded(record), "18 Mar. 2004, Thursday (14 days)");
  EXPECT_EQ(OvulationTextPicked(record), "18 Mar. 2004, Thursday (day 14)");
  EXPECT_EQ(OvulationTextLoaded({kMarch5, kMarch5 - 3 * kDay}), "1 Mar. 2004, Monday (-3 days)");
  EXPECT_EQ(OvulationTextLoaded(a) + OvulationTextPicked(a) + FormatDateOfTime(-1), "");
  // "Duration": any sign as loaded, only a positive one after a change.
  EXPECT_EQ(DurationTextLoaded(0) + "," + DurationTextLoaded(-2), "0 days,-2 days");
  EXPECT_EQ(DurationTextRecomputed(28) + DurationTextRecomputed(0) + DurationTextRecomputed(-2),
            "28 days");
  // Without a local date (before 1970): (later - earlier) / 86400, truncated toward zero.
  EXPECT_EQ(DayDifference(-1, -172801), 2);
  EXPECT_EQ(DayDifference(INT32_MAX, INT32_MIN), 49710);
#ifndef _WIN32  // the C library of Windows reads no rules of summer time
  // Picked dates lie at 01:01:01 local time: across the start of summer time a span is an
  // hour short of whole days, and still counts them.
  ScopedEnv summer("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
  const StatisticsRecord cycle{MakeTimeValue(MakeDate(2024, 3, 20), 1, 1, 1),
                               MakeTimeValue(MakeDate(2024, 4, 17), 1, 1, 1)};
  ASSERT_EQ(cycle.ovulationDate - cycle.mensesDate, 28 * kDay - 3600);
  EXPECT_EQ(OvulationTextPicked(cycle), "17 Apr. 2024, Wednesday (day 28)");
#endif
}

// Days are counted alike on both sides of 9999 and of 32767, where std::chrono::year ends: by
// hand, 1 Jan 2000 and 400 years on are Saturdays, 400 years are 146097 days, 10100 is no leap
// year, 0 and 10000 are, and 1 Jan 32768 lies 134409 days (19201 weeks and 2 days) after 1 Jan
// 32400.
TEST(Dates, YearsOutsideOneTo9999CountAsTheCivilCalendar) {
  const std::tuple<CalendarDate, CalendarDate, long> spans[] = {
      {CalendarDate{9998, 12, 0, 31}, CalendarDate{9999, 1, 0, 1}, 1},
      {CalendarDate{9999, 12, 0, 31}, CalendarDate{10000, 1, 0, 1}, 1},
      {CalendarDate{9999, 12, 0, 1}, CalendarDate{10000, 0, 0, 1}, 0},  // month 0: December
      {CalendarDate{10000, 1, 0, 1}, CalendarDate{9999, 13, 0, 1}, 0},
      {CalendarDate{0, 1, 0, 1}, CalendarDate{1, 1, 0, 1}, 366},
      {CalendarDate{10000, 2, 0, 28}, CalendarDate{10000, 3, 0, 1}, 2},
      {CalendarDate{10100, 2, 0, 28}, CalendarDate{10100, 3, 0, 1}, 1},
      {CalendarDate{32767, 1, 0, 1}, CalendarDate{32768, 1, 0, 1}, 365},
      {CalendarDate{32768, 1, 0, 1}, CalendarDate{32769, 1, 0, 1}, 366},
      {CalendarDate{32400, 1, 0, 1}, CalendarDate{32768, 1, 0, 1}, 134409},
      {CalendarDate{10000, 1, 0, 1}, CalendarDate{10400, 1, 0, 1}, 146097},
      {CalendarDate{65000, 3, 0, 1}, CalendarDate{65400, 3, 0, 1}, 146097}};
  for (const auto& [from, to, days] : spans)
    EXPECT_EQ(DaysSince(from, to), days) << from.year << " to " << to.year;
  const std::tuple<int, int> weekdays[] = {
      {2000, 6}, {10000, 6}, {32400, 6}, {32768, 1}, {65200, 6}};
  for (const auto& [year, weekday] : weekdays)
    EXPECT_EQ(MakeDate(year, 1, 1).dayOfWeek, weekday) << year;
  // Months before January carry into the years before, as with mktime.
  EXPECT_EQ(MakeDate(10000, -1, 1).dayOfWeek, MakeDate(9999, 11, 1).dayOfWeek);
  EXPECT_EQ(MakeDate(2000, -13, 1).dayOfWeek, MakeDate(1998, 11, 1).dayOfWeek);
}

// A date in a file: exactly YYYY-MM-DD, a real day, and stored from 1 Feb 1970 to 31 Dec 2037;
// the same whatever the locale.
TEST(Dates, DateTextsAreReadWithinTheStoredDays) {
  using K = DateTextKind;
  const std::tuple<const char*, K> cases[] = {
      {"1970-02-01", K::kStoredDay},  {"1970-01-31", K::kOutOfRange}, {"2037-12-31", K::kStoredDay},
      {"2038-01-01", K::kOutOfRange}, {"0000-01-01", K::kOutOfRange}, {"2024-02-29", K::kStoredDay},
      {"2023-02-29", K::kNotADate},   {"2021-13-01", K::kNotADate},   {"2021-06-00", K::kNotADate},
      {"2021-6-01", K::kNotADate},    {"2021-06-011", K::kNotADate},  {"2021-06-0:", K::kNotADate},
      {"2021/06/01", K::kNotADate},   {" 2021-06-01", K::kNotADate},  {"", K::kNotADate}};
  for (const char* locale : {"C", test::kRealLocale}) {
    ASSERT_NE(std::setlocale(LC_ALL, locale), nullptr) << locale;
    for (const auto& [text, kind] : cases) {
      CalendarDate date = MakeDate(2000, 1, 1);
      EXPECT_EQ(ReadDateText(text, &date), kind) << text << " " << locale;
      const int year = std::atoi(text);
      EXPECT_EQ(date, kind == K::kStoredDay
                          ? MakeDate(year, std::atoi(text + 5), std::atoi(text + 8))
                          : MakeDate(2000, 1, 1))
          << text;
    }
  }
  std::setlocale(LC_ALL, "C");
}

// Today is the local date: 14 hours ahead of UTC or 12 behind, one of the two has another date
// than UTC at almost any moment. Three-letter zone names: the only ones Windows reads.
TEST(Dates, TodayIsTheLocalDate) {
  for (const auto& [name, hours] : {std::pair{"LIT-14", 14}, std::pair{"BIT+12", -12}}) {
    ScopedEnv zone("TZ", name);
    std::time_t now = 0;
    CalendarDate today;
    do {
      now = std::time(nullptr);
      today = TodayLocal();
    } while (std::time(nullptr) != now);  // the date may change with the second
    now += hours * 3600;
    const std::tm utc = *std::gmtime(&now);
    EXPECT_EQ(today, MakeDate(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday)) << name;
  }
}

}  // namespace
}  // namespace lunaret
