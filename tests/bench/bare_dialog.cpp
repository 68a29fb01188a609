// The yardstick of the start-up figure: a bare Qt program that shows one empty dialog, with
// the same "shown" probe as the program (scripts/startup-figure.sh builds and runs both).
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <ctime>

namespace {

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
  app.installEventFilter(&probe);
  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("Bare dialog"));
  dialog.exec();
  return 0;
}
