#include "controls/keyboard_access.h"

#include <QAbstractButton>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QStackedWidget>
#include <QWidget>
#include <algorithm>
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

// Top to bottom, left to right: widgets whose middle lies beside the first of a row, between its
// top and bottom, share that row.
void SortInReadingOrder(std::vector<QWidget*>* widgets) {
  std::stable_sort(widgets->begin(), widgets->end(), [](const QWidget* a, const QWidget* b) {
    return a->geometry().top() < b->geometry().top();
  });
  for (auto row = widgets->begin(); row != widgets->end();) {
    const int bottom = (*row)->geometry().bottom();
    const auto end = std::find_if(row + 1, widgets->end(), [bottom](const QWidget* widget) {
      return widget->geometry().center().y() > bottom;
    });
    std::stable_sort(row, end, [](const QWidget* a, const QWidget* b) {
      return a->geometry().left() < b->geometry().left();
    });
    row = end;
  }
}

// A page of a stack that has not shown yet has not been laid out either: lay it out where it
// will show, so that its controls have their places.
void LayOutUnshownPages(QWidget* window) {
  const auto stacks = window->findChildren<QStackedWidget*>();
  for (QStackedWidget* stack : stacks) {
    for (int i = 0; i < stack->count(); ++i) {
      QWidget* page = stack->widget(i);
      if (page->isVisible())
        continue;
      page->setGeometry(stack->contentsRect());
      QList<QWidget*> widgets = page->findChildren<QWidget*>();  // each before its children
      widgets.prepend(page);
      for (QWidget* widget : widgets) {
        if (QLayout* layout = widget->layout())
          layout->setGeometry(widget->rect());
      }
    }
  }
}

// The tab stops under parent in reading order; hidden widgets are left out, except the pages of
// a stack, which show in turn and come in their own order.
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
    SortInReadingOrder(&children);
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
  LayOutUnshownPages(window);
  std::vector<QWidget*> stops;
  CollectTabStops(window, &stops);
  for (std::size_t i = 0; i < stops.size(); ++i) {
    if (i > 0)
      QWidget::setTabOrder(stops[i - 1], stops[i]);
    if (stops[i]->accessibleName().isEmpty())
      stops[i]->setAccessibleName(NameOf(stops[i], window));
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
