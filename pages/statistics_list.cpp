#include "pages/statistics_list.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>
#include <ctime>
#include <iterator>
#include <limits>
#include <utility>

#include "controls/ui_support.h"
#include "core/exchange/history_merge.h"
#include "pages/date_picker_dialog.h"

namespace lunaret {

namespace {

QString Text(const std::string& bytes) {
  return FromStore(bytes);
}

// The picker opens on the current time; a clock past what a time value holds shows the last
// day it can.
TimeValue Now() {
  const std::time_t now = std::time(nullptr);
  return static_cast<TimeValue>(
      std::clamp<std::time_t>(now, 0, std::numeric_limits<TimeValue>::max()));
}

}  // namespace

// ---------------------------------------------------------------------------------------------

StatisticsModel::StatisticsModel(QObject* parent) : QAbstractTableModel(parent) {}

StatisticsModel::~StatisticsModel() = default;

int StatisticsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : RowCount();
}

int StatisticsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant StatisticsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= RowCount() || index.column() >= kColumnCount)
    return {};
  switch (role) {
    case Qt::DisplayRole:
      return rows_[static_cast<std::size_t>(index.row())]
          .cells[static_cast<std::size_t>(index.column())];
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::ToolTipRole:
      return QStringLiteral("Statistics.");
    default:
      return {};
  }
}

QVariant StatisticsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal)
    return {};
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
  if (role != Qt::DisplayRole)
    return {};
  switch (section) {
    case 0:
      return QStringLiteral("ID");
    case 1:
      return QStringLiteral("Menses");
    case 2:
      return QStringLiteral("Ovulation");
    case 3:
      return QStringLiteral("Duration");
    default:
      return {};
  }
}

Qt::ItemFlags StatisticsModel::flags(const QModelIndex& index) const {
  if (!index.isValid())
    return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QString StatisticsModel::CellText(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0 || column >= kColumnCount)
    return {};
  return rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)];
}

void StatisticsModel::SetCellText(int row, int column, const QString& text) {
  if (row < 0 || column < 0 || column >= kColumnCount)
    return;
  if (row > RowCount() - 1) {
    // The new row goes at the end, whatever index was asked for.
    row = RowCount();
    beginInsertRows(QModelIndex(), row, row);
    rows_.emplace_back();
    endInsertRows();
  }
  QString& cell = rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)];
  if (cell == text)
    return;
  cell = text;
  const QModelIndex changed = index(row, column);
  emit dataChanged(changed, changed, {Qt::DisplayRole});
}

StatisticsRecord* StatisticsModel::Record(int row) {
  if (row < 0 || row >= RowCount())
    return nullptr;
  auto& record = rows_[static_cast<std::size_t>(row)].record;
  return record ? &*record : nullptr;
}

const StatisticsRecord* StatisticsModel::Record(int row) const {
  if (row < 0 || row >= RowCount())
    return nullptr;
  const auto& record = rows_[static_cast<std::size_t>(row)].record;
  return record ? &*record : nullptr;
}

StatisticsRecord& StatisticsModel::AttachRecord(int row, const StatisticsRecord& record) {
  return rows_.at(static_cast<std::size_t>(row)).record.emplace(record);
}

void StatisticsModel::RemoveRow(int row) {
  if (row < 0 || row >= RowCount())
    return;
  beginRemoveRows(QModelIndex(), row, row);
  rows_.erase(rows_.begin() + row);
  endRemoveRows();
}

void StatisticsModel::RemoveAllRows() {
  beginResetModel();
  rows_.clear();
  endResetModel();
}

void StatisticsModel::ResetRows(std::vector<Row> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

void StatisticsModel::InsertRows(std::vector<std::pair<std::size_t, Row>> rows) {
  std::vector<Row> merged;
  merged.reserve(rows_.size() + rows.size());
  auto next = rows_.begin();
  for (auto& [position, row] : rows) {
    while (merged.size() < position && next != rows_.end())
      merged.push_back(std::move(*next++));
    merged.push_back(std::move(row));
  }
  merged.insert(merged.end(), std::make_move_iterator(next), std::make_move_iterator(rows_.end()));
  ResetRows(std::move(merged));
}

void StatisticsModel::Renumber(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, RowCount() - 1);
  if (first > last)
    return;
  for (int i = first; i <= last; ++i)
    rows_[static_cast<std::size_t>(i)].cells[0] = Text(IdText(i));
  emit dataChanged(index(first, 0), index(last, 0), {Qt::DisplayRole});
}

// ---------------------------------------------------------------------------------------------

StatisticsList::StatisticsList(QWidget* parent) : QTableView(parent) {
  SetControlId(this, kListId, "statisticsList");
  model_ = new StatisticsModel(this);
  setModel(model_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(true);
  setWordWrap(false);
  setTextElideMode(Qt::ElideRight);
  setTabKeyNavigation(false);
  setContextMenuPolicy(Qt::PreventContextMenu);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);

  menu_ = new QMenu(this);
  addEdit_ = menu_->addAction(LoadIconResource(kAddEditPicture), QStringLiteral(" Add/Edit entry"));
  addEdit_->setData(kAddEditCommand);
  remove_ = menu_->addAction(LoadIconResource(kRemovePicture), QStringLiteral(" Remove entry"));
  remove_->setData(kRemoveCommand);
  menu_->addSeparator();
  deleteRow_ = menu_->addAction(LoadIconResource(kDeleteRowPicture), QStringLiteral(" Delete row"));
  deleteRow_->setData(kDeleteRowCommand);
  menu_->setDefaultAction(addEdit_);
  QFont bold = addEdit_->font();
  bold.setBold(true);
  addEdit_->setFont(bold);

  connect(addEdit_, &QAction::triggered, this, [this]() { EditCell(menuRow_, menuColumn_); });
  connect(remove_, &QAction::triggered, this, [this]() { RemoveOvulation(); });
  connect(deleteRow_, &QAction::triggered, this, [this]() { DeleteSelectedRow(); });
}

StatisticsList::~StatisticsList() = default;

int StatisticsList::RowCount() const {
  return model_->RowCount();
}

QString StatisticsList::CellText(int row, int column) const {
  return model_->CellText(row, column);
}

void StatisticsList::SetCellText(int row, int column, const QString& text) {
  model_->SetCellText(row, column, text);
}

const StatisticsRecord* StatisticsList::Record(int row) const {
  return model_->Record(row);
}

QAction* StatisticsList::MenuAction(int commandId) const {
  switch (commandId) {
    case kAddEditCommand:
      return addEdit_;
    case kRemoveCommand:
      return remove_;
    case kDeleteRowCommand:
      return deleteRow_;
    default:
      return nullptr;
  }
}

void StatisticsList::LoadRecords(const std::vector<StatisticsRecord>& records) {
  std::vector<StatisticsModel::Row> rows(records.size() + 1);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const StatisticsRecord& record = records[i];
    StatisticsModel::Row& row = rows[i];
    row.cells[kIdColumn] = Text(IdText(static_cast<int>(i)));
    row.cells[kMensesColumn] = Text(MensesText(record));
    if (record.ovulationDate > 0)
      row.cells[kOvulationColumn] = Text(OvulationTextLoaded(record));
    if (i > 0) {
      // As loaded, the duration is shown whatever its sign.
      rows[i - 1].cells[kDurationColumn] =
          Text(DurationTextLoaded(lunaret::DurationDays(&records[i - 1], &record)));
    }
    row.record = record;
  }
  rows.back().cells[kIdColumn] = Text(IdText(static_cast<int>(records.size())));
  model_->ResetRows(std::move(rows));
}

std::vector<StatisticsRecord> StatisticsList::Records() const {
  std::vector<StatisticsRecord> records;
  const int count = RowCount() - 1;  // the trailing row carries no record
  if (count <= 0)
    return records;
  records.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const StatisticsRecord* record = model_->Record(i);
    records.push_back(record != nullptr ? *record : StatisticsRecord{});
  }
  return records;
}

void StatisticsList::InsertRecords(const ImportPlan& plan) {
  for (const OvulationFill& fill : plan.fills) {
    const int row = static_cast<int>(fill.index);
    if (StatisticsRecord* record = model_->Record(row)) {
      record->ovulationDate = fill.ovulationDate;
      SetCellText(row, kOvulationColumn, Text(OvulationTextPicked(*record)));
    }
  }
  if (!plan.additions.empty()) {
    std::vector<std::pair<std::size_t, StatisticsModel::Row>> rows;
    rows.reserve(plan.additions.size());
    for (const PlacedRecord& added : plan.additions) {
      StatisticsModel::Row row;
      row.cells[kMensesColumn] = Text(MensesText(added.record));
      row.cells[kOvulationColumn] = Text(OvulationTextPicked(added.record));
      row.record = added.record;
      rows.emplace_back(added.position, std::move(row));
    }
    model_->InsertRows(std::move(rows));
    model_->Renumber(static_cast<int>(plan.additions.front().position), RowCount() - 1);
    // Each new row measures to the next, and the row before it now measures to it.
    for (const PlacedRecord& added : plan.additions) {
      UpdateDuration(static_cast<int>(added.position));
      UpdateDuration(static_cast<int>(added.position) + 1);
    }
  }
  emit changed();
}

void StatisticsList::RemoveAllRows() {
  model_->RemoveAllRows();
}

long StatisticsList::DurationDays(int i) const {
  if (i <= 0)
    return -1;
  return lunaret::DurationDays(model_->Record(i - 1), model_->Record(i));
}

void StatisticsList::UpdateDuration(int i) {
  if (i <= 0 || i - 1 >= RowCount())
    return;
  SetCellText(i - 1, kDurationColumn, Text(DurationTextRecomputed(DurationDays(i))));
}

int StatisticsList::SelectionMark() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.row() : -1;
}

void StatisticsList::SelectRow(int row) {
  if (row < 0 || row >= RowCount())
    return;
  const QModelIndex index = model_->index(row, 0);
  selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  scrollTo(index);
}

void StatisticsList::EditCell(int row, int column) {
  switch (column) {
    case kMensesColumn:
      EditMensesDate(row);
      break;
    case kOvulationColumn:
      EditOvulationDate(row);
      break;
    default:
      break;
  }
}

void StatisticsList::EditMensesDate(int row) {
  if (row < 0 || row >= RowCount())
    return;
  DatePickerDialog picker(Now(), this);
  if (row > 0) {
    if (const StatisticsRecord* previous = model_->Record(row - 1))
      picker.SetMinimumDate(previous->mensesDate);
  }
  if (const StatisticsRecord* own = model_->Record(row))
    picker.SetInitialDate(own->mensesDate);
  if (picker.exec() != QDialog::Accepted)
    return;
  CalendarDate picked;
  if (picker.GetSelectedDate(&picked) == 0 || row >= RowCount())
    return;

  const TimeValue t = MakeTimeValue(picked, 1, 1, 1);
  SetCellText(row, kMensesColumn, Text(FormatDateOfTime(t)));
  StatisticsRecord* record = model_->Record(row);
  if (record == nullptr)
    record = &model_->AttachRecord(row, StatisticsRecord{});
  record->mensesDate = t;
  // A date on the trailing row makes it a record row and appends the next trailing row.
  if (row + 1 >= RowCount() || CellText(row + 1, kMensesColumn).isEmpty())
    SetCellText(row + 1, kIdColumn, Text(IdText(row + 1)));
  UpdateDuration(row);
  if (row < RowCount() - 1)
    UpdateDuration(row + 1);
  record = model_->Record(row);  // the append above may have moved the rows
  if (record->ovulationDate > 0)
    SetCellText(row, kOvulationColumn, Text(OvulationTextPicked(*record)));
  emit changed();
}

void StatisticsList::EditOvulationDate(int row) {
  const StatisticsRecord* existing = model_->Record(row);
  if (existing == nullptr)
    return;
  DatePickerDialog picker(Now(), this);
  picker.SetMinimumDate(existing->mensesDate);
  if (existing->ovulationDate > 0)
    picker.SetInitialDate(existing->ovulationDate);
  if (picker.exec() != QDialog::Accepted)
    return;
  CalendarDate picked;
  StatisticsRecord* record = model_->Record(row);
  if (picker.GetSelectedDate(&picked) == 0 || record == nullptr)
    return;
  record->ovulationDate = MakeTimeValue(picked, 1, 1, 1);
  SetCellText(row, kOvulationColumn, Text(OvulationTextPicked(*record)));
  emit changed();
}

void StatisticsList::RemoveOvulation() {
  if (menuRow_ < 0 || menuRow_ >= RowCount())
    return;
  SetCellText(menuRow_, menuColumn_, QString());
  if (StatisticsRecord* record = model_->Record(menuRow_))
    record->ovulationDate = 0;
  emit changed();
}

void StatisticsList::DeleteSelectedRow() {
  RemoveRecord(SelectionMark());
}

void StatisticsList::RemoveRecord(int row) {
  const int count = RowCount();
  if (row < 0 || row >= count - 1)
    return;  // nothing selected, or the trailing row
  model_->RemoveRow(row);
  model_->Renumber(row, count - 2);
  if (row > 0)
    UpdateDuration(row);
  SelectRow(row);
  emit changed();
}

void StatisticsList::ShowContextMenu(const QPoint& point) {
  addEdit_->setEnabled(false);
  remove_->setEnabled(false);
  deleteRow_->setEnabled(false);
  if (menuRow_ >= 0 && menuRow_ <= RowCount() - 2)
    deleteRow_->setEnabled(true);
  if (menuColumn_ == kMensesColumn) {
    addEdit_->setEnabled(true);
  } else if (menuColumn_ == kOvulationColumn) {
    const StatisticsRecord* record = model_->Record(menuRow_);
    if (record != nullptr && record->mensesDate != 0) {
      addEdit_->setEnabled(true);
      remove_->setEnabled(record->ovulationDate != 0);
    }
  }
  menu_->popup(viewport()->mapToGlobal(point));
}

void StatisticsList::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) {
    QTableView::mousePressEvent(event);
    return;
  }
  event->accept();
  if (!isEnabled())
    return;
  const QPoint point = event->position().toPoint();
  const QModelIndex index = indexAt(point);
  if (!index.isValid())
    return;  // below the last row
  menuRow_ = index.row();
  menuColumn_ = index.column();
  SelectRow(menuRow_);
  setFocus(Qt::MouseFocusReason);
  ShowContextMenu(point);
}

void StatisticsList::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  if (!isEnabled() || event->button() != Qt::LeftButton)
    return;
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid())
    EditCell(index.row(), index.column());
}

void StatisticsList::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete)
    DeleteSelectedRow();
  QTableView::keyPressEvent(event);
}

}  // namespace lunaret
