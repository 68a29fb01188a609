#ifndef LUNARET_APP_SHOWN_PROBE_H
#define LUNARET_APP_SHOWN_PROBE_H

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace lunaret {

// Installed on the application for the start-up figure: when the first window has painted, it
// prints "shown <ns>" (the real-time clock) and ends the program. Header-only, so that the
// bare yardstick program measures the same moment without linking anything of Lunaret.
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

}  // namespace lunaret

#endif  // LUNARET_APP_SHOWN_PROBE_H
