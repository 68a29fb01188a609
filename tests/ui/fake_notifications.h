#ifndef LUNARET_TESTS_UI_FAKE_NOTIFICATIONS_H
#define LUNARET_TESTS_UI_FAKE_NOTIFICATIONS_H

#include <QDBusConnection>
#include <QFile>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QVariantMap>
#include <memory>

namespace lunaret::test {

// Stands in for the desktop's notification service: records every notification it is asked to
// show, as "app | replaces | icon | summary | body | actions | hints | timeout".
class FakeNotifications : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  QStringList calls;

 public slots:
  uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary,
              const QString& body, const QStringList& actions, const QVariantMap& hints,
              int timeout) {
    QStringList hintTexts;
    for (auto hint = hints.begin(); hint != hints.end(); ++hint)
      hintTexts << hint.key() + '=' + hint.value().toString();
    calls << QStringLiteral("%1 | %2 | %3 | %4 | %5 | %6 | %7 | %8")
                 .arg(app, QString::number(replaces), icon, summary, body, actions.join(','),
                      hintTexts.join(','), QString::number(timeout));
    return static_cast<uint>(calls.size());
  }
};

// A session bus of its own (dbus-daemon, set up as the desktop's but starting no service on
// demand), with the fake service on it, answered on the thread's event loop.
class PrivateSessionBus {
 public:
  static constexpr const char* kService = "org.freedesktop.Notifications";

  // configFile: where to write the bus's configuration. Started() tells whether it all worked.
  explicit PrivateSessionBus(const QString& configFile) {
    QFile session(QStringLiteral("/usr/share/dbus-1/session.conf"));
    QFile config(configFile);
    if (!session.open(QIODevice::ReadOnly) || !config.open(QIODevice::WriteOnly))
      return;
    config.write(session.readAll().replace("<standard_session_servicedirs />", ""));
    config.close();
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=") + configFile, QStringLiteral("--nofork"),
                   QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    if (!daemon_.waitForReadyRead(10000))
      return;
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    connection_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(address_, QStringLiteral("fake-notifications")));
    started_ = connection_->isConnected() &&
               connection_->registerObject(QStringLiteral("/org/freedesktop/Notifications"),
                                           &service_, QDBusConnection::ExportAllSlots) &&
               connection_->registerService(QLatin1String(kService));
  }
  ~PrivateSessionBus() {
    connection_.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-notifications"));
    daemon_.kill();
    daemon_.waitForFinished();
  }
  PrivateSessionBus(const PrivateSessionBus&) = delete;
  PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;
  bool Started() const { return started_; }
  // DBUS_SESSION_BUS_ADDRESS for the programs that use it.
  const QString& Address() const { return address_; }
  FakeNotifications& Service() { return service_; }
  // The service goes away, as on a desktop without one.
  bool StopService() { return connection_->unregisterService(QLatin1String(kService)); }

 private:
  QProcess daemon_;
  QString address_;
  FakeNotifications service_;
  std::unique_ptr<QDBusConnection> connection_;
  bool started_ = false;
};

}  // namespace lunaret::test

#endif  // LUNARET_TESTS_UI_FAKE_NOTIFICATIONS_H
