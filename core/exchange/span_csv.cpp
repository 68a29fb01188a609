#include "core/exchange/span_csv.h"

#include <string>

#include "core/exchange/csv_reader.h"
#include "core/exchange/history_csv.h"

namespace lunaret {
namespace {

constexpr std::size_t kNone = std::string::npos;

struct Columns {
  std::size_t start = kNone, end = kNone, ovulation = kNone;
};

Columns ReadHeader(CsvReader* reader) {
  Columns columns;
  int line = 0;
  bool unterminated = false;
  reader->Next(
      [&](std::size_t column, std::string_view text) {
        if (columns.start == kNone && IsColumnName(text, "start"))
          columns.start = column;
        else if (columns.end == kNone && IsColumnName(text, "end"))
          columns.end = column;
        else if (columns.ovulation == kNone && IsColumnName(text, "ovulation"))
          columns.ovulation = column;
      },
      &line, &unterminated);
  return columns;
}

}  // namespace

bool IsSpanCsv(std::string_view bytes) {
  if (CheckCsvText(&bytes, kMaxHistoryFileBytes) != CsvText::kOk)
    return false;
  CsvReader reader(bytes);
  const Columns columns = ReadHeader(&reader);
  return columns.start != kNone && columns.end != kNone;
}

TrackerData ReadSpanCsv(std::string_view bytes) {
  TrackerData data;
  data.source = "spreadsheet";
  if (CheckCsvText(&bytes, kMaxHistoryFileBytes) != CsvText::kOk) {
    data.AddProblem("the file", TrackerProblemKind::kWrongShape, "not UTF-8 text of at most 10 MB");
    return data;
  }
  CsvReader reader(bytes);
  const Columns columns = ReadHeader(&reader);
  std::string start, end, ovulation;
  bool blank = true;
  const auto onField = [&](std::size_t column, std::string_view text) {
    const std::string_view trimmed = TrimField(text);
    blank = blank && trimmed.empty();
    if (column == columns.start)
      start.assign(trimmed);
    else if (column == columns.end)
      end.assign(trimmed);
    else if (column == columns.ovulation)
      ovulation.assign(trimmed);
  };
  int line = 0;
  bool unterminated = false;
  while (true) {
    start.clear();
    end.clear();
    ovulation.clear();
    blank = true;
    if (!reader.Next(onField, &line, &unterminated))
      break;
    const std::string where = "line " + std::to_string(line);
    if (unterminated) {
      data.AddProblem(where, TrackerProblemKind::kWrongShape, "a quoted field is not closed");
      break;
    }
    if (blank)
      continue;
    data.periodDays.push_back({start, where, {}, true, true});
    if (!ovulation.empty())
      data.ovulations.push_back({ovulation, where});
    if (!end.empty())
      data.periodEnds.push_back({start, end, where});
  }
  return data;
}

}  // namespace lunaret
