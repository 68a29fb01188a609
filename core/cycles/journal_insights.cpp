#include "core/cycles/journal_insights.h"

#include <algorithm>
#include <map>

#include "core/base/journal_names.h"

namespace lunaret {
namespace {

bool Flows(const Journal& journal, DayNumber day) {
  const auto found = journal.find(day);
  return found != journal.end() && found->second.flow != Flow::kNone;
}

bool Spotting(const Journal& journal, DayNumber day) {
  return journal.at(day).flow == Flow::kSpotting;
}

// The period from start: the flow days up to the next start, spotting at either end left out.
long PeriodDays(const Journal& journal, DayNumber start, DayNumber next) {
  DayNumber end = start;  // one past the run
  while (end < next && Flows(journal, end))
    ++end;
  DayNumber first = start;
  while (first < end && Spotting(journal, first))
    ++first;
  while (end > first && Spotting(journal, end - 1))
    --end;
  return end - first;
}

// The cycle days a symptom fell on, as counts by day (index 0 unused).
struct Occurrences {
  int times = 0;
  std::vector<int> byCycleDay;
};

// The shortest run of cycle days holding more than half of the days counted.
void FindPeak(const std::vector<int>& byCycleDay, int total, SymptomPattern* pattern) {
  std::size_t from = 1;
  int inside = 0;
  std::size_t best = 0;
  for (std::size_t to = 1; to < byCycleDay.size(); ++to) {
    inside += byCycleDay[to];
    while (from < to && 2 * (inside - byCycleDay[from]) > total)
      inside -= byCycleDay[from++];
    if (2 * inside > total && (best == 0 || to - from + 1 < best)) {
      best = to - from + 1;
      pattern->firstCycleDay = static_cast<long>(from);
      pattern->lastCycleDay = static_cast<long>(to);
    }
  }
}

}  // namespace

std::vector<DayNumber> PeriodStarts(const std::vector<StatisticsRecord>& records,
                                    const CalendarDate& firstDay) {
  std::vector<DayNumber> starts;
  starts.reserve(records.size() + 1);
  for (const StatisticsRecord& record : records) {
    CalendarDate date;
    if (LocalDateOf(record.mensesDate, &date))
      starts.push_back(DayNumberOf(date.year, date.month, date.day));
  }
  if (firstDay.year != 0)
    starts.push_back(DayNumberOf(firstDay.year, firstDay.month, firstDay.day));
  std::sort(starts.begin(), starts.end());
  starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
  return starts;
}

JournalInsights ComputeJournalInsights(const Journal& journal,
                                       const std::vector<StatisticsRecord>& records,
                                       const CalendarDate& firstDay) {
  JournalInsights insights;
  const std::vector<DayNumber> starts = PeriodStarts(records, firstDay);
  std::vector<long> known;
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const DayNumber next = i + 1 < starts.size() ? starts[i + 1] : starts[i] + 366;
    const long days = PeriodDays(journal, starts[i], next);
    insights.periods.push_back({starts[i], days});
    if (days > 0)
      known.push_back(days);
  }
  insights.periodLength = FiguresOf(known);

  // Built-in symptoms by their index, hers after them by name: the order of ties.
  std::map<std::pair<int, std::string>, Occurrences> symptoms;
  const auto log = [&](std::pair<int, std::string> key, DayNumber day) {
    Occurrences& occurrences = symptoms[std::move(key)];
    ++occurrences.times;
    const auto after = std::upper_bound(starts.begin(), starts.end(), day);
    if (after == starts.begin())
      return;
    const auto cycleDay = static_cast<std::size_t>(day - *(after - 1) + 1);
    if (occurrences.byCycleDay.size() <= cycleDay)
      occurrences.byCycleDay.resize(cycleDay + 1);
    ++occurrences.byCycleDay[cycleDay];
  };
  for (const auto& [date, day] : journal) {
    for (int s = 0; s < kSymptomCount; ++s) {
      if (day.Has(static_cast<Symptom>(s)))
        log({s, {}}, date);
    }
    for (const std::string& name : day.ownSymptoms)
      log({kSymptomCount, name}, date);
  }
  std::vector<std::pair<const std::pair<int, std::string>*, const Occurrences*>> ranked;
  for (const auto& [key, occurrences] : symptoms)
    ranked.emplace_back(&key, &occurrences);
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& a, const auto& b) { return a.second->times > b.second->times; });
  for (std::size_t i = 0; i < ranked.size() && i < kTopSymptoms; ++i) {
    const auto& [key, occurrences] = ranked[i];
    SymptomPattern pattern;
    pattern.name = key->first < kSymptomCount
                       ? std::string(SymptomName(static_cast<Symptom>(key->first)))
                       : key->second;
    pattern.times = occurrences->times;
    for (const int count : occurrences->byCycleDay)
      pattern.onCycleDays += count;
    FindPeak(occurrences->byCycleDay, pattern.onCycleDays, &pattern);
    insights.topSymptoms.push_back(std::move(pattern));
  }
  return insights;
}

}  // namespace lunaret
