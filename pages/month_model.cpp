#include "pages/month_model.h"

#include <QLocale>

namespace lunaret {

MonthModel::MonthModel(QObject* parent) : QAbstractTableModel(parent) {
  const QDate today = QDate::currentDate();
  month_ = QDate(today.year(), today.month(), 1);
}

void MonthModel::SetMonth(const QDate& day) {
  const QDate month(day.year(), day.month(), 1);
  if (month == month_)
    return;
  month_ = month;
  Refresh();
  emit headerDataChanged(Qt::Horizontal, 0, 6);
}

void MonthModel::SetMarks(MarksOf marksOf) {
  marksOf_ = std::move(marksOf);
  Refresh();
}

void MonthModel::Refresh() {
  const QDate first = FirstShown();
  for (int i = 0; i < kWeeks * 7; ++i)
    marks_[i] = marksOf_ ? marksOf_(first.addDays(i)) : DayMarks{};
  emit dataChanged(index(0, 0), index(kWeeks - 1, 6));
}

QDate MonthModel::FirstShown() const {
  const int back = (month_.dayOfWeek() - QLocale().firstDayOfWeek() + 7) % 7;
  return month_.addDays(-back);
}

QDate MonthModel::DateAt(const QModelIndex& index) const {
  return index.isValid() ? FirstShown().addDays(index.row() * 7 + index.column()) : QDate();
}

QModelIndex MonthModel::IndexOf(const QDate& date) const {
  const qint64 offset = FirstShown().daysTo(date);
  if (offset < 0 || offset >= kWeeks * 7)
    return {};
  return index(static_cast<int>(offset / 7), static_cast<int>(offset % 7));
}

int MonthModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kWeeks;
}

int MonthModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 7;
}

QVariant MonthModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid())
    return {};
  const QDate date = DateAt(index);
  const DayMarks& marks = marks_[index.row() * 7 + index.column()];
  switch (role) {
    case Qt::DisplayRole:
      return date.day();
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
      return DescribeDay(date, marks);
    case Qt::AccessibleTextRole:
      return QLocale().toString(date, QLocale::LongFormat);
    case kDateRole:
      return date;
    case kMarksRole:
      return QVariant::fromValue(marks);
    case kInMonthRole:
      return date.month() == month_.month();
    default:
      return {};
  }
}

QVariant MonthModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section > 6)
    return {};
  const int day = (QLocale().firstDayOfWeek() - 1 + section) % 7 + 1;
  if (role == Qt::DisplayRole)
    return QLocale().dayName(day, QLocale::ShortFormat);
  if (role == Qt::AccessibleTextRole || role == Qt::ToolTipRole)
    return QLocale().dayName(day, QLocale::LongFormat);
  return {};
}

}  // namespace lunaret
