#include "core/forecast_source.h"

namespace lunaret {

ForecastSchedule ScheduleFromDuration(const CalendarDate& firstDay, long duration,
                                      const CalendarDate& today) {
  ForecastSchedule schedule;
  if (duration < 1)
    return schedule;
  // The first cycle whose expected start is not yet past.
  const long elapsed = DaysSince(firstDay, today);
  long cycle = elapsed <= 0 ? 1 : (elapsed + duration - 1) / duration;
  if (cycle < 1)
    cycle = 1;
  const std::string description =
      "Forecast from the first day and a cycle of " + std::to_string(duration) + " days.";
  for (int k = 0; k < kForecastPeriods; ++k, ++cycle) {
    ExpectedPeriod period;
    period.start = ForecastNextStart(firstDay, cycle * duration);
    period.description = description;
    // Past the last day the calendars show, every further forecast falls on that day.
    if (!schedule.periods.empty() && period.start == schedule.periods.back().start)
      break;
    schedule.periods.push_back(period);
  }
  return schedule;
}

ForecastSchedule NextForecast(const std::vector<StatisticsRecord>& history,
                              const CalendarDate& firstDay, long duration,
                              const CalendarDate& today) {
  static_cast<void>(history);  // read by the history forecast
  return ScheduleFromDuration(firstDay, duration, today);
}

}  // namespace lunaret
