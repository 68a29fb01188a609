#ifndef LUNARET_PAGES_CHART_INSIGHTS_CHART_PLUGIN_H
#define LUNARET_PAGES_CHART_INSIGHTS_CHART_PLUGIN_H

#include <QObject>

#include "pages/insights_chart.h"

namespace lunaret {

// The chart module's entry point, found by the Insights page through QPluginLoader.
class InsightsChartPlugin : public QObject, public InsightsChartFactory {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID LUNARET_INSIGHTS_CHART_FACTORY_IID)
  Q_INTERFACES(lunaret::InsightsChartFactory)

 public:
  InsightsChart* Create(QWidget* parent) override;
};

}  // namespace lunaret

#endif  // LUNARET_PAGES_CHART_INSIGHTS_CHART_PLUGIN_H
