// The date picker: its bounds, the wrong-date check at 01:01:01 local time, and its placing.
#include "pages/date_picker_dialog.h"

#include <QMainWindow>
#include <QMenuBar>
#include <vector>

#include "controls/ui_support.h"
#include "pages/page_dates.h"
#include "pages_test_util.h"

namespace lunaret::test {
namespace {

// The picker's usual opening day, in the time zone in force.
const auto May1 = [] { return PickedTime(QDate(2024, 5, 1)); };

TEST(DatePickerTest, TheMinimumNeverFallsBelowTheFloorAndCarriesTheInitialDate) {
  DatePickerDialog picker(May1(), nullptr);
  for (TimeValue low : {DatePickerDialog::kDateFloor, TimeValue{0}, TimeValue{-100}})
    picker.SetMinimumDate(low);
  EXPECT_EQ(std::pair(picker.MinimumDate(), picker.InitialDate()),
            std::pair(DatePickerDialog::kDateFloor, May1()));
  const TimeValue june1 = PickedTime(QDate(2024, 6, 1));
  picker.SetMinimumDate(june1);          // above the initial date: moves it
  picker.SetInitialDate(june1 - 86400);  // below the minimum: ignored
  EXPECT_EQ(std::pair(picker.MinimumDate(), picker.InitialDate()), std::pair(june1, june1));
  CalendarDate out;
  EXPECT_EQ(picker.GetSelectedDate(&out), 0) << "nothing picked yet";
}

TEST(DatePickerTest, TheWrongDateCheckAtOneOhOneLocalAndTheCalendarsRange) {
  // A time zone, a minimum ("": the floor) and the days tried with OK (with Enter when marked
  // "!"); then the calendar's lowest day, the tries refused, and the day picked.
  const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
      // The floor is 31 January 1970 20:00 UTC: its own day is wrong at UTC, and four hours
      // ahead it cannot be selected. Zones are named as both POSIX and the Windows C runtime
      // read them: the runtime takes "<+04>-4" for four hours behind.
      {"UTC0", "", "1970-01-31 1970-02-01", "1970-01-31 refused 1970-02-01"},
      {"GST-4", "", "1970-02-01!", "1970-02-01 1970-02-01"},
      // A bound picked earlier accepts its own day; the day before cannot be selected.
      {"CET-1CEST,M3.5.0,M10.5.0/3", "2024-07-10", "2024-07-09", "2024-07-10 2024-07-10"},
      {"UTC0", "", "2038-01-05!", "1970-01-31 2037-12-31"},
  };
  for (const auto& [zone, minimum, tries, outcome] : cases) {
    ScopedEnv timeZone("TZ", zone);
    MessageBoxRecorder boxes;
    DatePickerDialog picker(May1(), nullptr);
    if (*minimum != '\0')
      picker.SetMinimumDate(PickedTime(QDate::fromString(minimum, Qt::ISODate)));
    QString seen;
    WhenModal<DatePickerDialog>([&](DatePickerDialog* dialog) {
      seen = dialog->Calendar()->minimumDate().toString(Qt::ISODate);
      EXPECT_EQ(dialog->Calendar()->maximumDate(), QDate(2037, 12, 31));
      for (QString day : QString(tries).split(' ')) {
        const bool enter = day.endsWith('!');
        dialog->Calendar()->setSelectedDate(QDate::fromString(day.remove('!'), Qt::ISODate));
        if (enter)
          QTest::keyClick(dialog->Calendar(), Qt::Key_Return);
        else
          QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
        seen += dialog->isVisible() ? " refused" : "";
      }
    });
    const int result = picker.exec();
    CalendarDate picked;
    EXPECT_EQ(result == QDialog::Accepted && picker.GetSelectedDate(&picked) != 0, true) << zone;
    EXPECT_EQ(seen + " " + ToQDate(picked).toString(Qt::ISODate), outcome);
    EXPECT_EQ(picked.hour + picked.minute + picked.second + picked.milliseconds, 4)
        << "01:01:01.001";
    EXPECT_EQ(boxes.Shown(), seen.contains("refused")
                                 ? "You have selected a wrong date.\r\nSelect a "
                                   "correct date, please. | Lunaret date checker | 0x40"
                                 : "");
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
    WhenModal<DatePickerDialog>([&](DatePickerDialog* dialog) {
      shownAt = dialog->pos();
      dialog->Calendar()->setSelectedDate(QDate(2024, 5, 3));
      if (escape)
        QTest::keyClick(dialog->Calendar(), Qt::Key_Escape);
      else
        QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    });
    EXPECT_EQ(picker.exec(), QDialog::Rejected);
    EXPECT_EQ(shownAt, owner.mapToGlobal(QPoint(0, owner.menuBar()->height())));
    CalendarDate picked;
    EXPECT_EQ(picker.GetSelectedDate(&picked), 0);
    EXPECT_TRUE((picker.windowFlags() & Qt::FramelessWindowHint) && picker.OkButton()->isDefault());
  }
  EXPECT_TRUE(boxes.Calls().empty());
}

}  // namespace
}  // namespace lunaret::test
