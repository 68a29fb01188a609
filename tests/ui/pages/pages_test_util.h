#ifndef LUNARET_TESTS_UI_PAGES_PAGES_TEST_UTIL_H
#define LUNARET_TESTS_UI_PAGES_PAGES_TEST_UTIL_H

#include <QCalendarWidget>
#include <QDate>
#include <QTableView>
#include <QTest>

#include "controls/hover_button.h"
#include "core/cycles/dates.h"
#include "pages/date_picker_dialog.h"
#include "ui_test_support.h"

namespace lunaret::test {

// A day as the pages store it: 01:01:01 local time.
inline TimeValue PickedTime(const QDate& day) {
  return MakeTimeValue(MakeDate(day.year(), day.month(), day.day()), 1, 1, 1);
}

// Answers the next date picker with this day and OK.
inline void PickNext(const QDate& day) {
  WhenModal<DatePickerDialog>([day](DatePickerDialog* picker) {
    picker->Calendar()->setSelectedDate(day);
    QTest::mouseClick(picker->OkButton(), Qt::LeftButton);
  });
}

inline QTableView* CalendarView(QCalendarWidget* calendar) {
  return calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"));
}

// Clicks a day on a month calendar as the user would, turning to its month first.
inline void ClickCalendarDay(QCalendarWidget* calendar, const QDate& date) {
  calendar->setCurrentPage(date.year(), date.month());
  QTableView* view = CalendarView(calendar);
  ASSERT_NE(view, nullptr);
  const QAbstractItemModel* model = view->model();
  // Cells run row by row; the first "1" is the first day of the shown month.
  int day = 0;
  for (int cell = 0; cell < model->rowCount() * model->columnCount(); ++cell) {
    const QModelIndex index =
        model->index(cell / model->columnCount(), cell % model->columnCount());
    if (day == 0 && index.data().toString() != QStringLiteral("1"))
      continue;
    if (++day == date.day()) {
      QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                        view->visualRect(index).center());
      return;
    }
  }
  ADD_FAILURE() << "no cell for " << date.toString().toStdString();
}

}  // namespace lunaret::test

#endif  // LUNARET_TESTS_UI_PAGES_PAGES_TEST_UTIL_H
