#include "app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace lunaret {

namespace {

QCommandLineOption HiddenOption(const QString& name, const QString& valueName) {
  QCommandLineOption option(name, QString(), valueName);
  option.setFlags(QCommandLineOption::HiddenFromHelp);
  return option;
}

}  // namespace

CommandLine::CommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Lunaret: a calendar for tracking the menstrual cycle, for everyone who "
                     "shares this computer account."));
  // "-platform offscreen" is one option, as Qt's own programs take it.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  // Not addHelpOption(): its --help-all lists options of Qt's that this program does not take.
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Displays this help."));
  parser.addOption(help);
  const QCommandLineOption version = parser.addVersionOption();
#ifndef _WIN32
  const QCommandLineOption restore(
      QStringLiteral("restore"),
      QStringLiteral("Replaces all data with the backup in <file> (made with Tools, Back up all "
                     "data...); the data replaced is kept next to the store."),
      QStringLiteral("file"));
  parser.addOption(restore);
#endif
  parser.addOption(HiddenOption(QStringLiteral("platform"), QStringLiteral("name")));
  parser.addOption(HiddenOption(QStringLiteral("style"), QStringLiteral("name")));
  // A session manager restores the program as "lunaret -session <id>".
  parser.addOption(HiddenOption(QStringLiteral("session"), QStringLiteral("id")));

  const QString program = QStringLiteral(LUNARET_PROGRAM_NAME);
  // The parser names the program after the application object's first argument, or a
  // placeholder before there is one; the usage line names the program as it is installed.
  QString usage = parser.helpText();
  usage.replace(0, usage.indexOf(QLatin1Char('\n')),
                QStringLiteral("Usage: ") + program + QStringLiteral(" [options]"));
  if (!parser.parse(arguments)) {
    errors_ = program + QStringLiteral(": ") + parser.errorText() + QLatin1Char('\n') + usage;
    exitStatus_ = kUsageError;
  } else if (!parser.positionalArguments().isEmpty()) {
    errors_ = program + QStringLiteral(": unexpected argument '") +
              parser.positionalArguments().first() + QStringLiteral("'\n") + usage;
    exitStatus_ = kUsageError;
  } else if (parser.isSet(help)) {
    output_ = usage;
    exitStatus_ = 0;
  } else if (parser.isSet(version)) {
    output_ = QStringLiteral("Lunaret " LUNARET_VERSION "\n");
    exitStatus_ = 0;
  }
#ifndef _WIN32
  if (!exitStatus_ && parser.isSet(restore))
    restoreFile_ = parser.value(restore);
#endif
}

QStringList CommandLine::FromMain(int argc, char** argv) {
  QStringList arguments;
  arguments.reserve(argc);
  for (int i = 0; i < argc; ++i)
    arguments.append(QString::fromLocal8Bit(argv[i]));
  return arguments;
}

}  // namespace lunaret
