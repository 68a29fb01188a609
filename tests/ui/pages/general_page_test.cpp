#include "pages/general_page.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <memory>

#include <gtest/gtest.h>

#include "controls/ui_support.h"
#include "pages/up_down_control.h"
#include "pages_test_util.h"
#include "ui_test_support.h"

namespace lunaret::test {
namespace {

// A General page on its own, on a fresh store, with "today" fixed.
class GeneralPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GeneralPage::SetTodaySource([this]() { return today_; });
  }
  void TearDown() override {
    page_.reset();
    GeneralPage::SetTodaySource(nullptr);
    Settle();
  }

  // Stores a user with this first day and duration text, and loads her into a shown page.
  void Open(const std::string& user, const QDate& first, const std::string& duration) {
    temp_.AddUser(user, "secret", PickedTime(first.year(), first.month(), first.day()));
    temp_.store().SetDuration(user, duration);
    page_ = std::make_unique<GeneralPage>(temp_.store(), QString::fromStdString(user));
    modified_ = std::make_unique<QSignalSpy>(page_.get(), &GeneralPage::modified);
    page_->resize(640, 320);
    page_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(page_.get()));
    page_->Initialize();
  }

  QCalendarWidget* Left() const {
    return FindControlAs<QCalendarWidget>(page_.get(), GeneralPage::kFirstDayCalendarId);
  }
  QCalendarWidget* Right() const {
    return FindControlAs<QCalendarWidget>(page_.get(), GeneralPage::kForecastCalendarId);
  }
  QLineEdit* Box() const {
    return FindControlAs<QLineEdit>(page_.get(), GeneralPage::kDurationBoxId);
  }
  UpDownControl* UpDown() const {
    return FindControlAs<UpDownControl>(page_.get(), GeneralPage::kUpDownId);
  }
  QString Status() const {
    return FindControlAs<QLabel>(page_.get(), GeneralPage::kStatusLineId)->text();
  }
  // Replaces the box's text by typing, as the user does: select all, then the keys.
  void Type(const QString& text) {
    Box()->setFocus();
    Box()->selectAll();
    QTest::keyClicks(Box(), text);
  }

  CalendarDate today_ = MakeDate(2024, 3, 10);
  TempStore temp_;
  std::unique_ptr<GeneralPage> page_;
  std::unique_ptr<QSignalSpy> modified_;
};

TEST_F(GeneralPageTest, LoadShowsTheStoredDayDurationForecastAndStatus) {
  ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
  MessageBoxRecorder boxes;
  Open("anna", QDate(2024, 3, 1), "28");

  EXPECT_EQ(Left()->selectedDate(), QDate(2024, 3, 1));
  EXPECT_EQ(Box()->text(), "28");
  EXPECT_EQ(Right()->selectedDate(), QDate(2024, 3, 29));
  EXPECT_EQ(Status(), "Today is day 10, menses after 19 day(s)");
  EXPECT_EQ(page_->UserName(), "anna");
  EXPECT_TRUE(Left()->isEnabled());
  EXPECT_TRUE(Box()->isEnabled());
  EXPECT_TRUE(UpDown()->isEnabled());
  EXPECT_FALSE(Right()->isEnabled());
  // Setting the duration text while loading counts as a change; the host clears it after.
  EXPECT_EQ(modified_->count(), 1);
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(GeneralPageTest, InputsStayDisabledUntilTheFirstLoad) {
  temp_.AddUser("anna", "secret", PickedTime(2024, 3, 1));
  GeneralPage page(temp_.store(), "anna");
  EXPECT_FALSE(FindControl(&page, GeneralPage::kFirstDayCalendarId)->isEnabled());
  EXPECT_FALSE(FindControl(&page, GeneralPage::kDurationBoxId)->isEnabled());
  EXPECT_FALSE(FindControl(&page, GeneralPage::kUpDownId)->isEnabled());
  EXPECT_EQ(FindControlAs<QLabel>(&page, GeneralPage::kStatusLineId)->text(), "Spent Days");
}

TEST_F(GeneralPageTest, ChangesMadeByTheUserAreSavedAndLoadBack) {
  ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
  MessageBoxRecorder boxes;
  Open("anna", QDate(2024, 3, 1), "28");
  modified_->clear();

  ClickCalendarDay(Left(), QDate(2024, 3, 5));
  EXPECT_EQ(Left()->selectedDate(), QDate(2024, 3, 5));
  EXPECT_EQ(Right()->selectedDate(), QDate(2024, 4, 2));
  EXPECT_EQ(Status(), "Today is day 6, menses after 23 day(s)");
  EXPECT_EQ(modified_->count(), 1);

  Type("31");  // "3", then "31": both valid, both count
  EXPECT_EQ(Box()->text(), "31");
  EXPECT_EQ(Right()->selectedDate(), QDate(2024, 4, 5));
  EXPECT_EQ(modified_->count(), 3);
  EXPECT_TRUE(boxes.Calls().empty());

  page_->SaveForecast();
  // The day at 01:01:01 local time, across the change to summer time on 31 March.
  EXPECT_EQ(temp_.store().GetCycleStart("anna"), PickedTime(2024, 3, 5));
  EXPECT_EQ(temp_.store().GetDuration("anna"), "31");

  GeneralPage again(temp_.store(), "anna");
  again.Initialize();
  EXPECT_EQ(
      FindControlAs<QCalendarWidget>(&again, GeneralPage::kFirstDayCalendarId)->selectedDate(),
      QDate(2024, 3, 5));
  EXPECT_EQ(FindControlAs<QLineEdit>(&again, GeneralPage::kDurationBoxId)->text(), "31");
  EXPECT_EQ(
      FindControlAs<QCalendarWidget>(&again, GeneralPage::kForecastCalendarId)->selectedDate(),
      QDate(2024, 4, 5));
}

TEST_F(GeneralPageTest, RegistrationMomentLoadsAsItsDayAndSavesAtOneOhOne) {
  ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
  // Registered at 2024-03-07 17:45:12 local time.
  const TimeValue registered = MakeTimeValue(MakeDate(2024, 3, 7), 17, 45, 12);
  temp_.AddUser("bea", "secret", registered);
  GeneralPage page(temp_.store(), "bea");
  page.Initialize();
  EXPECT_EQ(FindControlAs<QCalendarWidget>(&page, GeneralPage::kFirstDayCalendarId)->selectedDate(),
            QDate(2024, 3, 7));
  page.SaveForecast();
  EXPECT_EQ(temp_.store().GetCycleStart("bea"), PickedTime(2024, 3, 7));
  EXPECT_EQ(temp_.store().GetDuration("bea"), "29");
}

TEST_F(GeneralPageTest, RejectedDurationsWarnAndRecomputeNothing) {
  MessageBoxRecorder boxes;
  Open("anna", QDate(2024, 3, 1), "28");
  modified_->clear();
  const QDate forecast = Right()->selectedDate();
  const QString status = Status();

  // Deleting the whole text to type a new number.
  Box()->setFocus();
  Box()->selectAll();
  QTest::keyClick(Box(), Qt::Key_Backspace);
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text, "Please enter an integer.");
  EXPECT_EQ(boxes.Calls()[0].title, "Lunaret");
  EXPECT_EQ(boxes.Calls()[0].flags, 0x30u);
  EXPECT_EQ(Right()->selectedDate(), forecast);
  EXPECT_EQ(Status(), status);
  EXPECT_EQ(modified_->count(), 0);

  boxes.Clear();
  QTest::keyClicks(Box(), "400");  // "4" and "40" pass, "400" does not
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text, "Please enter an integer between 1 and 366.");
  EXPECT_EQ(boxes.Calls()[0].flags, 0x30u);
  EXPECT_EQ(modified_->count(), 2);
  EXPECT_EQ(Right()->selectedDate(), QDate(2024, 4, 10));  // from "40", not "400"
  // The box gets its whole text selected back for retyping.
  EXPECT_EQ(Box()->selectedText(), "400");

  boxes.Clear();
  Box()->setText("0");  // a change made by the program is checked the same way
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text, "Please enter an integer between 1 and 366.");
  EXPECT_EQ(modified_->count(), 2);
}

TEST_F(GeneralPageTest, TheBoxTakesDigitsOnly) {
  MessageBoxRecorder boxes;
  Open("anna", QDate(2024, 3, 1), "28");
  Box()->setFocus();
  Box()->end(false);
  QTest::keyClicks(Box(), "a-+ ");
  EXPECT_EQ(Box()->text(), "28");
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(GeneralPageTest, ARepeatedSelectionIsNoChange) {
  Open("anna", QDate(2024, 3, 1), "28");
  modified_->clear();
  ClickCalendarDay(Left(), QDate(2024, 3, 1));  // the day already selected
  EXPECT_EQ(modified_->count(), 0);
  ClickCalendarDay(Left(), QDate(2024, 3, 2));
  EXPECT_EQ(modified_->count(), 1);
  ClickCalendarDay(Left(), QDate(2024, 3, 2));
  EXPECT_EQ(modified_->count(), 1);
  // Keyboard moves count like clicks.
  CalendarView(Left())->setFocus();
  QTest::keyClick(CalendarView(Left()), Qt::Key_Right);
  EXPECT_EQ(Left()->selectedDate(), QDate(2024, 3, 3));
  EXPECT_EQ(Right()->selectedDate(), QDate(2024, 3, 31));
  EXPECT_EQ(modified_->count(), 2);
}

TEST_F(GeneralPageTest, ForecastLandsOnTheRightCalendarDay) {
  ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
  Open("anna", QDate(2024, 1, 31), "29");
  EXPECT_EQ(Right()->selectedDate(), QDate(2024, 2, 29));  // leap year

  ClickCalendarDay(Left(), QDate(2023, 1, 31));
  EXPECT_EQ(Right()->selectedDate(), QDate(2023, 3, 1));

  ClickCalendarDay(Left(), QDate(2004, 3, 1));
  Type("28");
  EXPECT_EQ(Right()->selectedDate(), QDate(2004, 3, 29));

  // Across the change back to winter time.
  ClickCalendarDay(Left(), QDate(2024, 10, 20));
  EXPECT_EQ(Right()->selectedDate(), QDate(2024, 11, 17));
}

TEST_F(GeneralPageTest, AStoredDurationThatIsNoNumberIsShownWarnedOnceAndCountedByAtoi) {
  MessageBoxRecorder boxes;
  Open("anna", QDate(2024, 3, 1), "12abc");
  EXPECT_EQ(Box()->text(), "12abc");
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text, "Please enter an integer.");
  EXPECT_EQ(Right()->selectedDate(), QDate(2024, 3, 13));
  EXPECT_EQ(Status(), "Today is day 10, menses after 3 day(s)");
  // The warning stopped the change from counting.
  EXPECT_EQ(modified_->count(), 0);

  // Loading the same text again warns again, though the box shows it already.
  boxes.Clear();
  page_->LoadForecast("anna");
  EXPECT_EQ(boxes.Calls().size(), 1u);

  temp_.store().SetDuration("anna", "x");
  boxes.Clear();
  page_->LoadForecast("anna");
  EXPECT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(Right()->selectedDate(), QDate(2024, 3, 1));  // atoi gives 0
  EXPECT_EQ(Status(), "Today is day 10");
}

TEST_F(GeneralPageTest, StoredDaysOutsideTheCalendarKeepTheSelection) {
  Open("anna", QDate(2024, 3, 1), "28");
  temp_.AddUser("old", "secret", PickedTime(1970, 1, 5));  // before 1 February 1970
  page_->LoadForecast("old");
  EXPECT_EQ(Left()->selectedDate(), QDate(2024, 3, 1));
  temp_.AddUser("neg", "secret", -5);
  page_->LoadForecast("neg");
  EXPECT_EQ(Left()->selectedDate(), QDate(2024, 3, 1));
  EXPECT_EQ(Left()->minimumDate(), QDate(1970, 2, 1));
  EXPECT_EQ(Left()->maximumDate(), QDate(2036, 12, 31));
}

TEST_F(GeneralPageTest, ReturningToTheDayShownBeforeALoadCounts) {
  Open("anna", QDate(2024, 3, 1), "28");
  temp_.AddUser("bea", "secret", PickedTime(2024, 3, 8));
  page_->LoadForecast("bea");
  modified_->clear();
  ClickCalendarDay(Left(), QDate(2024, 3, 1));  // anna's day, bea's first change
  EXPECT_EQ(modified_->count(), 1);
  EXPECT_EQ(Right()->selectedDate(), QDate(2024, 3, 30));
}

TEST_F(GeneralPageTest, UpDownStepsTheBoxWithinOneTo366) {
  MessageBoxRecorder boxes;
  Open("anna", QDate(2024, 3, 1), "28");
  modified_->clear();
  QTest::mouseClick(UpDown()->UpButton(), Qt::LeftButton);
  EXPECT_EQ(Box()->text(), "29");
  EXPECT_EQ(Right()->selectedDate(), QDate(2024, 3, 30));
  EXPECT_EQ(modified_->count(), 1);

  Box()->setFocus();
  QTest::keyClick(Box(), Qt::Key_Down);
  QTest::keyClick(Box(), Qt::Key_Down);
  EXPECT_EQ(Box()->text(), "27");

  Type("366");
  modified_->clear();
  QTest::mouseClick(UpDown()->UpButton(), Qt::LeftButton);
  EXPECT_EQ(Box()->text(), "366");
  EXPECT_EQ(modified_->count(), 0);

  Type("1");
  QTest::mouseClick(UpDown()->DownButton(), Qt::LeftButton);
  EXPECT_EQ(Box()->text(), "1");

  // A text out of range steps from the last number in range.
  Type("500");
  boxes.Clear();
  QTest::mouseClick(UpDown()->UpButton(), Qt::LeftButton);
  EXPECT_EQ(Box()->text(), "2");
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(GeneralPageTest, EnterAndEscapeInsideThePageAskTheHost) {
  Open("anna", QDate(2024, 3, 1), "28");
  QSignalSpy ok(page_.get(), &GeneralPage::okRequested);
  QSignalSpy cancel(page_.get(), &GeneralPage::cancelRequested);

  QTest::keyClick(Box(), Qt::Key_Return);
  QTest::keyClick(CalendarView(Left()), Qt::Key_Enter, Qt::KeypadModifier);
  QTest::keyClick(CalendarView(Left()), Qt::Key_Escape);
  QTest::keyClick(page_.get(), Qt::Key_Escape);
  EXPECT_EQ(ok.count(), 2);
  EXPECT_EQ(cancel.count(), 2);
  EXPECT_TRUE(page_->isVisible());
}

TEST_F(GeneralPageTest, ClearResetsAndDisablesThePage) {
  Open("anna", QDate(2024, 3, 1), "28");
  modified_->clear();
  today_ = MakeDate(2025, 6, 15);
  page_->ClearForecast();

  EXPECT_EQ(Box()->text(), "1");
  EXPECT_FALSE(Box()->isEnabled());
  EXPECT_FALSE(UpDown()->isEnabled());
  EXPECT_FALSE(Left()->isEnabled());
  EXPECT_EQ(Left()->selectedDate(), QDate(2025, 6, 15));
  EXPECT_EQ(Right()->selectedDate(), QDate(2025, 6, 15));
  EXPECT_TRUE(page_->UserName().isEmpty());
  EXPECT_TRUE(Status().isEmpty());
  EXPECT_EQ(modified_->count(), 1);  // from setting the text "1"

  // Nobody is logged in: a save has no user to write to.
  page_->SaveForecast();
  EXPECT_EQ(temp_.store().GetDuration(""), "");
  EXPECT_EQ(temp_.store().GetDuration("anna"), "28");

  page_->LoadForecast("anna");
  EXPECT_TRUE(Left()->isEnabled());
  EXPECT_EQ(Box()->text(), "28");
}

TEST_F(GeneralPageTest, TooltipsOfTheControls) {
  Open("anna", QDate(2024, 3, 1), "28");
  EXPECT_EQ(Left()->toolTip(), "Select the first day of menstruation this month.");
  EXPECT_EQ(FindControl(page_.get(), GeneralPage::kNextMonthGroupId)->toolTip(),
            "Forecast menstruation day next month.");
  EXPECT_EQ(UpDown()->toolTip(), "Select period for forecast.");
  EXPECT_EQ(Box()->toolTip(), "Select period for forecast.");
  EXPECT_EQ(Box()->font(), LabelFont());
  EXPECT_EQ(FindControl(page_.get(), GeneralPage::kStatusLineId)->font(), LabelFont());
}

}  // namespace
}  // namespace lunaret::test
