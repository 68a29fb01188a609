#ifndef LUNARET_CORE_EXCHANGE_HISTORY_CSV_H
#define LUNARET_CORE_EXCHANGE_HISTORY_CSV_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/cycles/statistics.h"

namespace lunaret {

// A history file: CSV (RFC 4180) in UTF-8 with the header start,ovulation,cycle_days,
// ovulation_day and one row per record. Dates are YYYY-MM-DD in local time.

// The largest history file that is read at all.
inline constexpr std::size_t kMaxHistoryFileBytes = 10 * 1024 * 1024;

// The records as a history file: CRLF line ends, an empty ovulation where there is none. The
// last two columns hold the cycle's length (days to the next record's start; empty for the
// last record) and the ovulation's day count, for spreadsheets; reading ignores them.
std::string WriteHistoryCsv(const std::vector<StatisticsRecord>& records);

// What makes a whole file unreadable.
enum class HistoryFileError {
  kNone,
  kEmpty,          // no bytes at all
  kTooLarge,       // over kMaxHistoryFileBytes
  kNotText,        // not UTF-8, or holds zero bytes
  kNoStartColumn,  // the header names no "start" column
};

// Why a row cannot be read.
enum class RowProblem {
  kMissingStart,
  kNotADate,    // text is the field
  kOutOfRange,  // text is the date; outside the stored range (core/base/stored_dates.h)
  kOvulationBeforeStart,
  kUnterminatedQuote,
};

struct BadRow {
  int line = 0;  // where the row begins, the header being line 1
  RowProblem problem = RowProblem::kMissingStart;
  std::string text;
};

// How many bad rows a read keeps, in file order: those a refusal names. The rest are counted.
inline constexpr std::size_t kBadRowsKept = 5;

struct HistoryFile {
  HistoryFileError error = HistoryFileError::kNone;
  // Each row's start and ovulation at 01:01:01 local time, as a picked date; in file order.
  std::vector<StatisticsRecord> records;
  std::vector<BadRow> badRows;  // the first kBadRowsKept bad rows, in file order
  std::size_t badRowCount = 0;  // all bad rows

  bool ok() const { return error == HistoryFileError::kNone && badRowCount == 0; }
};

// Reads a history file whole. Accepts a UTF-8 byte order mark, CRLF or LF line ends and quoted
// fields; finds the columns "start" (required) and "ovulation" by their header names in any
// order, letter case and surrounding blanks ignored; skips blank rows. Time and memory grow
// with the size of the text only, whatever it holds.
HistoryFile ReadHistoryCsv(std::string_view bytes);

}  // namespace lunaret

#endif  // LUNARET_CORE_EXCHANGE_HISTORY_CSV_H
