// The Insights figures, forecast and replayed accuracy of a long history.
#include <benchmark/benchmark.h>

#include "bench_history.h"
#include "core/cycles/cycle_insights.h"

namespace {

void BM_Insights10k(benchmark::State& state) {
  lunaret::CalendarDate firstDay;
  const auto records = lunaret::bench::LongHistory(10000, &firstDay);
  for (auto _ : state) {
    const lunaret::CycleInsights insights = lunaret::ComputeInsights(records, firstDay, 29);
    benchmark::DoNotOptimize(insights.accuracy.historyError);
    if (insights.cycleLength.count != 10000)
      state.SkipWithError("wrong cycle count");
  }
}
BENCHMARK(BM_Insights10k)->Unit(benchmark::kMillisecond);

}  // namespace
