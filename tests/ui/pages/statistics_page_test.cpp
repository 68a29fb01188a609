// The Statistics page and its list on a real store: loading, editing through the date picker
// and the context menu, deleting, saving and clearing.
#include "pages/statistics_page.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <memory>
#include <vector>

#include "pages/page_dates.h"
#include "pages/statistics_list.h"
#include "pages_test_util.h"

namespace lunaret::test {
namespace {

// Records by menses day and ovulation day as yyyymmdd (0: none).
using Records = std::vector<std::pair<int, int>>;

// Anna's Statistics page on a fresh store; no message box may show.
class StatisticsPageTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(boxes_.Shown(), "");
    if (page_ != nullptr)
      List()->ContextMenu()->hide();
  }

  // Stores Anna's records and shows her page, loaded.
  void Open(const Records& records) {
    temp_.AddUser("anna", "secret");
    std::vector<StatisticsRecord> stored;
    const auto picked = [](int d) {
      return d != 0 ? PickedTime(QDate(d / 10000, d / 100 % 100, d % 100)) : TimeValue{0};
    };
    for (const auto& [menses, ovulation] : records)
      stored.push_back({picked(menses), picked(ovulation)});
    SaveStatistics(temp_.store(), "anna", stored);
    page_ = std::make_unique<StatisticsPage>(temp_.store(), "anna");
    EXPECT_FALSE(List()->isEnabled());
    modified_ = std::make_unique<QSignalSpy>(page_.get(), &StatisticsPage::modified);
    page_->resize(700, 360);
    page_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(page_.get()));
    page_->Initialize();
  }
  StatisticsList* List() const { return page_->List(); }
  QWidget* Viewport() const { return List()->viewport(); }
  QPoint CellCenter(int row, int column) const {
    return List()->visualRect(List()->Model()->index(row, column)).center();
  }
  // The rows, one a line, cells separated by "|".
  QString Rows() const {
    QStringList rows;
    for (int row = 0; row < List()->RowCount(); ++row) {
      QStringList cells;
      for (int column = 0; column < 4; ++column)
        cells << List()->CellText(row, column);
      rows << cells.join('|');
    }
    return rows.join('\n');
  }
  void RightClick(int row, int column) {
    QTest::mouseClick(Viewport(), Qt::RightButton, Qt::NoModifier, CellCenter(row, column));
  }
  void DoubleClick(int row, int column) {
    QTest::mouseDClick(Viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(row, column));
  }
  // Runs a context-menu command on a cell.
  void Command(int row, int column, int command) {
    RightClick(row, column);
    List()->MenuAction(command)->trigger();
    List()->ContextMenu()->hide();
  }
  // Saves, then what the store holds: the records' days, their times at 01:01:01 marked "+".
  QString Saved() {
    page_->SaveStatistics();
    QStringList days;
    auto day = [](TimeValue t) {
      return t == 0 ? QString("-")
                    : LocalQDateOf(t).toString("MM-dd") +
                          (t == PickedTime(LocalQDateOf(t)) ? "+" : "");
    };
    for (const StatisticsRecord& record : LoadStatistics(temp_.store(), "anna"))
      days << day(record.mensesDate) + " " + day(record.ovulationDate);
    return days.join(", ");
  }

  MessageBoxRecorder boxes_;
  TempStore temp_;
  std::unique_ptr<StatisticsPage> page_;
  std::unique_ptr<QSignalSpy> modified_;
};

TEST_F(StatisticsPageTest, LoadShowsTheLoadedWordingsWithDurationsOfAnySign) {
  Open({{20240105, 20240119}, {20240202, 0}, {20240202, 0}, {20240130, 20240128}});
  EXPECT_TRUE(List()->isEnabled());
  EXPECT_EQ(Rows(),
            "1.|5 Jan. 2024, Friday|19 Jan. 2024, Friday (14 days)|28 days\n"
            "2.|2 Feb. 2024, Friday||0 days\n"
            "3.|2 Feb. 2024, Friday||-3 days\n"
            "4.|30 Jan. 2024, Tuesday|28 Jan. 2024, Sunday (-2 days)|\n"
            "5.|||");
  EXPECT_EQ(modified_->count(), 0);
  const QFontMetrics metrics(List()->font());
  const char* const widest[] = {"00000.", "30 Sep. 2026, Wednesday",
                                "30 Sep. 2026, Wednesday (day 14)", "366 days"};
  QStringList headers;
  for (int column = 0; column < 4; ++column) {
    headers << List()->Model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_GT(List()->columnWidth(column), metrics.horizontalAdvance(widest[column]));
  }
  EXPECT_EQ(headers.join('|'), "ID|Menses|Ovulation|Duration");
}

TEST_F(StatisticsPageTest, DeletingRenumbersAndMeasuresAgainWhatIsSavedLoadsBackClearKeepsIt) {
  Open({{20240101, 0}, {20240129, 20240212}, {20240227, 0}, {20240326, 0}, {20240424, 0}});
  QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(1, 1));
  QTest::keyClick(List(), Qt::Key_Delete);
  EXPECT_EQ(Rows(),
            "1.|1 Jan. 2024, Monday||57 days\n2.|27 Feb. 2024, Tuesday||28 days\n"
            "3.|26 Mar. 2024, Tuesday||29 days\n4.|24 Apr. 2024, Wednesday||\n5.|||");
  EXPECT_TRUE(List()->selectionModel()->isRowSelected(1, QModelIndex())) << "the next row";
  Command(3, 0, StatisticsList::kDeleteRowCommand);  // the last record, through the menu
  EXPECT_TRUE(Rows().endsWith("3.|26 Mar. 2024, Tuesday||\n4.|||"));
  EXPECT_EQ(List()->SelectionMark(), 3);
  QTest::keyClick(List(), Qt::Key_Delete);  // the trailing row stays
  EXPECT_EQ(List()->RowCount(), 4);
  EXPECT_EQ(modified_->count(), 2);
  EXPECT_EQ(Saved(), "01-01+ -, 02-27+ -, 03-26+ -");
  // Discarding reloads what the store holds without reporting a change.
  const QString saved = Rows();
  List()->SelectRow(0);
  QTest::keyClick(List(), Qt::Key_Delete);
  page_->LoadStatistics("anna");
  EXPECT_EQ(Rows(), saved);
  // Clearing empties and disables the list, and an empty list saves nothing.
  page_->ClearStatistics();
  EXPECT_EQ(std::pair(List()->RowCount(), List()->isEnabled()), std::pair(0, false));
  QTest::mouseClick(Viewport(), Qt::RightButton, Qt::NoModifier, QPoint(20, 10));
  EXPECT_FALSE(List()->ContextMenu()->isVisible());
  EXPECT_EQ(Saved(), "01-01+ -, 02-27+ -, 03-26+ -") << "no count written for rows not there";
  EXPECT_EQ(modified_->count(), 3);
}

TEST_F(StatisticsPageTest, ContextMenuEnablesItsCommandsByTheClickedCell) {
  Open({{20240105, 20240119}, {20240202, 0}});
  // The cell clicked; whether " Add/Edit entry", " Remove entry" and " Delete row" are on.
  const std::tuple<int, int, const char*> cases[] = {
      {0, 0, "001"},                                // "ID" of a record row
      {1, 3, "001"},                                // "Duration" of a record row
      {1, 1, "101"},                                // "Menses" of a record row
      {1, 2, "101"},                                // "Ovulation" without a date
      {0, 2, "111"},                                // "Ovulation" with a date
      {2, 1, "100"},                                // "Menses" of the trailing row
      {2, 0, "000"}, {2, 2, "000"}, {2, 3, "000"},  // other cells of the trailing row
  };
  for (const auto& [row, column, enabled] : cases) {
    SCOPED_TRACE(testing::Message() << "cell " << row << "," << column);
    RightClick(row, column);
    QString on;
    for (int command : {StatisticsList::kAddEditCommand, StatisticsList::kRemoveCommand,
                        StatisticsList::kDeleteRowCommand})
      on += List()->MenuAction(command)->isEnabled() ? '1' : '0';
    EXPECT_EQ(on, enabled);
    EXPECT_TRUE(List()->ContextMenu()->isVisible() && List()->SelectionMark() == row);
    List()->ContextMenu()->hide();
  }
  // Below the last row: no menu, and the last cell clicked is still the one remembered.
  QTest::mouseClick(Viewport(), Qt::RightButton, Qt::NoModifier,
                    QPoint(10, Viewport()->height() - 3));
  EXPECT_FALSE(List()->ContextMenu()->isVisible());
  EXPECT_EQ(std::pair(List()->MenuRow(), List()->MenuColumn()), std::pair(2, 3));
  EXPECT_EQ(modified_->count(), 0);
}

TEST_F(StatisticsPageTest, MensesDatesOnTheTrailingRowAppendRowsAndOnlyDateCellsOpenThePicker) {
  Open({});
  for (const QDate& day : {QDate(2024, 3, 1), QDate(2024, 3, 29), QDate(2024, 3, 29)}) {
    PickNext(day);
    DoubleClick(List()->RowCount() - 1, 1);
  }
  // The same day twice: a duration of 0 shows nothing.
  EXPECT_EQ(Rows(),
            "1.|1 Mar. 2024, Friday||28 days\n2.|29 Mar. 2024, Friday||\n"
            "3.|29 Mar. 2024, Friday||\n4.|||");
  EXPECT_EQ(modified_->count(), 3);
  // The picker starts within the row's bounds: the cell, the minimum and the first day shown.
  const std::tuple<int, int, QDate, QDate> cases[] = {
      {1, 1, QDate(2024, 3, 1), QDate(2024, 3, 29)},   // menses: after the row above
      {3, 1, QDate(2024, 3, 29), QDate(2024, 3, 29)},  // trailing row: at the row above
      {0, 2, QDate(2024, 3, 1), QDate(2024, 3, 1)},    // ovulation: not before its own menses
  };
  for (const auto& [row, column, minimum, initial] : cases) {
    WhenModal<DatePickerDialog>([minimum, initial](DatePickerDialog* picker) {
      EXPECT_EQ(picker->MinimumDate(), PickedTime(minimum));
      EXPECT_EQ(picker->InitialDate(), PickedTime(initial));
      picker->reject();
    });
    DoubleClick(row, column);
  }
  DialogWatcher<DatePickerDialog> elsewhere;  // no picker may open elsewhere
  for (auto [row, column] : {std::pair{3, 2}, std::pair{0, 0}, std::pair{0, 3}})
    DoubleClick(row, column);
  EXPECT_EQ(elsewhere.shown, 0);
  EXPECT_EQ(modified_->count(), 3) << "cancelled pickers change nothing";
  EXPECT_EQ(Saved(), "03-01+ -, 03-29+ -, 03-29+ -");
}

TEST_F(StatisticsPageTest, OvulationIsPickedRecountedAndRemovedThroughTheMenu) {
  Open({{20240105, 0}, {20240202, 0}});
  PickNext(QDate(2024, 1, 19));
  Command(0, 2, StatisticsList::kAddEditCommand);
  EXPECT_EQ(List()->CellText(0, 2), "19 Jan. 2024, Friday (day 14)");
  PickNext(QDate(2024, 1, 9));  // a new menses date recounts the ovulation day
  Command(0, 1, StatisticsList::kAddEditCommand);
  EXPECT_TRUE(Rows().startsWith("1.|9 Jan. 2024, Tuesday|19 Jan. 2024, Friday (day 10)|24 days"));
  EXPECT_EQ(Saved(), "01-09+ 01-19+, 02-02+ -");
  Command(0, 2, StatisticsList::kRemoveCommand);
  EXPECT_EQ(List()->CellText(0, 2), "");
  EXPECT_EQ(modified_->count(), 3);
  EXPECT_EQ(Saved(), "01-09+ -, 02-02+ -");
}

}  // namespace
}  // namespace lunaret::test
