// Other trackers' exports with ten years of daily data: drip's CSV and a spreadsheet's periods
// read and converted, a Periodical backup unpacked.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <string>

#include "bench_history.h"
#include "core/base/day_number.h"
#include "core/exchange/drip_csv.h"
#include "core/exchange/gzip_reader.h"
#include "core/exchange/span_csv.h"
#include "core/exchange/tracker_import.h"

namespace {

using lunaret::bench::kTenYears;
const lunaret::DayNumber kFirst = lunaret::DayNumberOf(2012, 1, 1);

// drip: a row every day, five bleeding days in 28, a temperature, pain and a note now and then.
std::string DripTenYears() {
  std::string csv =
      "date,bleeding.value,bleeding.exclude,temperature.value,pain.cramps,note.value\n";
  for (int i = 0; i < kTenYears; ++i) {
    const int cycleDay = i % 28;
    csv += lunaret::DayNumberText(kFirst + i) + ",";
    csv += cycleDay < 5 ? std::to_string(cycleDay % 4) : "";
    csv += ",false,36." + std::to_string(i % 10) + ",";
    csv += cycleDay < 2 ? "true," : ",";
    csv += i % 7 == 0 ? "\"slept badly, woke early\"\n" : "\n";
  }
  return csv;
}

void BM_DripCsvTenYears(benchmark::State& state) {
  const std::string csv = DripTenYears();
  for (auto _ : state) {
    const lunaret::TrackerImport got = lunaret::ConvertTrackerData(lunaret::ReadDripCsv(csv), {});
    benchmark::DoNotOptimize(got.days.size());
  }
}
BENCHMARK(BM_DripCsvTenYears)->Unit(benchmark::kMillisecond);

void BM_SpreadsheetPeriodsTenYears(benchmark::State& state) {
  std::string csv = "start,end,ovulation\n";
  for (int i = 0; i < kTenYears; i += 28) {
    csv += lunaret::DayNumberText(kFirst + i) + "," + lunaret::DayNumberText(kFirst + i + 4) + "," +
           lunaret::DayNumberText(kFirst + i + 14) + "\n";
  }
  for (auto _ : state) {
    const lunaret::TrackerImport got = lunaret::ConvertTrackerData(lunaret::ReadSpanCsv(csv), {});
    benchmark::DoNotOptimize(got.records.size());
  }
}
BENCHMARK(BM_SpreadsheetPeriodsTenYears)->Unit(benchmark::kMillisecond);

// A Periodical backup of ten years, an event every day, unpacked.
void BM_PeriodicalGunzipTenYears(benchmark::State& state) {
  std::string json = "[{\"version\":\"1\"},{\"data\":[";
  for (int i = 0; i < kTenYears; ++i) {
    std::string date = lunaret::DayNumberText(kFirst + i);
    date.erase(7, 1).erase(4, 1);
    json += (i ? "," : "") + std::string("{\"eventtype\":\"2\",\"eventdate\":\"") + date +
            "\",\"intensity\":\"2\"}";
  }
  json += "]}]";
  uLongf size = compressBound(static_cast<uLong>(json.size())) + 32;
  std::string gz(size, '\0');
  z_stream stream{};
  deflateInit2(&stream, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  stream.next_in = reinterpret_cast<Bytef*>(json.data());
  stream.avail_in = static_cast<uInt>(json.size());
  stream.next_out = reinterpret_cast<Bytef*>(gz.data());
  stream.avail_out = static_cast<uInt>(size);
  deflate(&stream, Z_FINISH);
  gz.resize(stream.total_out);
  deflateEnd(&stream);
  std::string out;
  for (auto _ : state) {
    if (lunaret::Gunzip(gz, &out) != lunaret::GzipResult::kOk)
      state.SkipWithError("not unpacked");
    benchmark::DoNotOptimize(out.size());
  }
}
BENCHMARK(BM_PeriodicalGunzipTenYears)->Unit(benchmark::kMillisecond);

}  // namespace
