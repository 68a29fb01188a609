#ifndef LUNARET_TESTS_UI_APP_APP_TEST_SUPPORT_H
#define LUNARET_TESTS_UI_APP_APP_TEST_SUPPORT_H

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLocale>
#include <QString>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/registry.h"
#include "ui_test_support.h"

namespace lunaret::test {

// Passes everything to a real store, but can refuse to open keys (a store without access), to
// commit transactions (a full disk: the backend then keeps nothing written inside them) or to
// delete keys (another copy holding the store).
class FaultyRegistry : public Registry {
 public:
  explicit FaultyRegistry(Registry& inner) : inner_(inner) {}
  bool refuseOpen = false;
  bool refuseCommit = false;
  bool refuseDelete = false;
  std::vector<std::string> written;  // names of the values written, in order
  int transactions = 0;              // outermost transactions begun

  long CreateKey(RegKey parent, const std::string& path, RegKey* key) override {
    return refuseOpen ? kErrorAccessDenied : inner_.CreateKey(parent, path, key);
  }
  long OpenKey(RegKey parent, const std::string& path, std::uint32_t access, RegKey* key) override {
    return refuseOpen ? kErrorAccessDenied : inner_.OpenKey(parent, path, access, key);
  }
  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, unsigned char* data,
                  std::uint32_t* size) override {
    return inner_.QueryValue(key, name, type, data, size);
  }
  long SetValue(RegKey key, const std::string& name, std::uint32_t type, const unsigned char* data,
                std::uint32_t size) override {
    if (refuseCommit && depth_ > 0)
      return kErrorGeneric;
    written.push_back(name);
    return inner_.SetValue(key, name, type, data, size);
  }
  long EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameSize) override {
    return inner_.EnumKey(key, index, name, nameSize);
  }
  long DeleteValue(RegKey key, const std::string& name) override {
    return refuseCommit && depth_ > 0 ? kErrorGeneric : inner_.DeleteValue(key, name);
  }
  long DeleteKey(RegKey key, const std::string& subkey) override {
    return refuseDelete ? kErrorGeneric : inner_.DeleteKey(key, subkey);
  }
  long CloseKey(RegKey key) override { return inner_.CloseKey(key); }
  long QueryValueCount(RegKey key, std::uint32_t* count) override {
    return inner_.QueryValueCount(key, count);
  }
  bool BeginTransaction() override {
    if (depth_++ == 0)
      ++transactions;
    return true;
  }
  bool CommitTransaction() override {
    --depth_;
    return !refuseCommit;
  }

 private:
  Registry& inner_;
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

// Watches for dialogs of type T while it lives: counts each one that shows and, once its
// modal loop runs, hands it to the action (which must end it; by default it is rejected).
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
      QTimer::singleShot(0, dialog, [this, dialog] { action_(dialog); });
    }
    return false;
  }

 private:
  std::function<void(T*)> action_;
};

// Types text key by key, also characters that have no key of their own on a keyboard.
inline void Type(QWidget* widget, const QString& text) {
  for (const QChar c : text) {
    QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}

// The one message box expected so far, with its text, title and flags.
inline void ExpectOnlyMessage(const MessageBoxRecorder& boxes, const QString& text,
                              const QString& title, unsigned flags) {
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text, text);
  EXPECT_EQ(boxes.Calls()[0].title, title);
  EXPECT_EQ(boxes.Calls()[0].flags, flags);
}

}  // namespace lunaret::test

#endif  // LUNARET_TESTS_UI_APP_APP_TEST_SUPPORT_H
