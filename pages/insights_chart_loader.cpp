#include "pages/insights_chart_loader.h"

#include <QCoreApplication>
#include <QDir>
#include <QPluginLoader>
#include <QStringList>

#include "pages/insights_chart.h"

namespace lunaret {

namespace {

constexpr const char* kModuleName = "lunaret_insights_chart";

struct Loaded {
  InsightsChartFactory* factory = nullptr;
  QString error;
};

Loaded Load() {
  const QString programDir = QCoreApplication::applicationDirPath();
  QStringList folders = {QDir(programDir).filePath(QStringLiteral(LUNARET_MODULE_RELATIVE_DIR))};
  // An installed program never loads code from the folder it was once built in.
  const QString fromBuildTree =
      QDir(QStringLiteral(LUNARET_BUILD_TREE)).relativeFilePath(programDir);
  if (fromBuildTree != QStringLiteral("..") && !fromBuildTree.startsWith(QStringLiteral("../")))
    folders << QStringLiteral(LUNARET_MODULE_BUILD_DIR);
  Loaded loaded;
  for (const QString& folder : folders) {
    // Destroying the loader leaves the module loaded, its root object alive until the end.
    QPluginLoader loader(QDir(folder).filePath(QString::fromLatin1(kModuleName)));
    if (QObject* root = loader.instance()) {
      loaded.factory = qobject_cast<InsightsChartFactory*>(root);
      if (loaded.factory != nullptr)
        return loaded;
    }
    loaded.error += loader.errorString() + QLatin1Char('\n');
  }
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
