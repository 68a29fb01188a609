#ifndef LUNARET_PAGES_INSIGHTS_CHART_LOADER_H
#define LUNARET_PAGES_INSIGHTS_CHART_LOADER_H

#include <QString>

namespace lunaret {

class InsightsChartFactory;

// The chart module, loaded on the first call: from the library folder of an installed program
// (<prefix>/<libdir>/lunaret), else from the build tree. Null when neither holds a module that
// loads; error then says why. The module stays loaded until the program ends.
InsightsChartFactory* LoadInsightsChartModule(QString* error = nullptr);

}  // namespace lunaret

#endif  // LUNARET_PAGES_INSIGHTS_CHART_LOADER_H
