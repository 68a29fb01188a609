#include <QApplication>
#include <clocale>
#include <cstdlib>

#include "app/calendar_app.h"
#include "app/shown_probe.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::setlocale(LC_ALL, "");
  // LUNARET_EXIT_WHEN_SHOWN=1: report when the login dialog has painted, then end.
  lunaret::ShownProbe probe;
  if (std::getenv("LUNARET_EXIT_WHEN_SHOWN") != nullptr)
    app.installEventFilter(&probe);
  lunaret::CalendarApp calendar;
  calendar.InitInstance();
  return 0;
}
