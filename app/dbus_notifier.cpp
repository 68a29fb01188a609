#include "app/dbus_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace lunaret {
namespace {

const QString kConnection = QStringLiteral("lunaret-notifications");

}  // namespace

DBusNotifier::DBusNotifier() {
  QDBusConnection::connectToBus(QDBusConnection::SessionBus, kConnection);
}

DBusNotifier::~DBusNotifier() {
  QDBusConnection::disconnectFromBus(kConnection);
}

bool DBusNotifier::Send(const Notification& notification, QString* error) {
  QDBusConnection bus(kConnection);
  if (!bus.isConnected()) {
    *error = QStringLiteral("no session bus: ") + bus.lastError().message();
    return false;
  }
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.Notifications"),
      QStringLiteral("/org/freedesktop/Notifications"),
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
  const QString appId = QStringLiteral(LUNARET_APP_ID);
  const QVariantMap hints{{QStringLiteral("desktop-entry"), appId}};
  // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout (-1: the
  // service's own).
  call << QStringLiteral("Lunaret") << 0u << appId << notification.summary << notification.body
       << QStringList() << hints << -1;
  const QDBusMessage reply = bus.call(call, QDBus::Block, kTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage) {
    *error = reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
    return false;
  }
  return true;
}

}  // namespace lunaret
