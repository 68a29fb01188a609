// The Calendar tab in the main window: the month view's marks and keys, the day log edited in
// place as unsaved changes, and the period and ovulation boxes acting on the Statistics page.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableView>

#include "app/main_dialog.h"
#include "core/base/day_number.h"
#include "core/store/journal_store.h"
#include "pages/calendar_page.h"
#include "pages/day_log_panel.h"
#include "pages/insights_page.h"
#include "pages/month_view.h"
#include "pages/pages_test_util.h"
#include "pages/statistics_list.h"
#include "pages/statistics_page.h"
#include "ui_test_support.h"

namespace lunaret {
namespace {

using M = MainDialog;

DayNumber DayOf(const QDate& date) {
  return DayNumberOf(date.year(), date.month(), date.day());
}

// Anna: three 28-day cycles that end at her first day, ten days ago, and a forecast duration of
// 28; her password is "a". The history forecast puts the next period 18 days from today (give
// or take a day) and the fertile window from yesterday to five days from now.
class CalendarTabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    temp_.AddUser("Anna", "a", test::PickedTime(first_));
    temp_.store().SetDuration("Anna", "28");
    SaveStatistics(temp_.store(), "Anna",
                   {{test::PickedTime(first_.addDays(-84)), 0},
                    {test::PickedTime(first_.addDays(-56)), 0},
                    {test::PickedTime(first_.addDays(-28)), 0}});
    Open();
  }
  void Open() {
    main_ = std::make_unique<MainDialog>(temp_.store(), "Anna");
    main_->show();
    main_->Tabs()->setCurrentWidget(main_->Calendar());
  }
  MonthView* Month() { return main_->Calendar()->Month(); }
  DayLogPanel* Log() { return main_->Calendar()->DayLog(); }
  // Clicks a day of the month shown, turning to its month first with Page Up or Down.
  void Click(const QDate& day) {
    while (Month()->Model()->Month() != day.month() || Month()->Model()->Year() != day.year())
      QTest::keyClick(Month()->Table(),
                      day < Month()->SelectedDate() ? Qt::Key_PageUp : Qt::Key_PageDown);
    QTableView* table = Month()->Table();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier,
                      table->visualRect(Month()->Model()->IndexOf(day)).center());
  }
  QString Description(const QDate& day) {
    return Month()->Model()->IndexOf(day).data(Qt::AccessibleDescriptionRole).toString();
  }
  std::vector<StatisticsRecord> Rows() { return main_->Statistics()->List()->Records(); }

  const QDate today_ = QDate::currentDate();
  const QDate first_ = today_.addDays(-10);
  test::TempStore temp_;
  test::MessageBoxRecorder boxes_;
  std::unique_ptr<MainDialog> main_;
};

// The marks of a day are said in words: its tooltip and its description for screen readers.
TEST_F(CalendarTabTest, EachDaySaysInWordsWhatItShows) {
  const auto said = [](const QDate& day, const char* what) {
    return QLocale().toString(day, QLocale::LongFormat) + ": " + what;
  };
  Click(today_.addDays(18));
  EXPECT_EQ(Description(today_.addDays(18)),
            said(today_.addDays(18), "forecast: period expected to begin"));
  EXPECT_EQ(Description(today_.addDays(17)),
            said(today_.addDays(17), "forecast: period may begin"));
  EXPECT_EQ(Description(today_.addDays(19)),
            said(today_.addDays(19), "forecast: period may begin"));
  EXPECT_EQ(Description(today_.addDays(20)),
            QLocale().toString(today_.addDays(20), QLocale::LongFormat));
  Click(today_);
  EXPECT_EQ(Description(today_), said(today_, "today; estimated fertile day"));
  Click(first_);
  EXPECT_EQ(Description(first_), said(first_, "period started"));
  QTest::keyClick(Log()->FlowBox(), Qt::Key_Down);  // spotting
  QTest::keyClick(Log()->FlowBox(), Qt::Key_Down);  // light
  EXPECT_EQ(Description(first_), said(first_, "period started; light flow"));
  QTest::keyClick(Log()->FlowBox(), Qt::Key_End);
  EXPECT_EQ(Description(first_), said(first_, "period started; heavy flow"));
  EXPECT_EQ(Month()->Model()->IndexOf(first_).data(Qt::ToolTipRole).toString(),
            Description(first_));
  // A day whose log is emptied again is no logged day.
  QTest::keyClick(Log()->FlowBox(), Qt::Key_Home);
  EXPECT_EQ(Description(first_), said(first_, "period started"));
  EXPECT_TRUE(main_->Calendar()->CurrentJournal().empty());
}

// Flow, a symptom and a note make unsaved changes: Save keeps them for the next log in, Discard
// drops them. A note in any language comes back as typed; it holds 2,000 characters, not one
// more.
TEST_F(CalendarTabTest, ALoggedDayIsAnUnsavedChangeUntilSaveAndDiscardDropsIt) {
  const QDate day = today_.addDays(-3);
  auto* fromJournal = FindControlAs<QLabel>(main_->Insights(), InsightsPage::kJournalId);
  EXPECT_TRUE(fromJournal->isHidden());
  Click(day);
  QTest::keyClick(Log()->FlowBox(), Qt::Key_End);  // heavy
  EXPECT_TRUE(main_->IsModified());
  QListWidget* symptoms = Log()->SymptomList();
  symptoms->setFocus();
  symptoms->setCurrentRow(1);  // headache
  QTest::keyClick(symptoms, Qt::Key_Space);
  test::Type(Log()->NewSymptomField(), "Σκοτοδίνη");
  QTest::keyClick(Log()->NewSymptomField(), Qt::Key_Return);
  Log()->NoteField()->setFocus();
  test::Type(Log()->NoteField(), "ありがとう");
  // The Insights tab follows the journal as it stands: each symptom on cycle day 8.
  EXPECT_TRUE(fromJournal->text().contains("\nheadache: once, on day 8"));
  EXPECT_FALSE(fromJournal->isHidden());
  QTest::mouseClick(main_->SaveButton(), Qt::LeftButton);
  EXPECT_FALSE(main_->IsModified());

  const Journal stored = LoadJournal(temp_.store(), "Anna");
  ASSERT_EQ(stored.size(), 1u);
  const JournalDay& logged = stored.at(DayOf(day));
  EXPECT_EQ(logged.flow, Flow::kHeavy);
  EXPECT_EQ(logged.symptoms, SymptomBit(Symptom::kHeadache));
  EXPECT_EQ(logged.ownSymptoms, std::vector<std::string>{"Σκοτοδίνη"});
  EXPECT_EQ(logged.note, "ありがとう");
  EXPECT_EQ(LoadOwnSymptomNames(temp_.store(), "Anna"), std::vector<std::string>{"Σκοτοδίνη"});

  Open();  // the next log in shows the day as saved
  Click(day);
  EXPECT_EQ(Log()->FlowBox()->currentIndex(), static_cast<int>(Flow::kHeavy));
  EXPECT_EQ(Log()->NoteField()->toPlainText(), "ありがとう");
  EXPECT_EQ(Log()->SymptomList()->item(10)->text(), "Σκοτοδίνη");
  EXPECT_EQ(Log()->SymptomList()->item(10)->checkState(), Qt::Checked);

  Log()->NoteField()->setFocus();
  QTest::keyClick(Log()->NoteField(), Qt::Key_A, Qt::ControlModifier);
  test::Type(Log()->NoteField(), QString(1999, u'x') + "yz");
  EXPECT_EQ(Log()->NoteField()->toPlainText(), QString(1999, u'x') + "y");
  boxes_.Answer(kIdYes);
  main_->Command(M::kCmdDiscardChanges)->trigger();
  EXPECT_FALSE(main_->IsModified());
  EXPECT_EQ(Log()->NoteField()->toPlainText(), "ありがとう");
  EXPECT_EQ(main_->Calendar()->CurrentJournal(), stored);
}

// A day holds 50 of her own symptoms: the 51st is not taken, and the day still saves.
TEST_F(CalendarTabTest, ADayTakesFiftyOfHerOwnSymptomsNotOneMore) {
  Click(today_);
  for (int i = 1; i <= 51; ++i) {
    test::Type(Log()->NewSymptomField(), QString("s%1").arg(i));
    QTest::keyClick(Log()->NewSymptomField(), Qt::Key_Return);
  }
  test::Settle();
  EXPECT_EQ(main_->Calendar()->CurrentJournal().at(DayOf(today_)).ownSymptoms.size(), 50u);
  EXPECT_EQ(Log()->SymptomList()->item(kSymptomCount + 50)->checkState(), Qt::Unchecked);
  QTest::mouseClick(main_->SaveButton(), Qt::LeftButton);
  EXPECT_FALSE(main_->IsModified());
  EXPECT_EQ(LoadJournal(temp_.store(), "Anna").at(DayOf(today_)).ownSymptoms.size(), 50u);
}

// "A period started on this day" adds a record in date order (before, between and after the
// others) and, asked first, removes it; "Ovulation on this day" sets the ovulation of the
// record whose cycle holds the day, and is off where none does.
TEST_F(CalendarTabTest, PeriodAndOvulationBoxesChangeTheStatisticsPage) {
  const std::vector<StatisticsRecord> before = Rows();
  const QDate days[] = {first_.addDays(-90), first_.addDays(-40), first_.addDays(-5)};
  for (const QDate& day : days) {
    Click(day);
    QTest::mouseClick(Log()->PeriodBox(), Qt::LeftButton);
  }
  EXPECT_TRUE(main_->IsModified());
  std::vector<StatisticsRecord> expected = before;
  expected.insert(expected.begin(), {test::PickedTime(days[0]), 0});
  expected.insert(expected.begin() + 3, {test::PickedTime(days[1]), 0});
  expected.push_back({test::PickedTime(days[2]), 0});
  EXPECT_EQ(Rows(), expected);

  Click(days[1]);
  EXPECT_TRUE(Log()->PeriodBox()->isChecked());
  boxes_.Answer(kIdNo);
  QTest::mouseClick(Log()->PeriodBox(), Qt::LeftButton);
  EXPECT_TRUE(boxes_.Shown().startsWith("Remove the period that started on "));
  EXPECT_TRUE(Log()->PeriodBox()->isChecked());
  EXPECT_EQ(Rows(), expected);
  boxes_.Answer(kIdYes);
  QTest::mouseClick(Log()->PeriodBox(), Qt::LeftButton);
  expected.erase(expected.begin() + 3);
  EXPECT_EQ(Rows(), expected);

  Click(first_.addDays(-15));  // in the cycle that began 28 days before the first day
  ASSERT_TRUE(Log()->OvulationBox()->isEnabled());
  QTest::mouseClick(Log()->OvulationBox(), Qt::LeftButton);
  expected[3].ovulationDate = test::PickedTime(first_.addDays(-15));
  EXPECT_EQ(Rows(), expected);
  QTest::mouseClick(Log()->OvulationBox(), Qt::LeftButton);
  expected[3].ovulationDate = 0;
  EXPECT_EQ(Rows(), expected);
  // The last record's cycle ends the day before her first day.
  Click(first_.addDays(-1));
  EXPECT_TRUE(Log()->OvulationBox()->isEnabled());
  Click(first_);
  EXPECT_FALSE(Log()->OvulationBox()->isEnabled());
  Click(days[0].addDays(-1));  // before every record
  EXPECT_FALSE(Log()->OvulationBox()->isEnabled());
  EXPECT_FALSE(Log()->OvulationBox()->toolTip().isEmpty());
}

// Arrows move by a day or a week, Page Up and Down by a month, Home goes to today; the view stays
// within the days Lunaret stores.
TEST(MonthViewTest, KeysMoveByDaysWeeksAndMonthsWithinTheStoredDays) {
  MonthView view;
  view.show();
  QTableView* table = view.Table();
  // From the last day of January: a month on lands on the last of February.
  const std::pair<Qt::Key, QDate> steps[] = {
      {Qt::Key_Right, QDate(2037, 2, 1)},     {Qt::Key_Left, QDate(2037, 1, 31)},
      {Qt::Key_Down, QDate(2037, 2, 7)},      {Qt::Key_Up, QDate(2037, 1, 31)},
      {Qt::Key_PageDown, QDate(2037, 2, 28)}, {Qt::Key_PageUp, QDate(2037, 1, 28)},
      {Qt::Key_Home, QDate::currentDate()}};
  view.SelectDate(QDate(2037, 1, 31));
  for (const auto& [key, date] : steps) {
    QTest::keyClick(table, key);
    EXPECT_EQ(view.SelectedDate(), date) << key;
    EXPECT_EQ(view.Model()->DateAt(table->currentIndex()), date) << key;
  }
  view.SelectDate(QDate(2037, 12, 30));
  QTest::keyClick(table, Qt::Key_Right);
  QTest::keyClick(table, Qt::Key_Right);
  EXPECT_EQ(view.SelectedDate(), QDate(2037, 12, 31));
  view.SelectDate(QDate(1970, 2, 2));
  QTest::keyClick(table, Qt::Key_Left);
  QTest::keyClick(table, Qt::Key_Left);
  EXPECT_EQ(view.SelectedDate(), QDate(1970, 2, 1));
  // Weeks begin on the locale's first day: Sunday in the United States, Monday in Germany.
  for (const auto& [locale, first] :
       {std::pair(QLocale(QLocale::English, QLocale::UnitedStates), 7),
        std::pair(QLocale(QLocale::German, QLocale::Germany), 1)}) {
    const test::ScopedDefaultLocale scoped(locale);
    MonthView local;
    local.SelectDate(QDate(2024, 3, 14));
    EXPECT_EQ(local.Model()->DateAt(local.Model()->index(0, 0)).dayOfWeek(), first);
    EXPECT_EQ(local.Model()->IndexOf(QDate(2024, 3, 1)).row(), 0);
  }
}

}  // namespace
}  // namespace lunaret
