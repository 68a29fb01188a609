// The yardstick of the start-up figure: a bare Qt program that shows one empty dialog, with
// the same "shown" probe as the program (scripts/startup-figure.sh builds and runs both).
#include <QApplication>
#include <QDialog>
#include <clocale>

#include "app/shown_probe.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::setlocale(LC_ALL, "");
  lunaret::ShownProbe probe;
  app.installEventFilter(&probe);
  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("Bare dialog"));
  dialog.exec();
  return 0;
}
