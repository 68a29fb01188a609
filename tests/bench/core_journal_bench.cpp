// The journal on the store's SQLite file: loading ten years of daily logs and saving one changed
// day among them.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "bench_history.h"
#include "core/store/journal_store.h"
#include "core/store/store_file.h"
#include "core/store/user_store.h"

namespace {

using lunaret::DayNumber;
using lunaret::Journal;

using lunaret::bench::kTenYears;

// A store file with Anna's journal in a temporary folder, removed afterwards.
class JournalBenchStore {
 public:
  JournalBenchStore() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "lunaret-journal-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
      std::abort();
    folder_ = pattern;
    Open();
    if (!store_->SetPassword("Anna", "pw"))
      std::abort();
  }
  ~JournalBenchStore() {
    store_.reset();
    registry_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  JournalBenchStore(const JournalBenchStore&) = delete;
  JournalBenchStore& operator=(const JournalBenchStore&) = delete;

  // Opens the file anew, as the next run of the program would: nothing cached in memory.
  void Open() {
    store_.reset();
    registry_.reset();
    lunaret::StoreOpenResult result = lunaret::StoreOpenResult::kOk;
    registry_ = lunaret::OpenSqliteStore(folder_ + "/registry.db", &result);
    if (!registry_)
      std::abort();
    store_ = std::make_unique<lunaret::UserStore>(*registry_);
  }
  lunaret::Registry& registry() { return *registry_; }
  lunaret::UserStore& store() { return *store_; }

 private:
  std::string folder_;
  std::unique_ptr<lunaret::Registry> registry_;
  std::unique_ptr<lunaret::UserStore> store_;
};

void BM_LoadJournal(benchmark::State& state) {
  JournalBenchStore bench;
  const Journal journal = lunaret::bench::TenYearsJournal(lunaret::DayNumberOf(2014, 1, 1));
  if (!lunaret::SaveJournalChanges(bench.store(), "Anna", {}, journal))
    state.SkipWithError("save failed");
  for (auto _ : state) {
    state.PauseTiming();
    bench.Open();
    state.ResumeTiming();
    const Journal loaded = lunaret::LoadJournal(bench.store(), "Anna");
    if (loaded.size() != journal.size())
      state.SkipWithError("wrong day count");
  }
  state.SetItemsProcessed(state.iterations() * kTenYears);
}
BENCHMARK(BM_LoadJournal)->Unit(benchmark::kMillisecond)->UseRealTime();

// One day's note changed among ten years, saved in the caller's transaction and committed.
void BM_SaveOneChangedDay(benchmark::State& state) {
  JournalBenchStore bench;
  Journal before = lunaret::bench::TenYearsJournal(lunaret::DayNumberOf(2014, 1, 1));
  if (!lunaret::SaveJournalChanges(bench.store(), "Anna", {}, before))
    state.SkipWithError("save failed");
  const DayNumber changed = before.begin()->first + kTenYears / 2;
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Journal after = before;
    after[changed].note = "changed " + std::to_string(++round);
    state.ResumeTiming();
    lunaret::StoreTransaction transaction(bench.registry());
    if (!lunaret::SaveJournalChanges(bench.store(), "Anna", before, after) || !transaction.Commit())
      state.SkipWithError("save failed");
    before.swap(after);
  }
}
BENCHMARK(BM_SaveOneChangedDay)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
