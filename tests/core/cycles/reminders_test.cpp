// Which reminder is due on which day, for a history whose dates were worked out by hand: four
// cycles of 28 days up to a first day of Monday 22 April 2024, so the next period is expected on
// 20 May (give or take 1 day), ovulation on 6 May and the fertile window from 1 to 7 May.
#include "core/cycles/reminders.h"

#include <gmock/gmock.h>

#include <tuple>

#include "core/base/day_number.h"
#include "core/cycles/dates.h"

namespace lunaret {
namespace {

CalendarDate May(int day) {
  return MakeDate(2024, 5, day);
}

std::vector<StatisticsRecord> FourCycles() {
  std::vector<StatisticsRecord> records;
  for (const CalendarDate& day :
       {MakeDate(2024, 1, 1), MakeDate(2024, 1, 29), MakeDate(2024, 2, 26), MakeDate(2024, 3, 25)})
    records.push_back({MakeTimeValue(day, 1, 1, 1), 0});
  return records;
}

const CalendarDate kFirstDay = MakeDate(2024, 4, 22);

ReminderSettings AllOn(int daysBefore = 2) {
  return {true, daysBefore, true, true, true, kDefaultLogMinute, false};
}

// What is due, a letter each: Before, on the Day, Fertile window, Log; "-" for nothing.
std::string Due(const DueReminders& due) {
  std::string letters;
  for (const auto& [on, letter] : {std::pair(due.beforePeriod, 'B'),
                                   {due.onTheDay, 'D'},
                                   {due.fertileWindow, 'F'},
                                   {due.logDay, 'L'}})
    letters += on ? std::string(1, letter) : "";
  return letters.empty() ? "-" : letters;
}

TEST(RemindersTest, EachReminderIsDueOnItsDaysAndAtItsTime) {
  const ReminderForecast forecast = ForecastForReminders(FourCycles(), kFirstDay, 30);
  const RemindersSent none;
  const std::tuple<int, CalendarDate, int, std::string> cases[] = {
      {2, May(17), 0, "-"},  // three days before: too early
      {2, May(18), 0, "B"},
      {2, May(19), 1199, "B"},  // a minute before the log's time
      {2, May(19), 1200, "BL"},
      {2, May(20), 1439, "DL"},
      {2, May(21), 0, "-"},  // the forecast has passed
      {7, May(13), 0, "B"},
      {7, May(12), 0, "-"},
      {1, May(19), 0, "B"},
      {1, May(18), 0, "-"},
      {2, MakeDate(2024, 4, 30), 0, "-"},
      {2, May(1), 0, "F"},  // the fertile window begins
      {2, May(7), 0, "F"},  // its last day: a missed start still reminds
      {2, May(8), 0, "-"},
  };
  for (const auto& [daysBefore, today, minute, due] : cases)
    EXPECT_EQ(Due(RemindersDue(AllOn(daysBefore), none, forecast, today, minute)), due)
        << FormatDate(today) << " " << minute << " daysBefore " << daysBefore;
  EXPECT_EQ(RemindersDue(AllOn(), none, forecast, May(18), 0).daysUntilPeriod, 2);
  // Only what is switched on.
  EXPECT_EQ(Due(RemindersDue({false, 2, false, false, true, 0}, none, forecast, May(20), 0)), "L");
  EXPECT_FALSE(RemindersDue(ReminderSettings(), none, forecast, May(20), 1439).Any());
}

TEST(RemindersTest, AReminderIsSentOnceAndAFailedForecastRemindsNothing) {
  const ReminderForecast forecast = ForecastForReminders(FourCycles(), kFirstDay, 30);
  // Sent on the 18th: not again on the 19th, but the next day's log and the day itself are.
  const DueReminders first = RemindersDue(AllOn(), {}, forecast, May(18), 1300);
  ASSERT_EQ(Due(first), "BL");
  const RemindersSent sent = MarkSent({}, first, May(18));
  EXPECT_EQ(std::tuple(sent.beforePeriod, sent.onTheDay, sent.fertileWindow, sent.logDay),
            std::tuple(DayNumberOf(2024, 5, 20), kNeverSent, kNeverSent, DayNumberOf(2024, 5, 18)));
  EXPECT_FALSE(RemindersDue(AllOn(), sent, forecast, May(18), 1439).Any());
  EXPECT_EQ(Due(RemindersDue(AllOn(), sent, forecast, May(19), 1300)), "L");
  EXPECT_EQ(Due(RemindersDue(AllOn(), sent, forecast, May(20), 0)), "D");
  // Sent for an earlier period, the reminder is due for this one.
  RemindersSent earlier;
  earlier.beforePeriod = earlier.onTheDay = DayNumberOf(2024, 4, 22);
  EXPECT_EQ(Due(RemindersDue(AllOn(), earlier, forecast, May(20), 0)), "D");
  const DueReminders window = RemindersDue(AllOn(), {}, forecast, May(3), 0);
  EXPECT_EQ(MarkSent({}, window, May(3)).fertileWindow, DayNumberOf(2024, 5, 1));
  EXPECT_FALSE(RemindersDue(AllOn(), MarkSent({}, window, May(3)), forecast, May(4), 0).Any());

  // No new first day since: the periods the calendar carries on from it remind nothing, as the
  // one without a history does (first day + 28 = 20 May, carried on to 17 June).
  const ReminderForecast fixed = ForecastForReminders({}, kFirstDay, 28);
  ASSERT_EQ(fixed.period.start, May(20));
  for (const CalendarDate& day : {MakeDate(2024, 6, 15), MakeDate(2024, 6, 17)})
    EXPECT_EQ(Due(RemindersDue(AllOn(), {}, fixed, day, 0)), "-");
  // Without a forecast only the log reminds.
  EXPECT_EQ(Due(RemindersDue(AllOn(), {}, ForecastForReminders({}, kFirstDay, 0), May(20), 1439)),
            "L");
}

}  // namespace
}  // namespace lunaret
