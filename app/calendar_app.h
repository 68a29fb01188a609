#ifndef LUNARET_APP_CALENDAR_APP_H
#define LUNARET_APP_CALENDAR_APP_H

#include <functional>
#include <memory>

#include "core/store/registry.h"
#include "core/store/store_file.h"
#include "core/store/user_store.h"

namespace lunaret {

// The session from start to end: open the store, admit a user with the login dialog, run the
// main window until it closes. There is no other event loop: the program ends when the main
// window has closed, or at once when the login dialog ends without a user.
class CalendarApp {
 public:
  // Opens the store the session runs on; null (with the reason) when it cannot be opened.
  using StoreOpener = std::function<std::unique_ptr<Registry>(StoreOpenResult*)>;

  // The platform's per-user store (OpenDefaultStore).
  CalendarApp();
  explicit CalendarApp(StoreOpener opener);

  // Runs the whole session. Always false: nothing is left running afterwards.
  bool InitInstance();

  // The login dialog and, after a login, the main window, on an open store.
  static void RunSession(UserStore& store);

 private:
  StoreOpener opener_;
};

}  // namespace lunaret

#endif  // LUNARET_APP_CALENDAR_APP_H
