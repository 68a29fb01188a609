#include "pages/page_keys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

namespace lunaret {

PageKeyRelay::PageKeyRelay(QWidget* page) : QObject(page), page_(page) {
  Watch(page);
}

void PageKeyRelay::Watch(QWidget* widget) {
  widget->installEventFilter(this);
  const auto children = widget->findChildren<QWidget*>();
  for (QWidget* child : children)
    child->installEventFilter(this);
}

bool PageKeyRelay::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress)
    return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  // A popup menu or a dialog opened from the page is a window of its own.
  if (widget == nullptr || widget->window() != page_->window())
    return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
  if (modifiers != Qt::NoModifier)
    return false;
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      emit okPressed();
      return true;
    case Qt::Key_Escape:
      emit cancelPressed();
      return true;
    default:
      return false;
  }
}

}  // namespace lunaret
