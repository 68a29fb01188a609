// Data in and out: a history of 10,000 records written as a CSV file, 10,000 rows read and
// merged into a history of 10,000, and a backup of a store with 100 users of 1,000 records.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/cycles/dates.h"
#include "core/exchange/history_csv.h"
#include "core/exchange/history_merge.h"
#include "core/exchange/store_backup.h"
#include "core/store/statistics_store.h"
#include "core/store/store_file.h"
#include "core/store/user_store.h"

namespace {

using lunaret::StatisticsRecord;

// Records every other day from 1 January 1975 on (first + 1 gives the days in between).
std::vector<StatisticsRecord> History(int count, int first) {
  std::vector<StatisticsRecord> records;
  const lunaret::TimeValue start = lunaret::MakeTimeValue(lunaret::MakeDate(1975, 1, 1), 1, 1, 1);
  for (int i = 0; i < count; ++i) {
    const lunaret::TimeValue day = start + (first + 2 * i) * 86400;
    records.push_back({day, i % 3 == 0 ? day + 14 * 86400 : 0});
  }
  return records;
}

void BM_ExportHistory(benchmark::State& state) {
  const std::vector<StatisticsRecord> records = History(10000, 0);
  for (auto _ : state)
    benchmark::DoNotOptimize(lunaret::WriteHistoryCsv(records));
}
BENCHMARK(BM_ExportHistory)->Unit(benchmark::kMillisecond);

void BM_ImportHistoryIntoHistory(benchmark::State& state) {
  const std::vector<StatisticsRecord> existing = History(10000, 0);
  const std::string file = lunaret::WriteHistoryCsv(History(10000, 1));
  for (auto _ : state) {
    const lunaret::HistoryFile read = lunaret::ReadHistoryCsv(file);
    const lunaret::ImportPlan plan = lunaret::PlanImport(existing, read.records);
    benchmark::DoNotOptimize(lunaret::ApplyImport(existing, plan));
  }
}
BENCHMARK(BM_ImportHistoryIntoHistory)->Unit(benchmark::kMillisecond);

void BM_BackUpStore(benchmark::State& state) {
  std::string folder = (std::filesystem::temp_directory_path() / "lunaret-data-bench-XXXXXX");
  if (mkdtemp(folder.data()) == nullptr)
    std::abort();
  const std::string path = folder + "/registry.db";
  {
    lunaret::StoreOpenResult result;
    auto registry = lunaret::OpenSqliteStore(path, &result);
    lunaret::UserStore store(*registry);
    const std::vector<StatisticsRecord> records = History(1000, 0);
    for (int user = 0; user < 100; ++user) {
      const std::string name = "User" + std::to_string(user);
      store.SetPassword(name, "password");
      lunaret::SaveStatistics(store, name, records);
    }
  }
  for (auto _ : state) {
    std::string image;
    if (!lunaret::ReadStoreImage(path, &image))
      std::abort();
    std::ofstream(folder + "/backup.db", std::ios::binary) << image;
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_BackUpStore)->Unit(benchmark::kMillisecond);

}  // namespace
