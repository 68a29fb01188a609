#ifndef LUNARET_CORE_CYCLES_JOURNAL_INSIGHTS_H
#define LUNARET_CORE_CYCLES_JOURNAL_INSIGHTS_H

#include <string>
#include <vector>

#include "core/base/journal_day.h"
#include "core/cycles/cycle_insights.h"

namespace lunaret {

// What her journal says beside the statistics records: how long her periods last and when in
// the cycle her symptoms come. Computed, never stored.
//
// The period starts are the local days of the records' menses dates and the General page's first
// day, in date order, each day once. A period's length is the run of consecutive days with a
// logged flow from its start (and before the next start), without the spotting at either end of
// the run: 0 (unknown) when the start day has no flow logged or the run is spotting only. Cycle
// day 1 of a day is the latest period start on or before it.

inline constexpr int kTopSymptoms = 5;
// A run of cycle days longer than this is no "mostly on days ...": the symptom is spread out.
inline constexpr long kLongestSymptomSpan = 7;

struct PeriodLength {
  DayNumber start = 0;
  long days = 0;  // 0: unknown

  bool operator==(const PeriodLength&) const = default;
};

// One of the symptoms she logs most.
struct SymptomPattern {
  std::string name;     // the built-in symptom's English name, or hers
  int times = 0;        // days it is logged on
  int onCycleDays = 0;  // of them, those on or after the first period start
  // The shortest run of consecutive cycle days (the earliest of equal ones) that holds more than
  // half of those onCycleDays; 0 and 0 when onCycleDays is 0.
  long firstCycleDay = 0;
  long lastCycleDay = 0;

  bool operator==(const SymptomPattern&) const = default;
};

struct JournalInsights {
  std::vector<PeriodLength> periods;        // one per start, in date order
  DayFigures periodLength;                  // of the known lengths
  std::vector<SymptomPattern> topSymptoms;  // at most kTopSymptoms, most logged first
};

std::vector<DayNumber> PeriodStarts(const std::vector<StatisticsRecord>& records,
                                    const CalendarDate& firstDay);

// Ties between symptoms logged equally often go to the built-in ones in their order, then to
// hers by name.
JournalInsights ComputeJournalInsights(const Journal& journal,
                                       const std::vector<StatisticsRecord>& records,
                                       const CalendarDate& firstDay);

}  // namespace lunaret

#endif  // LUNARET_CORE_CYCLES_JOURNAL_INSIGHTS_H
