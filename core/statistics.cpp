#include "core/statistics.h"

#include <algorithm>
#include <cstdio>

#include "core/dates.h"
#include "core/registry.h"

namespace lunaret {
namespace {

std::string Format(const char* format, int value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

std::string FormatWithDate(const char* format, const std::string& date, int value) {
  char buffer[320];
  std::snprintf(buffer, sizeof buffer, format, date.c_str(), value);
  return buffer;
}

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

long DurationDays(const StatisticsRecord* previous, const StatisticsRecord* next) {
  if (previous == nullptr || next == nullptr)
    return -1;
  return DayDifference(next->mensesDate, previous->mensesDate);
}

long OvulationOffsetDays(const StatisticsRecord& record) {
  return DayDifference(record.ovulationDate, record.mensesDate);
}

std::string IdText(int index) {
  return Format("%d.", index + 1);
}

std::string MensesText(const StatisticsRecord& record) {
  return FormatDateOfTime(record.mensesDate);
}

std::string OvulationTextLoaded(const StatisticsRecord& record) {
  if (record.ovulationDate <= 0)
    return {};
  return FormatWithDate("%s (%d days)", FormatDateOfTime(record.ovulationDate),
                        static_cast<int>(OvulationOffsetDays(record)));
}

std::string OvulationTextPicked(const StatisticsRecord& record) {
  if (record.ovulationDate <= 0)
    return {};
  return FormatWithDate("%s (day %d)", FormatDateOfTime(record.ovulationDate),
                        static_cast<int>(OvulationOffsetDays(record)));
}

std::string DurationTextLoaded(long days) {
  return Format("%d days", static_cast<int>(days));
}

std::string DurationTextRecomputed(long days) {
  if (days <= 0)
    return {};
  return Format("%d days", static_cast<int>(days));
}

}  // namespace lunaret
