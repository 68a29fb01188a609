#include "controls/inactive_tip_relay.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QTimerEvent>
#include <QWidget>

namespace lunaret {
namespace {

// Qt's own rule: the tips show when the control's window asks for it always, or when that
// window or a window it belongs to is active.
bool QtShowsTips(const QWidget* control) {
  const QWidget* window = control->window();
  if (window->testAttribute(Qt::WA_AlwaysShowToolTips))
    return true;
  for (; window != nullptr;
       window = window->parentWidget() ? window->parentWidget()->window() : nullptr) {
    if (window->isActiveWindow())
      return true;
  }
  return false;
}

}  // namespace

InactiveTipRelay::InactiveTipRelay(QWidget* widget) : QObject(widget), widget_(widget) {
  qApp->installEventFilter(this);
}

bool InactiveTipRelay::Serves(const QWidget* control) const {
  return control != nullptr && (control == widget_ || widget_->isAncestorOf(control)) &&
         !QtShowsTips(control);
}

bool InactiveTipRelay::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseMove: {
      // Only the moves the window system reports, and only while no button is held, as Qt.
      const auto* move = static_cast<QMouseEvent*>(event);
      if (move->spontaneous() && move->buttons() == Qt::NoButton && watched->isWidgetType() &&
          Serves(static_cast<QWidget*>(watched))) {
        globalPos_ = move->globalPosition().toPoint();
        wakeUp_.start(widget_->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr,
                                                  static_cast<QWidget*>(watched)),
                      this);
      }
      break;
    }
    // Input and leaving put the tip to sleep again, as in the active window.
    case QEvent::Wheel:
    case QEvent::ActivationChange:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::FocusOut:
    case QEvent::FocusIn:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Leave:
      wakeUp_.stop();
      break;
    default:
      break;
  }
  return false;
}

void InactiveTipRelay::timerEvent(QTimerEvent* event) {
  if (event->timerId() != wakeUp_.timerId()) {
    QObject::timerEvent(event);
    return;
  }
  wakeUp_.stop();
  // The pointer rests on the served widget's window, or a Leave would have stopped the timer.
  QWidget* window = widget_->window();
  QWidget* control = window->childAt(window->mapFromGlobal(globalPos_));
  if (control == nullptr)
    control = window;
  if (!Serves(control))
    return;
  QHelpEvent help(QEvent::ToolTip, control->mapFromGlobal(globalPos_), globalPos_);
  QApplication::sendEvent(control, &help);
}

void ShowTipsAlways(QWidget* widget) {
  // A whole window asks Qt; a part of one needs the relay.
  if (widget->isWindow())
    widget->setAttribute(Qt::WA_AlwaysShowToolTips);
  else
    new InactiveTipRelay(widget);  // owned by widget
}

}  // namespace lunaret
