#ifndef LUNARET_TESTS_BENCH_BENCH_HISTORY_H
#define LUNARET_TESTS_BENCH_BENCH_HISTORY_H

#include <string>
#include <vector>

#include "core/base/journal_day.h"

#include "core/cycles/dates.h"
#include "core/cycles/statistics.h"

namespace lunaret::bench {

// A history of count records from 1 Feb 1970, 1 to 3 days apart so that 10,000 of them still
// fit into 32-bit time values, every third without an ovulation; the first day that closes it.
inline std::vector<StatisticsRecord> LongHistory(int count, CalendarDate* firstDay) {
  std::vector<StatisticsRecord> records;
  records.reserve(static_cast<std::size_t>(count));
  TimeValue day = MakeTimeValue(MakeDate(1970, 2, 1), 1, 1, 1);
  for (int i = 0; i < count; ++i) {
    const int length = 1 + i % 3;
    records.push_back({day, i % 3 == 0 ? 0 : day + (length - 1) * 86400});
    day += length * 86400;
  }
  LocalDateOf(day, firstDay);
  return records;
}

inline constexpr int kTenYears = 3650;  // days

// Every day of ten years from first logged: a flow in the first five days of each 28, two symptoms,
// a mood and a note of 80 characters, Greek in every other one.
inline Journal TenYearsJournal(DayNumber first) {
  Journal journal;
  for (int i = 0; i < kTenYears; ++i) {
    JournalDay day;
    day.flow = i % 28 < 5 ? static_cast<Flow>(1 + i % 28 % 4) : Flow::kNone;
    day.symptoms = static_cast<SymptomSet>(3u << (i % 9));
    day.mood = static_cast<Mood>(i % 7);
    day.ownSymptoms =
        i % 5 == 0 ? std::vector<std::string>{"Migraine aura"} : std::vector<std::string>{};
    day.note = std::string(i % 2 ? 80 : 60, 'n');
    for (int k = 0; i % 2 == 0 && k < 20; ++k)
      day.note += "\xCE\xB1";  // alpha
    journal.emplace(first + i, day);
  }
  return journal;
}

}  // namespace lunaret::bench

#endif  // LUNARET_TESTS_BENCH_BENCH_HISTORY_H
