#ifndef LUNARET_TESTS_BENCH_BENCH_HISTORY_H
#define LUNARET_TESTS_BENCH_BENCH_HISTORY_H

#include <vector>

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

}  // namespace lunaret::bench

#endif  // LUNARET_TESTS_BENCH_BENCH_HISTORY_H
