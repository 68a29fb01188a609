// The main window with ten years of daily logs and 300 cycles: from log in to the window shown,
// and a repaint of the Calendar tab's month.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QTabWidget>
#include <QTableView>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "app/main_dialog.h"
#include "bench_history.h"
#include "core/base/day_number.h"
#include "core/store/journal_store.h"
#include "core/store/statistics_store.h"
#include "core/store/store_file.h"
#include "pages/calendar_page.h"
#include "pages/month_view.h"

namespace {

// Anna's store in a temporary folder: 300 cycles of 28 days up to today, each with its ovulation,
// every day of the last ten years logged.
class AnnasStore {
 public:
  AnnasStore() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "lunaret-app-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
      std::abort();
    folder_ = pattern;
    lunaret::StoreOpenResult result = lunaret::StoreOpenResult::kOk;
    registry_ = lunaret::OpenSqliteStore(folder_ + "/registry.db", &result);
    if (!registry_)
      std::abort();
    store_ = std::make_unique<lunaret::UserStore>(*registry_);
    const lunaret::CalendarDate today = lunaret::TodayLocal();
    std::vector<lunaret::StatisticsRecord> records;
    for (int i = 300; i > 0; --i) {
      const auto start = lunaret::ForecastNextStart(today, -28L * i);
      records.push_back({lunaret::MakeTimeValue(start, 1, 1, 1),
                         lunaret::MakeTimeValue(lunaret::ForecastNextStart(start, 14), 1, 1, 1)});
    }
    store_->SetPassword("Anna", "a");
    store_->SetCycleStart("Anna", lunaret::MakeTimeValue(today, 1, 1, 1));
    store_->SetDuration("Anna", "28");
    lunaret::SaveStatistics(*store_, "Anna", records);
    const lunaret::DayNumber last = lunaret::DayNumberOf(today.year, today.month, today.day);
    if (!lunaret::SaveJournalChanges(
            *store_, "Anna", {},
            lunaret::bench::TenYearsJournal(last - lunaret::bench::kTenYears + 1)))
      std::abort();
  }
  ~AnnasStore() {
    store_.reset();
    registry_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  AnnasStore(const AnnasStore&) = delete;
  AnnasStore& operator=(const AnnasStore&) = delete;

  lunaret::UserStore& store() { return *store_; }

 private:
  std::string folder_;
  std::unique_ptr<lunaret::Registry> registry_;
  std::unique_ptr<lunaret::UserStore> store_;
};

// The login dialog has checked her password: the main window is made, loads her and shows.
void BM_LogInToMainWindowShown(benchmark::State& state) {
  AnnasStore anna;
  for (auto _ : state) {
    auto main = std::make_unique<lunaret::MainDialog>(anna.store(), QStringLiteral("Anna"));
    main->show();
    main->repaint();
    state.PauseTiming();
    main.reset();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LogInToMainWindowShown)->Unit(benchmark::kMillisecond);

// The month on the Calendar tab asks for its days' marks anew and paints them.
void BM_MonthRepaintTenYears(benchmark::State& state) {
  AnnasStore anna;
  lunaret::MainDialog main(anna.store(), QStringLiteral("Anna"));
  main.show();
  main.Tabs()->setCurrentWidget(main.Calendar());
  QApplication::processEvents();
  lunaret::MonthView* month = main.Calendar()->Month();
  for (auto _ : state) {
    month->RefreshMarks();
    month->Table()->viewport()->repaint();
  }
}
BENCHMARK(BM_MonthRepaintTenYears)->Unit(benchmark::kMillisecond);

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
