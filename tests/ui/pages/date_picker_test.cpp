#include "pages/date_picker_dialog.h"

#include <QCalendarWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>
#include <memory>

#include <gtest/gtest.h>

#include "controls/hover_button.h"
#include "controls/ui_support.h"
#include "pages_test_util.h"
#include "ui_test_support.h"

namespace lunaret::test {
namespace {

constexpr TimeValue kFloor = DatePickerDialog::kDateFloor;

// Runs the picker's real modal loop: action answers it from inside; returns exec()'s result.
int RunPicker(DatePickerDialog& picker, std::function<void(DatePickerDialog*)> action) {
  WhenModalOf<DatePickerDialog>(std::move(action));
  return picker.exec();
}

TEST(DatePickerBoundsTest, MinimumNeverFallsBelowTheFloorAndCarriesTheInitialDate) {
  const TimeValue now = PickedTime(2024, 5, 1);
  DatePickerDialog picker(now, nullptr);
  EXPECT_EQ(picker.MinimumDate(), kFloor);
  EXPECT_EQ(picker.InitialDate(), now);

  picker.SetMinimumDate(kFloor);
  picker.SetMinimumDate(0);
  picker.SetMinimumDate(-100);
  EXPECT_EQ(picker.MinimumDate(), kFloor);
  EXPECT_EQ(picker.InitialDate(), now);

  picker.SetMinimumDate(PickedTime(2024, 6, 1));  // above the initial date: moves it along
  EXPECT_EQ(picker.MinimumDate(), PickedTime(2024, 6, 1));
  EXPECT_EQ(picker.InitialDate(), PickedTime(2024, 6, 1));

  picker.SetInitialDate(PickedTime(2024, 5, 31));  // below the minimum: ignored
  EXPECT_EQ(picker.InitialDate(), PickedTime(2024, 6, 1));
  picker.SetInitialDate(PickedTime(2024, 7, 4));
  EXPECT_EQ(picker.InitialDate(), PickedTime(2024, 7, 4));

  // Nothing was read yet: no date to hand back.
  CalendarDate out;
  EXPECT_EQ(picker.GetSelectedDate(&out), 0);
}

TEST(DatePickerDialogTest, AtUtcTheFloorsOwnDayIsAWrongDate) {
  ScopedTimeZone zone("UTC0");
  MessageBoxRecorder boxes;
  DatePickerDialog picker(PickedTime(2024, 5, 1), nullptr);
  bool stayedOpen = false;
  const int result = RunPicker(picker, [&](DatePickerDialog* dialog) {
    EXPECT_EQ(dialog->Calendar()->minimumDate(), QDate(1970, 1, 31));
    EXPECT_EQ(dialog->Calendar()->maximumDate(), QDate(2037, 12, 31));
    EXPECT_EQ(dialog->Calendar()->selectedDate(), QDate(2024, 5, 1));
    dialog->Calendar()->setSelectedDate(QDate(1970, 1, 31));
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    stayedOpen = dialog->isVisible();
    EXPECT_EQ(dialog->Calendar()->selectedDate(), QDate(1970, 1, 31));
    dialog->Calendar()->setSelectedDate(QDate(1970, 2, 1));
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
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
  EXPECT_EQ(picked.year, 1970);
  EXPECT_EQ(picked.month, 2);
  EXPECT_EQ(picked.day, 1);
  EXPECT_EQ(picked.hour, 1);
  EXPECT_EQ(MakeTimeValue(picked, 1, 1, 1), 2682061);
}

TEST(DatePickerDialogTest, FourHoursAheadTheFloorsDayIsAccepted) {
  ScopedTimeZone zone("<+04>-4");
  MessageBoxRecorder boxes;
  DatePickerDialog picker(PickedTime(2024, 5, 1), nullptr);
  const int result = RunPicker(picker, [](DatePickerDialog* dialog) {
    EXPECT_EQ(dialog->Calendar()->minimumDate(), QDate(1970, 2, 1));
    dialog->Calendar()->setSelectedDate(QDate(1970, 2, 1));
    QTest::keyClick(dialog->Calendar(), Qt::Key_Return);
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_TRUE(boxes.Calls().empty());
  CalendarDate picked;
  EXPECT_NE(picker.GetSelectedDate(&picked), 0);
  EXPECT_EQ(picked.day, 1);
  EXPECT_EQ(picked.month, 2);
}

TEST(DatePickerDialogTest, APickedBoundAcceptsItsOwnDayAndTheLastDayOf2037) {
  ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
  MessageBoxRecorder boxes;
  DatePickerDialog picker(PickedTime(2024, 5, 1), nullptr);
  picker.SetMinimumDate(PickedTime(2024, 7, 10));
  int result = RunPicker(picker, [](DatePickerDialog* dialog) {
    EXPECT_EQ(dialog->Calendar()->minimumDate(), QDate(2024, 7, 10));
    EXPECT_EQ(dialog->Calendar()->selectedDate(), QDate(2024, 7, 10));
    dialog->Calendar()->setSelectedDate(QDate(2024, 7, 9));  // not selectable
    EXPECT_EQ(dialog->Calendar()->selectedDate(), QDate(2024, 7, 10));
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_TRUE(boxes.Calls().empty());

  DatePickerDialog last(PickedTime(2024, 5, 1), nullptr);
  result = RunPicker(last, [](DatePickerDialog* dialog) {
    dialog->Calendar()->setSelectedDate(QDate(2038, 1, 5));  // clamped to the last day
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
  });
  EXPECT_EQ(result, QDialog::Accepted);
  CalendarDate picked;
  EXPECT_NE(last.GetSelectedDate(&picked), 0);
  EXPECT_EQ(picked, (CalendarDate{2037, 12, 4, 31, 1, 1, 1, 1}));
}

TEST(DatePickerDialogTest, CancelClosesWhateverIsSelected) {
  MessageBoxRecorder boxes;
  DatePickerDialog picker(PickedTime(2024, 5, 1), nullptr);
  const int result = RunPicker(picker, [](DatePickerDialog* dialog) {
    dialog->Calendar()->setSelectedDate(QDate(2024, 5, 3));
    QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
  });
  EXPECT_EQ(result, QDialog::Rejected);
  CalendarDate picked;
  EXPECT_EQ(picker.GetSelectedDate(&picked), 0);

  DatePickerDialog escaped(PickedTime(2024, 5, 1), nullptr);
  EXPECT_EQ(RunPicker(escaped,
                      [](DatePickerDialog* dialog) {
                        QTest::keyClick(dialog->Calendar(), Qt::Key_Escape);
                      }),
            QDialog::Rejected);
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST(DatePickerDialogTest, OpensCaptionlessBelowTheOwnersMenuBar) {
  QMainWindow owner;
  owner.menuBar()->addMenu(QStringLiteral("&File"));
  auto* inner = new QWidget;  // owned by the window
  owner.setCentralWidget(inner);
  owner.move(120, 90);
  owner.resize(500, 400);
  owner.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));

  DatePickerDialog picker(PickedTime(2024, 5, 1), inner);
  QPoint shownAt;
  const int result = RunPicker(picker, [&](DatePickerDialog* dialog) {
    shownAt = dialog->pos();
    dialog->reject();
  });
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_EQ(shownAt, owner.mapToGlobal(QPoint(0, owner.menuBar()->height())));
  EXPECT_TRUE(picker.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(picker.windowTitle().isEmpty());
}

TEST(DatePickerDialogTest, ButtonsAreSetUpAsHoverButtons) {
  DatePickerDialog picker(PickedTime(2024, 5, 1), nullptr);
  RunPicker(picker, [](DatePickerDialog* dialog) { dialog->reject(); });
  ThemedHoverButton* ok = picker.OkButton();
  ThemedHoverButton* cancel = picker.CancelButton();
  EXPECT_EQ(ok->text(), "&OK");
  EXPECT_EQ(cancel->text(), "&Cancel");
  EXPECT_EQ(ControlId(ok), 1);
  EXPECT_EQ(ControlId(cancel), 2);
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(ok->toolTip(), " OK! ");
  EXPECT_EQ(cancel->toolTip(), "Cancel");
  EXPECT_EQ(picker.Calendar()->toolTip(), "Select date.");
  for (ThemedHoverButton* button : {ok, cancel}) {
    EXPECT_NE(button->Theme(), nullptr);
    EXPECT_EQ(button->Color(0), HotBackgroundColor());
  }
  EXPECT_EQ(ok->Theme(), cancel->Theme());
}

}  // namespace
}  // namespace lunaret::test
