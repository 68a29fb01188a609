#include "ui_test_support.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
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

namespace {

// Closes a dialog that its action left open, so that the test fails instead of hanging.
void CloseWhenLeftOpen(QPointer<QWidget> dialog, int timeoutMs) {
  auto* timer = new QTimer(QCoreApplication::instance());  // owned by the application
  auto elapsed = std::make_shared<QElapsedTimer>();
  elapsed->start();
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, timer, [=]() {
    if (dialog.isNull() || !dialog->isVisible()) {
      timer->stop();
      timer->deleteLater();
      return;
    }
    if (elapsed->elapsed() > timeoutMs) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "a dialog was still open " << timeoutMs << " ms after its action ran";
      if (auto* box = qobject_cast<QDialog*>(dialog.data()))
        box->reject();
      else
        dialog->close();
    }
  });
  timer->start();
}

}  // namespace

void WhenModal(std::function<void(QWidget*)> action, int timeoutMs) {
  // A guarded pointer: a dialog built where a destroyed one stood must not pass for it.
  const QPointer<QWidget> previous = QApplication::activeModalWidget();
  auto* timer = new QTimer(QCoreApplication::instance());  // owned by the application
  auto elapsed = std::make_shared<QElapsedTimer>();
  elapsed->start();
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, timer, [=]() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != previous.data() && modal->isVisible()) {
      timer->stop();
      timer->deleteLater();
      const QPointer<QWidget> guarded = modal;
      action(modal);
      CloseWhenLeftOpen(guarded, timeoutMs);
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
