#ifndef LUNARET_TESTS_UI_TEST_SUPPORT_H
#define LUNARET_TESTS_UI_TEST_SUPPORT_H

#include <QApplication>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "controls/message_box.h"
#include "core/registry.h"
#include "core/user_store.h"

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace lunaret::test {

// A fresh SQLite store in its own temporary folder, removed again afterwards.
class TempStore {
 public:
  TempStore();
  ~TempStore();
  TempStore(const TempStore&) = delete;
  TempStore& operator=(const TempStore&) = delete;

  Registry& registry() { return *registry_; }
  UserStore& store() { return *store_; }
  const std::string& path() const { return path_; }  // the folder's registry.db

  // Registers a user as the registration dialog does: password, cycle start, duration "29".
  void AddUser(const std::string& name, const std::string& password, TimeValue cycleStart = 0);

 private:
  std::string dir_;
  std::string path_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<UserStore> store_;
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
  QString Shown() const;
};

// Runs action on the next modal widget other than the one active now, as soon as it appears
// inside a running exec(). Fails the current test when none appears within timeoutMs, and
// fails it and closes the dialog when it is still open timeoutMs after the action ran. Call
// before the code that opens the dialog.
void WhenModal(std::function<void(QWidget*)> action, int timeoutMs = 5000);

template <typename T>
void WhenModalOf(std::function<void(T*)> action, int timeoutMs = 5000) {
  WhenModal([action](QWidget* widget) { action(qobject_cast<T*>(widget)); }, timeoutMs);
}

// Fails the current test and closes the dialog when it is still open timeoutMs from now.
void CloseWhenLeftOpen(QWidget* dialog, int timeoutMs = 5000);

// Processes pending events (and deferred deletes) a few times.
void Settle();

}  // namespace lunaret::test

#endif  // LUNARET_TESTS_UI_TEST_SUPPORT_H
