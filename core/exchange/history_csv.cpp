#include "core/exchange/history_csv.h"

#include <algorithm>
#include <cstdio>

#include "core/base/stored_dates.h"
#include "core/cycles/dates.h"

namespace lunaret {
namespace {

constexpr std::string_view kHeader = "start,ovulation,cycle_days,ovulation_day\r\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF) without zero
// bytes, which no text file holds.
bool IsUtf8Text(std::string_view bytes) {
  std::size_t i = 0;
  const std::size_t size = bytes.size();
  while (i < size) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      if (lead == 0)
        return false;
      ++i;
      continue;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;  // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      low = lead == 0xE0 ? 0xA0 : 0x80;
      high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      low = lead == 0xF0 ? 0x90 : 0x80;
      high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
      return false;
    }
    if (size - i < length)
      return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto byte = static_cast<unsigned char>(bytes[i + k]);
      if (byte < (k == 1 ? low : 0x80) || byte > (k == 1 ? high : 0xBF))
        return false;
    }
    i += length;
  }
  return true;
}

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool EqualsAsciiNoCase(std::string_view text, std::string_view lowerCase) {
  if (text.size() != lowerCase.size())
    return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
    if (c != lowerCase[i])
      return false;
  }
  return true;
}

// Splits text into records of fields as RFC 4180 writes them: fields separated by commas,
// records by CRLF or LF, a field in double quotes may hold commas, line ends and doubled quotes.
// Fields are handed over one by one and not kept, so a record of millions of fields costs no
// more memory than one of them.
class CsvReader {
 public:
  explicit CsvReader(std::string_view text) : text_(text) {}

  // Hands each field of the next record to onField(column, text), the text valid during that
  // call only; the line the record begins on goes to *line. False past the end. *unterminated
  // is set when a quoted field runs to the end of the text (that field is handed over too).
  template <typename OnField>
  bool Next(OnField onField, int* line, bool* unterminated) {
    if (pos_ >= text_.size())
      return false;
    *line = line_;
    *unterminated = false;
    for (std::size_t column = 0;; ++column) {
      const bool quoted = pos_ < text_.size() && text_[pos_] == '"';
      if (quoted && !ReadQuoted()) {
        *unterminated = true;
        onField(column, std::string_view(quoted_));
        return true;
      }
      // The unquoted field, or whatever follows a closing quote before the separator.
      const std::size_t end = std::min(text_.find_first_of(",\r\n", pos_), text_.size());
      std::string_view field = text_.substr(pos_, end - pos_);
      if (quoted) {
        quoted_.append(field);
        field = quoted_;
      }
      pos_ = end;
      onField(column, field);
      if (pos_ >= text_.size())
        return true;
      const char separator = text_[pos_++];
      if (separator == ',')
        continue;
      if (separator == '\r' && pos_ < text_.size() && text_[pos_] == '\n')
        ++pos_;
      ++line_;
      return true;
    }
  }

 private:
  // Reads a quoted field into quoted_ from its opening quote to its closing one; false when
  // none closes it.
  bool ReadQuoted() {
    quoted_.clear();
    ++pos_;
    while (true) {
      const std::size_t quote = std::min(text_.find('"', pos_), text_.size());
      const std::string_view part = text_.substr(pos_, quote - pos_);
      line_ += static_cast<int>(std::count(part.begin(), part.end(), '\n'));
      quoted_.append(part);
      pos_ = quote;
      if (pos_ >= text_.size())
        return false;
      ++pos_;
      if (pos_ >= text_.size() || text_[pos_] != '"')
        return true;
      quoted_.push_back('"');
      ++pos_;
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
  std::string quoted_;  // the text of the quoted field being read
};

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
  if (bytes.empty()) {
    file.error = HistoryFileError::kEmpty;
    return file;
  }
  if (bytes.size() > kMaxHistoryFileBytes) {
    file.error = HistoryFileError::kTooLarge;
    return file;
  }
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    bytes.remove_prefix(kByteOrderMark.size());
  if (!IsUtf8Text(bytes)) {
    file.error = HistoryFileError::kNotText;
    return file;
  }

  CsvReader reader(bytes);
  int line = 0;
  bool unterminated = false;
  std::size_t startColumn = std::string::npos;
  std::size_t ovulationColumn = std::string::npos;
  reader.Next(
      [&](std::size_t column, std::string_view text) {
        const std::string_view name = Trim(text);
        if (startColumn == std::string::npos && EqualsAsciiNoCase(name, "start"))
          startColumn = column;
        else if (ovulationColumn == std::string::npos && EqualsAsciiNoCase(name, "ovulation"))
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
    const std::string_view trimmed = Trim(text);
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
