#ifndef LUNARET_CORE_CYCLES_CYCLE_INSIGHTS_H
#define LUNARET_CORE_CYCLES_CYCLE_INSIGHTS_H

#include <string>
#include <vector>

#include "core/cycles/dates.h"
#include "core/cycles/statistics.h"

namespace lunaret {

// What a user's history says about her cycles: the completed cycles, their figures, a forecast
// learnt from them and how good that forecast would have been. Everything is computed from the
// statistics records and the General page's first day and duration; nothing is stored.
//
// The starts are the records' menses dates in row order, followed by the first day when it lies
// after the last record's start. Two neighbouring starts make a completed cycle when the later
// one lies at least one calendar day after the earlier; a pair out of date order or on the same
// day is no cycle (the Statistics page leaves its "Duration" cell empty too). Day counts are
// local calendar days (DayDifference), so a change of summer time in between does not shift them.

inline constexpr long kLongestForecastCycle = 90;  // longer: a pause, not a cycle to learn from
inline constexpr int kForecastWindow = 12;         // the forecast learns from this many cycles
inline constexpr int kFewestForecastCycles = 3;
inline constexpr long kRegularSpread = 7;     // longest - shortest of a regular history, at most
inline constexpr long kUsualLutealDays = 14;  // ovulation to next start without own figures

// One completed cycle.
struct Cycle {
  TimeValue start = 0;     // first day of its menstruation
  TimeValue end = 0;       // first day of the next one
  long length = 0;         // calendar days from start to end, at least 1
  bool ovulation = false;  // an ovulation is recorded inside the cycle
  long ovulationDay = 0;   // days from start to it, as the Statistics list's "(day N)"
  long lutealLength = 0;   // days from that ovulation to end; 0 when none
};

// The cycles of a history and what was left out of them.
struct CycleHistory {
  std::vector<Cycle> cycles;   // in row order
  int starts = 0;              // the records, plus one for the first day when it was added
  int pairsLeftOut = 0;        // neighbouring starts out of date order or on one day
  int ovulationsOutside = 0;   // recorded ovulations that do not lie inside their cycle
  bool firstDayAdded = false;  // the first day lies after the last record's start
};

CycleHistory ReadCycles(const std::vector<StatisticsRecord>& records, const CalendarDate& firstDay);

// Count, mean, median, shortest, longest and sample standard deviation of day counts.
struct DayFigures {
  int count = 0;
  double mean = 0;
  double median = 0;
  long shortest = 0;
  long longest = 0;
  double deviation = 0;  // 0 below two values

  bool operator==(const DayFigures&) const = default;
};

DayFigures FiguresOf(std::vector<long> values);
// The figures of the lengths of the cycles from index first on (none past the end): what a
// chart of those cycles shows.
DayFigures LengthFiguresFrom(const std::vector<Cycle>& cycles, std::size_t first);

// The forecast learnt from the history: the median length of the last (up to 12) completed
// cycles of at most 90 days, counted from the General page's first day. It needs at least 3
// such cycles; without them it is not available and reason says why.
struct HistoryForecast {
  bool available = false;
  std::string reason;      // English text; empty when available
  int cyclesUsed = 0;      // cycles the median was taken from, 3 to 12 (fewer: not available)
  double median = 0;       // their median length
  long length = 0;         // the median rounded to whole days: from one start to the next
  long range = 0;          // k: the next start lies within +-k days; 1 to 7
  CalendarDate nextStart;  // first day + length
  long lutealDays = 0;     // days from the estimated ovulation to the next start, 1 to length
  // The mean of at least 3 luteal lengths of the cycles used, each shorter than its cycle;
  // else 14.
  bool lutealFromHistory = false;
  CalendarDate ovulation;     // estimated: next start - lutealDays
  CalendarDate fertileStart;  // ovulation - 5, not before the first day
  CalendarDate fertileEnd;    // ovulation + 1, before the next start
};

HistoryForecast ForecastFromCycles(const std::vector<Cycle>& cycles, const CalendarDate& firstDay);
// The same straight from the records and the first day, for callers without a page.
HistoryForecast ForecastFromHistory(const std::vector<StatisticsRecord>& records,
                                    const CalendarDate& firstDay);

// Period n of an available forecast (0 = the next one): every date moved by n lengths, so its
// fertile window lies inside the cycle before it.
struct ForecastPeriod {
  CalendarDate start;
  CalendarDate ovulation;
  CalendarDate fertileStart;
  CalendarDate fertileEnd;
};
ForecastPeriod ForecastPeriodAt(const HistoryForecast& forecast, int n);

// Both rules replayed on the history: every completed cycle with at least 3 completed cycles of
// at most 90 days before it is predicted from those cycles by the history rule, and by the
// fixed rule (the forecast duration); the mean absolute errors in days.
struct ForecastAccuracy {
  int cycles = 0;           // cycles predicted; no errors when 0
  int withinRange = 0;      // of them, those that ended within the range given at the time
  double historyError = 0;  // mean |history prediction - length|
  double fixedError = 0;    // mean |fixed length - length|
  long fixedLength = 0;     // the forecast duration compared with
};

ForecastAccuracy AccuracyOnHistory(const std::vector<Cycle>& cycles, long forecastDuration);

// Everything the Insights tab shows.
struct CycleInsights {
  CycleHistory history;
  DayFigures cycleLength;
  DayFigures ovulationDay;  // of the cycles with an ovulation inside
  DayFigures lutealLength;
  DayFigures recent;  // the last (up to 12) cycles, for their spread
  HistoryForecast forecast;
  ForecastAccuracy accuracy;
  long forecastDuration = 0;
};

// forecastDuration: the General page's duration box by the atoi rule.
CycleInsights ComputeInsights(const std::vector<StatisticsRecord>& records,
                              const CalendarDate& firstDay, long forecastDuration);

}  // namespace lunaret

#endif  // LUNARET_CORE_CYCLES_CYCLE_INSIGHTS_H
