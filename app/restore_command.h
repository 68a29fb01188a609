#ifndef LUNARET_APP_RESTORE_COMMAND_H
#define LUNARET_APP_RESTORE_COMMAND_H

#include <QByteArray>
#include <QString>
#include <ctime>
#include <string>

namespace lunaret {

// What "lunaret --restore FILE" did: the exit status and what belongs on standard output and
// standard error.
struct RestoreReport {
  int status = 0;
  QString output;
  QString errors;
};

// Restores the backup in file (its name as the system's bytes) over the store at storePath,
// without a window. Status 0 when restored; 1, with nothing changed, when refused.
RestoreReport RunRestore(const QByteArray& file, const std::string& storePath, std::time_t now);

}  // namespace lunaret

#endif  // LUNARET_APP_RESTORE_COMMAND_H
