#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/calendar_app.h"

namespace {

// LUNARET_EXIT_WHEN_SHOWN=1: when the first window has painted, print "shown <ns>" (the
// real-time clock) and end. The start-up figure uses it; nothing else does.
class ShownProbe : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!done_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow()) {
      done_ = true;
      timespec now{};
      clock_gettime(CLOCK_REALTIME, &now);
      std::printf("shown %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
      std::fflush(stdout);
      QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    }
    return false;
  }

 private:
  bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::setlocale(LC_ALL, "");
  ShownProbe probe;
  if (std::getenv("LUNARET_EXIT_WHEN_SHOWN") != nullptr)
    app.installEventFilter(&probe);
  lunaret::CalendarApp calendar;
  calendar.InitInstance();
  return 0;
}
