// The Insights page after one row of a long history changed: figures, sentences and chart,
// with the last 24 cycles as bars and with all of them.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <memory>
#include <vector>

#include "bench_history.h"
#include "controls/ui_support.h"
#include "pages/insights_page.h"

namespace {

constexpr int kRecords = 10000;

// The page shown with the chart of a long history, the last 24 cycles or all.
std::unique_ptr<lunaret::InsightsPage> ShownPage(benchmark::State& state,
                                                 std::vector<lunaret::StatisticsRecord>* records,
                                                 lunaret::CalendarDate* firstDay) {
  *records = lunaret::bench::LongHistory(kRecords, firstDay);
  auto page = std::make_unique<lunaret::InsightsPage>();
  page->resize(540, 420);
  page->UpdateInsights(*records, *firstDay, 29);
  page->show();
  QApplication::processEvents();
  if (page->Chart() == nullptr)
    state.SkipWithError("the chart module did not load");
  return page;
}

QCheckBox* ShowAll(lunaret::InsightsPage* page) {
  return lunaret::FindControlAs<QCheckBox>(page, lunaret::InsightsPage::kShowAllId);
}

void PageUpdate(benchmark::State& state, bool allBars) {
  std::vector<lunaret::StatisticsRecord> records;
  lunaret::CalendarDate firstDay;
  auto page = ShownPage(state, &records, &firstDay);
  ShowAll(page.get())->setChecked(allBars);
  QApplication::processEvents();
  int step = 0;
  for (auto _ : state) {
    // The middle row one day later, then back.
    records[kRecords / 2].mensesDate += (step++ % 2 == 0 ? 1 : -1) * 86400;
    page->UpdateInsights(records, firstDay, 29);
    QApplication::processEvents();
    page->repaint();
  }
}

void BM_PageUpdate24Bars10k(benchmark::State& state) {
  PageUpdate(state, false);
}
BENCHMARK(BM_PageUpdate24Bars10k)->Unit(benchmark::kMillisecond);

void BM_PageUpdateAllBars10k(benchmark::State& state) {
  PageUpdate(state, true);
}
BENCHMARK(BM_PageUpdateAllBars10k)->Unit(benchmark::kMillisecond);

// From the last 24 bars to all 10,000, as when "Show all" is checked, and back (not timed).
void BM_ShowAllBars10k(benchmark::State& state) {
  std::vector<lunaret::StatisticsRecord> records;
  lunaret::CalendarDate firstDay;
  auto page = ShownPage(state, &records, &firstDay);
  for (auto _ : state) {
    ShowAll(page.get())->setChecked(true);
    QApplication::processEvents();
    page->repaint();
    state.PauseTiming();
    ShowAll(page.get())->setChecked(false);
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ShowAllBars10k)->Unit(benchmark::kMillisecond);

}  // namespace
