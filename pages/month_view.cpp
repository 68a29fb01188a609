#include "pages/month_view.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "pages/day_cell_delegate.h"
#include "pages/page_dates.h"

namespace lunaret {

MonthView::MonthView(QWidget* parent) : QWidget(parent) {
  model_ = new MonthModel(this);
  previous_ = new QPushButton(QStringLiteral("<"), this);
  previous_->setObjectName(QStringLiteral("previousMonth"));
  previous_->setAccessibleName(QStringLiteral("Previous month"));
  previous_->setToolTip(QStringLiteral("Previous month (Page Up)"));
  title_ = new QLabel(this);
  title_->setObjectName(QStringLiteral("monthTitle"));
  title_->setAlignment(Qt::AlignCenter);
  next_ = new QPushButton(QStringLiteral(">"), this);
  next_->setObjectName(QStringLiteral("nextMonth"));
  next_->setAccessibleName(QStringLiteral("Next month"));
  next_->setToolTip(QStringLiteral("Next month (Page Down)"));
  today_ = new QPushButton(QStringLiteral("&Today"), this);
  today_->setObjectName(QStringLiteral("todayButton"));
  today_->setToolTip(QStringLiteral("Go to today (Home)"));
  for (QPushButton* button : {previous_, next_, today_})
    button->setAutoDefault(false);
  const int narrow = previous_->fontMetrics().horizontalAdvance(QStringLiteral("<")) + 24;
  previous_->setFixedWidth(narrow);
  next_->setFixedWidth(narrow);

  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("monthTable"));
  table_->setAccessibleName(QStringLiteral("Month"));
  table_->setModel(model_);
  table_->setItemDelegate(new DayCellDelegate(table_));  // owned by the table
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setShowGrid(true);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  const QSize cell = table_->itemDelegate()->sizeHint(QStyleOptionViewItem(), QModelIndex());
  table_->setMinimumSize(
      cell.width() * 7 + 4,
      cell.height() * MonthModel::kWeeks + table_->horizontalHeader()->sizeHint().height() + 4);
  table_->installEventFilter(this);

  auto* bar = new QHBoxLayout;
  bar->addWidget(previous_);
  bar->addWidget(title_, 1);
  bar->addWidget(next_);
  bar->addWidget(today_);
  auto* layout = new QVBoxLayout(this);  // owned by this
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(bar);
  layout->addWidget(table_, 1);

  connect(previous_, &QPushButton::clicked, this,
          [this]() { SelectDate(selected_.addMonths(-1)); });
  connect(next_, &QPushButton::clicked, this, [this]() { SelectDate(selected_.addMonths(1)); });
  connect(today_, &QPushButton::clicked, this, [this]() { SelectDate(QDate::currentDate()); });
  connect(table_, &QTableView::clicked, this,
          [this](const QModelIndex& index) { SelectDate(model_->DateAt(index)); });
  connect(table_, &QTableView::doubleClicked, this,
          [this](const QModelIndex& index) { SelectDate(model_->DateAt(index)); });
  SelectDate(QDate::currentDate());
}

void MonthView::SetMarks(MonthModel::MarksOf marksOf) {
  model_->SetMarks(std::move(marksOf));
}

void MonthView::RefreshMarks() {
  model_->Refresh();
}

void MonthView::SelectDate(const QDate& date) {
  if (!date.isValid())
    return;
  // Only the days Lunaret stores.
  const QDate day = std::clamp(date, ToQDate(kFirstStoredDay), ToQDate(kLastStoredDay));
  const bool changed = day != selected_;
  selected_ = day;
  model_->SetMonth(day);
  ShowSelection();
  if (changed)
    emit daySelected(day);
}

void MonthView::ShowSelection() {
  title_->setText(QLocale().toString(selected_, QStringLiteral("MMMM yyyy")));
  const QModelIndex index = model_->IndexOf(selected_);
  table_->setCurrentIndex(index);
  table_->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
}

bool MonthView::eventFilter(QObject* watched, QEvent* event) {
  if (watched != table_ || event->type() != QEvent::KeyPress)
    return QWidget::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  switch (key->key()) {
    case Qt::Key_Left:
      SelectDate(selected_.addDays(layoutDirection() == Qt::RightToLeft ? 1 : -1));
      return true;
    case Qt::Key_Right:
      SelectDate(selected_.addDays(layoutDirection() == Qt::RightToLeft ? -1 : 1));
      return true;
    case Qt::Key_Up:
      SelectDate(selected_.addDays(-7));
      return true;
    case Qt::Key_Down:
      SelectDate(selected_.addDays(7));
      return true;
    case Qt::Key_PageUp:
      SelectDate(selected_.addMonths(-1));
      return true;
    case Qt::Key_PageDown:
      SelectDate(selected_.addMonths(1));
      return true;
    case Qt::Key_Home:
      SelectDate(QDate::currentDate());
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      emit daySelected(selected_);
      return true;
    default:
      return QWidget::eventFilter(watched, event);
  }
}

}  // namespace lunaret
