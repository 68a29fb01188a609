#ifndef LUNARET_CORE_CYCLES_FORECAST_SOURCE_H
#define LUNARET_CORE_CYCLES_FORECAST_SOURCE_H

#include <string>
#include <vector>

#include "core/cycles/dates.h"
#include "core/cycles/statistics.h"

namespace lunaret {

// How many periods a forecast file looks ahead.
inline constexpr int kForecastPeriods = 6;

// One expected period: its first day and, when the forecast knows it, the range of days around
// it (start - earlyDays to start + lateDays).
struct ExpectedPeriod {
  CalendarDate start;
  int earlyDays = 0;
  int lateDays = 0;
  std::string description;
};

// The days of one fertile window, first and last included.
struct FertileWindow {
  CalendarDate first;
  CalendarDate last;
};

// Plain forecast data for a calendar file.
struct ForecastSchedule {
  std::vector<ExpectedPeriod> periods;        // in date order
  std::vector<FertileWindow> fertileWindows;  // in date order
};

// The next kForecastPeriods periods that begin today or later, one forecast duration apart from
// the first day on (the General page's forecast, carried on). Empty for a duration below 1.
ForecastSchedule ScheduleFromDuration(const CalendarDate& firstDay, long duration,
                                      const CalendarDate& today);

// The forecast a calendar file carries, from today on: the history forecast of past cycles
// (median length, its range and the fertile windows) where it applies, else the first day and
// the forecast duration.
ForecastSchedule NextForecast(const std::vector<StatisticsRecord>& history,
                              const CalendarDate& firstDay, long duration,
                              const CalendarDate& today);

}  // namespace lunaret

#endif  // LUNARET_CORE_CYCLES_FORECAST_SOURCE_H
