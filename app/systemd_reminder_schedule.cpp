#include "app/systemd_reminder_schedule.h"

#include <QProcess>
#include <QStringList>

namespace lunaret {

bool SystemdReminderSchedule::SetDaily(bool on) {
  QProcess systemctl;
  systemctl.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  systemctl.setStandardOutputFile(QProcess::nullDevice());
  systemctl.start(
      QStringLiteral("systemctl"),
      {QStringLiteral("--user"), on ? QStringLiteral("enable") : QStringLiteral("disable"),
       QStringLiteral("--now"), QString::fromLatin1(kTimer)});
  if (!systemctl.waitForFinished(kTimeoutMs)) {
    systemctl.kill();
    systemctl.waitForFinished();
    return false;
  }
  return systemctl.exitStatus() == QProcess::NormalExit && systemctl.exitCode() == 0;
}

}  // namespace lunaret
