#ifndef LUNARET_APP_DBUS_NOTIFIER_H
#define LUNARET_APP_DBUS_NOTIFIER_H

#include "app/notifier.h"

namespace lunaret {

// Notifications through the freedesktop notification service on the session bus
// (org.freedesktop.Notifications), named after Lunaret's desktop entry so that the desktop shows
// them as Lunaret's and lets her switch them off there. Needs a QCoreApplication.
class DBusNotifier final : public Notifier {
 public:
  // How long a call waits for the service to answer.
  static constexpr int kTimeoutMs = 10000;

  // A connection of its own to the session bus, closed again by the destructor: the program
  // ends without the bus's thread still reading from it.
  DBusNotifier();
  ~DBusNotifier() override;
  DBusNotifier(const DBusNotifier&) = delete;
  DBusNotifier& operator=(const DBusNotifier&) = delete;

  bool Send(const Notification& notification, QString* error) override;
};

}  // namespace lunaret

#endif  // LUNARET_APP_DBUS_NOTIFIER_H
