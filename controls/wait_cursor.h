#ifndef LUNARET_CONTROLS_WAIT_CURSOR_H
#define LUNARET_CONTROLS_WAIT_CURSOR_H

#include <QGuiApplication>

namespace lunaret {

// Shows the wait cursor over the whole program while it lives: around a call that may wait for
// the store (another copy holding it), so that a window that cannot answer says why.
class WaitCursor {
 public:
  WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace lunaret

#endif  // LUNARET_CONTROLS_WAIT_CURSOR_H
