#include "app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>

namespace lunaret {

namespace {

QCommandLineOption HiddenOption(const QString& name, const QString& valueName) {
  QCommandLineOption option(name, QString(), valueName);
  option.setFlags(QCommandLineOption::HiddenFromHelp);
  return option;
}

#ifdef LUNARET_STORE_BACKUP
// The bytes of the last value given to the option named name, found in raw the way the parser
// finds it in arguments: "--name value", "-name value" or "--name=value", up to a "--".
// valueOptions are the names of every option that takes a value.
std::optional<QByteArray> RawValue(const QStringList& arguments, const QByteArrayList& raw,
                                   const QStringList& valueOptions, const QString& name) {
  std::optional<QByteArray> value;
  if (raw.size() != arguments.size())
    return value;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QLatin1String("--"))
      break;
    if (!argument.startsWith(QLatin1Char('-')))
      continue;
    const QString option = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = option.indexOf(QLatin1Char('='));
    if (equals >= 0) {
      if (option.left(equals) == name)
        value = raw[i].mid(raw[i].indexOf('=') + 1);
    } else if (valueOptions.contains(option) && i + 1 < arguments.size()) {
      if (option == name)
        value = raw[i + 1];
      ++i;
    }
  }
  return value;
}
#endif

}  // namespace

CommandLine::CommandLine(const QStringList& arguments,
                         [[maybe_unused]] const QByteArrayList& raw) {  // read for --restore
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
#ifdef LUNARET_STORE_BACKUP
  const QCommandLineOption restore(
      QStringLiteral("restore"),
      QStringLiteral("Replaces all data with the backup in <file> (made with Tools, Back up all "
                     "data...); the data replaced is kept next to the store."),
      QStringLiteral("file"));
  parser.addOption(restore);
#endif
#ifdef LUNARET_HAS_REMINDERS
  const QCommandLineOption remind(
      QStringLiteral("remind"),
      QStringLiteral("Sends the reminders due today as desktop notifications, without a window "
                     "(Tools, Reminders... sets them up)."));
  parser.addOption(remind);
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
#ifdef LUNARET_HAS_REMINDERS
  remind_ = !exitStatus_ && parser.isSet(remind);
#endif
#ifdef LUNARET_STORE_BACKUP
  if (!exitStatus_ && parser.isSet(restore)) {
    // The bytes the system passed, when they are what the parser read; else the text encoded.
    const QString file = parser.value(restore);
    const std::optional<QByteArray> bytes =
        RawValue(arguments, raw,
                 {QStringLiteral("restore"), QStringLiteral("platform"), QStringLiteral("style"),
                  QStringLiteral("session")},
                 QStringLiteral("restore"));
    restoreFile_ = bytes && QFile::decodeName(*bytes) == file ? *bytes : QFile::encodeName(file);
  }
#endif
}

QStringList CommandLine::FromMain(int argc, char** argv) {
  QStringList arguments;
  arguments.reserve(argc);
  for (int i = 0; i < argc; ++i)
    arguments.append(QFile::decodeName(argv[i]));
  return arguments;
}

QByteArrayList CommandLine::RawFromMain(int argc, char** argv) {
  QByteArrayList arguments;
  arguments.reserve(argc);
  for (int i = 0; i < argc; ++i)
    arguments.append(QByteArray(argv[i]));
  return arguments;
}

}  // namespace lunaret
