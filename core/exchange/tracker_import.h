#ifndef LUNARET_CORE_EXCHANGE_TRACKER_IMPORT_H
#define LUNARET_CORE_EXCHANGE_TRACKER_IMPORT_H

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "core/base/journal_day.h"
#include "core/base/statistics_record.h"
#include "core/exchange/tracker_data.h"

namespace lunaret {

// Another tracker's data as Lunaret's: records to merge with PlanImport (history_merge.h) and
// journal days to merge with PlanJournalImport (journal_merge.h).
struct TrackerImport {
  std::string source;
  // One record per run of period days that count (a run ends where more than one day is
  // missing, or where the source marks a first day), its start at 01:01:01 local time, in date
  // order. An ovulation is given to the record whose cycle holds it: one of these, or a copy of
  // an existing record's start, which PlanImport turns into a fill.
  std::vector<StatisticsRecord> records;
  std::size_t ovulations = 0;  // ovulations given to records
  Journal days;                // period days with their flow, notes and symptoms
  std::map<std::string, std::size_t> leftOut;
  std::vector<TrackerProblem> problems;  // the first kTrackerProblemsKept, in file order
  std::size_t problemCount = 0;

  // Any problem refuses the whole file.
  bool ok() const { return problemCount == 0; }
};

// Checks every date (YYYY-MM-DD within the stored range) and flow of data and converts it;
// existing is her history, whose cycles take ovulations the file's periods do not hold.
TrackerImport ConvertTrackerData(const TrackerData& data,
                                 const std::vector<StatisticsRecord>& existing);

}  // namespace lunaret

#endif  // LUNARET_CORE_EXCHANGE_TRACKER_IMPORT_H
