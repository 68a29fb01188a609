#ifndef LUNARET_TESTS_UI_TEST_SUPPORT_H
#define LUNARET_TESTS_UI_TEST_SUPPORT_H

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "controls/message_box.h"
#include "core/store/registry.h"
#include "test_support.h"

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace lunaret::test {

// A fresh SQLite store in its own temporary folder, removed again afterwards.
class TempStore {
 public:
  Registry& registry() { return *registry_; }
  UserStore& store() { return store_; }
  const std::string& path() const { return path_; }  // the store file

  // Registers a user as the registration dialog does: password, cycle start, duration "29".
  void AddUser(const std::string& name, const std::string& password, TimeValue cycleStart = 0) {
    store_.SetPassword(name, password);
    store_.SetCycleStart(name, cycleStart);
    store_.SetDuration(name, "29");
  }

 private:
  TempFolder folder_;
  const std::string path_ = StorePath(folder_);
  const std::unique_ptr<Registry> registry_ = OpenStore(path_);
  UserStore store_{Got(registry_, "the test store")};
};

// Passes everything to a real store, but can refuse to open keys (a store without access), to
// commit transactions (a full disk: the backend then keeps nothing written inside them) or to
// delete keys (another copy holding the store).
class FaultyRegistry : public ForwardingRegistry {
 public:
  using ForwardingRegistry::ForwardingRegistry;
  bool refuseOpen = false, refuseCommit = false, refuseDelete = false;
  std::vector<std::string> written;   // names of the values written, in order
  int transactions = 0;               // outermost transactions begun
  std::set<int> writingTransactions;  // the outermost transaction of each write (0: none), by count
  Qt::CursorShape cursorAtDelete = Qt::ArrowCursor;  // the program's cursor while a key went

  long CreateKey(RegKey parent, const std::string& path, RegKey* key) override {
    return refuseOpen ? kErrorAccessDenied : ForwardingRegistry::CreateKey(parent, path, key);
  }
  long OpenKey(RegKey parent, const std::string& path, std::uint32_t access, RegKey* key) override {
    return refuseOpen ? kErrorAccessDenied : ForwardingRegistry::OpenKey(parent, path, access, key);
  }
  long SetValue(RegKey key, const std::string& name, std::uint32_t type, const unsigned char* data,
                std::uint32_t size) override {
    if (refuseCommit && depth_ > 0)
      return kErrorGeneric;
    written.push_back(name);
    writingTransactions.insert(depth_ > 0 ? transactions : 0);
    return ForwardingRegistry::SetValue(key, name, type, data, size);
  }
  long DeleteValue(RegKey key, const std::string& name) override {
    return refuseCommit && depth_ > 0 ? kErrorGeneric : ForwardingRegistry::DeleteValue(key, name);
  }
  long DeleteKey(RegKey key, const std::string& subkey) override {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    cursorAtDelete = cursor != nullptr ? cursor->shape() : Qt::ArrowCursor;
    return refuseDelete ? kErrorGeneric : ForwardingRegistry::DeleteKey(key, subkey);
  }
  // Transactions are counted, not begun: the store below writes at once.
  bool BeginTransaction() override {
    if (depth_++ == 0)
      ++transactions;
    return true;
  }
  bool CommitTransaction() override { return --depth_, !refuseCommit; }

 private:
  int depth_ = 0;
};

// Makes locale the default, the user's locale as the program sees it, for its lifetime.
class ScopedDefaultLocale {
 public:
  explicit ScopedDefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
  ~ScopedDefaultLocale() { QLocale::setDefault(old_); }

 private:
  const QLocale old_;
};

// Installs the message-box hook for its lifetime.
class MessageBoxRecorder {
 public:
  MessageBoxRecorder() { message_box_hook::Install(); }
  ~MessageBoxRecorder() { message_box_hook::Uninstall(); }
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  void Answer(int answer) { message_box_hook::QueueAnswer(answer); }
  const std::vector<message_box_hook::Shown>& Calls() const { return message_box_hook::Calls(); }
  void Clear() { message_box_hook::ClearCalls(); }
  // Every box shown since the last Clear(), one a line: "text | title | 0xflags".
  QString Shown() const {
    QStringList lines;
    for (const auto& box : Calls())
      lines << QStringLiteral("%1 | %2 | 0x%3")
                   .arg(box.text, box.title)
                   .arg(box.flags, 2, 16, QChar('0'));
    return lines.join(QLatin1Char('\n'));
  }
};

// Every intervalMs until ready() holds or timeoutMs have passed; then after(whether it held).
// The timer stops before after() runs, which may itself run a modal loop.
inline void Poll(int intervalMs, int timeoutMs, std::function<bool()> ready,
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

// Fails the current test and closes the dialog when it is still open timeoutMs from now.
inline void CloseWhenLeftOpen(QWidget* dialog, int timeoutMs = 5000) {
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

// Runs action on the next modal widget (as a T) other than the one active now, as soon as it
// appears inside a running exec(). Fails the current test when none appears within timeoutMs, and
// fails it and closes the dialog when it is still open timeoutMs after the action ran. Call
// before the code that opens the dialog.
template <typename T = QWidget>
void WhenModal(std::type_identity_t<std::function<void(T*)>> action, int timeoutMs = 5000) {
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
    action(qobject_cast<T*>(dialog.data()));
    if (!dialog.isNull())
      CloseWhenLeftOpen(dialog.data(), timeoutMs);
  });
}

// Types text key by key, also characters that have no key of their own on a keyboard.
inline void Type(QWidget* widget, const QString& text) {
  for (const QChar c : text) {
    QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}

// Replaces a field's text as the user does: into the field, select all, type.
inline void Retype(QLineEdit* field, const QString& text) {
  field->setFocus();
  field->selectAll();
  Type(field, text);
}

// Processes pending events (and deferred deletes) a few times.
inline void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

// Watches for dialogs of type T while it lives: counts each one that shows and, once its
// modal loop runs, hands it to the action (by default a reject). A dialog still open after its
// action fails the test and is closed.
template <typename T>
class DialogWatcher : public QObject {
 public:
  explicit DialogWatcher(std::function<void(T*)> action = [](T* dialog) { dialog->reject(); })
      : action_(std::move(action)) {
    qApp->installEventFilter(this);
  }
  ~DialogWatcher() override { qApp->removeEventFilter(this); }
  int shown = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* dialog = qobject_cast<T*>(watched);
    if (dialog != nullptr && event->type() == QEvent::Show) {
      ++shown;
      // Guarded: neither a destroyed dialog nor a destroyed watcher may be acted on.
      QTimer::singleShot(0, this, [this, guarded = QPointer<T>(dialog)] {
        if (guarded.isNull())
          return;
        action_(guarded.data());
        CloseWhenLeftOpen(guarded.data());
      });
    }
    return false;
  }

 private:
  std::function<void(T*)> action_;
};

}  // namespace lunaret::test

#endif  // LUNARET_TESTS_UI_TEST_SUPPORT_H
