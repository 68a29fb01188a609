#ifndef LUNARET_TESTS_CORE_RECORDS_H
#define LUNARET_TESTS_CORE_RECORDS_H

#include <ostream>

#include "core/statistics.h"

namespace lunaret {

inline bool operator==(const StatisticsRecord& a, const StatisticsRecord& b) {
  return a.mensesDate == b.mensesDate && a.ovulationDate == b.ovulationDate;
}

inline void PrintTo(const StatisticsRecord& record, std::ostream* out) {
  *out << "{" << record.mensesDate << ", " << record.ovulationDate << "}";
}

}  // namespace lunaret

#endif  // LUNARET_TESTS_CORE_RECORDS_H
