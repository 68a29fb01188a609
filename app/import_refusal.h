#ifndef LUNARET_APP_IMPORT_REFUSAL_H
#define LUNARET_APP_IMPORT_REFUSAL_H

#include <QString>
#include <cstddef>

namespace lunaret {

struct HistoryFile;
struct JournalFile;

// "1 day", "3 days": a count with its noun, one or many.
QString CountText(std::size_t n, const char* one, const char* many);

// Why a file is refused, in words that follow "Nothing was imported from <file>: ", naming the
// first bad lines; empty when it can be read.
QString HistoryRefusal(const HistoryFile& file);
QString JournalRefusal(const JournalFile& file);

}  // namespace lunaret

#endif  // LUNARET_APP_IMPORT_REFUSAL_H
