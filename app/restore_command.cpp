#include "app/restore_command.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/exchange/store_backup.h"

namespace lunaret {

RestoreReport RunRestore(const QByteArray& fileName, const std::string& storePath,
                         std::time_t now) {
  const QString program = QStringLiteral(LUNARET_PROGRAM_NAME);
  const QString file = QFile::decodeName(fileName);
  const QString store = QFile::decodeName(QByteArray::fromStdString(storePath));
  const RestoreOutcome outcome = RestoreStore(fileName.toStdString(), storePath, now);
  const QString reason = QString::fromLocal8Bit(outcome.systemError);
  RestoreReport report;
  report.status = 1;
  switch (outcome.result) {
    case RestoreResult::kRestored:
      report.status = 0;
      report.output = QStringLiteral("Restored all data from %1 into %2.\n").arg(file, store);
      if (!outcome.keptAs.empty()) {
        report.output += QStringLiteral("The data it replaced is kept as %1.\n")
                             .arg(QFile::decodeName(QByteArray::fromStdString(outcome.keptAs)));
      }
      return report;
    case RestoreResult::kCannotRead:
      report.errors = QStringLiteral("%1: cannot read %2: %3.").arg(program, file, reason);
      break;
    case RestoreResult::kNotAStore:
      report.errors =
          QStringLiteral("%1: %2 is not a Lunaret store, or it is damaged.").arg(program, file);
      break;
    case RestoreResult::kInUse:
      report.errors = QStringLiteral(
                          "%1: the store %2 is in use by another copy of Lunaret; close it "
                          "and try again.")
                          .arg(program, store);
      break;
    case RestoreResult::kCannotWrite:
      report.errors = QStringLiteral("%1: cannot write in %2: %3.")
                          .arg(program, QDir::toNativeSeparators(QFileInfo(store).path()), reason);
      break;
  }
  report.errors += QStringLiteral(" Nothing was changed.\n");
  return report;
}

}  // namespace lunaret
