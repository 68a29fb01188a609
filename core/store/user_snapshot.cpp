#include "core/store/user_snapshot.h"

#include "core/store/journal_store.h"
#include "core/store/statistics_store.h"

namespace lunaret {

UserSnapshot ReadUserSnapshot(UserStore& store, const std::string& user) {
  // One transaction: one state of the store, never half of another copy's save.
  StoreTransaction reading(store.registry());
  UserSnapshot snapshot;
  snapshot.duration = store.GetDuration(user);
  snapshot.cycleStart = store.GetCycleStart(user);
  snapshot.records = LoadStatistics(store, user);
  snapshot.journal = LoadJournal(store, user);
  snapshot.ownSymptoms = LoadOwnSymptomNames(store, user);
  return snapshot;
}

}  // namespace lunaret
