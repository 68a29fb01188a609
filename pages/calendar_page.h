#ifndef LUNARET_PAGES_CALENDAR_PAGE_H
#define LUNARET_PAGES_CALENDAR_PAGE_H

#include <QDate>
#include <QString>
#include <QWidget>
#include <set>
#include <string>
#include <vector>

#include "core/base/journal_day.h"
#include "core/base/statistics_record.h"
#include "core/cycles/dates.h"
#include "core/store/user_store.h"

namespace lunaret {

class DayLogPanel;
struct JournalImportPlan;
class MonthView;
struct DayMarks;

// The "Calendar" tab: a month of her cycle (recorded and logged days, the forecast) and the log
// of the day selected, edited in place. Like the other pages it holds the logged-in user's data
// as it stands in the window: edits are reported with modified() and written only by
// SaveJournal. A period's first day and an ovulation belong to the Statistics page: ticking
// them here asks the window to change that page.
class CalendarPage : public QWidget {
  Q_OBJECT

 public:
  CalendarPage(UserStore& store, QWidget* parent = nullptr);
  ~CalendarPage() override;

  void LoadJournal(const QString& userName);
  // Writes the days that differ from the store's (inside the caller's transaction), and her own
  // symptom names; false when the store refused.
  bool SaveJournal();
  void ClearJournal();
  // Merges an imported journal file's days as planned, her own symptoms among them added to her
  // list; unsaved changes like any edit.
  void ImportJournal(const JournalImportPlan& plan);
  // The records, first day and forecast duration as the other pages hold them now.
  void UpdateCycles(const std::vector<StatisticsRecord>& records, const CalendarDate& firstDay,
                    long forecastDuration);

  const Journal& CurrentJournal() const { return journal_; }
  const std::vector<std::string>& OwnSymptomNames() const { return ownNames_; }
  MonthView* Month() const { return month_; }
  DayLogPanel* DayLog() const { return dayLog_; }
  DayMarks MarksOf(const QDate& date) const;

 signals:
  void modified();
  // A period began on day: a statistics record for it, in date order.
  void periodStartAdded(const QDate& day);
  // The record at row (whose period began on the day shown) is to go.
  void periodStartRemoved(int row);
  // The ovulation of the record at row becomes t (0: none).
  void ovulationChanged(int row, TimeValue t);

 private:
  // What the period and ovulation boxes show for a day.
  struct CycleBoxes {
    bool started = false;
    bool ovulation = false;
    bool possible = false;  // a record's cycle holds the day
  };
  CycleBoxes BoxesOf(const QDate& date) const;
  void ShowDay(const QDate& date);
  void OnDayEdited(const JournalDay& day);
  void OnPeriodToggled(bool started);
  void OnOvulationToggled(bool ovulation);
  // The row of the record whose cycle contains day; -1 for none.
  int CycleRowOf(DayNumber day) const;

  UserStore& store_;
  std::string user_;
  Journal journal_;
  std::vector<std::string> ownNames_;
  // Each record's local start and ovulation day, in row order; -1 for none.
  std::vector<DayNumber> recordStarts_, recordOvulations_;
  std::set<DayNumber> starts_, ovulations_;  // the days the month marks so, the first day too
  DayNumber firstDay_ = 0;
  std::set<DayNumber> expected_, possible_, fertile_;
  MonthView* month_;
  DayLogPanel* dayLog_;
};

}  // namespace lunaret

#endif  // LUNARET_PAGES_CALENDAR_PAGE_H
