#ifndef LUNARET_PAGES_GENERAL_PAGE_H
#define LUNARET_PAGES_GENERAL_PAGE_H

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "core/cycles/dates.h"
#include "core/store/user_store.h"

namespace lunaret {

// The "General" tab: the first day of the current menstruation, the cycle length, the forecast
// and the status line. Talks to its host only through signals.
class GeneralPage : public QWidget {
  Q_OBJECT

 public:
  // Control ids of the page.
  static constexpr int kThisMonthGroupId = 1064;
  static constexpr int kFirstDayCalendarId = 1053;
  static constexpr int kNextMonthGroupId = 1056;
  static constexpr int kForecastCalendarId = 1050;
  static constexpr int kDurationLabelId = 1062;
  static constexpr int kDurationBoxId = 1009;
  static constexpr int kUpDownId = 1010;
  static constexpr int kDaysLabelId = 1063;
  static constexpr int kStatusLineId = 1078;

  GeneralPage(UserStore& store, const QString& userName, QWidget* parent = nullptr);
  ~GeneralPage() override;

  // The page's own initialisation: loads the user given at construction. The host connects the
  // signals first, so that loading already reaches it.
  void Initialize();

  void LoadForecast(const QString& userName);
  void SaveForecast();
  void ClearForecast();

  QString UserName() const;
  // The first day selected and the forecast duration read by the atoi rule, as they stand.
  CalendarDate FirstDay() const;
  long ForecastDuration() const;

  // Where the status line and ClearForecast take today's date from: the local date by default.
  // A null function restores the default.
  static void SetTodaySource(std::function<CalendarDate()> source);

 signals:
  void modified();         // the user changed the first day or the duration
  void okRequested();      // Enter inside the page
  void cancelRequested();  // Escape inside the page

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Every change of the duration text, also one made by the page itself.
  void OnDurationChange();
  // The left calendar reported a selection, perhaps the one it already had.
  void OnSelectionChange();
  // Sets the duration text; setting the text it already shows counts as a change too.
  void SetDurationText(const QString& text);
  void UpdateForecast();
  void UpdateStatus();

  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace lunaret

#endif  // LUNARET_PAGES_GENERAL_PAGE_H
