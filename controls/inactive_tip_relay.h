#ifndef LUNARET_CONTROLS_INACTIVE_TIP_RELAY_H
#define LUNARET_CONTROLS_INACTIVE_TIP_RELAY_H

#include <QBasicTimer>
#include <QObject>
#include <QPoint>

class QWidget;

namespace lunaret {

// Shows the tips of one widget and of everything in it also while its window is not the active
// one. Qt shows the tips of an inactive window only when the whole window asks for it
// (Qt::WA_AlwaysShowToolTips), and a page must not ask that for the rest of the main window.
// So the relay watches the pointer itself and, once it has rested for the style's wake-up
// delay over the widget, asks the control under it for its tip, as Qt does in the active
// window. Where Qt shows the tip anyway, the relay does nothing.
class InactiveTipRelay : public QObject {
 public:
  // Serves widget, which owns the relay, for as long as it lives.
  explicit InactiveTipRelay(QWidget* widget);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  // Whether the relay must show the tips of this control: it lies in the served widget, and
  // Qt would not show them.
  bool Serves(const QWidget* control) const;

  QWidget* widget_;
  QPoint globalPos_;
  QBasicTimer wakeUp_;
};

// The tips of widget and of everything in it show also while its window is inactive: through
// Qt::WA_AlwaysShowToolTips for a window, through a relay for a part of one.
void ShowTipsAlways(QWidget* widget);

}  // namespace lunaret

#endif  // LUNARET_CONTROLS_INACTIVE_TIP_RELAY_H
