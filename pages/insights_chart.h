#ifndef LUNARET_PAGES_INSIGHTS_CHART_H
#define LUNARET_PAGES_INSIGHTS_CHART_H

#include <QString>
#include <QStringList>
#include <QtPlugin>
#include <vector>

class QWidget;

namespace lunaret {

// What the cycle chart shows: one bar per cycle, a line at the mean with a band of one standard
// deviation either side, and the forecast duration. The page fills in every text; the chart
// only draws.
struct InsightsChartData {
  std::vector<double> lengths;  // one bar each, oldest first
  QStringList labels;           // the start date under each bar, short
  QStringList tooltips;         // the dates and length of each bar's cycle
  double mean = 0;
  double deviation = 0;       // no band when 0
  long forecastDuration = 0;  // no line when below 1
  QString barsName;
  QString meanName;
  QString bandName;
  QString forecastName;
  QString axisXTitle;
  QString axisYTitle;
  QString accessibleName;
  QString accessibleDescription;
};

// The chart as the page sees it. The chart lives in a module of its own that the page loads
// when it first shows the chart, so that start-up does not load the charting libraries.
class InsightsChart {
 public:
  virtual ~InsightsChart() = default;
  // The chart's widget; owned by the parent it was created with.
  virtual QWidget* Widget() = 0;
  virtual void SetData(const InsightsChartData& data) = 0;
};

// The module's entry point.
class InsightsChartFactory {
 public:
  virtual ~InsightsChartFactory() = default;
  // A new chart whose widget is a child of parent, which owns it (and with it the chart).
  virtual InsightsChart* Create(QWidget* parent) = 0;
};

}  // namespace lunaret

#define LUNARET_INSIGHTS_CHART_FACTORY_IID "org.lunaret.InsightsChartFactory/1"
Q_DECLARE_INTERFACE(lunaret::InsightsChartFactory, LUNARET_INSIGHTS_CHART_FACTORY_IID)

#endif  // LUNARET_PAGES_INSIGHTS_CHART_H
