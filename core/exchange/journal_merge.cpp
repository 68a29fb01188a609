#include "core/exchange/journal_merge.h"

#include <algorithm>

namespace lunaret {

JournalDay MergeJournalDay(const JournalDay& existing, const JournalDay& incoming) {
  JournalDay merged = existing;
  if (merged.flow == Flow::kNone)
    merged.flow = incoming.flow;
  if (merged.mood == Mood::kNone)
    merged.mood = incoming.mood;
  merged.symptoms |= incoming.symptoms;
  for (const std::string& name : incoming.ownSymptoms) {
    if (merged.ownSymptoms.size() >= kMaxOwnSymptomsPerDay)
      break;
    if (std::find(merged.ownSymptoms.begin(), merged.ownSymptoms.end(), name) ==
        merged.ownSymptoms.end())
      merged.ownSymptoms.push_back(name);
  }
  if (merged.note.empty())
    merged.note = incoming.note;
  return merged;
}

JournalImportPlan PlanJournalImport(const Journal& existing, const Journal& incoming) {
  JournalImportPlan plan;
  for (const auto& [date, day] : incoming) {
    if (day.empty())
      continue;
    const auto found = existing.find(date);
    if (found == existing.end()) {
      plan.additions.emplace_hint(plan.additions.end(), date, day);
      continue;
    }
    JournalDay merged = MergeJournalDay(found->second, day);
    if (merged == found->second)
      ++plan.unchanged;
    else
      plan.gains.emplace_hint(plan.gains.end(), date, std::move(merged));
  }
  return plan;
}

Journal ApplyJournalImport(Journal existing, const JournalImportPlan& plan) {
  for (const auto& [date, day] : plan.gains)
    existing.insert_or_assign(date, day);
  for (const auto& [date, day] : plan.additions)
    existing.emplace(date, day);
  return existing;
}

}  // namespace lunaret
