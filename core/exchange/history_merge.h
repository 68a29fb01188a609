#ifndef LUNARET_CORE_EXCHANGE_HISTORY_MERGE_H
#define LUNARET_CORE_EXCHANGE_HISTORY_MERGE_H

#include <cstddef>
#include <vector>

#include "core/cycles/statistics.h"

namespace lunaret {

// A record to add, at its position in the merged history.
struct PlacedRecord {
  std::size_t position = 0;
  StatisticsRecord record;
};

// An ovulation date for an existing record that has none, by the record's index.
struct OvulationFill {
  std::size_t index = 0;
  TimeValue ovulationDate = 0;
};

// What merging imported records into a history changes. Existing records never move relative
// to each other and are never removed.
struct ImportPlan {
  std::vector<PlacedRecord> additions;  // by ascending position
  std::vector<OvulationFill> fills;     // by ascending index
  std::size_t alreadyThere = 0;         // imported records whose day the history already has

  bool Changes() const { return !additions.empty() || !fills.empty(); }
};

// Merges incoming records into existing ones. An incoming record whose start falls on the local
// day of a record already there (existing, or incoming before it) is skipped; its ovulation
// fills in that record's when that one has none. Every other record goes before the first
// existing record with a later start day, after the records with the same place and an earlier
// or equal start, so new records keep date order among themselves.
ImportPlan PlanImport(const std::vector<StatisticsRecord>& existing,
                      const std::vector<StatisticsRecord>& incoming);

// The history after the plan.
std::vector<StatisticsRecord> ApplyImport(std::vector<StatisticsRecord> existing,
                                          const ImportPlan& plan);

}  // namespace lunaret

#endif  // LUNARET_CORE_EXCHANGE_HISTORY_MERGE_H
