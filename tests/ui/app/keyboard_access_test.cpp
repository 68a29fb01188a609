// Every window without a mouse: each control that Tab reaches has a name a screen reader can
// say, and Tab visits the controls in reading order. Every page of a tab widget is walked, so
// pages added later are covered; a new window needs one row. Enter in the login dialog.
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <memory>

#include <gtest/gtest.h>

#include "app/change_password_dialog.h"
#include "app/login_dialog.h"
#include "app/main_dialog.h"
#include "app/password_prompt_dialog.h"
#include "app/register_dialog.h"
#include "app/user_management_dialog.h"
#include "app_test_support.h"
#include "controls/about_dialog.h"
#include "controls/dedication_dialog.h"
#include "controls/hover_button.h"
#include "pages/date_picker_dialog.h"

namespace lunaret {
namespace {

QRect InWindow(const QWidget* widget) {
  return QRect(widget->mapTo(widget->window(), QPoint()), widget->size());
}

// What a screen reader says for widget, with its kind, as the failures show it.
std::string Spoken(QWidget* widget) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
  const QString name = accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
  return std::string(widget->metaObject()->className()) + " \"" + name.toStdString() + '"';
}

// The visible tab stops in the order of the focus ring, from the first in reading order (top to
// bottom; left to right within a row, which is what lies beside the first of the row).
void ExpectNamedInReadingOrder(QWidget* window) {
  std::vector<QWidget*> ring;
  for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->focusProxy() == nullptr &&
        w->window() == window && w->isVisibleTo(window))
      ring.push_back(w);
  }
  ASSERT_FALSE(ring.empty());
  std::vector<QWidget*> reading = ring;
  std::stable_sort(reading.begin(), reading.end(),
                   [](QWidget* a, QWidget* b) { return InWindow(a).top() < InWindow(b).top(); });
  for (auto row = reading.begin(); row != reading.end();) {
    const int bottom = InWindow(*row).bottom();
    const auto end = std::find_if(row + 1, reading.end(),
                                  [&](QWidget* w) { return InWindow(w).center().y() > bottom; });
    std::stable_sort(
        row, end, [](QWidget* a, QWidget* b) { return InWindow(a).left() < InWindow(b).left(); });
    row = end;
  }
  std::rotate(ring.begin(), std::find(ring.begin(), ring.end(), reading.front()), ring.end());
  std::vector<std::string> spokenRing, spokenReading;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    spokenRing.push_back(Spoken(ring[i]));
    spokenReading.push_back(Spoken(reading[i]));
    EXPECT_EQ(spokenRing.back().find("\"\""), std::string::npos) << spokenRing.back();
  }
  EXPECT_EQ(spokenRing, spokenReading);
}

TEST(KeyboardAccessTest, EveryWindowNamesItsControlsAndTabsInReadingOrder) {
  test::TempStore temp;
  temp.AddUser("Anna", "a", 1700000000);
  temp.AddUser("R&D", "b", 1700000000);
  UserStore& store = temp.store();
  const std::vector<std::function<std::unique_ptr<QDialog>()>> windows = {
      [&] { return std::make_unique<LoginDialog>(store); },
      [&] { return std::make_unique<RegisterDialog>(store, nullptr); },
      [&] { return std::make_unique<ChangePasswordDialog>(store, "Anna", nullptr); },
      [&] { return std::make_unique<UserManagementDialog>(store, "Anna", nullptr); },
      [&] { return std::make_unique<PasswordPromptDialog>("R&D", nullptr); },
      [&] {
        auto main = std::make_unique<MainDialog>(store, "Anna", nullptr);
        main->InitDialog();
        return main;
      },
      [&] { return std::make_unique<DatePickerDialog>(1700000000, nullptr); },
      [&] { return std::make_unique<AboutDialog>(nullptr); },
      [&] { return std::make_unique<DedicationDialog>(nullptr); },
  };
  for (const auto& make : windows) {
    const std::unique_ptr<QDialog> window = make();
    SCOPED_TRACE(window->metaObject()->className());
    window->show();
    test::Settle();
    ExpectNamedInReadingOrder(window.get());
    const auto tabWidgets = window->findChildren<QTabWidget*>();
    for (QTabWidget* tabs : tabWidgets) {
      for (int page = 1; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        test::Settle();
        ExpectNamedInReadingOrder(window.get());
      }
    }
  }
  // Labels name their fields, captions their buttons; an '&' of a name stays in its prompt.
  LoginDialog login(store);
  login.show();
  EXPECT_EQ(login.UserNameBox()->accessibleName(), QStringLiteral("Login name:"));
  EXPECT_EQ(login.ExitButton()->accessibleName(), QStringLiteral("Exit"));
  PasswordPromptDialog prompt("R&D", nullptr);
  prompt.show();
  EXPECT_EQ(prompt.PasswordField()->accessibleName(), QStringLiteral("R&D's password:"));
}

// Enter presses the focused button; in a field it logs in, once. Anna's password is "a".
TEST(KeyboardAccessTest, EnterInTheLoginDialogPressesTheFocusedButtonElseLogsIn) {
  struct Case {
    const char* focus;  // objectName of the control that has the focus
    const char* password;
    Qt::KeyboardModifiers modifiers;
    bool open;  // the dialog is still open afterwards
    QDialog::DialogCode result;
    int messages;
    int registrations;
  };
  const Case cases[] = {
      {"loginButton", "a", Qt::NoModifier, false, QDialog::Accepted, 0, 0},
      {"loginButton", "b", Qt::NoModifier, true, QDialog::Rejected, 1, 0},
      {"exitButton", "a", Qt::NoModifier, false, QDialog::Rejected, 0, 0},
      {"exitButton", "a", Qt::KeypadModifier, false, QDialog::Rejected, 0, 0},
      {"registerButton", "a", Qt::NoModifier, true, QDialog::Rejected, 0, 1},
      {"passwordField", "b", Qt::NoModifier, true, QDialog::Rejected, 1, 0},
      {"passwordField", "a", Qt::KeypadModifier, false, QDialog::Accepted, 0, 0},
  };
  test::TempStore temp;
  temp.AddUser("Anna", "a");
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.focus << ' ' << c.password << ' ' << c.modifiers);
    test::MessageBoxRecorder boxes;
    test::DialogWatcher<RegisterDialog> registrations;
    LoginDialog dialog(temp.store());
    dialog.show();
    dialog.UserNameBox()->setEditText(QStringLiteral("Anna"));
    dialog.PasswordField()->setText(QString::fromUtf8(c.password));
    dialog.findChild<QWidget*>(c.focus)->setFocus();
    QTest::keyClick(dialog.focusWidget(), c.modifiers ? Qt::Key_Enter : Qt::Key_Return,
                    c.modifiers);
    test::Settle();
    EXPECT_EQ(dialog.isVisible(), c.open);
    EXPECT_EQ(dialog.result(), c.result);
    EXPECT_EQ(boxes.Calls().size(), static_cast<std::size_t>(c.messages));
    EXPECT_EQ(registrations.shown, c.registrations);
  }
}

}  // namespace
}  // namespace lunaret
