#include "ui_test_support.h"

#include <QCoreApplication>
#include <QDialog>
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
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

void TempStore::AddUser(const std::string& name, const std::string& password,
                        TimeValue cycleStart) {
  store_->SetPassword(name, password);
  store_->SetCycleStart(name, cycleStart);
  store_->SetDuration(name, "29");
}

QString MessageBoxRecorder::Shown() const {
  QStringList lines;
  for (const auto& box : Calls())
    lines << QStringLiteral("%1 | %2 | 0x%3")
                 .arg(box.text, box.title)
                 .arg(box.flags, 2, 16, QChar('0'));
  return lines.join(QLatin1Char('\n'));
}

namespace {

// Every intervalMs until ready() holds or timeoutMs have passed; then after(whether it held).
// The timer stops before after() runs, which may itself run a modal loop.
void Poll(int intervalMs, int timeoutMs, std::function<bool()> ready,
          std::function<void(bool)> after) {
  auto* timer = new QTimer(QCoreApplication::instance());  // owned by the application
  QElapsedTimer elapsed;
  elapsed.start();
  timer->setInterval(intervalMs);
  QObject::connect(timer, &QTimer::timeout, timer, [=]() {
    const bool held = ready();
    if (!held && elapsed.elapsed() <= timeoutMs)
      return;
    timer->stop();
    timer->deleteLater();
    after(held);
  });
  timer->start();
}

}  // namespace

void CloseWhenLeftOpen(QWidget* dialog, int timeoutMs) {
  const QPointer<QWidget> guarded = dialog;
  auto closed = [guarded]() { return guarded.isNull() || !guarded->isVisible(); };
  Poll(10, timeoutMs, closed, [guarded, timeoutMs](bool wasClosed) {
    if (wasClosed)
      return;
    ADD_FAILURE() << "a dialog was still open " << timeoutMs << " ms after its action ran";
    if (auto* box = qobject_cast<QDialog*>(guarded.data()))
      box->reject();
    else
      guarded->close();
  });
}

void WhenModal(std::function<void(QWidget*)> action, int timeoutMs) {
  // Guarded pointers: a dialog built where a destroyed one stood must not pass for it.
  const QPointer<QWidget> previous = QApplication::activeModalWidget();
  auto isNew = [previous]() {
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr && modal != previous.data() && modal->isVisible();
  };
  Poll(5, timeoutMs, isNew, [=](bool appeared) {
    if (!appeared) {
      ADD_FAILURE() << "no modal dialog appeared within " << timeoutMs << " ms";
      return;
    }
    const QPointer<QWidget> dialog = QApplication::activeModalWidget();
    action(dialog.data());
    if (!dialog.isNull())
      CloseWhenLeftOpen(dialog.data(), timeoutMs);
  });
}

void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

}  // namespace lunaret::test
