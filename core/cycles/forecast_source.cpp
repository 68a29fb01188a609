#include "core/cycles/forecast_source.h"

#include "core/cycles/cycle_insights.h"

namespace lunaret {

ForecastSchedule ScheduleFromDuration(const CalendarDate& firstDay, long duration,
                                      const CalendarDate& today) {
  ForecastSchedule schedule;
  if (duration < 1)
    return schedule;
  // The first cycle whose expected start is not yet past.
  const long elapsed = DaysSince(firstDay, today);
  long cycle = elapsed <= 0 ? 1 : (elapsed + duration - 1) / duration;
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
  const HistoryForecast forecast = ForecastFromHistory(history, firstDay);
  if (!forecast.available)
    return ScheduleFromDuration(firstDay, duration, today);
  ForecastSchedule schedule;
  // The first expected start that is not yet past: period n begins (n + 1) lengths after the
  // first day.
  const long elapsed = DaysSince(firstDay, today);
  const long first = elapsed <= forecast.length ? 0 : (elapsed - 1) / forecast.length;
  const std::string description = "Forecast from your history: the median of your last " +
                                  std::to_string(forecast.cyclesUsed) + " cycles, " +
                                  std::to_string(forecast.length) +
                                  " days. An estimate, not a method of contraception.";
  for (int k = 0; k < kForecastPeriods; ++k) {
    const ForecastPeriod period = ForecastPeriodAt(forecast, static_cast<int>(first) + k);
    const int range = static_cast<int>(forecast.range);
    schedule.periods.push_back({period.start, range, range, description});
    schedule.fertileWindows.push_back({period.fertileStart, period.fertileEnd});
  }
  return schedule;
}

}  // namespace lunaret
