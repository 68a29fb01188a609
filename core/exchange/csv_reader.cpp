#include "core/exchange/csv_reader.h"

#include "core/base/utf8.h"

namespace lunaret {

bool CsvReader::ReadQuoted() {
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

CsvText CheckCsvText(std::string_view* bytes, std::size_t limit) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (bytes->empty())
    return CsvText::kEmpty;
  if (bytes->size() > limit)
    return CsvText::kTooLarge;
  if (bytes->substr(0, kByteOrderMark.size()) == kByteOrderMark)
    bytes->remove_prefix(kByteOrderMark.size());
  return IsUtf8Text(*bytes) ? CsvText::kOk : CsvText::kNotText;
}

std::string_view TrimField(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsColumnName(std::string_view field, std::string_view lowerCaseName) {
  const std::string_view text = TrimField(field);
  if (text.size() != lowerCaseName.size())
    return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
    if (c != lowerCaseName[i])
      return false;
  }
  return true;
}

}  // namespace lunaret
