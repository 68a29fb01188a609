#include "pages/day_marks.h"

#include <QLocale>
#include <QStringList>

namespace lunaret {

QString DescribeDay(const QDate& date, const DayMarks& marks) {
  static const char* const kFlows[] = {"", "spotting", "light flow", "medium flow", "heavy flow"};
  QStringList parts;
  if (marks.today)
    parts << QStringLiteral("today");
  if (marks.periodStart)
    parts << QStringLiteral("period started");
  if (marks.flow > 0 && marks.flow < 5)
    parts << QString::fromLatin1(kFlows[marks.flow]);
  if (marks.ovulation)
    parts << QStringLiteral("ovulation");
  if (marks.expectedStart)
    parts << QStringLiteral("forecast: period expected to begin");
  else if (marks.expectedRange)
    parts << QStringLiteral("forecast: period may begin");
  if (marks.fertile)
    parts << QStringLiteral("estimated fertile day");
  if (marks.logged)
    parts << QStringLiteral("symptoms, mood or a note logged");
  const QString day = QLocale().toString(date, QLocale::LongFormat);
  return parts.isEmpty() ? day : day + QStringLiteral(": ") + parts.join(QStringLiteral("; "));
}

}  // namespace lunaret
