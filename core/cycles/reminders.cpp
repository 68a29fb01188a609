#include "core/cycles/reminders.h"

#include "core/base/day_number.h"
#include "core/cycles/dates.h"

namespace lunaret {
namespace {

DayNumber DayOf(const CalendarDate& date) {
  return DayNumberOf(date.year, date.month, date.day);
}

}  // namespace

ReminderForecast ForecastForReminders(const std::vector<StatisticsRecord>& history,
                                      const CalendarDate& firstDay, long duration) {
  ReminderForecast forecast;
  // Seen from the first day itself, the first period the forecast gives is the next one.
  const ForecastSchedule schedule = NextForecast(history, firstDay, duration, firstDay);
  if (schedule.periods.empty())
    return forecast;
  forecast.available = true;
  forecast.period = schedule.periods.front();
  if (!schedule.fertileWindows.empty()) {
    forecast.fertileKnown = true;
    forecast.fertile = schedule.fertileWindows.front();
  }
  return forecast;
}

DueReminders RemindersDue(const ReminderSettings& settings, const RemindersSent& sent,
                          const ReminderForecast& forecast, const CalendarDate& today,
                          int minuteOfDay) {
  DueReminders due;
  due.forecast = forecast;
  const DayNumber day = DayOf(today);
  if (forecast.available) {
    const DayNumber start = DayOf(forecast.period.start);
    due.daysUntilPeriod = start - day;
    due.beforePeriod = settings.beforePeriod && sent.beforePeriod != start &&
                       due.daysUntilPeriod >= 1 && due.daysUntilPeriod <= settings.daysBefore;
    due.onTheDay = settings.onTheDay && sent.onTheDay != start && day == start;
    if (forecast.fertileKnown) {
      const DayNumber first = DayOf(forecast.fertile.first);
      due.fertileWindow = settings.fertileWindow && sent.fertileWindow != first && day >= first &&
                          day <= DayOf(forecast.fertile.last);
    }
  }
  due.logDay = settings.logDay && sent.logDay != day && minuteOfDay >= settings.logMinute;
  return due;
}

RemindersSent MarkSent(RemindersSent sent, const DueReminders& due, const CalendarDate& today) {
  if (due.beforePeriod)
    sent.beforePeriod = DayOf(due.forecast.period.start);
  if (due.onTheDay)
    sent.onTheDay = DayOf(due.forecast.period.start);
  if (due.fertileWindow)
    sent.fertileWindow = DayOf(due.forecast.fertile.first);
  if (due.logDay)
    sent.logDay = DayOf(today);
  return sent;
}

}  // namespace lunaret
