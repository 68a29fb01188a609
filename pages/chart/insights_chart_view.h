#ifndef LUNARET_PAGES_CHART_INSIGHTS_CHART_VIEW_H
#define LUNARET_PAGES_CHART_INSIGHTS_CHART_VIEW_H

#include <QChartView>

#include "pages/insights_chart.h"

class QAreaSeries;
class QBarSeries;
class QBarSet;
class QCategoryAxis;
class QLineSeries;
class QValueAxis;

namespace lunaret {

// The cycle chart with Qt Charts: a bar per cycle over the start dates, the mean as a solid
// line inside a shaded band of one standard deviation either side, and the forecast duration
// as a dashed line. The start dates under the bars are thinned out so that they never overlap;
// the newest bar always keeps its date.
class InsightsChartView : public QChartView, public InsightsChart {
  Q_OBJECT

 public:
  explicit InsightsChartView(QWidget* parent);
  ~InsightsChartView() override;

  QWidget* Widget() override { return this; }
  void SetData(const InsightsChartData& data) override;

 private:
  // Changes only the bars whose length changed, adds or removes bars at the end.
  void SetBars(const std::vector<double>& lengths);
  // Puts a date under every n-th bar, n as small as the plot's width allows.
  void LabelBars();
  void ShowTooltip(bool hovered, int index);

  QChart* chart_ = nullptr;         // owned by the view
  QCategoryAxis* axisX_ = nullptr;  // owned by the chart
  QValueAxis* axisY_ = nullptr;     // owned by the chart
  // The series, owned by the chart, and the one set of bars, owned by its series.
  QAreaSeries* band_ = nullptr;
  QBarSeries* bars_ = nullptr;
  QBarSet* set_ = nullptr;
  QLineSeries* mean_ = nullptr;
  QLineSeries* forecast_ = nullptr;
  InsightsChartData data_;
  int labelStep_ = 0;  // of the dates now under the bars; 0 when none
};

}  // namespace lunaret

#endif  // LUNARET_PAGES_CHART_INSIGHTS_CHART_VIEW_H
