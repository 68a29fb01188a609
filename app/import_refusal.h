#ifndef LUNARET_APP_IMPORT_REFUSAL_H
#define LUNARET_APP_IMPORT_REFUSAL_H

#include <QString>
#include <cstddef>
#include <string>

namespace lunaret {

struct HistoryFile;
struct JournalFile;
struct TrackerImport;

// "1 day", "3 days": a count with its noun, one or many.
QString CountText(std::size_t n, const char* one, const char* many);

// Why a file is refused, in words that follow "Nothing was imported from <file>: ", naming the
// first bad lines; empty when it can be read.
QString HistoryRefusal(const HistoryFile& file);
QString JournalRefusal(const JournalFile& file);

// "a Clue export", "a spreadsheet of periods": what a tracker's file was taken for.
QString TrackerFileName(const std::string& source);
// "N problems:" and the first of them, each "<where>: <reason>"; empty when it can be read.
QString TrackerProblems(const TrackerImport& data);
// "; not imported: 12 temperature readings, 3 sex entries", or empty when nothing is left out.
QString LeftOutText(const TrackerImport& data);

}  // namespace lunaret

#endif  // LUNARET_APP_IMPORT_REFUSAL_H
