#ifndef LUNARET_CORE_CYCLES_STATISTICS_H
#define LUNARET_CORE_CYCLES_STATISTICS_H

#include <string>
#include <vector>

#include "core/base/statistics_record.h"

namespace lunaret {

// Days of the cycle that begins with previous and ends where next begins; -1 when either is
// missing (null).
long DurationDays(const StatisticsRecord* previous, const StatisticsRecord* next);
// Days from the menses date to the ovulation date; only meaningful when ovulationDate > 0.
long OvulationOffsetDays(const StatisticsRecord& record);

// Row texts.
std::string IdText(int index);                    // "%d." with index + 1
std::string MensesText(const StatisticsRecord&);  // FormatDateOfTime of the menses date
// "Ovulation" cell: empty when there is no ovulation date; "%s (%d days)" as loaded,
// "%s (day %d)" after one of the dates was picked anew.
std::string OvulationTextLoaded(const StatisticsRecord& record);
std::string OvulationTextPicked(const StatisticsRecord& record);
// "Duration" cell: "%d days" whatever the sign as loaded; after a change only when > 0.
std::string DurationTextLoaded(long days);
std::string DurationTextRecomputed(long days);

}  // namespace lunaret

#endif  // LUNARET_CORE_CYCLES_STATISTICS_H
