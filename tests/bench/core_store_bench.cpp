// The store on its SQLite file: saving and loading statistics histories of growing length,
// finding and listing users among many, registering a user and opening a large store.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "core/cycles/statistics.h"
#include "core/store/statistics_store.h"
#include "core/store/store_file.h"
#include "core/store/user_store.h"

namespace {

using lunaret::Registry;
using lunaret::StatisticsRecord;
using lunaret::StoreOpenResult;
using lunaret::UserStore;

// A fresh store file in a temporary folder, removed afterwards; never the user's own store.
class BenchStore {
 public:
  BenchStore() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "lunaret-core-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
      std::abort();
    folder_ = pattern;
    Open();
  }
  ~BenchStore() {
    store_.reset();
    registry_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  BenchStore(const BenchStore&) = delete;
  BenchStore& operator=(const BenchStore&) = delete;

  void Open() {
    store_.reset();
    registry_.reset();
    StoreOpenResult result = StoreOpenResult::kOk;
    registry_ = lunaret::OpenSqliteStore(path(), &result);
    if (!registry_)
      std::abort();
    store_ = std::make_unique<UserStore>(*registry_);
  }
  void Close() {
    store_.reset();
    registry_.reset();
  }
  std::string path() const { return folder_ + "/registry.db"; }
  Registry& registry() { return *registry_; }
  UserStore& store() { return *store_; }

 private:
  std::string folder_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<UserStore> store_;
};

// Cycles of 28 days from 1973 on; past 700 of them the dates start over, so that every date
// stays a valid time value.
std::vector<StatisticsRecord> Records(std::int64_t count) {
  std::vector<StatisticsRecord> records(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < records.size(); ++i) {
    const auto day = static_cast<lunaret::TimeValue>(100000000 + (i % 700) * 28 * 86400);
    records[i].mensesDate = day;
    records[i].ovulationDate = i % 3 == 0 ? 0 : day + 14 * 86400;
  }
  return records;
}

// A save over a stored history of the same length, inside the caller's transaction as the
// main window's save makes it: every old value is deleted and every new one written.
void BM_SaveStatistics(benchmark::State& state) {
  BenchStore bench;
  const auto records = Records(state.range(0));
  lunaret::SaveStatistics(bench.store(), "Anna", records);
  for (auto _ : state) {
    lunaret::StoreTransaction transaction(bench.registry());
    lunaret::SaveStatistics(bench.store(), "Anna", records);
    if (!transaction.Commit())
      state.SkipWithError("commit failed");
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SaveStatistics)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_LoadStatistics(benchmark::State& state) {
  BenchStore bench;
  const auto records = Records(state.range(0));
  lunaret::SaveStatistics(bench.store(), "Anna", records);
  bench.Open();  // nothing of the save left in memory
  for (auto _ : state) {
    auto loaded = lunaret::LoadStatistics(bench.store(), "Anna");
    if (loaded.size() != records.size())
      state.SkipWithError("wrong record count");
    benchmark::DoNotOptimize(loaded.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadStatistics)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BenchStore& ThousandUsers() {
  static BenchStore bench;
  static const bool filled = [] {
    lunaret::StoreTransaction transaction(bench.registry());
    for (int i = 0; i < 1000; ++i) {
      const std::string user = "User " + std::to_string(i);
      bench.store().SetPassword(user, "secret");
      bench.store().SetCycleStart(user, 100000000 + i);
      bench.store().SetDuration(user, "29");
    }
    return transaction.Commit();
  }();
  if (!filled)
    std::abort();
  return bench;
}

// The walk of the login check: a name written in other letter case, and one that is not there
// (the walk then reads every name).
void BM_FindUser(benchmark::State& state) {
  UserStore& store = ThousandUsers().store();
  const std::string sought = state.range(0) == 0 ? "uSER 999" : "Nobody";
  for (auto _ : state) {
    if (store.FindUser(sought) != (state.range(0) == 0))
      state.SkipWithError("wrong answer");
  }
}
BENCHMARK(BM_FindUser)->ArgName("missing")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_ListUsers(benchmark::State& state) {
  UserStore& store = ThousandUsers().store();
  for (auto _ : state) {
    auto users = store.ListUsers();
    if (users.size() != 1000)
      state.SkipWithError("wrong user count");
    benchmark::DoNotOptimize(users.data());
  }
}
BENCHMARK(BM_ListUsers)->Unit(benchmark::kMicrosecond);

// What the register dialog writes for a new user, in its transaction.
void BM_RegisterUser(benchmark::State& state) {
  BenchStore bench;
  int next = 0;
  for (auto _ : state) {
    const std::string user = "User " + std::to_string(next++);
    lunaret::StoreTransaction transaction(bench.registry());
    if (bench.store().FindUser(user))
      state.SkipWithError("user exists");
    bench.store().SetPassword(user, "secret");
    bench.store().SetCycleStart(user, 1078448461);
    bench.store().SetDuration(user, "29");
    if (!transaction.Commit())
      state.SkipWithError("commit failed");
  }
}
BENCHMARK(BM_RegisterUser)->Unit(benchmark::kMillisecond)->UseRealTime();

// Opening a store that holds a long history: the header and schema checks and the quick
// check of every page.
void BM_OpenStore(benchmark::State& state) {
  BenchStore bench;
  lunaret::SaveStatistics(bench.store(), "Anna", Records(state.range(0)));
  bench.Close();
  for (auto _ : state) {
    bench.Open();
    bench.Close();
  }
}
BENCHMARK(BM_OpenStore)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
