#ifndef LUNARET_CORE_BASE_STATISTICS_RECORD_H
#define LUNARET_CORE_BASE_STATISTICS_RECORD_H

#include "core/base/time_value.h"

namespace lunaret {

// One past cycle: the first day of the menstruation and, optionally, the day of ovulation.
struct StatisticsRecord {
  TimeValue mensesDate = 0;
  TimeValue ovulationDate = 0;  // 0 = none recorded

  bool operator==(const StatisticsRecord&) const = default;
};

}  // namespace lunaret

#endif  // LUNARET_CORE_BASE_STATISTICS_RECORD_H
