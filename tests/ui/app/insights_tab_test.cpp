// The Insights tab follows the other two pages as they stand, saved or not, and empties at log-off.
#include <gtest/gtest.h>
#include <QAction>
#include <QBarSeries>
#include <QBarSet>
#include <QChartView>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include "app/main_dialog.h"
#include "app_test_support.h"
#include "controls/hover_button.h"
#include "controls/ui_support.h"
#include "pages/date_picker_dialog.h"
#include "pages/general_page.h"
#include "pages/insights_page.h"
#include "pages/pages_test_util.h"
#include "pages/statistics_list.h"
#include "pages/statistics_page.h"

namespace lunaret::test {
namespace {

constexpr int kCycles = InsightsPage::kFirstValueId;  // the figures shown
constexpr int kLengths = InsightsPage::kFirstValueId + 1;

int Bars(InsightsPage* page) {
  for (QAbstractSeries* series : qobject_cast<QChartView*>(page->Chart())->chart()->series())
    if (auto* bars = qobject_cast<QBarSeries*>(series))
      return static_cast<int>(bars->barSets().first()->count());
  return -1;
}

// Double-clicks a "Menses" cell and picks this day.
void PickMenses(StatisticsList* list, int row, const QDate& day) {
  WhenModalOf<DatePickerDialog>([day](DatePickerDialog* picker) {
    picker->Calendar()->setSelectedDate(day);
    QTest::mouseClick(picker->OkButton(), Qt::LeftButton);
  });
  const QRect cell = list->visualRect(list->Model()->index(row, StatisticsList::kMensesColumn));
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

TEST(InsightsTabTest, FollowsEveryChangeOfTheOtherPagesAndEmptiesAtLogOff) {
  TempStore temp;
  MessageBoxRecorder boxes;
  const auto day = [](int month, int day) { return PickedTime(QDate(2024, month, day)); };
  temp.AddUser("Anna", "a", day(5, 28));  // forecast duration 29; cycles of 28 28 28 and 64
  SaveStatistics(temp.store(), "Anna",
                 {{day(1, 1), 0}, {day(1, 29), 0}, {day(2, 26), 0}, {day(3, 25), 0}});
  MainDialog main(temp.store(), "Anna");
  main.show();
  InsightsPage* page = main.Insights();
  const auto text = [page](int id) { return FindControlAs<QLabel>(page, id)->text(); };
  EXPECT_EQ(page->Chart(), nullptr) << "no chart before the tab is first shown";
  main.Tabs()->setCurrentIndex(2);
  EXPECT_EQ(Bars(page), 4);

  main.Tabs()->setCurrentIndex(0);
  auto* duration = FindControlAs<QLineEdit>(main.General(), GeneralPage::kDurationBoxId);
  duration->selectAll();
  Type(duration, "30");
  EXPECT_TRUE(text(InsightsPage::kAccuracyId).endsWith("a fixed 30-day cycle by 34.0 days."));
  ClickCalendarDay(FindControlAs<QCalendarWidget>(main.General(), GeneralPage::kFirstDayCalendarId),
                   QDate(2024, 4, 22));
  EXPECT_EQ(text(kLengths), "mean 28.0, median 28, 28 to 28 days, SD 0.0");

  main.Tabs()->setCurrentIndex(1);
  StatisticsList* list = main.Statistics()->List();
  PickMenses(list, 4, QDate(2024, 4, 20));  // a new row: 26 days, then 2 to the first day
  EXPECT_EQ(text(kCycles), "5");
  PickMenses(list, 0, QDate(2024, 1, 5));  // 24 days instead of 28
  EXPECT_EQ(text(kLengths), "mean 21.6, median 26, 2 to 28 days, SD 11.1");
  list->SelectRow(4);
  QTest::keyClick(list, Qt::Key_Delete);  // 24 28 28 28
  EXPECT_EQ(text(kLengths), "mean 27.0, median 28, 24 to 28 days, SD 2.0");
  main.Tabs()->setCurrentIndex(2);
  EXPECT_EQ(Bars(page), 4);

  boxes.Answer(kIdNo);  // log off without saving
  main.Command(MainDialog::kCmdLogOff)->trigger();
  EXPECT_EQ(text(kCycles), "");
  EXPECT_FALSE(page->Chart()->isVisible());
}

}  // namespace
}  // namespace lunaret::test
