// The date picker: its bounds, the wrong-date check at 01:01:01 local time, and its placing.
#include "pages/date_picker_dialog.h"

#include <QCalendarWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <functional>

#include <gtest/gtest.h>

#include "controls/hover_button.h"
#include "controls/ui_support.h"
#include "pages/page_dates.h"
#include "pages_test_util.h"
#include "ui_test_support.h"

namespace lunaret::test {
namespace {

// The picker's usual opening day, in the time zone in force.
TimeValue May1() {
  return PickedTime(QDate(2024, 5, 1));
}

// Runs the picker's real modal loop, answered by action; returns exec()'s result, or fails
// when the picker is still open after a few seconds.
int RunPicker(DatePickerDialog& picker, std::function<void(DatePickerDialog*)> action) {
  WhenModalOf<DatePickerDialog>(std::move(action));
  QTimer::singleShot(5000, &picker, [&picker]() {
    if (!picker.isVisible())
      return;
    ADD_FAILURE() << "the picker did not close";
    picker.done(-1);
  });
  return picker.exec();
}

// Selects day on the open picker and presses OK.
void Choose(DatePickerDialog* picker, const QDate& day) {
  picker->Calendar()->setSelectedDate(day);
  QTest::mouseClick(picker->OkButton(), Qt::LeftButton);
}

TEST(DatePickerTest, TheMinimumNeverFallsBelowTheFloorAndCarriesTheInitialDate) {
  DatePickerDialog picker(May1(), nullptr);
  EXPECT_EQ(picker.MinimumDate(), DatePickerDialog::kDateFloor);
  for (TimeValue low : {DatePickerDialog::kDateFloor, TimeValue{0}, TimeValue{-100}})
    picker.SetMinimumDate(low);
  EXPECT_EQ(picker.MinimumDate(), DatePickerDialog::kDateFloor);
  EXPECT_EQ(picker.InitialDate(), May1());

  picker.SetMinimumDate(PickedTime(QDate(2024, 6, 1)));  // above the initial date: moves it
  EXPECT_EQ(picker.MinimumDate(), PickedTime(QDate(2024, 6, 1)));
  EXPECT_EQ(picker.InitialDate(), PickedTime(QDate(2024, 6, 1)));
  picker.SetInitialDate(PickedTime(QDate(2024, 5, 31)));  // below the minimum: ignored
  EXPECT_EQ(picker.InitialDate(), PickedTime(QDate(2024, 6, 1)));
  picker.SetInitialDate(PickedTime(QDate(2024, 7, 4)));
  EXPECT_EQ(picker.InitialDate(), PickedTime(QDate(2024, 7, 4)));
  CalendarDate out;
  EXPECT_EQ(picker.GetSelectedDate(&out), 0) << "nothing picked yet";
}

TEST(DatePickerTest, AtUtcTheFloorsOwnDayIsAWrongDateAndTheNextDayIsPicked) {
  ScopedTimeZone zone("UTC0");
  MessageBoxRecorder boxes;
  DatePickerDialog picker(May1(), nullptr);
  bool stayedOpen = false;
  const int result = RunPicker(picker, [&](DatePickerDialog* dialog) {
    EXPECT_EQ(dialog->Calendar()->minimumDate(), QDate(1970, 1, 31));
    EXPECT_EQ(dialog->Calendar()->maximumDate(), QDate(2037, 12, 31));
    EXPECT_EQ(dialog->Calendar()->selectedDate(), QDate(2024, 5, 1));
    Choose(dialog, QDate(1970, 1, 31));
    stayedOpen = dialog->isVisible();
    Choose(dialog, QDate(1970, 2, 1));
  });
  EXPECT_TRUE(stayedOpen);
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text,
            "You have selected a wrong date.\r\nSelect a correct date, please.");
  EXPECT_EQ(boxes.Calls()[0].title, "Lunaret date checker");
  EXPECT_EQ(boxes.Calls()[0].flags, 0x40u);
  EXPECT_EQ(result, QDialog::Accepted);
  CalendarDate picked;
  EXPECT_NE(picker.GetSelectedDate(&picked), 0);
  EXPECT_EQ(MakeTimeValue(picked, 1, 1, 1), 2682061) << "1 February 1970, 01:01:01";
  EXPECT_EQ(picked.hour, 1);
}

TEST(DatePickerTest, FourHoursAheadTheFloorsDayIsTheFirstAndEnterAcceptsIt) {
  ScopedTimeZone zone("<+04>-4");
  MessageBoxRecorder boxes;
  DatePickerDialog picker(May1(), nullptr);
  const int result = RunPicker(picker, [](DatePickerDialog* dialog) {
    EXPECT_EQ(dialog->Calendar()->minimumDate(), QDate(1970, 2, 1));
    dialog->Calendar()->setSelectedDate(QDate(1970, 2, 1));
    QTest::keyClick(dialog->Calendar(), Qt::Key_Return);
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_TRUE(boxes.Calls().empty());
  CalendarDate picked;
  EXPECT_NE(picker.GetSelectedDate(&picked), 0);
  EXPECT_EQ(ToQDate(picked), QDate(1970, 2, 1));
}

TEST(DatePickerTest, APickedBoundAcceptsItsOwnDayAndNothingPast2037) {
  ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
  MessageBoxRecorder boxes;
  DatePickerDialog picker(May1(), nullptr);
  picker.SetMinimumDate(PickedTime(QDate(2024, 7, 10)));
  EXPECT_EQ(RunPicker(picker,
                      [](DatePickerDialog* dialog) {
                        EXPECT_EQ(dialog->Calendar()->selectedDate(), QDate(2024, 7, 10));
                        Choose(dialog, QDate(2024, 7, 9));  // not selectable
                      }),
            QDialog::Accepted);
  CalendarDate picked;
  EXPECT_NE(picker.GetSelectedDate(&picked), 0);
  EXPECT_EQ(ToQDate(picked), QDate(2024, 7, 10));

  DatePickerDialog last(May1(), nullptr);
  EXPECT_EQ(RunPicker(last, [](DatePickerDialog* dialog) { Choose(dialog, QDate(2038, 1, 5)); }),
            QDialog::Accepted);
  EXPECT_NE(last.GetSelectedDate(&picked), 0);
  EXPECT_EQ(picked, (CalendarDate{2037, 12, 4, 31, 1, 1, 1, 1}));
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST(DatePickerTest, CancelAndEscapeCloseWhateverIsSelected) {
  MessageBoxRecorder boxes;
  DatePickerDialog picker(May1(), nullptr);
  EXPECT_EQ(RunPicker(picker,
                      [](DatePickerDialog* dialog) {
                        dialog->Calendar()->setSelectedDate(QDate(2024, 5, 3));
                        QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
                      }),
            QDialog::Rejected);
  CalendarDate picked;
  EXPECT_EQ(picker.GetSelectedDate(&picked), 0);
  DatePickerDialog escaped(May1(), nullptr);
  EXPECT_EQ(RunPicker(escaped,
                      [](DatePickerDialog* dialog) {
                        QTest::keyClick(dialog->Calendar(), Qt::Key_Escape);
                      }),
            QDialog::Rejected);
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST(DatePickerTest, OpensCaptionlessBelowTheOwnersMenuBarWithThemedHoverButtons) {
  QMainWindow owner;
  owner.menuBar()->addMenu(QStringLiteral("&File"));
  auto* inner = new QWidget;  // owned by the window
  owner.setCentralWidget(inner);
  owner.move(120, 90);
  owner.resize(500, 400);
  owner.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));

  DatePickerDialog picker(May1(), inner);
  QPoint shownAt;
  RunPicker(picker, [&](DatePickerDialog* dialog) {
    shownAt = dialog->pos();
    dialog->reject();
  });
  EXPECT_EQ(shownAt, owner.mapToGlobal(QPoint(0, owner.menuBar()->height())));
  EXPECT_TRUE(picker.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(picker.windowTitle().isEmpty());
  EXPECT_TRUE(picker.OkButton()->isDefault());
  for (ThemedHoverButton* button : {picker.OkButton(), picker.CancelButton()}) {
    EXPECT_NE(button->Theme(), nullptr);
    EXPECT_EQ(button->Color(0), HotBackgroundColor());
    EXPECT_EQ(button->cursor().shape(), Qt::BitmapCursor);
  }
}

}  // namespace
}  // namespace lunaret::test
