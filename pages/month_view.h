#ifndef LUNARET_PAGES_MONTH_VIEW_H
#define LUNARET_PAGES_MONTH_VIEW_H

#include <QDate>
#include <QWidget>

#include "pages/month_model.h"

class QLabel;
class QPushButton;
class QTableView;

namespace lunaret {

// A month of days with their marks: previous and next month, "Today", and the keyboard (arrows
// move by a day or a week, Page Up and Page Down by a month, Home goes to today). One day is
// selected at a time; Enter, a click or a double click on a day selects it.
class MonthView : public QWidget {
  Q_OBJECT

 public:
  explicit MonthView(QWidget* parent = nullptr);

  void SetMarks(MonthModel::MarksOf marksOf);
  // Asks for the marks of the days shown again.
  void RefreshMarks();
  QDate SelectedDate() const { return selected_; }
  void SelectDate(const QDate& date);
  QTableView* Table() const { return table_; }
  MonthModel* Model() const { return model_; }
  QLabel* Title() const { return title_; }

 signals:
  void daySelected(const QDate& date);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowSelection();

  MonthModel* model_;
  QTableView* table_;
  QLabel* title_;
  QPushButton* previous_;
  QPushButton* next_;
  QPushButton* today_;
  QDate selected_;
};

}  // namespace lunaret

#endif  // LUNARET_PAGES_MONTH_VIEW_H
