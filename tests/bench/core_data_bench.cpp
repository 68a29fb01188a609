// Reading a history file of the largest size read at all, with hostile contents: time per read
// and the most memory held at once during it, counted by the allocation functions below.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "core/cycles/dates.h"
#include "core/exchange/history_csv.h"

namespace {

std::atomic<std::size_t> gLive{0};
std::atomic<std::size_t> gPeak{0};

void* Allocate(std::size_t size) {
  // The size goes in front of the block, so that the release knows it.
  auto* block = static_cast<std::size_t*>(std::malloc(size + sizeof(std::max_align_t)));
  if (block == nullptr)
    throw std::bad_alloc();
  *block = size;
  const std::size_t live = gLive += size;
  for (std::size_t peak = gPeak; live > peak && !gPeak.compare_exchange_weak(peak, live);) {
  }
  return reinterpret_cast<char*>(block) + sizeof(std::max_align_t);
}

void Release(void* pointer) {
  if (pointer == nullptr)
    return;
  auto* block =
      reinterpret_cast<std::size_t*>(static_cast<char*>(pointer) - sizeof(std::max_align_t));
  gLive -= *block;
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void operator delete(void* pointer) noexcept {
  Release(pointer);
}
void operator delete[](void* pointer) noexcept {
  Release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
  Release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
  Release(pointer);
}

namespace lunaret {
namespace {

constexpr double kMegabyte = 1024.0 * 1024.0;

// A file of exactly the size limit: the header, then the unit repeated, cut at the limit.
std::string Hostile(const std::string& header, const std::string& unit) {
  std::string text = header;
  while (text.size() < kMaxHistoryFileBytes)
    text += unit;
  text.resize(kMaxHistoryFileBytes);
  return text;
}

void ReadHostile(benchmark::State& state, const std::string& text) {
  std::size_t peak = 0;
  double slowest = 0;  // seconds
  std::size_t records = 0;
  std::size_t bad = 0;
  for (auto _ : state) {
    const std::size_t before = gLive;
    gPeak = before;
    const auto start = std::chrono::steady_clock::now();
    const HistoryFile file = ReadHistoryCsv(text);
    slowest = std::max(
        slowest, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    peak = std::max(peak, gPeak - before);
    records = file.records.size();
    bad = file.badRowCount;
    benchmark::DoNotOptimize(file);
  }
  state.counters["peak_MB"] = static_cast<double>(peak) / kMegabyte;
  state.counters["records"] = static_cast<double>(records);
  state.counters["bad_rows"] = static_cast<double>(bad);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["slowest_s"] = slowest;
  if (static_cast<double>(peak) > 100 * kMegabyte)
    state.SkipWithError("held more than 100 MB at once");
  else if (slowest > 1)
    state.SkipWithError("a read took more than 1 s");
}

const std::string kDates = "2025-01-01,2025-01-14\n";

// Every stored day in turn, as start and ovulation: each day's time value is worked out once.
std::string EveryDay() {
  std::string unit;
  for (CalendarDate day = MakeDate(1970, 2, 1); day.year < 2038; day = ForecastNextStart(day, 1)) {
    char row[32];
    std::snprintf(row, sizeof row, "%04u-%02u-%02u,\n", unsigned{day.year}, unsigned{day.month},
                  unsigned{day.day});
    unit += row;
  }
  return unit;
}

}  // namespace

BENCHMARK_CAPTURE(ReadHostile, all_commas, Hostile("start\n", ","))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadHostile, all_quotes, Hostile("start\n", "\""))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadHostile, all_newlines, Hostile("start\n", "\n"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadHostile, one_long_field, Hostile("start\n", "x"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadHostile, long_quoted_fields,
                  Hostile("start,ovulation\n", "\"" + std::string(1 << 20, 'y') + "\",\n"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadHostile, bad_rows, Hostile("start\n", "x\n"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadHostile, many_columns, Hostile("start,ovulation", ",ovulation"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadHostile, every_stored_day, Hostile("start,ovulation\n", EveryDay()))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadHostile, good_rows, Hostile("start,ovulation\n", kDates))
    ->Unit(benchmark::kMillisecond);

}  // namespace lunaret
