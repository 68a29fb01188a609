#ifndef LUNARET_CORE_EXCHANGE_CSV_READER_H
#define LUNARET_CORE_EXCHANGE_CSV_READER_H

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace lunaret {

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
  bool ReadQuoted();

  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
  std::string quoted_;  // the text of the quoted field being read
};

// What a CSV file's bytes are as a whole, before any row is read.
enum class CsvText {
  kOk,
  kEmpty,     // no bytes at all
  kTooLarge,  // over the limit
  kNotText,   // not UTF-8, or holds zero bytes
};
// Checks the bytes of a whole file against limit and drops a UTF-8 byte order mark from them.
CsvText CheckCsvText(std::string_view* bytes, std::size_t limit);

// A field without the blanks (spaces, tabs) at either end.
std::string_view TrimField(std::string_view text);

// True when the header field, trimmed, is the lower-case name in any ASCII letter case.
bool IsColumnName(std::string_view field, std::string_view lowerCaseName);

}  // namespace lunaret

#endif  // LUNARET_CORE_EXCHANGE_CSV_READER_H
