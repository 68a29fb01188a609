// Other trackers' JSON exports with ten years of daily data, read and converted as Import
// history does: Clue, Flo, Periodical (gzipped) and Mensinator.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <QByteArray>
#include <array>
#include <string>

#include "app/tracker_file.h"
#include "bench_history.h"
#include "core/base/day_number.h"
#include "core/exchange/tracker_import.h"

namespace {

using lunaret::bench::kTenYears;

std::string Date(int i) {
  return lunaret::DayNumberText(lunaret::DayNumberOf(2012, 1, 1) + i);
}

// text and each day's entry of a source after it, joined by commas; i counts days from 1 January
// 2012.
template <typename Entry>
std::string Entries(std::string text, Entry entry) {
  const std::size_t start = text.size();
  for (int i = 0; i < kTenYears; ++i) {
    if (text.size() > start)
      text += ',';
    text += entry(i);
  }
  return text;
}

QByteArray Gzip(const std::string& text) {
  uLongf size = compressBound(static_cast<uLong>(text.size())) + 32;
  QByteArray out(static_cast<qsizetype>(size), '\0');
  z_stream stream{};
  deflateInit2(&stream, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  stream.avail_in = static_cast<uInt>(text.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(size);
  deflate(&stream, Z_FINISH);
  out.resize(static_cast<qsizetype>(stream.total_out));
  deflateEnd(&stream);
  return out;
}

QByteArray Export(int source) {
  switch (source) {
    case 0:  // Clue: a temperature every day, a period of five days in 28
      return QByteArray::fromStdString(
          Entries("[",
                  [](int i) {
                    return i % 28 < 5 ? "{\"type\":\"period\",\"date\":\"" + Date(i) +
                                            "\",\"value\":{\"option\":\"medium\"}}"
                                      : "{\"type\":\"bbt\",\"date\":\"" + Date(i) +
                                            "\",\"value\":{\"celsius\":36.5}}";
                  }) +
          "]");
    case 1:  // Flo: a cycle in 28 days, a manual event every day
      return QByteArray::fromStdString(
          Entries("{\"operationalData\":{\"cycles\":[",
                  [](int i) {
                    return i % 28 == 0 ? "{\"period_start_date\":\"" + Date(i) + " 00:00:00.0\"}"
                                       : "{\"period_start_date\":\"" + Date(i - i % 28) + "\"}";
                  }) +
          Entries("],\"point_events_manual_v2\":[",
                  [](int i) {
                    return "{\"category\":\"" + std::string(i % 28 == 14 ? "Ovulation" : "Mood") +
                           "\",\"date\":\"" + Date(i) + " 00:00:00.0\"}";
                  }) +
          "]}}");
    case 2:  // Periodical: an event every day, a note every week
      return Gzip(Entries("[{\"version\":\"1\"},{\"data\":[",
                          [](int i) {
                            std::string date = Date(i);
                            date.erase(7, 1).erase(4, 1);
                            return "{\"eventtype\":\"" + std::string(i % 28 == 0 ? "1" : "2") +
                                   "\",\"eventdate\":\"" + date + "\",\"intensity\":\"3\"}";
                          }) +
                  "]},{\"notes\":[{\"eventdate\":\"20120101\",\"content\":\"start\"}]}]");
    default:  // Mensinator: a period day every day, ovulations every 28 days
      return QByteArray::fromStdString(Entries("{\"periods\":[",
                                               [](int i) {
                                                 return "{\"date\":\"" + Date(i) +
                                                        "\",\"period_id\":" +
                                                        std::to_string(i / 28) + "}";
                                               }) +
                                       "],\"ovulations\":[{\"date\":\"2012-01-15\"}]}");
  }
}

void BM_TrackerJsonTenYears(benchmark::State& state) {
  const QByteArray bytes = Export(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    lunaret::TrackerData data;
    if (!lunaret::ReadTrackerFile(bytes, &data))
      state.SkipWithError("not read");
    const lunaret::TrackerImport got = lunaret::ConvertTrackerData(data, {});
    if (!got.ok())
      state.SkipWithError("refused");
    benchmark::DoNotOptimize(got.records.size());
  }
  state.SetLabel(std::array{"Clue", "Flo", "Periodical", "Mensinator"}[state.range(0)]);
}
BENCHMARK(BM_TrackerJsonTenYears)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace
