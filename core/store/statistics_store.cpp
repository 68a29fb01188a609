#include "core/store/statistics_store.h"

#include <algorithm>

namespace lunaret {
namespace {

constexpr std::uint32_t kTopBit = 0x80000000u;

}  // namespace

std::vector<StatisticsRecord> LoadStatistics(UserStore& store, const std::string& user) {
  // All reads in one transaction: they see one state of the store, never half of a save that
  // another running copy makes meanwhile, and they are much faster together.
  StoreTransaction reading(store.registry());
  std::vector<StatisticsRecord> records;
  std::uint32_t count = store.GetStatisticsLength(user);
  // No save writes a count with its top bit set; one larger than the values the key holds
  // cannot be all there either (each record is stored as two values), and is cut to that
  // number so that a damaged count neither hangs nor exhausts memory.
  if ((count & kTopBit) != 0)
    return records;
  count = std::min(count, store.CountValues(user));
  records.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    StatisticsRecord record;
    record.mensesDate = store.GetStatisticsDate(user, static_cast<std::int32_t>(i));
    record.ovulationDate = store.GetStatisticsOvulationDate(user, static_cast<std::int32_t>(i));
    records.push_back(record);
  }
  return records;
}

void SaveStatistics(UserStore& store, const std::string& user,
                    const std::vector<StatisticsRecord>& records) {
  // One transaction: a crash halfway leaves the old records or the new ones, never a user
  // whose statistics were deleted and not yet rewritten. Nested in the caller's, if any.
  StoreTransaction transaction(store.registry());
  store.DeleteStatistics(user);
  store.SetStatisticsLength(user, static_cast<std::uint32_t>(records.size()));
  for (std::size_t i = 0; i < records.size(); ++i) {
    const auto index = static_cast<std::int32_t>(i);
    store.SetStatisticsDate(user, records[i].mensesDate, index);
    store.SetStatisticsOvulationDate(user, records[i].ovulationDate, index);
  }
}

}  // namespace lunaret
