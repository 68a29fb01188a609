#ifndef LUNARET_CORE_STORE_USER_SNAPSHOT_H
#define LUNARET_CORE_STORE_USER_SNAPSHOT_H

#include <string>
#include <vector>

#include "core/base/journal_day.h"
#include "core/base/statistics_record.h"
#include "core/store/user_store.h"

namespace lunaret {

// What a user keeps in the store besides her password, as one read sees it: what the pages
// load and save. Two snapshots differ when another copy of the program saved in between.
struct UserSnapshot {
  std::string duration;
  TimeValue cycleStart = 0;
  std::vector<StatisticsRecord> records;
  Journal journal;
  std::vector<std::string> ownSymptoms;

  bool operator==(const UserSnapshot&) const = default;
};

UserSnapshot ReadUserSnapshot(UserStore& store, const std::string& user);

}  // namespace lunaret

#endif  // LUNARET_CORE_STORE_USER_SNAPSHOT_H
