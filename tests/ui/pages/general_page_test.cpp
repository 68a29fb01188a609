// The General page on a real store: loading, the user's changes, validation, saving, clearing.
#include "pages/general_page.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "controls/ui_support.h"
#include "pages/up_down_control.h"
#include "pages_test_util.h"
#include "ui_test_support.h"

namespace lunaret::test {
namespace {

// A General page on a fresh store in Central European time, with "today" 10 March 2024.
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

  // Stores "anna" with this cycle start and duration text and shows her page, not yet loaded.
  void Show(TimeValue start, const std::string& duration) {
    temp_.AddUser("anna", "secret", start);
    temp_.store().SetDuration("anna", duration);
    page_ = std::make_unique<GeneralPage>(temp_.store(), "anna");
    modified_ = std::make_unique<QSignalSpy>(page_.get(), &GeneralPage::modified);
    page_->resize(640, 320);
    page_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(page_.get()));
  }
  void Open(const QDate& first, const std::string& duration) {
    Show(PickedTime(first), duration);
    page_->Initialize();
  }

  template <typename T>
  T* Control(int id) const {
    return FindControlAs<T>(page_.get(), id);
  }
  QCalendarWidget* Left() const {
    return Control<QCalendarWidget>(GeneralPage::kFirstDayCalendarId);
  }
  QCalendarWidget* Right() const {
    return Control<QCalendarWidget>(GeneralPage::kForecastCalendarId);
  }
  QLineEdit* Box() const { return Control<QLineEdit>(GeneralPage::kDurationBoxId); }
  UpDownControl* UpDown() const { return Control<UpDownControl>(GeneralPage::kUpDownId); }
  QString Status() const { return Control<QLabel>(GeneralPage::kStatusLineId)->text(); }
  // Replaces the box's text by typing, as the user does: select all, then the keys.
  void Type(const QString& text) {
    Box()->setFocus();
    Box()->selectAll();
    QTest::keyClicks(Box(), text);
  }

  ScopedTimeZone zone_{"CET-1CEST,M3.5.0,M10.5.0/3"};
  CalendarDate today_ = MakeDate(2024, 3, 10);
  TempStore temp_;
  std::unique_ptr<GeneralPage> page_;
  std::unique_ptr<QSignalSpy> modified_;
};

TEST_F(GeneralPageTest, LoadChangeSaveAndReloadKeepTheDayAndTheDurationText) {
  MessageBoxRecorder boxes;
  // Registered at 17:45:12: the page shows that day and saves days at 01:01:01.
  Show(MakeTimeValue(MakeDate(2024, 3, 1), 17, 45, 12), "28");
  EXPECT_FALSE(Left()->isEnabled() || Box()->isEnabled() || UpDown()->isEnabled());
  EXPECT_EQ(Status(), "Spent Days");
  page_->Initialize();
  EXPECT_EQ(Left()->selectedDate(), QDate(2024, 3, 1));
  EXPECT_EQ(Box()->text(), "28");
  EXPECT_EQ(Right()->selectedDate(), QDate(2024, 3, 29));
  EXPECT_EQ(Status(), "Today is day 10, menses after 19 day(s)");
  EXPECT_TRUE(Left()->isEnabled() && Box()->isEnabled() && UpDown()->isEnabled());
  EXPECT_FALSE(Right()->isEnabled());
  EXPECT_EQ(modified_->count(), 1) << "setting the text while loading counts; the host clears it";

  modified_->clear();
  ClickCalendarDay(Left(), QDate(2024, 3, 5));
  EXPECT_EQ(Right()->selectedDate(), QDate(2024, 4, 2));
  EXPECT_EQ(Status(), "Today is day 6, menses after 23 day(s)");
  EXPECT_EQ(modified_->count(), 1);
  Type("31");  // "3", then "31": both valid, both count
  EXPECT_EQ(Right()->selectedDate(), QDate(2024, 4, 5));
  EXPECT_EQ(modified_->count(), 3);
  page_->SaveForecast();
  EXPECT_EQ(temp_.store().GetCycleStart("anna"), PickedTime(QDate(2024, 3, 5)));
  EXPECT_EQ(temp_.store().GetDuration("anna"), "31");
  EXPECT_TRUE(boxes.Calls().empty());

  GeneralPage again(temp_.store(), "anna");
  again.Initialize();
  auto* calendar = FindControlAs<QCalendarWidget>(&again, GeneralPage::kFirstDayCalendarId);
  auto* forecast = FindControlAs<QCalendarWidget>(&again, GeneralPage::kForecastCalendarId);
  EXPECT_EQ(calendar->selectedDate(), QDate(2024, 3, 5));
  EXPECT_EQ(FindControlAs<QLineEdit>(&again, GeneralPage::kDurationBoxId)->text(), "31");
  EXPECT_EQ(forecast->selectedDate(), QDate(2024, 4, 5));
}

TEST_F(GeneralPageTest, RefusedDurationsWarnAndRecomputeNothing) {
  MessageBoxRecorder boxes;
  Open(QDate(2024, 3, 1), "28");
  Box()->setFocus();
  Box()->end(false);
  QTest::keyClicks(Box(), "a-+ ");
  EXPECT_EQ(Box()->text(), "28") << "the box takes digits only";
  EXPECT_TRUE(boxes.Calls().empty());

  // One framework box per refusal; forecast, status and "modified" stay as they were.
  auto refuse = [&](const std::function<void()>& change, const char* message) {
    const QDate forecast = Right()->selectedDate();
    const QString status = Status();
    const int changes = modified_->count();
    boxes.Clear();
    change();
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, message);
    EXPECT_EQ(boxes.Calls()[0].title, "Lunaret");
    EXPECT_EQ(boxes.Calls()[0].flags, 0x30u);
    EXPECT_EQ(Right()->selectedDate(), forecast);
    EXPECT_EQ(Status(), status);
    EXPECT_EQ(modified_->count(), changes);
  };
  const char* range = "Please enter an integer between 1 and 366.";
  refuse(
      [this]() {
        Box()->selectAll();
        QTest::keyClick(Box(), Qt::Key_Backspace);
      },
      "Please enter an integer.");
  QTest::keyClicks(Box(), "40");
  EXPECT_EQ(Right()->selectedDate(), QDate(2024, 4, 10));
  refuse([this]() { QTest::keyClicks(Box(), "0"); }, range);
  EXPECT_EQ(Box()->selectedText(), "400") << "selected again for retyping";
  refuse([this]() { Box()->setText("0"); }, range);  // a change by the program as well
}

TEST_F(GeneralPageTest, AStoredDurationThatIsNoNumberIsShownWarnedAboutAtEachLoadAndReadByAtoi) {
  MessageBoxRecorder boxes;
  Open(QDate(2024, 3, 1), "12abc");
  EXPECT_EQ(Box()->text(), "12abc");
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text, "Please enter an integer.");
  EXPECT_EQ(Right()->selectedDate(), QDate(2024, 3, 13));
  EXPECT_EQ(Status(), "Today is day 10, menses after 3 day(s)");
  EXPECT_EQ(modified_->count(), 0);
  page_->LoadForecast("anna");  // the box shows that text already
  EXPECT_EQ(boxes.Calls().size(), 2u);

  temp_.store().SetDuration("anna", "x");
  page_->LoadForecast("anna");
  EXPECT_EQ(boxes.Calls().size(), 3u);
  EXPECT_EQ(Right()->selectedDate(), QDate(2024, 3, 1));
  EXPECT_EQ(Status(), "Today is day 10");
}

TEST_F(GeneralPageTest, OnlyANewDayIsAChangeComparedWithTheDayLoadedLast) {
  Open(QDate(2024, 3, 1), "28");
  modified_->clear();
  ClickCalendarDay(Left(), QDate(2024, 3, 1));
  EXPECT_EQ(modified_->count(), 0);
  ClickCalendarDay(Left(), QDate(2024, 3, 2));
  ClickCalendarDay(Left(), QDate(2024, 3, 2));
  EXPECT_EQ(modified_->count(), 1);
  CalendarView(Left())->setFocus();
  QTest::keyClick(CalendarView(Left()), Qt::Key_Right);
  EXPECT_EQ(Left()->selectedDate(), QDate(2024, 3, 3));
  EXPECT_EQ(Right()->selectedDate(), QDate(2024, 3, 31));
  EXPECT_EQ(modified_->count(), 2);

  temp_.AddUser("bea", "secret", PickedTime(QDate(2024, 3, 8)));
  page_->LoadForecast("bea");
  modified_->clear();
  ClickCalendarDay(Left(), QDate(2024, 3, 3));  // the day shown before the load
  EXPECT_EQ(modified_->count(), 1);
}

TEST_F(GeneralPageTest, ThirtyFirstOfJanuaryPlus29IsTheLeapDayOrTheFirstOfMarch) {
  Open(QDate(2024, 1, 31), "29");
  EXPECT_EQ(Right()->selectedDate(), QDate(2024, 2, 29));
  ClickCalendarDay(Left(), QDate(2023, 1, 31));
  EXPECT_EQ(Right()->selectedDate(), QDate(2023, 3, 1));
}

TEST_F(GeneralPageTest, StoredDaysOutsideTheCalendarKeepTheSelection) {
  Open(QDate(2024, 3, 1), "28");
  EXPECT_EQ(Left()->minimumDate(), QDate(1970, 2, 1));
  EXPECT_EQ(Left()->maximumDate(), QDate(2036, 12, 31));
  temp_.AddUser("old", "secret", PickedTime(QDate(1970, 1, 5)));
  page_->LoadForecast("old");
  EXPECT_EQ(Left()->selectedDate(), QDate(2024, 3, 1));
  temp_.AddUser("neg", "secret", -5);
  page_->LoadForecast("neg");
  EXPECT_EQ(Left()->selectedDate(), QDate(2024, 3, 1));
}

TEST_F(GeneralPageTest, UpDownStepsTheBoxWithinOneTo366) {
  MessageBoxRecorder boxes;
  Open(QDate(2024, 3, 1), "28");
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
  Type("500");  // out of range: the step starts from the last number in range
  boxes.Clear();
  QTest::mouseClick(UpDown()->UpButton(), Qt::LeftButton);
  EXPECT_EQ(Box()->text(), "2");
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(GeneralPageTest, EnterAndEscapeInsideThePageAskTheHost) {
  Open(QDate(2024, 3, 1), "28");
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

TEST_F(GeneralPageTest, ClearResetsAndDisablesThePageAndSavesNothing) {
  Open(QDate(2024, 3, 1), "28");
  modified_->clear();
  today_ = MakeDate(2025, 6, 15);
  page_->ClearForecast();
  EXPECT_EQ(Box()->text(), "1");
  EXPECT_FALSE(Left()->isEnabled() || Box()->isEnabled() || UpDown()->isEnabled());
  EXPECT_EQ(Left()->selectedDate(), QDate(2025, 6, 15));
  EXPECT_EQ(Right()->selectedDate(), QDate(2025, 6, 15));
  EXPECT_TRUE(page_->UserName().isEmpty());
  EXPECT_TRUE(Status().isEmpty());
  EXPECT_EQ(modified_->count(), 1);  // from setting the text "1"

  page_->SaveForecast();  // nobody is logged in
  EXPECT_EQ(temp_.store().GetDuration(""), "");
  EXPECT_EQ(temp_.store().GetDuration("anna"), "28");
  page_->LoadForecast("anna");
  EXPECT_TRUE(Left()->isEnabled());
  EXPECT_EQ(Box()->text(), "28");
}

}  // namespace
}  // namespace lunaret::test
