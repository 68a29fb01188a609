#include "pages/insights_chart_loader.h"

#include <QCoreApplication>
#include <QDir>
#include <QPluginLoader>

#include "pages/insights_chart.h"

namespace lunaret {

namespace {

constexpr const char* kModuleName = "lunaret_insights_chart";

struct Loaded {
  InsightsChartFactory* factory = nullptr;
  QString error;
};

Loaded Load() {
  // Only where the install puts the module, relative to the program: an installed program never
  // loads code from the folder it was built in. Destroying the loader leaves the module loaded,
  // its root object alive until the end.
  const QDir folder(QDir(QCoreApplication::applicationDirPath())
                        .filePath(QStringLiteral(LUNARET_MODULE_RELATIVE_DIR)));
  QPluginLoader loader(folder.filePath(QString::fromLatin1(kModuleName)));
  Loaded loaded;
  if (QObject* root = loader.instance())
    loaded.factory = qobject_cast<InsightsChartFactory*>(root);
  if (loaded.factory == nullptr)
    loaded.error = loader.errorString();
  return loaded;
}

}  // namespace

InsightsChartFactory* LoadInsightsChartModule(QString* error) {
  static const Loaded loaded = Load();
  if (error != nullptr)
    *error = loaded.error;
  return loaded.factory;
}

}  // namespace lunaret
