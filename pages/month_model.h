#ifndef LUNARET_PAGES_MONTH_MODEL_H
#define LUNARET_PAGES_MONTH_MODEL_H

#include <QAbstractTableModel>
#include <QDate>
#include <functional>

#include "pages/day_marks.h"

namespace lunaret {

// One month as six weeks of seven days, weeks starting on the locale's first day of the week.
// Each cell holds its date and its marks; the days of the months before and after fill the
// first and last weeks.
class MonthModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kWeeks = 6;
  static constexpr int kDateRole = Qt::UserRole;       // QDate
  static constexpr int kMarksRole = Qt::UserRole + 1;  // QVariant::fromValue(DayMarks)
  static constexpr int kInMonthRole = Qt::UserRole + 2;

  using MarksOf = std::function<DayMarks(const QDate&)>;

  explicit MonthModel(QObject* parent = nullptr);

  // Shows the month of day, its marks from marksOf.
  void SetMonth(const QDate& day);
  void SetMarks(MarksOf marksOf);
  // Asks marksOf again for every day shown.
  void Refresh();
  int Year() const { return month_.year(); }
  int Month() const { return month_.month(); }
  QDate DateAt(const QModelIndex& index) const;
  QModelIndex IndexOf(const QDate& date) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  QDate FirstShown() const;

  QDate month_;  // its first day
  MarksOf marksOf_;
  DayMarks marks_[kWeeks * 7];
};

}  // namespace lunaret

Q_DECLARE_METATYPE(lunaret::DayMarks)

#endif  // LUNARET_PAGES_MONTH_MODEL_H
