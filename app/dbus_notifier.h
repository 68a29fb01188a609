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

  bool Send(const Notification& notification, QString* error) override;
};

}  // namespace lunaret

#endif  // LUNARET_APP_DBUS_NOTIFIER_H
