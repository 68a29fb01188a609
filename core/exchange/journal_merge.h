#ifndef LUNARET_CORE_EXCHANGE_JOURNAL_MERGE_H
#define LUNARET_CORE_EXCHANGE_JOURNAL_MERGE_H

#include <cstddef>

#include "core/base/journal_day.h"

namespace lunaret {

// What merging a journal file into her journal changes. Nothing is ever removed or replaced: a
// day she has logged keeps every value it has and only gains what it lacks.
struct JournalImportPlan {
  Journal additions;          // days she has not logged, as the file has them
  Journal gains;              // days she has logged that gain something, each as it will be
  std::size_t unchanged = 0;  // days of the file she has logged that gain nothing

  std::size_t daysAdded() const { return additions.size(); }
  std::size_t daysGaining() const { return gains.size(); }
  bool Changes() const { return !additions.empty() || !gains.empty(); }
};

// The day after merging incoming into existing: the flow and the mood only where it has none,
// the symptoms it lacks (her own ones up to kMaxOwnSymptomsPerDay, after its own), the note only
// where it has none.
JournalDay MergeJournalDay(const JournalDay& existing, const JournalDay& incoming);

JournalImportPlan PlanJournalImport(const Journal& existing, const Journal& incoming);

// The journal after the plan.
Journal ApplyJournalImport(Journal existing, const JournalImportPlan& plan);

}  // namespace lunaret

#endif  // LUNARET_CORE_EXCHANGE_JOURNAL_MERGE_H
