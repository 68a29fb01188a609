#include "app/remind_command.h"

#include <QFileInfo>

#include "app/dbus_notifier.h"
#include "app/reminder_text.h"
#include "controls/ui_support.h"
#include "core/base/text.h"
#include "core/cycles/dates.h"
#include "core/store/reminder_store.h"
#include "core/store/statistics_store.h"
#include "core/store/store_file.h"
#include "pages/page_dates.h"

namespace lunaret {
namespace {

// Her forecast as the pages would show it from the store: no first day, no forecast.
ReminderForecast StoredForecast(UserStore& store, const std::string& user) {
  CalendarDate firstDay;
  if (!LocalDateOf(store.GetCycleStart(user), &firstDay))
    return {};
  return ForecastForReminders(LoadStatistics(store, user), firstDay,
                              AtoiRule(store.GetDuration(user)));
}

}  // namespace

RemindReport RunReminders(Registry& registry, Notifier& notifier, const QDateTime& now) {
  RemindReport report;
  UserStore store(registry);
  const QDate today = now.date();
  const int minute = now.time().hour() * 60 + now.time().minute();
  StoreTransaction transaction(registry);
  if (!transaction.Begun())
    return {1, QStringLiteral("lunaret: the store is busy; no reminder was sent\n"), 0};
  for (const std::string& user : store.ListUsers()) {
    const ReminderSettings settings = LoadReminderSettings(store, user);
    if (!settings.AnyOn())
      continue;
    const RemindersSent sent = LoadRemindersSent(store, user);
    const DueReminders due =
        RemindersDue(settings, sent, StoredForecast(store, user), FromQDate(today), minute);
    if (!due.Any())
      continue;
    QString error;
    if (!notifier.Send(ReminderNotification(FromStore(user), settings.showDetails, due, today),
                       &error)) {
      report.status = 1;
      report.errors = QStringLiteral("lunaret: no notification service answered (%1)\n").arg(error);
      break;
    }
    ++report.sent;
    if (!SaveRemindersSent(store, user, MarkSent(sent, due, FromQDate(today))))
      report.status = 1;
  }
  if (!transaction.Commit() && report.sent > 0)
    report.status = 1;
  if (report.status != 0 && report.errors.isEmpty())
    report.errors = QStringLiteral("lunaret: the reminders sent could not be recorded\n");
  return report;
}

RemindReport RemindFromCommandLine() {
  if (!QFileInfo::exists(QString::fromStdString(DefaultStorePath())))
    return {};
  StoreOpenResult result = StoreOpenResult::kOk;
  const std::unique_ptr<Registry> registry = OpenDefaultStore(&result);
  if (registry == nullptr)
    return {1, QStringLiteral("lunaret: the store could not be opened\n"), 0};
  DBusNotifier notifier;
  return RunReminders(*registry, notifier, QDateTime::currentDateTime());
}

}  // namespace lunaret
