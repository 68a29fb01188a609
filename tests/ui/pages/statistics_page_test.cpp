// The Statistics page and its list on a real store: loading, editing through the date picker
// and the context menu, deleting, saving and clearing.
#include "pages/statistics_page.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "controls/hover_button.h"
#include "controls/ui_support.h"
#include "pages/date_picker_dialog.h"
#include "pages/statistics_list.h"
#include "pages_test_util.h"
#include "ui_test_support.h"

namespace lunaret::test {
namespace {

struct Stored {
  QDate menses;
  QDate ovulation;  // invalid: none
};

class StatisticsPageTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_TRUE(boxes_.Calls().empty()) << boxes_.Calls()[0].text.toStdString();
    if (page_ != nullptr)
      List()->ContextMenu()->hide();
    page_.reset();
    Settle();
  }

  // Stores "anna" with these records and shows her page, loaded.
  void Open(const std::vector<Stored>& records) {
    temp_.AddUser("anna", "secret");
    UserStore& store = temp_.store();
    store.SetStatisticsLength("anna", static_cast<std::uint32_t>(records.size()));
    for (std::size_t i = 0; i < records.size(); ++i) {
      const auto index = static_cast<std::int32_t>(i);
      store.SetStatisticsDate("anna", PickedTime(records[i].menses), index);
      const QDate ovulation = records[i].ovulation;
      store.SetStatisticsOvulationDate("anna", ovulation.isValid() ? PickedTime(ovulation) : 0,
                                       index);
    }
    page_ = std::make_unique<StatisticsPage>(temp_.store(), "anna");
    EXPECT_FALSE(List()->isEnabled());
    EXPECT_EQ(List()->RowCount(), 0);
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
  QStringList Row(int row) const {
    QStringList cells;
    for (int column = 0; column < 4; ++column)
      cells << List()->CellText(row, column);
    return cells;
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
  // Answers the next date picker with this day and OK.
  static void PickNext(const QDate& day) {
    WhenModalOf<DatePickerDialog>([day](DatePickerDialog* picker) {
      ASSERT_NE(picker, nullptr);
      picker->Calendar()->setSelectedDate(day);
      QTest::mouseClick(picker->OkButton(), Qt::LeftButton);
      if (picker->isVisible()) {
        ADD_FAILURE() << "the picker refused " << day.toString().toStdString();
        picker->reject();
      }
    });
  }

  MessageBoxRecorder boxes_;  // none is expected; a refused date must not block the test
  TempStore temp_;
  std::unique_ptr<StatisticsPage> page_;
  std::unique_ptr<QSignalSpy> modified_;
};

TEST_F(StatisticsPageTest, LoadShowsTheLoadedWordingsWithDurationsOfAnySign) {
  Open({{QDate(2024, 1, 5), QDate(2024, 1, 19)},
        {QDate(2024, 2, 2), QDate()},
        {QDate(2024, 2, 2), QDate()},
        {QDate(2024, 1, 30), QDate(2024, 1, 28)}});
  ASSERT_EQ(List()->RowCount(), 5);
  EXPECT_TRUE(List()->isEnabled());
  EXPECT_EQ(Row(0), QStringList({"1.", "5 Jan. 2024, Friday", "19 Jan. 2024, Friday (14 days)",
                                 "28 days"}));
  EXPECT_EQ(Row(1), QStringList({"2.", "2 Feb. 2024, Friday", "", "0 days"}));
  EXPECT_EQ(Row(2), QStringList({"3.", "2 Feb. 2024, Friday", "", "-3 days"}));
  EXPECT_EQ(Row(3),
            QStringList({"4.", "30 Jan. 2024, Tuesday", "28 Jan. 2024, Sunday (-2 days)", ""}));
  EXPECT_EQ(Row(4), QStringList({"5.", "", "", ""}));
  EXPECT_EQ(List()->Record(4), nullptr);
  EXPECT_EQ(modified_->count(), 0);

  const QFontMetrics metrics(List()->font());
  EXPECT_GT(List()->columnWidth(1), metrics.horizontalAdvance("30 Sep. 2026, Wednesday"));
  EXPECT_GT(List()->columnWidth(2), metrics.horizontalAdvance("30 Sep. 2026, Wednesday (day 14)"));
  EXPECT_GE(List()->columnWidth(0), 35);
  EXPECT_GE(List()->columnWidth(3), 55);
}

TEST_F(StatisticsPageTest, ChangesSaveAndLoadBackWhileLoadingAndSavingReportNothing) {
  Open({{QDate(2024, 1, 1), QDate()},
        {QDate(2024, 1, 29), QDate(2024, 2, 12)},
        {QDate(2024, 2, 26), QDate()},
        {QDate(2024, 3, 25), QDate()},
        {QDate(2024, 4, 22), QDate()}});
  List()->setFocus();
  for (int deleted = 0; deleted < 2; ++deleted) {
    List()->SelectRow(3);
    QTest::keyClick(List(), Qt::Key_Delete);
  }
  ASSERT_EQ(List()->RowCount(), 4);
  EXPECT_EQ(modified_->count(), 2);

  page_->SaveStatistics();
  UserStore& store = temp_.store();
  EXPECT_EQ(store.GetStatisticsLength("anna"), 3u);
  EXPECT_EQ(store.GetStatisticsDate("anna", 1), PickedTime(QDate(2024, 1, 29)));
  EXPECT_EQ(store.GetStatisticsOvulationDate("anna", 1), PickedTime(QDate(2024, 2, 12)));
  EXPECT_EQ(store.GetStatisticsDate("anna", 2), PickedTime(QDate(2024, 2, 26)));
  EXPECT_EQ(store.GetStatisticsOvulationDate("anna", 2), 0);

  StatisticsPage again(temp_.store(), "anna");
  again.Initialize();
  ASSERT_EQ(again.List()->RowCount(), 4);
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column)
      EXPECT_EQ(again.List()->CellText(row, column), List()->CellText(row, column))
          << row << "," << column;
  }

  // Discarding reloads what the store holds without reporting a change.
  List()->SelectRow(0);
  QTest::keyClick(List(), Qt::Key_Delete);
  page_->LoadStatistics("anna");
  EXPECT_EQ(List()->RowCount(), 4);
  EXPECT_EQ(List()->CellText(0, 1), "1 Jan. 2024, Monday");
  EXPECT_EQ(modified_->count(), 3);
}

TEST_F(StatisticsPageTest, ClearEmptiesAndDisablesTheListAndAnEmptyListSavesNothing) {
  Open({{QDate(2024, 1, 1), QDate()}});
  page_->ClearStatistics();
  EXPECT_EQ(List()->RowCount(), 0);
  EXPECT_FALSE(List()->isEnabled());
  EXPECT_EQ(modified_->count(), 0);
  QTest::mouseClick(Viewport(), Qt::RightButton, Qt::NoModifier, QPoint(20, 10));
  EXPECT_FALSE(List()->ContextMenu()->isVisible());

  page_->SaveStatistics();  // would write a count for rows that are not there
  EXPECT_EQ(temp_.store().GetStatisticsLength("anna"), 1u);
  EXPECT_EQ(temp_.store().GetStatisticsDate("anna", 0), PickedTime(QDate(2024, 1, 1)));
  page_->LoadStatistics("anna");
  EXPECT_TRUE(List()->isEnabled());
  EXPECT_EQ(List()->RowCount(), 2);
}

TEST_F(StatisticsPageTest, ContextMenuEnablesItsCommandsByTheClickedCell) {
  Open({{QDate(2024, 1, 5), QDate(2024, 1, 19)}, {QDate(2024, 2, 2), QDate()}});
  QMenu* menu = List()->ContextMenu();
  QAction* addEdit = List()->MenuAction(StatisticsList::kAddEditCommand);
  QAction* remove = List()->MenuAction(StatisticsList::kRemoveCommand);
  QAction* deleteRow = List()->MenuAction(StatisticsList::kDeleteRowCommand);
  struct Case {
    int row, column;
    bool addEdit, remove, deleteRow;
  };
  const Case cases[] = {
      {0, 0, false, false, true},   // "ID" of a record row
      {1, 3, false, false, true},   // "Duration" of a record row
      {1, 1, true, false, true},    // "Menses" of a record row
      {1, 2, true, false, true},    // "Ovulation" without a date
      {0, 2, true, true, true},     // "Ovulation" with a date
      {2, 1, true, false, false},   // "Menses" of the trailing row
      {2, 0, false, false, false},  // other cells of the trailing row
      {2, 2, false, false, false}, {2, 3, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "cell " << c.row << "," << c.column);
    RightClick(c.row, c.column);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(List()->SelectionMark(), c.row);
    EXPECT_EQ(addEdit->isEnabled(), c.addEdit);
    EXPECT_EQ(remove->isEnabled(), c.remove);
    EXPECT_EQ(deleteRow->isEnabled(), c.deleteRow);
    menu->hide();
  }
  EXPECT_EQ(modified_->count(), 0);

  // Below the last row: no menu, and the last cell clicked is still the one remembered.
  QTest::mouseClick(Viewport(), Qt::RightButton, Qt::NoModifier,
                    QPoint(10, Viewport()->height() - 3));
  EXPECT_FALSE(menu->isVisible());
  EXPECT_EQ(List()->MenuRow(), 2);
  EXPECT_EQ(List()->MenuColumn(), 3);
}

TEST_F(StatisticsPageTest, AMensesDateOnTheTrailingRowAppendsANewTrailingRow) {
  Open({});
  ASSERT_EQ(List()->RowCount(), 1);
  EXPECT_EQ(Row(0), QStringList({"1.", "", "", ""}));
  PickNext(QDate(2024, 3, 1));
  DoubleClick(0, 1);
  ASSERT_EQ(List()->RowCount(), 2);
  EXPECT_EQ(Row(0), QStringList({"1.", "1 Mar. 2024, Friday", "", ""}));
  EXPECT_EQ(Row(1), QStringList({"2.", "", "", ""}));
  ASSERT_NE(List()->Record(0), nullptr);
  EXPECT_EQ(List()->Record(0)->mensesDate, PickedTime(QDate(2024, 3, 1)));

  PickNext(QDate(2024, 3, 29));
  DoubleClick(1, 1);
  ASSERT_EQ(List()->RowCount(), 3);
  EXPECT_EQ(Row(0), QStringList({"1.", "1 Mar. 2024, Friday", "", "28 days"}));
  EXPECT_EQ(Row(2), QStringList({"3.", "", "", ""}));
  PickNext(QDate(2024, 3, 29));  // the same day again: a duration of 0 shows nothing
  DoubleClick(2, 1);
  EXPECT_EQ(List()->CellText(1, 3), "");
  EXPECT_EQ(List()->RowCount(), 4);
  EXPECT_EQ(modified_->count(), 3);

  page_->SaveStatistics();
  EXPECT_EQ(temp_.store().GetStatisticsLength("anna"), 3u);
  EXPECT_EQ(temp_.store().GetStatisticsDate("anna", 1), PickedTime(QDate(2024, 3, 29)));
}

TEST_F(StatisticsPageTest, ThePickerStartsWithinTheRowsBoundsAndOnlyDateCellsOpenIt) {
  Open({{QDate(2024, 1, 5), QDate()}, {QDate(2024, 2, 2), QDate()}});
  struct Case {
    int row, column;
    QDate minimum, initial;
  };
  const Case cases[] = {
      {1, 1, QDate(2024, 1, 5), QDate(2024, 2, 2)},  // menses: after the row above
      {2, 1, QDate(2024, 2, 2), QDate(2024, 2, 2)},  // trailing row: starts at the row above
      {0, 2, QDate(2024, 1, 5), QDate(2024, 1, 5)},  // ovulation: not before its own menses
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "cell " << c.row << "," << c.column);
    TimeValue minimum = 0;
    TimeValue initial = 0;
    WhenModalOf<DatePickerDialog>([&](DatePickerDialog* picker) {
      minimum = picker->MinimumDate();
      initial = picker->InitialDate();
      picker->reject();
    });
    DoubleClick(c.row, c.column);
    EXPECT_EQ(minimum, PickedTime(c.minimum));
    EXPECT_EQ(initial, PickedTime(c.initial));
  }

  // No picker may open elsewhere; one that does is counted and closed.
  int opened = 0;
  QTimer guard;
  guard.setInterval(20);
  QObject::connect(&guard, &QTimer::timeout, [&opened]() {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      ++opened;
      dialog->reject();
    }
  });
  guard.start();
  DoubleClick(2, 2);  // "Ovulation" of the trailing row
  DoubleClick(0, 0);
  DoubleClick(0, 3);
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(List()->RowCount(), 3);
  EXPECT_EQ(modified_->count(), 0) << "cancelled pickers change nothing";
}

TEST_F(StatisticsPageTest, OvulationIsPickedRecountedAndRemovedThroughTheMenu) {
  Open({{QDate(2024, 1, 5), QDate()}, {QDate(2024, 2, 2), QDate()}});
  PickNext(QDate(2024, 1, 19));
  Command(0, 2, StatisticsList::kAddEditCommand);
  EXPECT_EQ(List()->CellText(0, 2), "19 Jan. 2024, Friday (day 14)");
  EXPECT_EQ(List()->Record(0)->ovulationDate, PickedTime(QDate(2024, 1, 19)));

  PickNext(QDate(2024, 1, 9));  // a new menses date recounts the ovulation day
  Command(0, 1, StatisticsList::kAddEditCommand);
  EXPECT_EQ(Row(0), QStringList({"1.", "9 Jan. 2024, Tuesday", "19 Jan. 2024, Friday (day 10)",
                                 "24 days"}));

  Command(0, 2, StatisticsList::kRemoveCommand);
  EXPECT_EQ(List()->CellText(0, 2), "");
  EXPECT_EQ(List()->Record(0)->ovulationDate, 0);
  EXPECT_EQ(modified_->count(), 3);
  page_->SaveStatistics();
  EXPECT_EQ(temp_.store().GetStatisticsOvulationDate("anna", 0), 0);
  EXPECT_EQ(temp_.store().GetStatisticsDate("anna", 0), PickedTime(QDate(2024, 1, 9)));
}

TEST_F(StatisticsPageTest, DeletingRowOneOfFiveRenumbersMeasuresAgainAndSelectsTheNextRow) {
  Open({{QDate(2024, 1, 1), QDate()},
        {QDate(2024, 1, 29), QDate()},
        {QDate(2024, 2, 27), QDate()},
        {QDate(2024, 3, 26), QDate()},
        {QDate(2024, 4, 24), QDate()}});
  QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(1, 1));
  ASSERT_EQ(List()->SelectionMark(), 1);
  QTest::keyClick(List(), Qt::Key_Delete);
  ASSERT_EQ(List()->RowCount(), 5);
  EXPECT_EQ(Row(0), QStringList({"1.", "1 Jan. 2024, Monday", "", "57 days"}));
  EXPECT_EQ(Row(1), QStringList({"2.", "27 Feb. 2024, Tuesday", "", "28 days"}));
  EXPECT_EQ(Row(3), QStringList({"4.", "24 Apr. 2024, Wednesday", "", ""}));
  EXPECT_EQ(Row(4), QStringList({"5.", "", "", ""}));
  EXPECT_EQ(List()->SelectionMark(), 1);
  EXPECT_TRUE(List()->selectionModel()->isRowSelected(1, QModelIndex()));

  Command(3, 0, StatisticsList::kDeleteRowCommand);  // the last record, through the menu
  EXPECT_EQ(Row(2), QStringList({"3.", "26 Mar. 2024, Tuesday", "", ""}));
  EXPECT_EQ(Row(3), QStringList({"4.", "", "", ""}));
  EXPECT_EQ(List()->SelectionMark(), 3);
  QTest::keyClick(List(), Qt::Key_Delete);  // the trailing row stays
  EXPECT_EQ(List()->RowCount(), 4);
  EXPECT_EQ(modified_->count(), 2);
}

TEST_F(StatisticsPageTest, EnterAndEscapeInTheListAskTheHost) {
  Open({{QDate(2024, 1, 1), QDate()}});
  QSignalSpy ok(page_.get(), &StatisticsPage::okRequested);
  QSignalSpy cancel(page_.get(), &StatisticsPage::cancelRequested);
  List()->setFocus();
  QTest::keyClick(List(), Qt::Key_Escape);
  QTest::keyClick(List(), Qt::Key_Return);
  EXPECT_EQ(ok.count(), 1);
  EXPECT_EQ(cancel.count(), 1);
  EXPECT_TRUE(page_->isVisible());
}

}  // namespace
}  // namespace lunaret::test
