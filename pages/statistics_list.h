#ifndef LUNARET_PAGES_STATISTICS_LIST_H
#define LUNARET_PAGES_STATISTICS_LIST_H

#include <QAbstractTableModel>
#include <QString>
#include <QTableView>
#include <array>
#include <optional>
#include <vector>

#include "core/cycles/statistics.h"

class QAction;
class QMenu;

namespace lunaret {

struct ImportPlan;

// The rows of the statistics list: four cell texts each, and the record of every row but the
// trailing one. The rows own their records; removing a row releases its record with it.
class StatisticsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kColumnCount = 4;

  struct Row {
    std::array<QString, kColumnCount> cells;
    std::optional<StatisticsRecord> record;
  };

  explicit StatisticsModel(QObject* parent = nullptr);
  ~StatisticsModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  int RowCount() const { return static_cast<int>(rows_.size()); }
  QString CellText(int row, int column) const;
  // Appends a row first when row lies past the last one.
  void SetCellText(int row, int column, const QString& text);
  StatisticsRecord* Record(int row);
  const StatisticsRecord* Record(int row) const;
  StatisticsRecord& AttachRecord(int row, const StatisticsRecord& record);
  void RemoveRow(int row);
  void RemoveAllRows();
  // Replaces all rows at once.
  void ResetRows(std::vector<Row> rows);
  // Inserts rows at their positions in the result, in ascending order of position.
  void InsertRows(std::vector<std::pair<std::size_t, Row>> rows);
  // Writes "%d." with the row number into the "ID" cells of rows first..last.
  void Renumber(int first, int last);

 private:
  std::vector<Row> rows_;
};

// The list of past cycles on the Statistics page. Every row but the last carries a record; the
// last, the trailing row, shows only its number and is where the next record is entered. Dates
// are set through the date picker by a double click on a cell or through the context menu;
// Delete removes the selected row. Every change made here is reported by changed(); loading,
// saving and clearing report nothing.
class StatisticsList : public QTableView {
  Q_OBJECT

 public:
  enum Column { kIdColumn = 0, kMensesColumn = 1, kOvulationColumn = 2, kDurationColumn = 3 };
  static constexpr int kListId = 1013;
  // Context-menu commands and their pictures.
  static constexpr int kAddEditCommand = 32782;
  static constexpr int kRemoveCommand = 32783;
  static constexpr int kDeleteRowCommand = 32784;
  static constexpr int kAddEditPicture = 148;
  static constexpr int kRemovePicture = 149;
  static constexpr int kDeleteRowPicture = 146;

  explicit StatisticsList(QWidget* parent = nullptr);
  ~StatisticsList() override;

  int RowCount() const;
  QString CellText(int row, int column) const;
  void SetCellText(int row, int column, const QString& text);
  // The record of a row; null for the trailing row and rows past the end.
  const StatisticsRecord* Record(int row) const;

  // Replaces the rows by these records with their loaded texts and a trailing row.
  void LoadRecords(const std::vector<StatisticsRecord>& records);
  // The records of all rows but the trailing one, in row order.
  std::vector<StatisticsRecord> Records() const;
  void RemoveAllRows();
  // Adds the plan's records at their rows and fills in its ovulations, with the texts of dates
  // picked anew, and reports the change once.
  void InsertRecords(const ImportPlan& plan);

  void EditCell(int row, int column);
  void EditMensesDate(int row);
  void EditOvulationDate(int row);
  void RemoveOvulation();
  void DeleteSelectedRow();
  // Deletes the record in row, as Delete does on its selected row.
  void RemoveRecord(int row);
  // Shows the context menu for the remembered cell at point (viewport coordinates) and
  // returns at once; the chosen command runs when the menu reports it.
  void ShowContextMenu(const QPoint& point);

  // Days of the cycle that begins with row i-1 and ends where row i begins; -1 when either
  // row has no record.
  long DurationDays(int i) const;

  // The row that Delete and " Delete row" act on; -1 when none.
  int SelectionMark() const;
  void SelectRow(int row);

  int MenuRow() const { return menuRow_; }
  int MenuColumn() const { return menuColumn_; }
  QMenu* ContextMenu() const { return menu_; }
  QAction* MenuAction(int commandId) const;

  StatisticsModel* Model() const { return model_; }

 signals:
  // Every change the user made through the list.
  void changed();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The "Duration" text of row i-1 after a change: the day count only when positive.
  void UpdateDuration(int i);

  StatisticsModel* model_ = nullptr;  // child object
  QMenu* menu_ = nullptr;             // child object
  QAction* addEdit_ = nullptr;
  QAction* remove_ = nullptr;
  QAction* deleteRow_ = nullptr;
  int menuRow_ = -1;
  int menuColumn_ = -1;
};

}  // namespace lunaret

#endif  // LUNARET_PAGES_STATISTICS_LIST_H
