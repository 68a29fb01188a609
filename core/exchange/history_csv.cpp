#include "core/exchange/history_csv.h"

#include <chrono>
#include <cstdio>

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
class CsvReader {
 public:
  explicit CsvReader(std::string_view text) : text_(text) {}

  // The next record and the line it begins on; false past the end. *unterminated is set when
  // a quoted field runs to the end of the text.
  bool Next(std::vector<std::string>* fields, int* line, bool* unterminated) {
    if (pos_ >= text_.size())
      return false;
    fields->clear();
    *line = line_;
    *unterminated = false;
    while (true) {
      std::string field;
      if (text_[pos_] == '"' && !ReadQuoted(&field)) {
        *unterminated = true;
        fields->push_back(std::move(field));
        return true;
      }
      // The unquoted field, or whatever follows a closing quote before the separator.
      std::size_t end = text_.find_first_of(",\r\n", pos_);
      if (end == std::string_view::npos)
        end = text_.size();
      field.append(text_.substr(pos_, end - pos_));
      fields->push_back(std::move(field));
      pos_ = end;
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
  // Reads a quoted field from its opening quote to its closing one; false when none closes it.
  bool ReadQuoted(std::string* field) {
    ++pos_;
    while (pos_ < text_.size()) {
      const char c = text_[pos_++];
      if (c == '"') {
        if (pos_ >= text_.size() || text_[pos_] != '"')
          return true;
        ++pos_;
      } else if (c == '\n') {
        ++line_;
      }
      field->push_back(c);
    }
    return false;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
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

// Reads a date field: YYYY-MM-DD within the picker's range, as 01:01:01 local time that day.
bool ReadDate(std::string_view field, TimeValue* t, BadRow* bad) {
  const auto digit = [&](std::size_t i) { return field[i] >= '0' && field[i] <= '9'; };
  const auto number = [&](std::size_t from, std::size_t count) {
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i)
      value = value * 10 + (field[i] - '0');
    return value;
  };
  bool shaped = field.size() == 10 && field[4] == '-' && field[7] == '-';
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    shaped = shaped && digit(i);
  namespace chrono = std::chrono;
  const chrono::year_month_day date{
      chrono::year{shaped ? number(0, 4) : 0},
      chrono::month{shaped ? static_cast<unsigned>(number(5, 2)) : 0u},
      chrono::day{shaped ? static_cast<unsigned>(number(8, 2)) : 0u}};
  bad->text = std::string(field);
  if (!shaped || !date.ok()) {
    bad->problem = RowProblem::kNotADate;
    return false;
  }
  if (date < chrono::year{kFirstHistoryYear} / chrono::February / 1 ||
      date > chrono::year{kLastHistoryYear} / chrono::December / 31) {
    bad->problem = RowProblem::kOutOfRange;
    return false;
  }
  *t = MakeTimeValue(MakeDate(number(0, 4), number(5, 2), number(8, 2)), 1, 1, 1);
  return true;
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
  std::vector<std::string> fields;
  int line = 0;
  bool unterminated = false;
  std::size_t startColumn = std::string::npos;
  std::size_t ovulationColumn = std::string::npos;
  if (reader.Next(&fields, &line, &unterminated)) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const std::string_view name = Trim(fields[i]);
      if (startColumn == std::string::npos && EqualsAsciiNoCase(name, "start"))
        startColumn = i;
      else if (ovulationColumn == std::string::npos && EqualsAsciiNoCase(name, "ovulation"))
        ovulationColumn = i;
    }
  }
  if (startColumn == std::string::npos) {
    file.error = HistoryFileError::kNoStartColumn;
    return file;
  }

  while (reader.Next(&fields, &line, &unterminated)) {
    BadRow bad;
    bad.line = line;
    if (unterminated) {
      bad.problem = RowProblem::kUnterminatedQuote;
      file.badRows.push_back(bad);
      break;
    }
    bool blank = true;
    for (const std::string& field : fields)
      blank = blank && Trim(field).empty();
    if (blank)
      continue;
    const auto field = [&](std::size_t column) {
      return column < fields.size() ? Trim(fields[column]) : std::string_view();
    };
    StatisticsRecord record;
    const std::string_view start = field(startColumn);
    const std::string_view ovulation = field(ovulationColumn);
    if (start.empty()) {
      bad.problem = RowProblem::kMissingStart;
    } else if (ReadDate(start, &record.mensesDate, &bad) &&
               (ovulation.empty() || ReadDate(ovulation, &record.ovulationDate, &bad))) {
      if (record.ovulationDate == 0 || record.ovulationDate >= record.mensesDate) {
        file.records.push_back(record);
        continue;
      }
      bad.problem = RowProblem::kOvulationBeforeStart;
      bad.text.clear();
    }
    file.badRows.push_back(std::move(bad));
  }
  return file;
}

}  // namespace lunaret
