#ifndef LUNARET_CORE_CYCLES_REMINDERS_H
#define LUNARET_CORE_CYCLES_REMINDERS_H

#include <vector>

#include "core/base/reminder_settings.h"
#include "core/base/statistics_record.h"
#include "core/cycles/forecast_source.h"

namespace lunaret {

// The period a user's reminders are about: the first one after her first day, from the same
// forecast as the calendar (her history where it applies, else the first day and the forecast
// duration), with its fertile window when the history gives one. Once that day has passed
// without a new first day, there is nothing to remind her of: a later period is not foreseen
// from a forecast that already failed.
struct ReminderForecast {
  bool available = false;  // false for a forecast duration below 1
  ExpectedPeriod period;
  bool fertileKnown = false;
  FertileWindow fertile;
};
ReminderForecast ForecastForReminders(const std::vector<StatisticsRecord>& history,
                                      const CalendarDate& firstDay, long duration);

// What is due today. Each reminder is due once per day it is sent for (RemindersSent):
// - before the period: from daysBefore days before its first day up to the day before;
// - on the day: on its first day;
// - the fertile window: from its first day up to its last;
// - the log: once a day, from logMinute on.
// So a run missed on the day itself (the computer was off) still reminds on a later one while
// the reminder means something, and a reminder is never repeated.
struct DueReminders {
  bool beforePeriod = false;
  bool onTheDay = false;
  bool fertileWindow = false;
  bool logDay = false;
  ReminderForecast forecast;
  long daysUntilPeriod = 0;  // from today to the period's first day
  bool Any() const { return beforePeriod || onTheDay || fertileWindow || logDay; }
};
DueReminders RemindersDue(const ReminderSettings& settings, const RemindersSent& sent,
                          const ReminderForecast& forecast, const CalendarDate& today,
                          int minuteOfDay);
// sent with the reminders of due marked as sent.
RemindersSent MarkSent(RemindersSent sent, const DueReminders& due, const CalendarDate& today);

}  // namespace lunaret

#endif  // LUNARET_CORE_CYCLES_REMINDERS_H
