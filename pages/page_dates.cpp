#include "pages/page_dates.h"

namespace lunaret {

QDate ToQDate(const CalendarDate& date) {
  if (date.year == 0)
    return {};
  return QDate(date.year, date.month, date.day);
}

CalendarDate FromQDate(const QDate& date) {
  if (!date.isValid())
    return {};
  return MakeDate(date.year(), date.month(), date.day());
}

QDate LocalQDateOf(TimeValue t) {
  CalendarDate date;
  if (!LocalDateOf(t, &date))
    return {};
  return ToQDate(date);
}

}  // namespace lunaret
