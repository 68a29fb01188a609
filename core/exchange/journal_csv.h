#ifndef LUNARET_CORE_EXCHANGE_JOURNAL_CSV_H
#define LUNARET_CORE_EXCHANGE_JOURNAL_CSV_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/journal_day.h"

namespace lunaret {

// A journal file: CSV (RFC 4180) in UTF-8 with the header date,flow,symptoms,mood,note and one
// row per logged day in date order. Dates are YYYY-MM-DD; flow and mood are their English names
// (journal_names.h), empty for none; the symptoms are the built-in ones in their order, then her
// own, separated by ';'; the note is her text as it is, line breaks included.

// The largest journal file that is read at all: ten years of daily notes at their longest fit.
inline constexpr std::size_t kMaxJournalFileBytes = 64 * 1024 * 1024;

// CRLF line ends; a field that holds a comma, a double quote or a line break is quoted, its
// quotes doubled.
std::string WriteJournalCsv(const Journal& journal);

// What makes a whole file unreadable.
enum class JournalFileError {
  kNone,
  kEmpty,        // no bytes at all
  kTooLarge,     // over kMaxJournalFileBytes
  kNotText,      // not UTF-8, or holds zero bytes
  kNotAJournal,  // the header names no "date" column, or none of the other four
};

// Why a row cannot be read; text is the field, or the symptom, at fault.
enum class JournalRowProblem {
  kMissingDate,
  kNotADate,
  kOutOfRange,    // a real day outside the stored range (core/base/stored_dates.h)
  kRepeatedDate,  // an earlier row has the same day
  kUnknownFlow,
  kUnknownMood,
  kBadSymptom,   // neither a built-in symptom nor a name she may give one (IsOwnSymptomName)
  kNoteTooLong,  // over kMaxNoteChars characters
  kUnterminatedQuote,
};

struct JournalBadRow {
  int line = 0;  // where the row begins, the header being line 1
  JournalRowProblem problem = JournalRowProblem::kMissingDate;
  std::string text;

  bool operator==(const JournalBadRow&) const = default;
};

struct JournalFile {
  JournalFileError error = JournalFileError::kNone;
  Journal days;                        // the rows that log anything
  std::vector<JournalBadRow> badRows;  // the first kBadRowsKept (history_csv.h), in file order
  std::size_t badRowCount = 0;         // all bad rows

  // Anything wrong refuses the whole file.
  bool ok() const { return error == JournalFileError::kNone && badRowCount == 0; }
};

// Reads a journal file whole. Accepts a UTF-8 byte order mark, CRLF or LF line ends and quoted
// fields; finds the columns by their header names in any order, letter case and surrounding
// blanks ignored (a missing one reads as empty, other columns are ignored); skips blank rows and
// rows that log nothing. Names of flow, mood and symptoms are read without regard to ASCII
// letter case, blanks around them ignored; "none" is read as no flow or mood. A symptom named
// twice in a row counts once.
JournalFile ReadJournalCsv(std::string_view bytes);

}  // namespace lunaret

#endif  // LUNARET_CORE_EXCHANGE_JOURNAL_CSV_H
