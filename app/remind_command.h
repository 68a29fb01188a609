#ifndef LUNARET_APP_REMIND_COMMAND_H
#define LUNARET_APP_REMIND_COMMAND_H

#include <QDateTime>
#include <QString>

#include "app/notifier.h"
#include "core/store/registry.h"

namespace lunaret {

// What "lunaret --remind" did: the exit status, what belongs on standard error, and how many
// notifications went out.
struct RemindReport {
  int status = 0;
  QString errors;
  int sent = 0;
};

// Sends each user with a reminder due at now (local time) one notification, and records what
// was sent for her; nothing else is written. The store is held in one transaction from the
// first read to the last write, so that two runs at once cannot both send a reminder. When the
// notifier fails, nothing is recorded for that user, no further user is tried, and the status is
// 1 with one line saying why.
RemindReport RunReminders(Registry& registry, Notifier& notifier, const QDateTime& now);

// "lunaret --remind": RunReminders on the user's store, when there is one (an account that has
// never run Lunaret gets no store from it), through the desktop's notification service.
RemindReport RemindFromCommandLine();

}  // namespace lunaret

#endif  // LUNARET_APP_REMIND_COMMAND_H
