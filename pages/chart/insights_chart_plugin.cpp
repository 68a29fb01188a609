#include "pages/chart/insights_chart_plugin.h"

#include "pages/chart/insights_chart_view.h"

namespace lunaret {

InsightsChart* InsightsChartPlugin::Create(QWidget* parent) {
  return new InsightsChartView(parent);  // owned by parent
}

}  // namespace lunaret
