#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/calendar_app.h"
#include "app/command_line.h"
#include "app/shown_probe.h"
#include "controls/ui_support.h"
#ifdef LUNARET_HAS_REMINDERS
#include "app/remind_command.h"
#endif
#ifdef LUNARET_STORE_BACKUP
#include "app/restore_command.h"
#include "core/store/store_file.h"
#endif

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  QCoreApplication::setApplicationName(QStringLiteral(LUNARET_PROGRAM_NAME));
  QCoreApplication::setApplicationVersion(QStringLiteral(LUNARET_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral(LUNARET_APP_ID));
  const lunaret::CommandLine commandLine(lunaret::CommandLine::FromMain(argc, argv),
                                         lunaret::CommandLine::RawFromMain(argc, argv));
  if (const std::optional<int> status = commandLine.ExitStatus()) {
    std::fputs(commandLine.Output().toLocal8Bit().constData(), stdout);
    std::fputs(commandLine.Errors().toLocal8Bit().constData(), stderr);
    return *status;
  }
#ifdef LUNARET_STORE_BACKUP
  if (const std::optional<QByteArray>& backup = commandLine.RestoreFile()) {
    const auto report =
        lunaret::RunRestore(*backup, lunaret::DefaultStorePath(), std::time(nullptr));
    std::fputs(report.output.toLocal8Bit().constData(), stdout);
    std::fputs(report.errors.toLocal8Bit().constData(), stderr);
    return report.status;
  }
#endif

#ifdef LUNARET_HAS_REMINDERS
  if (commandLine.Remind()) {
    // No window and no display: the session bus is all it needs.
    QCoreApplication app(argc, argv);
    const lunaret::RemindReport report = lunaret::RemindFromCommandLine();
    std::fputs(report.errors.toLocal8Bit().constData(), stderr);
    std::fflush(nullptr);
    // The store and the bus connection are closed. Qt's D-Bus thread may still be winding down,
    // and the destruction of Qt's statics at a normal exit can race it and crash: end here.
    std::_Exit(report.status);
  }
#endif

  QApplication app(argc, argv);
  lunaret::SubstituteMissingDialogFonts();
  std::setlocale(LC_ALL, "");
  // LUNARET_EXIT_WHEN_SHOWN=1: report when the login dialog has painted, then end.
  lunaret::ShownProbe probe;
  if (std::getenv("LUNARET_EXIT_WHEN_SHOWN") != nullptr)
    app.installEventFilter(&probe);
  lunaret::CalendarApp calendar;
  calendar.InitInstance();
  return 0;
}
