#ifndef LUNARET_PAGES_PAGE_DATES_H
#define LUNARET_PAGES_PAGE_DATES_H

#include <QDate>

#include "core/base/stored_dates.h"
#include "core/cycles/dates.h"

namespace lunaret {

// The month calendars hand dates over as QDate; the core counts with CalendarDate fields.
// A date the calendar cannot show (fields out of range) converts to an invalid QDate.
QDate ToQDate(const CalendarDate& date);
// The date's fields with its day of week filled in, time fields 0.
CalendarDate FromQDate(const QDate& date);
// The local date of a time value as a QDate; invalid for a negative time value.
QDate LocalQDateOf(TimeValue t);
// A day of the range Lunaret stores.
inline QDate ToQDate(StoredDay day) {
  return QDate(day.year, day.month, day.day);
}

}  // namespace lunaret

#endif  // LUNARET_PAGES_PAGE_DATES_H
