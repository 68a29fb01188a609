#include "core/exchange/history_csv.h"

#include <algorithm>
#include <cstdio>

#include "core/base/stored_dates.h"
#include "core/cycles/dates.h"
#include "core/exchange/csv_reader.h"

namespace lunaret {
namespace {

constexpr std::string_view kHeader = "start,ovulation,cycle_days,ovulation_day\r\n";

std::string DateText(TimeValue t) {
  CalendarDate date;
  if (!LocalDateOf(t, &date))
    return {};
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "%04u-%02u-%02u", unsigned{date.year}, unsigned{date.month},
                unsigned{date.day});
  return buffer;
}

// The time values of the stored days as a read meets them: mktime costs more than reading a
// whole row, and a long file holds each day many times.
class DayTimes {
 public:
  DayTimes()
      : first_(MakeDate(kFirstStoredDay.year, kFirstStoredDay.month, kFirstStoredDay.day)),
        times_(
            static_cast<std::size_t>(DaysSince(
                first_, MakeDate(kLastStoredDay.year, kLastStoredDay.month, kLastStoredDay.day))) +
            1) {}

  // 01:01:01 local time on a stored day, as a picked date.
  TimeValue Of(const CalendarDate& date) {
    TimeValue& time = times_[static_cast<std::size_t>(DaysSince(first_, date))];
    if (time == 0)
      time = MakeTimeValue(date, 1, 1, 1);
    return time;
  }

 private:
  CalendarDate first_;
  std::vector<TimeValue> times_;  // 0: not yet asked for
};

// Reads a date field: YYYY-MM-DD within the stored range, as 01:01:01 local time that day.
bool ReadDate(std::string_view field, DayTimes* days, TimeValue* t, RowProblem* problem) {
  CalendarDate date;
  switch (ReadDateText(field, &date)) {
    case DateTextKind::kStoredDay:
      *t = days->Of(date);
      return true;
    case DateTextKind::kNotADate:
      *problem = RowProblem::kNotADate;
      return false;
    case DateTextKind::kOutOfRange:
      *problem = RowProblem::kOutOfRange;
      return false;
  }
  return false;
}

}  // namespace

std::string WriteHistoryCsv(const std::vector<StatisticsRecord>& records) {
  std::string out(kHeader);
  out.reserve(out.size() + records.size() * 36);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const StatisticsRecord& record = records[i];
    out += DateText(record.mensesDate);
    out += ',';
    if (record.ovulationDate > 0)
      out += DateText(record.ovulationDate);
    out += ',';
    if (i + 1 < records.size())
      out += std::to_string(DurationDays(&record, &records[i + 1]));
    out += ',';
    if (record.ovulationDate > 0)
      out += std::to_string(OvulationOffsetDays(record));
    out += "\r\n";
  }
  return out;
}

HistoryFile ReadHistoryCsv(std::string_view bytes) {
  HistoryFile file;
  switch (CheckCsvText(&bytes, kMaxHistoryFileBytes)) {
    case CsvText::kEmpty:
      file.error = HistoryFileError::kEmpty;
      return file;
    case CsvText::kTooLarge:
      file.error = HistoryFileError::kTooLarge;
      return file;
    case CsvText::kNotText:
      file.error = HistoryFileError::kNotText;
      return file;
    case CsvText::kOk:
      break;
  }

  CsvReader reader(bytes);
  int line = 0;
  bool unterminated = false;
  std::size_t startColumn = std::string::npos;
  std::size_t ovulationColumn = std::string::npos;
  reader.Next(
      [&](std::size_t column, std::string_view text) {
        if (startColumn == std::string::npos && IsColumnName(text, "start"))
          startColumn = column;
        else if (ovulationColumn == std::string::npos && IsColumnName(text, "ovulation"))
          ovulationColumn = column;
      },
      &line, &unterminated);
  if (startColumn == std::string::npos) {
    file.error = HistoryFileError::kNoStartColumn;
    return file;
  }

  const auto addBad = [&file, &line](RowProblem problem, std::string_view text) {
    if (file.badRows.size() < kBadRowsKept)
      file.badRows.push_back({line, problem, std::string(text)});
    ++file.badRowCount;
  };
  // The two fields read, copied: a quoted field's text lasts only while it is handed over.
  std::string start;
  std::string ovulation;
  bool blank = true;
  DayTimes days;
  const auto onField = [&](std::size_t column, std::string_view text) {
    const std::string_view trimmed = TrimField(text);
    blank = blank && trimmed.empty();
    if (column == startColumn)
      start.assign(trimmed);
    else if (column == ovulationColumn)
      ovulation.assign(trimmed);
  };
  while (true) {
    start.clear();
    ovulation.clear();
    blank = true;
    if (!reader.Next(onField, &line, &unterminated))
      break;
    if (unterminated) {
      addBad(RowProblem::kUnterminatedQuote, {});
      break;
    }
    if (blank)
      continue;
    StatisticsRecord record;
    RowProblem problem = RowProblem::kMissingStart;
    if (start.empty()) {
      addBad(problem, {});
    } else if (!ReadDate(start, &days, &record.mensesDate, &problem)) {
      addBad(problem, start);
    } else if (!ovulation.empty() && !ReadDate(ovulation, &days, &record.ovulationDate, &problem)) {
      addBad(problem, ovulation);
    } else if (record.ovulationDate != 0 && record.ovulationDate < record.mensesDate) {
      addBad(RowProblem::kOvulationBeforeStart, {});
    } else {
      file.records.push_back(record);
    }
  }
  return file;
}

}  // namespace lunaret
