// Every window and tab page: Tab goes in reading order, and a screen reader names each stop.
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <algorithm>
#include <tuple>

#include "app/change_password_dialog.h"
#include "app/login_dialog.h"
#include "app/main_dialog.h"
#include "app/password_prompt_dialog.h"
#include "app/register_dialog.h"
#include "app/user_management_dialog.h"
#include "controls/about_dialog.h"
#include "controls/dedication_dialog.h"
#include "pages/date_picker_dialog.h"
#include "ui_test_support.h"

namespace lunaret {
namespace {

// The visible tab stops in focus-ring order against reading order: rows down, each left to right.
void ExpectNamedInReadingOrder(QWidget* window) {
  std::vector<QWidget*> ring;
  for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->focusProxy() == nullptr &&
        w->isVisibleTo(window))
      ring.push_back(w);
  }
  const auto at = [window](QWidget* w) { return QRect(w->mapTo(window, QPoint()), w->size()); };
  std::vector<QWidget*> reading = ring;
  std::stable_sort(reading.begin(), reading.end(),
                   [&](QWidget* a, QWidget* b) { return at(a).top() < at(b).top(); });
  for (auto row = reading.begin(), end = row; row != reading.end(); row = end) {
    end = std::find_if(row + 1, reading.end(),
                       [&](QWidget* w) { return at(w).center().y() > at(*row).bottom(); });
    std::stable_sort(row, end, [&](QWidget* a, QWidget* b) { return at(a).left() < at(b).left(); });
  }
  ASSERT_FALSE(ring.empty());
  std::rotate(ring.begin(), std::find(ring.begin(), ring.end(), reading.front()), ring.end());
  const auto spoken = [](const std::vector<QWidget*>& widgets) {
    std::vector<std::string> names;  // the kind of each and what a screen reader says for it
    for (QWidget* w : widgets) {
      const QString name = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
      EXPECT_FALSE(name.trimmed().isEmpty()) << w->metaObject()->className();
      names.push_back(std::string(w->metaObject()->className()) + ' ' + name.toStdString());
    }
    return names;
  };
  EXPECT_EQ(spoken(ring), spoken(reading));
}

TEST(KeyboardAccessTest, EveryWindowNamesItsControlsAndTabsInReadingOrder) {
  test::TempStore temp;
  temp.AddUser("R&D", "b");
  MainDialog main(temp.store(), "R&D", nullptr);
  LoginDialog login(temp.store());
  RegisterDialog registration(temp.store(), nullptr);
  ChangePasswordDialog change(temp.store(), "R&D", nullptr);
  UserManagementDialog users(temp.store(), "R&D", nullptr);
  PasswordPromptDialog prompt("R&D", nullptr);
  DatePickerDialog picker(1700000000, nullptr);
  AboutDialog about(nullptr);
  DedicationDialog dedication(nullptr);
  for (QDialog* window : std::initializer_list<QDialog*>{
           &main, &login, &registration, &change, &users, &prompt, &picker, &about, &dedication}) {
    SCOPED_TRACE(window->metaObject()->className());
    window->show();
    auto* tabs = window->findChild<QTabWidget*>();
    for (int page = 0; page < (tabs != nullptr ? tabs->count() : 1); ++page) {
      if (tabs != nullptr)
        tabs->setCurrentIndex(page);
      test::Settle();
      ExpectNamedInReadingOrder(window);
    }
  }
  EXPECT_EQ(prompt.PasswordField()->accessibleName(), QStringLiteral("R&D's password:"));
}

// Enter presses the focused button; in a field it logs in, once. Anna's password is "a". A row:
// the focus, the password, keypad Enter, the result (-1: open), messages and registrations shown.
TEST(KeyboardAccessTest, EnterInTheLoginDialogPressesTheFocusedButtonElseLogsIn) {
  using Case = std::tuple<const char*, const char*, bool, int, std::size_t, int>;
  test::TempStore temp;
  temp.AddUser("Anna", "a");
  for (const auto& [focus, password, keypad, result, messages, registrations] :
       std::initializer_list<Case>{{"loginButton", "a", false, QDialog::Accepted, 0, 0},
                                   {"loginButton", "b", false, -1, 1, 0},
                                   {"exitButton", "a", true, QDialog::Rejected, 0, 0},
                                   {"registerButton", "a", false, -1, 0, 1},
                                   {"passwordField", "b", false, -1, 1, 0},
                                   {"passwordField", "a", true, QDialog::Accepted, 0, 0}}) {
    SCOPED_TRACE(testing::Message() << focus << ' ' << password << ' ' << keypad);
    test::MessageBoxRecorder boxes;
    test::DialogWatcher<RegisterDialog> registered;
    LoginDialog dialog(temp.store());
    dialog.show();
    dialog.UserNameBox()->setEditText(QStringLiteral("Anna"));
    dialog.PasswordField()->setText(QString::fromUtf8(password));
    dialog.findChild<QWidget*>(focus)->setFocus();
    QTest::keyClick(dialog.focusWidget(), keypad ? Qt::Key_Enter : Qt::Key_Return,
                    keypad ? Qt::KeypadModifier : Qt::NoModifier);
    test::Settle();
    EXPECT_EQ(dialog.isVisible() ? -1 : dialog.result(), result);
    EXPECT_EQ(boxes.Calls().size(), messages);
    EXPECT_EQ(registered.shown, registrations);
  }
}

}  // namespace
}  // namespace lunaret
