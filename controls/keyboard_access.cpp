#include "controls/keyboard_access.h"

#include <QAbstractButton>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QStackedWidget>
#include <QWidget>
#include <vector>

namespace lunaret {

namespace {

// A widget that Tab can give the focus to itself (a calendar hands its focus on to its table:
// the table is the tab stop).
bool IsTabStop(const QWidget* widget) {
  return (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && widget->focusProxy() == nullptr;
}

QWidget* DeepestFocusProxy(QWidget* widget) {
  QWidget* proxy = widget->focusProxy();
  while (proxy != nullptr && proxy->focusProxy() != nullptr)
    proxy = proxy->focusProxy();
  return proxy;
}

// The tab stops under parent; hidden widgets are left out, except the pages of a stack, which
// show in turn.
void CollectTabStops(QWidget* parent, std::vector<QWidget*>* stops) {
  std::vector<QWidget*> children;
  if (const auto* stack = qobject_cast<const QStackedWidget*>(parent)) {
    for (int i = 0; i < stack->count(); ++i)
      children.push_back(stack->widget(i));
  } else {
    for (QObject* object : parent->children()) {
      auto* child = qobject_cast<QWidget*>(object);
      if (child != nullptr && !child->isWindow() && !child->isHidden())
        children.push_back(child);
    }
  }
  for (QWidget* child : children) {
    if (IsTabStop(child))
      stops->push_back(child);
    CollectTabStops(child, stops);
  }
}

// The label that names widget: the label whose buddy it is, or its own caption.
QString LabelOf(const QWidget* widget) {
  const auto labels = widget->window()->findChildren<QLabel*>();
  for (const QLabel* label : labels) {
    if (label->buddy() == widget)
      return KeyboardAccess::WithoutMnemonic(label->text());
  }
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
    return KeyboardAccess::WithoutMnemonic(button->text());
  return QString();
}

// The name of a tab stop: from the tab stop itself or a widget that hands its focus to it, its
// label, else its tooltip; failing those, the title of a group around it.
QString NameOf(QWidget* stop, const QWidget* window) {
  for (QWidget* widget = stop; widget != nullptr && widget != window;
       widget = widget->parentWidget()) {
    QString name;
    if (widget == stop || DeepestFocusProxy(widget) == stop) {
      name = LabelOf(widget);
      if (name.isEmpty())
        name = widget->toolTip().simplified();
    } else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
      name = KeyboardAccess::WithoutMnemonic(group->title());
    }
    if (!name.isEmpty())
      return name;
  }
  return QString();
}

}  // namespace

KeyboardAccess::KeyboardAccess(QWidget* window) : QObject(window) {
  window->installEventFilter(this);
}

void KeyboardAccess::Install(QWidget* window) {
  if (window->isVisible()) {
    Apply(window);
    return;
  }
  new KeyboardAccess(window);  // owned by the window
}

void KeyboardAccess::Apply(QWidget* window) {
  std::vector<QWidget*> stops;
  CollectTabStops(window, &stops);
  for (QWidget* stop : stops) {
    if (stop->accessibleName().isEmpty())
      stop->setAccessibleName(NameOf(stop, window));
  }
}

QString KeyboardAccess::WithoutMnemonic(const QString& text) {
  QString plain;
  plain.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && ++i == text.size())
      break;
    plain += text[i];
  }
  return plain.simplified();
}

bool KeyboardAccess::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent() && event->type() == QEvent::Show) {
    watched->removeEventFilter(this);
    Apply(static_cast<QWidget*>(watched));
    deleteLater();
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace lunaret
