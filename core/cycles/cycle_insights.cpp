#include "core/cycles/cycle_insights.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <iterator>

#include "core/cycles/cycle_insights_text.h"

namespace lunaret {
namespace {

// A start with its local date read once: a long history needs each date for two cycles.
struct Day {
  TimeValue time = 0;
  CalendarDate date;
  bool local = false;  // a negative time value has no local date
};

Day DayOf(TimeValue t) {
  Day day;
  day.time = t;
  day.local = LocalDateOf(t, &day.date);
  return day;
}

// DayDifference(later, earlier), with the dates already read.
long DaysBetween(const Day& later, const Day& earlier) {
  if (later.local && earlier.local)
    return DaysSince(earlier.date, later.date);
  return DayDifference(later.time, earlier.time);
}

double MedianOf(std::vector<long> values) {
  if (values.empty())
    return 0;
  const std::size_t middle = values.size() / 2;
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle),
                   values.end());
  const double upper = static_cast<double>(values[middle]);
  if (values.size() % 2 != 0)
    return upper;
  const long lower =
      *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle));
  return (static_cast<double>(lower) + upper) / 2;
}

// The range of the history rule, +-days, for the figures of the cycles it learns from.
long RangeOf(const DayFigures& figures) {
  return std::clamp(std::lround(figures.deviation), 1L, 7L);
}

CalendarDate DaysAfter(const CalendarDate& date, long days) {
  return ForecastNextStart(date, days);
}

}  // namespace

CycleHistory ReadCycles(const std::vector<StatisticsRecord>& records,
                        const CalendarDate& firstDay) {
  CycleHistory history;
  std::vector<Day> starts;
  starts.reserve(records.size() + 1);
  for (const StatisticsRecord& record : records)
    starts.push_back(DayOf(record.mensesDate));
  // The first day as the General page stores it: 01:01:01 local time.
  const Day first = DayOf(MakeTimeValue(firstDay, 1, 1, 1));
  if (starts.empty() || DaysBetween(first, starts.back()) > 0) {
    starts.push_back(first);
    history.firstDayAdded = true;
  }
  history.starts = static_cast<int>(starts.size());
  history.cycles.reserve(starts.size());
  for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
    Cycle cycle;
    cycle.start = starts[i].time;
    cycle.end = starts[i + 1].time;
    cycle.length = DaysBetween(starts[i + 1], starts[i]);
    if (cycle.length <= 0) {
      ++history.pairsLeftOut;
      continue;
    }
    const TimeValue ovulation = i < records.size() ? records[i].ovulationDate : 0;
    if (ovulation > 0) {
      const long offset = DaysBetween(DayOf(ovulation), starts[i]);
      if (offset >= 0 && offset < cycle.length) {
        cycle.ovulation = true;
        cycle.ovulationDay = offset;
        cycle.lutealLength = cycle.length - offset;
      } else {
        ++history.ovulationsOutside;
      }
    }
    history.cycles.push_back(cycle);
  }
  return history;
}

DayFigures FiguresOf(std::vector<long> values) {
  DayFigures figures;
  if (values.empty())
    return figures;
  figures.count = static_cast<int>(values.size());
  const auto [shortest, longest] = std::minmax_element(values.begin(), values.end());
  figures.shortest = *shortest;
  figures.longest = *longest;
  double sum = 0;
  for (long value : values)
    sum += static_cast<double>(value);
  figures.mean = sum / static_cast<double>(values.size());
  if (values.size() > 1) {
    double squares = 0;
    for (long value : values)
      squares +=
          (static_cast<double>(value) - figures.mean) * (static_cast<double>(value) - figures.mean);
    figures.deviation = std::sqrt(squares / static_cast<double>(values.size() - 1));
  }
  figures.median = MedianOf(std::move(values));
  return figures;
}

DayFigures LengthFiguresFrom(const std::vector<Cycle>& cycles, std::size_t first) {
  std::vector<long> lengths;
  for (std::size_t i = first; i < cycles.size(); ++i)
    lengths.push_back(cycles[i].length);
  return FiguresOf(std::move(lengths));
}

HistoryForecast ForecastFromCycles(const std::vector<Cycle>& cycles, const CalendarDate& firstDay) {
  HistoryForecast forecast;
  // The last (up to 12) cycles of at most 90 days, latest first; the luteal lengths only of
  // those, and only where the ovulation is not on the cycle's first day.
  std::vector<long> used;
  std::vector<long> luteal;
  for (auto cycle = cycles.rbegin();
       cycle != cycles.rend() && used.size() < static_cast<std::size_t>(kForecastWindow); ++cycle) {
    if (cycle->length > kLongestForecastCycle)
      continue;
    used.push_back(cycle->length);
    if (cycle->ovulation && cycle->lutealLength < cycle->length)
      luteal.push_back(cycle->lutealLength);
  }
  forecast.cyclesUsed = static_cast<int>(used.size());
  if (forecast.cyclesUsed < kFewestForecastCycles) {
    forecast.reason = ForecastUnavailableText(forecast.cyclesUsed);
    return forecast;
  }
  const DayFigures figures = FiguresOf(used);
  forecast.available = true;
  forecast.median = figures.median;
  forecast.length = std::lround(figures.median);
  forecast.range = RangeOf(figures);
  forecast.nextStart = DaysAfter(firstDay, forecast.length);
  forecast.lutealFromHistory = luteal.size() >= static_cast<std::size_t>(kFewestForecastCycles);
  // The ovulation, and the fertile window around it, stay inside the cycle before the period.
  forecast.lutealDays = std::clamp(
      forecast.lutealFromHistory ? std::lround(FiguresOf(luteal).mean) : kUsualLutealDays, 1L,
      forecast.length);
  const long ovulationDay = forecast.length - forecast.lutealDays;  // from the first day
  forecast.ovulation = DaysAfter(forecast.nextStart, -forecast.lutealDays);
  forecast.fertileStart = DaysAfter(forecast.ovulation, -std::min(5L, ovulationDay));
  forecast.fertileEnd = DaysAfter(forecast.ovulation, std::min(1L, forecast.lutealDays - 1));
  return forecast;
}

HistoryForecast ForecastFromHistory(const std::vector<StatisticsRecord>& records,
                                    const CalendarDate& firstDay) {
  return ForecastFromCycles(ReadCycles(records, firstDay).cycles, firstDay);
}

ForecastPeriod ForecastPeriodAt(const HistoryForecast& forecast, int n) {
  const long shift = static_cast<long>(n) * forecast.length;
  return {DaysAfter(forecast.nextStart, shift), DaysAfter(forecast.ovulation, shift),
          DaysAfter(forecast.fertileStart, shift), DaysAfter(forecast.fertileEnd, shift)};
}

ForecastAccuracy AccuracyOnHistory(const std::vector<Cycle>& cycles, long forecastDuration) {
  ForecastAccuracy accuracy;
  accuracy.fixedLength = forecastDuration;
  std::deque<long> window;  // the last (up to 12) cycles of at most 90 days so far
  double historyErrors = 0;
  double fixedErrors = 0;
  for (const Cycle& cycle : cycles) {
    if (window.size() >= static_cast<std::size_t>(kFewestForecastCycles)) {
      ++accuracy.cycles;
      const DayFigures figures = FiguresOf(std::vector<long>(window.begin(), window.end()));
      const long error = std::labs(std::lround(figures.median) - cycle.length);
      historyErrors += static_cast<double>(error);
      if (error <= RangeOf(figures))
        ++accuracy.withinRange;
      fixedErrors +=
          std::fabs(static_cast<double>(forecastDuration) - static_cast<double>(cycle.length));
    }
    if (cycle.length <= kLongestForecastCycle) {
      window.push_back(cycle.length);
      if (window.size() > static_cast<std::size_t>(kForecastWindow))
        window.pop_front();
    }
  }
  if (accuracy.cycles > 0) {
    accuracy.historyError = historyErrors / accuracy.cycles;
    accuracy.fixedError = fixedErrors / accuracy.cycles;
  }
  return accuracy;
}

CycleInsights ComputeInsights(const std::vector<StatisticsRecord>& records,
                              const CalendarDate& firstDay, long forecastDuration) {
  CycleInsights insights;
  insights.forecastDuration = forecastDuration;
  insights.history = ReadCycles(records, firstDay);
  const std::vector<Cycle>& cycles = insights.history.cycles;
  std::vector<long> lengths;
  std::vector<long> ovulationDays;
  std::vector<long> luteal;
  lengths.reserve(cycles.size());
  for (const Cycle& cycle : cycles) {
    lengths.push_back(cycle.length);
    if (cycle.ovulation) {
      ovulationDays.push_back(cycle.ovulationDay);
      luteal.push_back(cycle.lutealLength);
    }
  }
  insights.recent = FiguresOf(std::vector<long>(
      lengths.end() - std::min<std::ptrdiff_t>(kForecastWindow, std::ssize(lengths)),
      lengths.end()));
  insights.cycleLength = FiguresOf(std::move(lengths));
  insights.ovulationDay = FiguresOf(std::move(ovulationDays));
  insights.lutealLength = FiguresOf(std::move(luteal));
  insights.forecast = ForecastFromCycles(cycles, firstDay);
  insights.accuracy = AccuracyOnHistory(cycles, forecastDuration);
  return insights;
}

}  // namespace lunaret
