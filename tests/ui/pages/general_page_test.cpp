// The General page on a real store: loading, the user's changes, validation, saving, clearing.
#include "pages/general_page.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QToolButton>
#include <functional>
#include <memory>

#include "controls/ui_support.h"
#include "pages/up_down_control.h"
#include "pages_test_util.h"

namespace lunaret::test {
namespace {

// The General page of "anna" on a fresh store in Central European time, "today" 10 March 2024;
// every message box is recorded.
class GeneralPageTest : public ::testing::Test {
 protected:
  void TearDown() override { GeneralPage::SetTodaySource(nullptr); }

  // Stores anna's first day and duration text and shows her page, loaded when asked.
  void Open(TimeValue start, const std::string& duration, bool load = true) {
    GeneralPage::SetTodaySource([this]() { return today_; });
    temp_.AddUser("anna", "secret", start);
    temp_.store().SetDuration("anna", duration);
    page_ = std::make_unique<GeneralPage>(temp_.store(), "anna");
    modified_ = std::make_unique<QSignalSpy>(page_.get(), &GeneralPage::modified);
    page_->resize(640, 320);
    page_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(page_.get()));
    if (load)
      page_->Initialize();
  }
  template <typename T>
  T* Control(int id) const {
    return FindControlAs<T>(page_.get(), id);
  }
  QCalendarWidget* Left() const {
    return Control<QCalendarWidget>(GeneralPage::kFirstDayCalendarId);
  }
  QLineEdit* Box() const { return Control<QLineEdit>(GeneralPage::kDurationBoxId); }
  UpDownControl* UpDown() const { return Control<UpDownControl>(GeneralPage::kUpDownId); }
  // What the page shows: first day, duration text, forecast day, status line, and which of the
  // first day, the duration box and its arrows take input.
  QString Shown() const {
    auto* right = Control<QCalendarWidget>(GeneralPage::kForecastCalendarId);
    return QStringList({Left()->selectedDate().toString(Qt::ISODate), Box()->text(),
                        right->selectedDate().toString(Qt::ISODate),
                        Control<QLabel>(GeneralPage::kStatusLineId)->text(),
                        QString::number(Left()->isEnabled() * 100 + Box()->isEnabled() * 10 +
                                        UpDown()->isEnabled() + right->isEnabled() * 1000)})
        .join(" | ");
  }

  ScopedEnv zone_{"TZ", "CET-1CEST,M3.5.0,M10.5.0/3"};
  CalendarDate today_ = MakeDate(2024, 3, 10);
  TempStore temp_;
  MessageBoxRecorder boxes_;
  std::unique_ptr<GeneralPage> page_;
  std::unique_ptr<QSignalSpy> modified_;
};

TEST_F(GeneralPageTest, LoadChangeAndSaveKeepTheDayAndTheDurationText) {
  // Registered at 17:45:12: the page shows that day and saves days at 01:01:01.
  Open(MakeTimeValue(MakeDate(2024, 3, 1), 17, 45, 12), "28", false);
  EXPECT_TRUE(Shown().endsWith(" | Spent Days | 0"));
  page_->Initialize();
  EXPECT_EQ(Shown(),
            "2024-03-01 | 28 | 2024-03-29 | Today is day 10, menses after 19 day(s) | 111");
  EXPECT_EQ(modified_->count(), 1) << "setting the text while loading counts; the host clears it";
  ClickCalendarDay(Left(), QDate(2024, 3, 5));
  EXPECT_EQ(Shown(), "2024-03-05 | 28 | 2024-04-02 | Today is day 6, menses after 23 day(s) | 111");
  EXPECT_EQ(modified_->count(), 2);
  Retype(Box(), "31");  // "3", then "31": both valid, both count
  EXPECT_EQ(modified_->count(), 4);
  page_->SaveForecast();
  EXPECT_EQ(std::pair(temp_.store().GetCycleStart("anna"), temp_.store().GetDuration("anna")),
            std::pair(PickedTime(QDate(2024, 3, 5)), std::string("31")));
  EXPECT_EQ(boxes_.Shown(), "");
}

TEST_F(GeneralPageTest, RefusedDurationsWarnAndRecomputeNothing) {
  Open(PickedTime(QDate(2024, 3, 1)), "28");
  Box()->setFocus();
  Box()->end(false);
  QTest::keyClicks(Box(), "a-+ ");
  EXPECT_EQ(Box()->text(), "28") << "the box takes digits only";
  // One framework box per refusal; forecast, status and "modified" stay as they were.
  auto refuse = [&](const std::function<void()>& change, const char* message) {
    const QString shown = Shown().section(" | ", 2);
    const int changes = modified_->count();
    boxes_.Clear();
    change();
    EXPECT_EQ(boxes_.Shown(), QString(message) + " | Lunaret | 0x30");
    EXPECT_EQ(Shown().section(" | ", 2), shown);
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
  EXPECT_TRUE(Shown().startsWith("2024-03-01 | 40 | 2024-04-10 |"));
  refuse([this]() { QTest::keyClicks(Box(), "0"); }, range);
  EXPECT_EQ(Box()->selectedText(), "400") << "selected again for retyping";
  refuse([this]() { Box()->setText("0"); }, range);  // a change by the program as well
}

TEST_F(GeneralPageTest, AStoredDurationThatIsNoNumberIsShownWarnedAboutAtEachLoadAndReadByAtoi) {
  Open(PickedTime(QDate(2024, 3, 1)), "12abc");
  EXPECT_EQ(Shown(),
            "2024-03-01 | 12abc | 2024-03-13 | Today is day 10, menses after 3 day(s) | 111");
  EXPECT_EQ(modified_->count(), 0);
  page_->LoadForecast("anna");  // the box shows that text already
  temp_.store().SetDuration("anna", "x");
  page_->LoadForecast("anna");
  EXPECT_EQ(boxes_.Shown(),
            QString("Please enter an integer. | Lunaret | 0x30\n").repeated(3).trimmed());
  EXPECT_EQ(Shown(), "2024-03-01 | x | 2024-03-01 | Today is day 10 | 111");
}

TEST_F(GeneralPageTest, OnlyANewDayIsAChangeAndStoredDaysOutsideTheCalendarAreIgnored) {
  Open(PickedTime(QDate(2024, 3, 1)), "28");
  modified_->clear();
  for (int day : {1, 2, 2})  // the day shown, then a new day twice
    ClickCalendarDay(Left(), QDate(2024, 3, day));
  EXPECT_EQ(modified_->count(), 1);
  QTest::keyClick(CalendarView(Left()), Qt::Key_Right);
  EXPECT_TRUE(Shown().startsWith("2024-03-03 | 28 | 2024-03-31 |"));
  EXPECT_EQ(modified_->count(), 2);
  EXPECT_EQ(std::pair(Left()->minimumDate(), Left()->maximumDate()),
            std::pair(QDate(1970, 2, 1), QDate(2036, 12, 31)));
  for (TimeValue outside : {PickedTime(QDate(1970, 1, 5)), TimeValue{-5}}) {
    temp_.AddUser("other", "secret", outside);
    page_->LoadForecast("other");
    EXPECT_EQ(Left()->selectedDate(), QDate(2024, 3, 3));
  }
  temp_.AddUser("bea", "secret", PickedTime(QDate(2024, 3, 8)));
  page_->LoadForecast("bea");
  modified_->clear();
  ClickCalendarDay(Left(), QDate(2024, 3, 3));  // the day shown before the load
  EXPECT_EQ(modified_->count(), 1);
}

TEST_F(GeneralPageTest, UpDownStepsWithinOneTo366EnterAndEscapeAskTheHostAndClearResets) {
  Open(PickedTime(QDate(2024, 3, 1)), "28");
  modified_->clear();
  QTest::mouseClick(UpDown()->UpButton(), Qt::LeftButton);
  EXPECT_TRUE(Shown().startsWith("2024-03-01 | 29 | 2024-03-30 |"));
  EXPECT_EQ(modified_->count(), 1);
  QTest::keyClick(Box(), Qt::Key_Down);
  QTest::keyClick(Box(), Qt::Key_Down);
  EXPECT_EQ(Box()->text(), "27");
  // The text typed, the arrow pressed, the text then.
  for (auto [typed, up, after] : {std::tuple{"366", true, "366"}, std::tuple{"1", false, "1"},
                                  std::tuple{"500", true, "2"}}) {  // from the last in range
    Retype(Box(), typed);
    boxes_.Clear();
    QTest::mouseClick(up ? UpDown()->UpButton() : UpDown()->DownButton(), Qt::LeftButton);
    EXPECT_EQ(Box()->text(), after);
    EXPECT_EQ(boxes_.Shown(), "");
  }
  QSignalSpy ok(page_.get(), &GeneralPage::okRequested);
  QSignalSpy cancel(page_.get(), &GeneralPage::cancelRequested);
  QTest::keyClick(Box(), Qt::Key_Return);
  QTest::keyClick(CalendarView(Left()), Qt::Key_Enter, Qt::KeypadModifier);
  QTest::keyClick(CalendarView(Left()), Qt::Key_Escape);
  EXPECT_EQ(std::pair(ok.count(), cancel.count()), std::pair(qsizetype{2}, qsizetype{1}));
  // Clearing resets and disables the page, which then saves nothing.
  modified_->clear();
  today_ = MakeDate(2025, 6, 15);
  page_->ClearForecast();
  EXPECT_EQ(Shown(), "2025-06-15 | 1 | 2025-06-15 |  | 0");
  EXPECT_TRUE(page_->UserName().isEmpty());
  EXPECT_EQ(modified_->count(), 1);  // from setting the text "1"
  page_->SaveForecast();             // nobody is logged in
  EXPECT_EQ(temp_.store().GetDuration("anna"), "28");
  page_->LoadForecast("anna");
  EXPECT_TRUE(Shown().endsWith(" | 111"));
}

}  // namespace
}  // namespace lunaret::test
