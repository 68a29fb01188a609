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
    if (page_ != nullptr)
      List()->ContextMenu()->hide();
    page_.reset();
    Settle();
  }

  void Store(const std::string& user, const std::vector<Stored>& records) {
    temp_.AddUser(user, "secret");
    UserStore& store = temp_.store();
    store.SetStatisticsLength(user, static_cast<std::uint32_t>(records.size()));
    for (std::size_t i = 0; i < records.size(); ++i) {
      const Stored& r = records[i];
      store.SetStatisticsDate(user, PickedTime(r.menses.year(), r.menses.month(), r.menses.day()),
                              static_cast<std::int32_t>(i));
      const TimeValue ovulation =
          r.ovulation.isValid()
              ? PickedTime(r.ovulation.year(), r.ovulation.month(), r.ovulation.day())
              : 0;
      store.SetStatisticsOvulationDate(user, ovulation, static_cast<std::int32_t>(i));
    }
  }

  void Open(const std::string& user) {
    page_ = std::make_unique<StatisticsPage>(temp_.store(), QString::fromStdString(user));
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
  // Answers the next date picker with this day and OK.
  static void PickNext(const QDate& day) {
    WhenModalOf<DatePickerDialog>([day](DatePickerDialog* picker) {
      ASSERT_NE(picker, nullptr);
      picker->Calendar()->setSelectedDate(day);
      QTest::mouseClick(picker->OkButton(), Qt::LeftButton);
    });
  }

  TempStore temp_;
  std::unique_ptr<StatisticsPage> page_;
  std::unique_ptr<QSignalSpy> modified_;
};

TEST_F(StatisticsPageTest, AUserWithoutStatisticsGetsOnlyTheTrailingRow) {
  temp_.AddUser("anna", "secret");
  page_ = std::make_unique<StatisticsPage>(temp_.store(), "anna");
  EXPECT_FALSE(List()->isEnabled());
  EXPECT_EQ(List()->RowCount(), 0);
  modified_ = std::make_unique<QSignalSpy>(page_.get(), &StatisticsPage::modified);
  page_->Initialize();
  EXPECT_TRUE(List()->isEnabled());
  ASSERT_EQ(List()->RowCount(), 1);
  EXPECT_EQ(Row(0), QStringList({"1.", "", "", ""}));
  EXPECT_EQ(List()->Record(0), nullptr);
  EXPECT_EQ(modified_->count(), 0);

  page_->SaveStatistics();
  EXPECT_EQ(temp_.store().GetStatisticsLength("anna"), 0u);
}

TEST_F(StatisticsPageTest, LoadShowsTheLoadedWordings) {
  Store("anna", {{QDate(2024, 1, 5), QDate(2024, 1, 19)},
                 {QDate(2024, 2, 2), QDate()},
                 {QDate(2024, 3, 3), QDate(2024, 3, 1)}});
  Open("anna");
  ASSERT_EQ(List()->RowCount(), 4);
  EXPECT_EQ(Row(0), QStringList({"1.", "5 Jan. 2024, Friday", "19 Jan. 2024, Friday (14 days)",
                                 "28 days"}));
  EXPECT_EQ(Row(1), QStringList({"2.", "2 Feb. 2024, Friday", "", "30 days"}));
  EXPECT_EQ(Row(2),
            QStringList({"3.", "3 Mar. 2024, Sunday", "1 Mar. 2024, Friday (-2 days)", ""}));
  EXPECT_EQ(Row(3), QStringList({"4.", "", "", ""}));
  EXPECT_EQ(modified_->count(), 0);
}

TEST_F(StatisticsPageTest, LoadedDurationsOfZeroOrLessAreShown) {
  Store(
      "anna",
      {{QDate(2024, 2, 2), QDate()}, {QDate(2024, 2, 2), QDate()}, {QDate(2024, 1, 30), QDate()}});
  Open("anna");
  EXPECT_EQ(List()->CellText(0, 3), "0 days");
  EXPECT_EQ(List()->CellText(1, 3), "-3 days");
}

TEST_F(StatisticsPageTest, ChangesSaveAndLoadBackAndSavingRemovesStaleValues) {
  Store("anna", {{QDate(2024, 1, 1), QDate()},
                 {QDate(2024, 1, 29), QDate(2024, 2, 12)},
                 {QDate(2024, 2, 26), QDate()},
                 {QDate(2024, 3, 25), QDate()},
                 {QDate(2024, 4, 22), QDate()}});
  Open("anna");
  List()->SelectRow(3);
  List()->setFocus();
  QTest::keyClick(List(), Qt::Key_Delete);
  List()->SelectRow(3);
  QTest::keyClick(List(), Qt::Key_Delete);
  ASSERT_EQ(List()->RowCount(), 4);

  page_->SaveStatistics();
  UserStore& store = temp_.store();
  EXPECT_EQ(store.GetStatisticsLength("anna"), 3u);
  EXPECT_EQ(store.GetStatisticsDate("anna", 1), PickedTime(2024, 1, 29));
  EXPECT_EQ(store.GetStatisticsOvulationDate("anna", 1), PickedTime(2024, 2, 12));
  EXPECT_EQ(store.GetStatisticsDate("anna", 2), PickedTime(2024, 2, 26));
  EXPECT_EQ(store.GetStatisticsOvulationDate("anna", 2), 0);
  const auto before = store.CountValues("anna");
  EXPECT_EQ(store.GetStatisticsDate("anna", 3), 0);
  EXPECT_EQ(store.GetStatisticsDate("anna", 4), 0);

  StatisticsPage again(temp_.store(), "anna");
  again.Initialize();
  ASSERT_EQ(again.List()->RowCount(), 4);
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column)
      EXPECT_EQ(again.List()->CellText(row, column), List()->CellText(row, column))
          << row << "," << column;
  }
  // Saving again changes nothing.
  again.SaveStatistics();
  EXPECT_EQ(store.CountValues("anna"), before);
}

TEST_F(StatisticsPageTest, DiscardReloadsFromTheStoreWithoutReportingAChange) {
  Store("anna", {{QDate(2024, 1, 1), QDate()}, {QDate(2024, 1, 29), QDate()}});
  Open("anna");
  List()->SelectRow(0);
  QTest::keyClick(List(), Qt::Key_Delete);
  EXPECT_EQ(modified_->count(), 1);
  page_->LoadStatistics("anna");
  EXPECT_EQ(List()->RowCount(), 3);
  EXPECT_EQ(List()->CellText(0, 1), "1 Jan. 2024, Monday");
  EXPECT_EQ(modified_->count(), 1);
}

TEST_F(StatisticsPageTest, ClearEmptiesAndDisablesTheList) {
  Store("anna", {{QDate(2024, 1, 1), QDate()}});
  Open("anna");
  page_->ClearStatistics();
  EXPECT_EQ(List()->RowCount(), 0);
  EXPECT_FALSE(List()->isEnabled());
  EXPECT_EQ(page_->UserName(), "anna");
  EXPECT_EQ(modified_->count(), 0);

  // Clicks reach nothing while nobody is logged in.
  QTest::mouseClick(Viewport(), Qt::RightButton, Qt::NoModifier, QPoint(20, 10));
  EXPECT_FALSE(List()->ContextMenu()->isVisible());
  EXPECT_EQ(List()->MenuRow(), -1);

  // A save now would write a count for the rows that are not there.
  page_->SaveStatistics();
  EXPECT_EQ(temp_.store().GetStatisticsLength("anna"), 1u);
  EXPECT_EQ(temp_.store().GetStatisticsDate("anna", 0), PickedTime(2024, 1, 1));

  page_->LoadStatistics("anna");
  EXPECT_TRUE(List()->isEnabled());
  EXPECT_EQ(List()->RowCount(), 2);
}

TEST_F(StatisticsPageTest, ContextMenuEnablesItemsByTheClickedCell) {
  Store("anna", {{QDate(2024, 1, 5), QDate(2024, 1, 19)}, {QDate(2024, 2, 2), QDate()}});
  Open("anna");
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
    EXPECT_EQ(List()->MenuRow(), c.row);
    EXPECT_EQ(List()->MenuColumn(), c.column);
    EXPECT_EQ(List()->SelectionMark(), c.row);
    EXPECT_TRUE(List()->selectionModel()->isRowSelected(c.row, QModelIndex()));
    EXPECT_EQ(addEdit->isEnabled(), c.addEdit);
    EXPECT_EQ(remove->isEnabled(), c.remove);
    EXPECT_EQ(deleteRow->isEnabled(), c.deleteRow);
    menu->hide();
  }
  EXPECT_EQ(modified_->count(), 0);

  // Below the last row: nothing is remembered and no menu opens.
  QTest::mouseClick(Viewport(), Qt::RightButton, Qt::NoModifier,
                    QPoint(10, Viewport()->height() - 3));
  EXPECT_FALSE(menu->isVisible());
  EXPECT_EQ(List()->MenuRow(), 2);
}

TEST_F(StatisticsPageTest, ContextMenuItemsAndCommandIds) {
  temp_.AddUser("anna", "secret");
  Open("anna");
  const QList<QAction*> actions = List()->ContextMenu()->actions();
  ASSERT_EQ(actions.size(), 4);
  EXPECT_EQ(actions[0]->text(), " Add/Edit entry");
  EXPECT_EQ(actions[0]->data().toInt(), 32782);
  EXPECT_EQ(actions[1]->text(), " Remove entry");
  EXPECT_EQ(actions[1]->data().toInt(), 32783);
  EXPECT_TRUE(actions[2]->isSeparator());
  EXPECT_EQ(actions[3]->text(), " Delete row");
  EXPECT_EQ(actions[3]->data().toInt(), 32784);
  EXPECT_EQ(List()->ContextMenu()->defaultAction(), actions[0]);
  EXPECT_TRUE(actions[0]->font().bold());
}

TEST_F(StatisticsPageTest, ARecordIsAddedOnTheTrailingRow) {
  temp_.AddUser("anna", "secret");
  Open("anna");
  PickNext(QDate(2024, 3, 1));
  DoubleClick(0, 1);
  ASSERT_EQ(List()->RowCount(), 2);
  EXPECT_EQ(Row(0), QStringList({"1.", "1 Mar. 2024, Friday", "", ""}));
  EXPECT_EQ(Row(1), QStringList({"2.", "", "", ""}));
  ASSERT_NE(List()->Record(0), nullptr);
  EXPECT_EQ(List()->Record(0)->mensesDate, PickedTime(2024, 3, 1));
  EXPECT_EQ(List()->Record(0)->ovulationDate, 0);
  EXPECT_EQ(modified_->count(), 1);

  PickNext(QDate(2024, 3, 29));
  DoubleClick(1, 1);
  ASSERT_EQ(List()->RowCount(), 3);
  EXPECT_EQ(Row(0), QStringList({"1.", "1 Mar. 2024, Friday", "", "28 days"}));
  EXPECT_EQ(Row(2), QStringList({"3.", "", "", ""}));

  // The same day again: a recomputed duration of 0 leaves the cell empty.
  PickNext(QDate(2024, 3, 29));
  DoubleClick(2, 1);
  EXPECT_EQ(List()->CellText(1, 3), "");
  EXPECT_EQ(List()->RowCount(), 4);
  EXPECT_EQ(modified_->count(), 3);

  page_->SaveStatistics();
  EXPECT_EQ(temp_.store().GetStatisticsLength("anna"), 3u);
  EXPECT_EQ(temp_.store().GetStatisticsDate("anna", 1), PickedTime(2024, 3, 29));
}

TEST_F(StatisticsPageTest, ThePickerStartsWithinTheRowsBounds) {
  Store("anna", {{QDate(2024, 1, 5), QDate()}, {QDate(2024, 2, 2), QDate()}});
  Open("anna");
  TimeValue minimum = 0;
  TimeValue initial = 0;
  QDate lowest;
  auto look = [&](DatePickerDialog* picker) {
    minimum = picker->MinimumDate();
    initial = picker->InitialDate();
    lowest = picker->Calendar()->minimumDate();
    picker->reject();
  };
  WhenModalOf<DatePickerDialog>(look);
  DoubleClick(1, 1);
  EXPECT_EQ(minimum, PickedTime(2024, 1, 5));
  EXPECT_EQ(initial, PickedTime(2024, 2, 2));
  EXPECT_EQ(lowest, QDate(2024, 1, 5));

  WhenModalOf<DatePickerDialog>(look);
  DoubleClick(2, 1);  // the trailing row starts at the row above
  EXPECT_EQ(minimum, PickedTime(2024, 2, 2));
  EXPECT_EQ(initial, PickedTime(2024, 2, 2));

  WhenModalOf<DatePickerDialog>(look);
  DoubleClick(0, 2);  // ovulation: not before its own menses date
  EXPECT_EQ(minimum, PickedTime(2024, 1, 5));

  // Cancelled pickers changed nothing.
  EXPECT_EQ(List()->RowCount(), 3);
  EXPECT_EQ(List()->CellText(0, 2), "");
  EXPECT_EQ(modified_->count(), 0);
}

TEST_F(StatisticsPageTest, CellsWithoutADateToPickDoNothingOnDoubleClick) {
  Store("anna", {{QDate(2024, 1, 5), QDate()}});
  Open("anna");
  // No picker may open; one that does is closed again and counted.
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
  DoubleClick(1, 2);  // "Ovulation" of the trailing row
  DoubleClick(0, 0);
  DoubleClick(0, 3);
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(modified_->count(), 0);
}

TEST_F(StatisticsPageTest, OvulationIsPickedAndRemovedThroughTheMenu) {
  Store("anna", {{QDate(2024, 1, 5), QDate()}, {QDate(2024, 2, 2), QDate()}});
  Open("anna");
  RightClick(0, 2);
  PickNext(QDate(2024, 1, 19));
  List()->MenuAction(StatisticsList::kAddEditCommand)->trigger();
  List()->ContextMenu()->hide();
  EXPECT_EQ(List()->CellText(0, 2), "19 Jan. 2024, Friday (day 14)");
  EXPECT_EQ(List()->Record(0)->ovulationDate, PickedTime(2024, 1, 19));
  EXPECT_EQ(modified_->count(), 1);

  // A new menses date recounts the ovulation day in the picked wording.
  RightClick(0, 1);
  PickNext(QDate(2024, 1, 9));
  List()->MenuAction(StatisticsList::kAddEditCommand)->trigger();
  List()->ContextMenu()->hide();
  EXPECT_EQ(List()->CellText(0, 1), "9 Jan. 2024, Tuesday");
  EXPECT_EQ(List()->CellText(0, 2), "19 Jan. 2024, Friday (day 10)");
  EXPECT_EQ(List()->CellText(0, 3), "24 days");

  RightClick(0, 2);
  ASSERT_TRUE(List()->MenuAction(StatisticsList::kRemoveCommand)->isEnabled());
  List()->MenuAction(StatisticsList::kRemoveCommand)->trigger();
  List()->ContextMenu()->hide();
  EXPECT_EQ(List()->CellText(0, 2), "");
  EXPECT_EQ(List()->Record(0)->ovulationDate, 0);
  EXPECT_EQ(modified_->count(), 3);

  page_->SaveStatistics();
  EXPECT_EQ(temp_.store().GetStatisticsOvulationDate("anna", 0), 0);
  EXPECT_EQ(temp_.store().GetStatisticsDate("anna", 0), PickedTime(2024, 1, 9));
}

TEST_F(StatisticsPageTest, DeletingRowOneOfFiveRenumbersAndMeasuresAgain) {
  Store("anna", {{QDate(2024, 1, 1), QDate()},
                 {QDate(2024, 1, 29), QDate()},
                 {QDate(2024, 2, 27), QDate()},
                 {QDate(2024, 3, 26), QDate()},
                 {QDate(2024, 4, 24), QDate()}});
  Open("anna");
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
  EXPECT_EQ(modified_->count(), 1);

  // " Delete row" acts on the selected row too.
  RightClick(3, 0);
  List()->MenuAction(StatisticsList::kDeleteRowCommand)->trigger();
  List()->ContextMenu()->hide();
  EXPECT_EQ(List()->RowCount(), 4);
  EXPECT_EQ(Row(2), QStringList({"3.", "26 Mar. 2024, Tuesday", "", ""}));
  EXPECT_EQ(Row(3), QStringList({"4.", "", "", ""}));
  EXPECT_EQ(List()->SelectionMark(), 3);

  // The trailing row (now selected) cannot be deleted.
  QTest::keyClick(List(), Qt::Key_Delete);
  EXPECT_EQ(List()->RowCount(), 4);
  EXPECT_EQ(modified_->count(), 2);
}

TEST_F(StatisticsPageTest, EnterAndEscapeInTheListAskTheHost) {
  Store("anna", {{QDate(2024, 1, 1), QDate()}});
  Open("anna");
  QSignalSpy ok(page_.get(), &StatisticsPage::okRequested);
  QSignalSpy cancel(page_.get(), &StatisticsPage::cancelRequested);
  List()->setFocus();
  QTest::keyClick(List(), Qt::Key_Escape);
  QTest::keyClick(List(), Qt::Key_Return);
  EXPECT_EQ(ok.count(), 1);
  EXPECT_EQ(cancel.count(), 1);
  EXPECT_TRUE(page_->isVisible());
}

TEST_F(StatisticsPageTest, ColumnsFitLongDates) {
  temp_.AddUser("anna", "secret");
  Open("anna");
  EXPECT_EQ(List()->toolTip(), "Statistics.");
  const QFontMetrics metrics(List()->font());
  EXPECT_GT(List()->columnWidth(2), metrics.horizontalAdvance("30 Sep. 2026, Wednesday (day 14)"));
  EXPECT_GT(List()->columnWidth(1), metrics.horizontalAdvance("30 Sep. 2026, Wednesday"));
  EXPECT_GE(List()->columnWidth(0), 35);
  EXPECT_GE(List()->columnWidth(3), 55);
  EXPECT_EQ(List()->Model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Menses");
}

}  // namespace
}  // namespace lunaret::test
