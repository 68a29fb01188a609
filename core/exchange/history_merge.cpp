#include "core/exchange/history_merge.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

#include "core/cycles/dates.h"

namespace lunaret {
namespace {

// The local day of t as a day count; a time value without a local date counts in UTC days.
std::int64_t DayOf(TimeValue t) {
  CalendarDate date;
  if (!LocalDateOf(t, &date))
    return t / 86400 - (t % 86400 < 0 ? 1 : 0);
  static const CalendarDate kEpoch = MakeDate(1970, 1, 1);
  return DaysSince(kEpoch, date);
}

}  // namespace

ImportPlan PlanImport(const std::vector<StatisticsRecord>& existing,
                      const std::vector<StatisticsRecord>& incoming) {
  ImportPlan plan;
  // The existing days, and the running maximum that finds the first later start by halving.
  std::unordered_map<std::int64_t, std::size_t> existingByDay;
  std::vector<std::int64_t> highest(existing.size());
  for (std::size_t i = 0; i < existing.size(); ++i) {
    const std::int64_t day = DayOf(existing[i].mensesDate);
    existingByDay.emplace(day, i);
    highest[i] = i == 0 ? day : std::max(highest[i - 1], day);
  }

  struct Addition {
    std::size_t gap;  // index of the first existing record with a later start
    std::int64_t day;
    StatisticsRecord record;
  };
  std::vector<Addition> additions;
  std::unordered_map<std::int64_t, std::size_t> addedByDay;
  std::unordered_set<std::size_t> filled;  // existing indices
  for (const StatisticsRecord& record : incoming) {
    const std::int64_t day = DayOf(record.mensesDate);
    if (const auto found = existingByDay.find(day); found != existingByDay.end()) {
      ++plan.alreadyThere;
      const std::size_t index = found->second;
      if (record.ovulationDate > 0 && existing[index].ovulationDate == 0 &&
          filled.insert(index).second)
        plan.fills.push_back({index, record.ovulationDate});
      continue;
    }
    if (const auto found = addedByDay.find(day); found != addedByDay.end()) {
      ++plan.alreadyThere;
      StatisticsRecord& added = additions[found->second].record;
      if (added.ovulationDate == 0)
        added.ovulationDate = record.ovulationDate;
      continue;
    }
    const auto gap = static_cast<std::size_t>(
        std::upper_bound(highest.begin(), highest.end(), day) - highest.begin());
    addedByDay.emplace(day, additions.size());
    additions.push_back({gap, day, record});
  }

  std::stable_sort(additions.begin(), additions.end(), [](const Addition& a, const Addition& b) {
    return a.gap != b.gap ? a.gap < b.gap : a.day < b.day;
  });
  plan.additions.reserve(additions.size());
  for (std::size_t k = 0; k < additions.size(); ++k)
    plan.additions.push_back({additions[k].gap + k, additions[k].record});
  std::sort(plan.fills.begin(), plan.fills.end(),
            [](const OvulationFill& a, const OvulationFill& b) { return a.index < b.index; });
  return plan;
}

std::vector<StatisticsRecord> ApplyImport(std::vector<StatisticsRecord> existing,
                                          const ImportPlan& plan) {
  for (const OvulationFill& fill : plan.fills)
    existing[fill.index].ovulationDate = fill.ovulationDate;
  std::vector<StatisticsRecord> merged;
  merged.reserve(existing.size() + plan.additions.size());
  auto next = existing.begin();
  for (const PlacedRecord& added : plan.additions) {
    while (merged.size() < added.position && next != existing.end())
      merged.push_back(*next++);
    merged.push_back(added.record);
  }
  merged.insert(merged.end(), next, existing.end());
  return merged;
}

}  // namespace lunaret
