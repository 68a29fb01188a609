#include "ui_test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "core/store_file.h"

namespace lunaret::test {

TempStore::TempStore() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lunaret-ui-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "cannot create a temporary folder";
    return;
  }
  dir_ = pattern;
  path_ = dir_ + "/registry.db";
  StoreOpenResult result = StoreOpenResult::kOk;
  registry_ = OpenSqliteStore(path_, &result);
  if (!registry_) {
    ADD_FAILURE() << "cannot open a temporary store at " << path_;
    return;
  }
  store_ = std::make_unique<UserStore>(*registry_);
}

TempStore::~TempStore() {
  store_.reset();
  registry_.reset();
  if (!dir_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
}

void TempStore::AddUser(const std::string& name, const std::string& password,
                        TimeValue cycleStart) {
  store_->SetPassword(name, password);
  store_->SetCycleStart(name, cycleStart);
  store_->SetDuration(name, "29");
}

void WhenModal(std::function<void(QWidget*)> action, int timeoutMs) {
  QWidget* previous = QApplication::activeModalWidget();
  auto* timer = new QTimer(QCoreApplication::instance());  // owned by the application
  auto elapsed = std::make_shared<QElapsedTimer>();
  elapsed->start();
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, timer, [=]() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != previous && modal->isVisible()) {
      timer->stop();
      timer->deleteLater();
      action(modal);
      return;
    }
    if (elapsed->elapsed() > timeoutMs) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "no modal dialog appeared within " << timeoutMs << " ms";
    }
  });
  timer->start();
}

void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

}  // namespace lunaret::test
