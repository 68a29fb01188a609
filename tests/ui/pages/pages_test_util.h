#ifndef LUNARET_TESTS_UI_PAGES_PAGES_TEST_UTIL_H
#define LUNARET_TESTS_UI_PAGES_PAGES_TEST_UTIL_H

#include <QCalendarWidget>
#include <QDate>
#include <QTableView>
#include <QTest>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "core/dates.h"

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace lunaret::test {

// Sets TZ for its lifetime and restores the previous value afterwards.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ"))
      old_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (old_)
      setenv("TZ", old_->c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::optional<std::string> old_;
};

inline TimeValue PickedTime(int year, int month, int day) {
  return MakeTimeValue(MakeDate(year, month, day), 1, 1, 1);
}

// The day cell of a month calendar that shows date (the calendar turns to its month first).
inline QModelIndex CalendarCell(QCalendarWidget* calendar, const QDate& date) {
  calendar->setCurrentPage(date.year(), date.month());
  auto* view = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
  if (view == nullptr)
    return {};
  const QAbstractItemModel* model = view->model();
  // Cells run row by row; the first "1" is the first day of the shown month.
  int steps = -1;
  for (int row = 0; row < model->rowCount(); ++row) {
    for (int column = 0; column < model->columnCount(); ++column) {
      const QModelIndex cell = model->index(row, column);
      if (steps < 0 && cell.data().toString() == QStringLiteral("1"))
        steps = 0;
      if (steps >= 0) {
        if (++steps == date.day())
          return cell;
      }
    }
  }
  return {};
}

// Clicks a day on a month calendar as the user would.
inline void ClickCalendarDay(QCalendarWidget* calendar, const QDate& date) {
  const QModelIndex cell = CalendarCell(calendar, date);
  ASSERT_TRUE(cell.isValid()) << date.toString().toStdString();
  auto* view = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                    view->visualRect(cell).center());
}

inline QWidget* CalendarView(QCalendarWidget* calendar) {
  return calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
}

}  // namespace lunaret::test

#endif  // LUNARET_TESTS_UI_PAGES_PAGES_TEST_UTIL_H
