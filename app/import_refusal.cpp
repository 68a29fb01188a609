#include "app/import_refusal.h"

#include <QCoreApplication>
#include <algorithm>
#include <string_view>

#include "controls/ui_support.h"
#include "core/base/stored_dates.h"
#include "core/exchange/history_csv.h"
#include "core/exchange/journal_csv.h"
#include "core/exchange/tracker_import.h"
#include "pages/page_dates.h"

namespace lunaret {

namespace {

QString Tr(const char* text) {
  return QCoreApplication::translate("DataCommands", text);
}

QString OutsideStoredDays(const QString& text) {
  return Tr("%1 is outside %2 to %3")
      .arg(text, ToQDate(kFirstStoredDay).toString(Qt::ISODate),
           ToQDate(kLastStoredDay).toString(Qt::ISODate));
}

QString RowReason(const BadRow& row) {
  const QString text = FromStore(row.text);
  switch (row.problem) {
    case RowProblem::kMissingStart:
      return Tr("no start date");
    case RowProblem::kNotADate:
      return Tr("not a date: \"%1\"").arg(text);
    case RowProblem::kOutOfRange:
      return OutsideStoredDays(text);
    case RowProblem::kOvulationBeforeStart:
      return Tr("ovulation before start");
    case RowProblem::kUnterminatedQuote:
      return Tr("a quoted field is not closed");
  }
  return {};
}

QString RowReason(const JournalBadRow& row) {
  // Journal texts are UTF-8 on every platform.
  const QString text = QString::fromStdString(row.text);
  switch (row.problem) {
    case JournalRowProblem::kMissingDate:
      return Tr("no date");
    case JournalRowProblem::kNotADate:
      return Tr("not a date: \"%1\"").arg(text);
    case JournalRowProblem::kOutOfRange:
      return OutsideStoredDays(text);
    case JournalRowProblem::kRepeatedDate:
      return Tr("%1 is logged twice").arg(text);
    case JournalRowProblem::kUnknownFlow:
      return Tr("not a flow: \"%1\"").arg(text);
    case JournalRowProblem::kUnknownMood:
      return Tr("not a mood: \"%1\"").arg(text);
    case JournalRowProblem::kBadSymptom:
      return Tr("not a symptom: \"%1\"").arg(text);
    case JournalRowProblem::kNoteTooLong:
      return Tr("a note longer than 2000 characters");
    case JournalRowProblem::kUnterminatedQuote:
      return Tr("a quoted field is not closed");
  }
  return {};
}

QString ProblemReason(const TrackerProblem& problem) {
  const QString text = QString::fromStdString(problem.text);
  switch (problem.kind) {
    case TrackerProblemKind::kNotADate:
      return Tr("not a date: \"%1\"").arg(text);
    case TrackerProblemKind::kOutOfRange:
      return OutsideStoredDays(text);
    case TrackerProblemKind::kUnknownFlow:
      return Tr("not a flow: \"%1\"").arg(text);
    case TrackerProblemKind::kWrongShape:
      return text;
  }
  return {};
}

// A left-out kind for one: its first word that ends in "s" in the singular ("entries": "entry",
// "readings": "reading"); quoted names are a tracker's own and stay as they are.
std::string SingularKind(std::string kind) {
  for (std::size_t start = 0; start < kind.size();) {
    const std::size_t end = std::min(kind.find(' ', start), kind.size());
    const std::string_view word = std::string_view(kind).substr(start, end - start);
    if (word.ends_with("ies")) {
      // In place rather than by replace(), which mingw-w64's GCC 12 warns of wrongly (-Wrestrict).
      kind[end - 3] = 'y';
      return kind.erase(end - 2, 2);
    }
    if (word.ends_with('s') && !word.starts_with('"'))
      return kind.erase(end - 1, 1);
    start = end + 1;
  }
  return kind;
}

// "N bad lines:" and the first of them, each "line L: reason".
template <typename Row>
QString BadLines(const std::vector<Row>& rows, std::size_t count) {
  if (count == 0)
    return {};
  QString text = CountText(count, "bad line", "bad lines") + QLatin1Char(':');
  for (const Row& row : rows)
    text += Tr("\nline %1: %2").arg(row.line).arg(RowReason(row));
  if (count > rows.size())
    text += QStringLiteral("\n...");
  return text;
}

}  // namespace

QString CountText(std::size_t n, const char* one, const char* many) {
  return QStringLiteral("%1 %2").arg(n).arg(QString::fromLatin1(n == 1 ? one : many));
}

QString HistoryRefusal(const HistoryFile& file) {
  switch (file.error) {
    case HistoryFileError::kEmpty:
      return Tr("the file is empty.");
    case HistoryFileError::kTooLarge:
      return Tr("the file is larger than 10 MB.");
    case HistoryFileError::kNotText:
      return Tr("the file is not UTF-8 text.");
    case HistoryFileError::kNoStartColumn:
      return Tr("the file has no \"start\" column.");
    case HistoryFileError::kNone:
      break;
  }
  return BadLines(file.badRows, file.badRowCount);
}

QString JournalRefusal(const JournalFile& file) {
  switch (file.error) {
    case JournalFileError::kEmpty:
      return Tr("the file is empty.");
    case JournalFileError::kTooLarge:
      return Tr("the file is larger than 64 MB.");
    case JournalFileError::kNotText:
      return Tr("the file is not UTF-8 text.");
    case JournalFileError::kNotAJournal:
    case JournalFileError::kNone:
      break;
  }
  return BadLines(file.badRows, file.badRowCount);
}

QString TrackerFileName(const std::string& source) {
  if (source == "spreadsheet")
    return Tr("a spreadsheet of periods");
  if (source == "JSON" || source == "CSV")
    return Tr("a %1 file").arg(QString::fromStdString(source));
  return Tr("a %1 export").arg(QString::fromStdString(source));
}

QString TrackerProblems(const TrackerImport& data) {
  if (data.problemCount == 0)
    return {};
  QString text = CountText(data.problemCount, "problem", "problems") + QLatin1Char(':');
  for (const TrackerProblem& problem : data.problems)
    text += QStringLiteral("\n%1: %2")
                .arg(QString::fromStdString(problem.where), ProblemReason(problem));
  if (data.problemCount > data.problems.size())
    text += QStringLiteral("\n...");
  return text;
}

QString LeftOutText(const TrackerImport& data) {
  QStringList kinds;
  for (const auto& [kind, count] : data.leftOut) {
    kinds += QStringLiteral("%1 %2").arg(count).arg(
        QString::fromStdString(count == 1 ? SingularKind(kind) : kind));
  }
  return kinds.isEmpty() ? QString()
                         : Tr("; not imported: %1").arg(kinds.join(QStringLiteral(", ")));
}

}  // namespace lunaret
