// The date picker: its bounds, the wrong-date check at 01:01:01 local time, and its placing.
#include "pages/date_picker_dialog.h"

#include <QMainWindow>
#include <QMenuBar>
#include <functional>
#include <vector>

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

// Runs the picker's real modal loop, answered by action.
int RunPicker(DatePickerDialog& picker, std::function<void(DatePickerDialog*)> action) {
  WhenModalOf<DatePickerDialog>(std::move(action));
  return picker.exec();
}

TEST(DatePickerTest, TheMinimumNeverFallsBelowTheFloorAndCarriesTheInitialDate) {
  DatePickerDialog picker(May1(), nullptr);
  for (TimeValue low : {DatePickerDialog::kDateFloor, TimeValue{0}, TimeValue{-100}})
    picker.SetMinimumDate(low);
  EXPECT_EQ(picker.MinimumDate(), DatePickerDialog::kDateFloor);
  EXPECT_EQ(picker.InitialDate(), May1());
  const TimeValue june1 = PickedTime(QDate(2024, 6, 1));
  picker.SetMinimumDate(june1);  // above the initial date: moves it
  EXPECT_EQ(picker.MinimumDate(), june1);
  EXPECT_EQ(picker.InitialDate(), june1);
  picker.SetInitialDate(june1 - 86400);  // below the minimum: ignored
  EXPECT_EQ(picker.InitialDate(), june1);
  CalendarDate out;
  EXPECT_EQ(picker.GetSelectedDate(&out), 0) << "nothing picked yet";
}

// Each row: a time zone and a minimum (invalid: the floor); the calendar's lowest day; the days
// tried one after the other with OK (or Enter); whether the first try is a wrong date; the day
// picked in the end.
TEST(DatePickerTest, TheWrongDateCheckAtOneOhOneLocalAndTheCalendarsRange) {
  struct Case {
    const char* zone;
    QDate minimum, lowest;
    std::vector<QDate> tries;
    bool enter, wrongFirst;
    QDate picked;
  };
  const Case cases[] = {
      // The floor is 31 January 1970 20:00 UTC: its own day is wrong at UTC...
      {"UTC0", {}, {1970, 1, 31}, {{1970, 1, 31}, {1970, 2, 1}}, false, true, {1970, 2, 1}},
      // ...and not selectable four hours ahead, where 1 February is the first day.
      {"<+04>-4", {}, {1970, 2, 1}, {{1970, 2, 1}}, true, false, {1970, 2, 1}},
      // A bound picked earlier accepts its own day; the day before is not selectable.
      {"CET-1CEST,M3.5.0,M10.5.0/3",
       {2024, 7, 10},
       {2024, 7, 10},
       {{2024, 7, 9}},
       false,
       false,
       {2024, 7, 10}},
      {"UTC0", {}, {1970, 1, 31}, {{2038, 1, 5}}, true, false, {2037, 12, 31}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zone);
    ScopedTimeZone zone(c.zone);
    MessageBoxRecorder boxes;
    DatePickerDialog picker(May1(), nullptr);
    if (c.minimum.isValid())
      picker.SetMinimumDate(PickedTime(c.minimum));
    bool stayedOpen = false;
    const int result = RunPicker(picker, [&](DatePickerDialog* dialog) {
      EXPECT_EQ(dialog->Calendar()->minimumDate(), c.lowest);
      EXPECT_EQ(dialog->Calendar()->maximumDate(), QDate(2037, 12, 31));
      for (const QDate& day : c.tries) {
        dialog->Calendar()->setSelectedDate(day);
        if (c.enter)
          QTest::keyClick(dialog->Calendar(), Qt::Key_Return);
        else
          QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
        stayedOpen = stayedOpen || dialog->isVisible();
      }
    });
    EXPECT_EQ(stayedOpen, c.wrongFirst);
    EXPECT_EQ(boxes.Calls().size(), c.wrongFirst ? 1u : 0u);
    if (c.wrongFirst) {
      EXPECT_EQ(boxes.Calls()[0].text,
                "You have selected a wrong date.\r\nSelect a correct date, please.");
      EXPECT_EQ(boxes.Calls()[0].title, "Lunaret date checker");
      EXPECT_EQ(boxes.Calls()[0].flags, 0x40u);
    }
    EXPECT_EQ(result, QDialog::Accepted);
    CalendarDate picked;
    EXPECT_NE(picker.GetSelectedDate(&picked), 0);
    CalendarDate expected = FromQDate(c.picked);
    expected.hour = expected.minute = expected.second = expected.milliseconds = 1;
    EXPECT_EQ(picked, expected);
  }
}

TEST(DatePickerTest, OpensCaptionlessBelowTheOwnersMenuBarAndCancelOrEscapeCloseIt) {
  QMainWindow owner;
  owner.menuBar()->addMenu(QStringLiteral("&File"));
  auto* inner = new QWidget;  // owned by the window
  owner.setCentralWidget(inner);
  owner.move(120, 90);
  owner.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
  MessageBoxRecorder boxes;
  for (bool escape : {false, true}) {
    DatePickerDialog picker(May1(), inner);
    QPoint shownAt;
    EXPECT_EQ(RunPicker(picker,
                        [&](DatePickerDialog* dialog) {
                          shownAt = dialog->pos();
                          dialog->Calendar()->setSelectedDate(QDate(2024, 5, 3));
                          if (escape)
                            QTest::keyClick(dialog->Calendar(), Qt::Key_Escape);
                          else
                            QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
                        }),
              QDialog::Rejected);
    EXPECT_EQ(shownAt, owner.mapToGlobal(QPoint(0, owner.menuBar()->height())));
    CalendarDate picked;
    EXPECT_EQ(picker.GetSelectedDate(&picked), 0);
    EXPECT_TRUE(picker.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(picker.windowTitle().isEmpty() && picker.OkButton()->isDefault());
    for (ThemedHoverButton* button : {picker.OkButton(), picker.CancelButton()}) {
      EXPECT_NE(button->Theme(), nullptr);
      EXPECT_EQ(button->Color(0), HotBackgroundColor());
    }
  }
  EXPECT_TRUE(boxes.Calls().empty());
}

}  // namespace
}  // namespace lunaret::test
