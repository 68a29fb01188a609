// Loading and saving a long statistics history through the Statistics page, and painting the
// list while scrolling through it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/cycles/dates.h"
#include "core/cycles/statistics.h"
#include "core/store/statistics_store.h"
#include "core/store/store_file.h"
#include "core/store/user_store.h"
#include "pages/statistics_list.h"
#include "pages/statistics_page.h"

namespace {

constexpr int kRecords = 10000;
const char* const kUser = "anna";

// A store in a temporary folder holding one user with kRecords cycles of 28 days.
class BenchStore {
 public:
  BenchStore() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "lunaret-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
      std::abort();
    dir_ = pattern;
    lunaret::StoreOpenResult result = lunaret::StoreOpenResult::kOk;
    registry_ = lunaret::OpenSqliteStore(dir_ + "/registry.db", &result);
    if (!registry_)
      std::abort();
    store_ = std::make_unique<lunaret::UserStore>(*registry_);
    store_->SetPassword(kUser, "secret");
    std::vector<lunaret::StatisticsRecord> records(kRecords);
    lunaret::TimeValue day = lunaret::MakeTimeValue(lunaret::MakeDate(1975, 1, 3), 1, 1, 1);
    for (int i = 0; i < kRecords; ++i) {
      records[static_cast<std::size_t>(i)].mensesDate = day;
      records[static_cast<std::size_t>(i)].ovulationDate = i % 3 == 0 ? 0 : day + 14 * 86400;
      day += 28 * 86400 + (i % 5 == 0 ? 86400 : 0);
    }
    lunaret::SaveStatistics(*store_, kUser, records);
  }
  ~BenchStore() {
    store_.reset();
    registry_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  lunaret::UserStore& store() { return *store_; }

 private:
  std::string dir_;
  std::unique_ptr<lunaret::Registry> registry_;
  std::unique_ptr<lunaret::UserStore> store_;
};

BenchStore& Store() {
  static BenchStore store;
  return store;
}

std::unique_ptr<lunaret::StatisticsPage> ShownPage() {
  auto page = std::make_unique<lunaret::StatisticsPage>(Store().store(), kUser);
  page->resize(700, 360);
  page->show();
  page->Initialize();
  QApplication::processEvents();
  return page;
}

// Store reads, row texts and the list model, as at log-in and on discarding changes.
void BM_LoadStatistics10k(benchmark::State& state) {
  auto page = ShownPage();
  for (auto _ : state) {
    page->LoadStatistics(kUser);
    QApplication::processEvents();
  }
  if (page->List()->RowCount() != kRecords + 1)
    state.SkipWithError("wrong row count");
}
BENCHMARK(BM_LoadStatistics10k)->Unit(benchmark::kMillisecond);

// The list alone: row texts and one model reset.
void BM_ListLoadRecords10k(benchmark::State& state) {
  auto page = ShownPage();
  const auto records = lunaret::LoadStatistics(Store().store(), kUser);
  for (auto _ : state)
    page->List()->LoadRecords(records);
}
BENCHMARK(BM_ListLoadRecords10k)->Unit(benchmark::kMillisecond);

// Delete the stored values, then write the count and every record, in one transaction.
void BM_SaveStatistics10k(benchmark::State& state) {
  auto page = ShownPage();
  for (auto _ : state)
    page->SaveStatistics();
}
BENCHMARK(BM_SaveStatistics10k)->Unit(benchmark::kMillisecond);

// One page-down step of the scroll bar and a full repaint of the visible rows.
void BM_ScrollAndPaint10k(benchmark::State& state) {
  auto page = ShownPage();
  QScrollBar* bar = page->List()->verticalScrollBar();
  for (auto _ : state) {
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    if (bar->value() == bar->maximum())
      bar->setValue(0);
    page->List()->viewport()->repaint();
  }
}
BENCHMARK(BM_ScrollAndPaint10k)->Unit(benchmark::kMicrosecond);

// A jump to the middle of the list, as when the thumb is dragged.
void BM_JumpAndPaint10k(benchmark::State& state) {
  auto page = ShownPage();
  QScrollBar* bar = page->List()->verticalScrollBar();
  int step = 0;
  for (auto _ : state) {
    bar->setValue((step++ % 2 == 0) ? bar->maximum() / 2 : bar->maximum());
    page->List()->viewport()->repaint();
  }
}
BENCHMARK(BM_JumpAndPaint10k)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 0);
  setenv("LC_ALL", "C", 0);
  tzset();
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
