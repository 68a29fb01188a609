#ifndef LUNARET_CORE_STORE_STATISTICS_STORE_H
#define LUNARET_CORE_STORE_STATISTICS_STORE_H

#include <string>
#include <vector>

#include "core/base/statistics_record.h"
#include "core/store/user_store.h"

namespace lunaret {

// Reads a user's records in stored order. A count with its top bit set reads as no records;
// a count above what the user key can hold is cut to that, so a damaged count neither hangs
// nor exhausts memory.
std::vector<StatisticsRecord> LoadStatistics(UserStore& store, const std::string& user);

// Deletes the stored records, then writes the count and each record's two values in order.
void SaveStatistics(UserStore& store, const std::string& user,
                    const std::vector<StatisticsRecord>& records);

}  // namespace lunaret

#endif  // LUNARET_CORE_STORE_STATISTICS_STORE_H
