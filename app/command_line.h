#ifndef LUNARET_APP_COMMAND_LINE_H
#define LUNARET_APP_COMMAND_LINE_H

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QStringList>
#include <optional>

namespace lunaret {

// The program's command line, read before any window exists (so that --help and --version work
// without a display): --help, --version, --restore FILE (not on Windows, where the store is the
// registry), --remind (where the program sends reminders), and Qt's own -platform, -style and
// -session, which pass through to the application object.
class CommandLine {
 public:
  // Exit status of a command line the program does not understand.
  static constexpr int kUsageError = 2;

  // arguments[0] is the program's name. raw, when given, holds the same arguments as the bytes
  // the system passed: a file's name is taken from there, so that a name that is not text in the
  // user's encoding still names its file.
  explicit CommandLine(const QStringList& arguments, const QByteArrayList& raw = {});

  // Set when the program is to end at once with this status: after --help or --version (0) or
  // after a mistake in the arguments (kUsageError). Output() and Errors() then say why.
  std::optional<int> ExitStatus() const { return exitStatus_; }
  // What belongs on standard output and on standard error.
  const QString& Output() const { return output_; }
  const QString& Errors() const { return errors_; }
  // The name of the backup to restore instead of running the program, as the system's bytes.
  const std::optional<QByteArray>& RestoreFile() const { return restoreFile_; }
  // --remind: send the reminders due today instead of running the program.
  bool Remind() const { return remind_; }

  // The arguments of main() as text, in the encoding of the user's locale.
  static QStringList FromMain(int argc, char** argv);
  // The arguments of main() as they are.
  static QByteArrayList RawFromMain(int argc, char** argv);

 private:
  std::optional<int> exitStatus_;
  std::optional<QByteArray> restoreFile_;
  bool remind_ = false;
  QString output_;
  QString errors_;
};

}  // namespace lunaret

#endif  // LUNARET_APP_COMMAND_LINE_H
