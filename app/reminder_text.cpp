#include "app/reminder_text.h"

#include <QLocale>
#include <QStringList>

#include "pages/page_dates.h"

namespace lunaret {
namespace {

// "Tuesday 5 January" in the locale's names.
QString DayText(const CalendarDate& date) {
  return QLocale().toString(ToQDate(date), QStringLiteral("dddd d MMMM"));
}

QString Days(long count) {
  return count == 1 ? QStringLiteral("1 day") : QStringLiteral("%1 days").arg(count);
}

// " (give or take 3 days)" for a forecast with a range (which lies as far on either side);
// nothing for one without.
QString Range(const ExpectedPeriod& period) {
  if (period.earlyDays == 0)
    return QString();
  return QStringLiteral(" (give or take %1)").arg(Days(period.earlyDays));
}

QString FertileText(const FertileWindow& window, const QDate& today) {
  const QString last = ToQDate(window.last) == today
                           ? QStringLiteral("ends today")
                           : QStringLiteral("lasts until %1").arg(DayText(window.last));
  if (ToQDate(window.first) == today)
    return QStringLiteral("Your estimated fertile window begins today and %1.").arg(last);
  return QStringLiteral("Your estimated fertile window began on %1 and %2.")
      .arg(DayText(window.first), last);
}

}  // namespace

Notification ReminderNotification(const QString& user, bool details, const DueReminders& due,
                                  const QDate& today) {
  const QString forWhom = QStringLiteral("A reminder for %1").arg(user);
  if (!details)
    return {QStringLiteral("Lunaret"), forWhom};
  QStringList lines;
  const ExpectedPeriod& period = due.forecast.period;
  if (due.beforePeriod)
    lines << QStringLiteral("Your next period is expected in %1, on %2%3.")
                 .arg(Days(due.daysUntilPeriod), DayText(period.start), Range(period));
  if (due.onTheDay)
    lines << QStringLiteral("Your next period is expected today%1.").arg(Range(period));
  if (due.fertileWindow)
    lines << FertileText(due.forecast.fertile, today);
  if (due.logDay)
    lines << QStringLiteral("Time to log your day in Lunaret's calendar.");
  return {forWhom, lines.join(QLatin1Char('\n'))};
}

}  // namespace lunaret
