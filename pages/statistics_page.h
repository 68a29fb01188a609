#ifndef LUNARET_PAGES_STATISTICS_PAGE_H
#define LUNARET_PAGES_STATISTICS_PAGE_H

#include <QString>
#include <QWidget>

#include "core/store/user_store.h"

namespace lunaret {

class StatisticsList;
struct ImportPlan;

// The "Statistics" tab: the user's past cycles in a StatisticsList inside "Vessa statistics".
class StatisticsPage : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kGroupId = 1073;
  static constexpr int kListId = 1013;
  // The list's column widths at the template font; wider when the label font needs more.
  static constexpr int kIdWidth = 35;
  static constexpr int kMensesWidth = 141;
  static constexpr int kOvulationWidth = 175;
  static constexpr int kDurationWidth = 55;

  StatisticsPage(UserStore& store, const QString& userName, QWidget* parent = nullptr);
  ~StatisticsPage() override;

  // The page's own initialisation: sets up the list and loads the user given at construction.
  void Initialize();

  void LoadStatistics(const QString& userName);
  void SaveStatistics();
  void ClearStatistics();
  // Adds imported records at their places and fills in ovulations, as unsaved changes.
  void ImportRecords(const ImportPlan& plan);
  // A record for a period that began at t, in date order, as if added here.
  void AddPeriodStart(TimeValue t);
  // The record in row deleted, or its ovulation set to t (0: none), as if edited here.
  void RemoveRecord(int row);
  void SetOvulation(int row, TimeValue t);
  // Called by the list after every change it makes; emits modified().
  void NotifyModified();

  StatisticsList* List() const;
  QString UserName() const;

 signals:
  void modified();
  void okRequested();
  void cancelRequested();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  UserStore& store_;
  QString userName_;
  StatisticsList* list_ = nullptr;  // child widget
};

}  // namespace lunaret

#endif  // LUNARET_PAGES_STATISTICS_PAGE_H
