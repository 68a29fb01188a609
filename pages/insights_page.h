#ifndef LUNARET_PAGES_INSIGHTS_PAGE_H
#define LUNARET_PAGES_INSIGHTS_PAGE_H

#include <QWidget>
#include <array>
#include <memory>
#include <vector>

#include "core/base/journal_day.h"
#include "core/cycles/cycle_insights.h"

class QCheckBox;
class QLabel;
class QVBoxLayout;

namespace lunaret {

class InsightsChart;
class PageKeyRelay;

// The "Insights" tab: figures of the cycles, the forecast learnt from them, how good that
// forecast has been, and a chart of the cycle lengths. It shows what its host hands it and
// stores nothing; it has no changes to report. The chart is built when the page is first shown.
class InsightsPage : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kEmptyStateId = 1101;
  static constexpr int kForecastId = 1102;
  static constexpr int kAccuracyId = 1103;
  static constexpr int kNotesId = 1104;
  static constexpr int kJournalId = 1108;
  static constexpr int kShowAllId = 1105;
  static constexpr int kChartId = 1106;
  static constexpr int kChartMissingId = 1107;
  static constexpr int kFirstCaptionId = 1110;  // one caption and value per figure row
  static constexpr int kFirstValueId = 1120;
  static constexpr int kFigureRows = 5;
  static constexpr int kRecentBars = 24;  // bars shown unless all are asked for
  // The least height of the chart's plot when the window opens at its size hint, and while the
  // window is made smaller (the page scrolls then).
  static constexpr int kPlotHeight = 220;
  static constexpr int kPlotMinimumHeight = 120;

  explicit InsightsPage(QWidget* parent = nullptr);
  ~InsightsPage() override;

  // Recomputes everything from the records, the first day, the forecast duration and the
  // journal.
  void UpdateInsights(const std::vector<StatisticsRecord>& records, const CalendarDate& firstDay,
                      long forecastDuration, const Journal& journal = {});
  // Empties the page: nobody is logged in.
  void ClearInsights();

  const CycleInsights& Insights() const { return insights_; }
  // The chart's widget once the page has been shown; null before, or without the chart module.
  QWidget* Chart() const;

  QSize sizeHint() const override;
  // The chart's height around a plot of plotHeight: its upright dates, axis title and legend.
  int ChartHeight(int plotHeight) const;

 signals:
  void okRequested();      // Enter inside the page
  void cancelRequested();  // Escape inside the page

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowTexts();
  // Builds the chart on the first call; hands it the bars when the page is visible.
  void UpdateChart();

  CycleInsights insights_;
  bool filled_ = false;           // false while cleared
  QLabel* emptyState_ = nullptr;  // child widgets
  QWidget* figures_ = nullptr;
  std::array<QLabel*, kFigureRows> captions_{};
  std::array<QLabel*, kFigureRows> values_{};
  QLabel* forecast_ = nullptr;
  QLabel* accuracy_ = nullptr;
  QLabel* notes_ = nullptr;
  QLabel* journal_ = nullptr;  // period lengths and symptoms, while she keeps a journal
  QString journalText_;
  QCheckBox* showAll_ = nullptr;
  QWidget* chartArea_ = nullptr;
  QVBoxLayout* chartLayout_ = nullptr;
  QLabel* chartMissing_ = nullptr;
  QVBoxLayout* layout_ = nullptr;
  PageKeyRelay* keys_ = nullptr;
  InsightsChart* chart_ = nullptr;  // its widget is a child of this page
  bool chartTried_ = false;
  bool chartStale_ = true;
};

}  // namespace lunaret

#endif  // LUNARET_PAGES_INSIGHTS_PAGE_H
