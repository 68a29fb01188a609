#ifndef LUNARET_APP_REMINDER_TEXT_H
#define LUNARET_APP_REMINDER_TEXT_H

#include <QDate>
#include <QString>

#include "app/notifier.h"
#include "core/cycles/reminders.h"

namespace lunaret {

// The notification for the reminders due to user today. Without details it names only the
// program and her: "Lunaret", "A reminder for <name>"; with them, a sentence for each reminder,
// days in the locale's words, e.g. "Your next period is expected in 2 days, on Tuesday 5 January
// (give or take 3 days)."
Notification ReminderNotification(const QString& user, bool details, const DueReminders& due,
                                  const QDate& today);

}  // namespace lunaret

#endif  // LUNARET_APP_REMINDER_TEXT_H
