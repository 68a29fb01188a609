// Every window and tab page: Tab goes in the window's own order, and a screen reader names each
// stop.
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

#include "app/change_password_dialog.h"
#include "app/login_dialog.h"
#include "app/main_dialog.h"
#include "app/password_prompt_dialog.h"
#include "app/register_dialog.h"
#include "app/user_management_dialog.h"
#include "controls/about_dialog.h"
#include "pages/date_picker_dialog.h"
#include "ui_test_support.h"

namespace lunaret {
namespace {

// The visible tab stops in focus-ring order, each as a screen reader names it, from the one named
// first.
std::vector<std::string> SpokenRing(QWidget* window, const std::string& first) {
  std::vector<std::string> ring;
  for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->focusProxy() == nullptr &&
        w->isVisibleTo(window)) {
      const QString name = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
      EXPECT_FALSE(name.trimmed().isEmpty()) << w->metaObject()->className();
      ring.push_back(name.toStdString());
    }
  }
  std::rotate(ring.begin(), std::find(ring.begin(), ring.end(), first), ring.end());
  return ring;
}

// Tab follows each window's own order (the template's), also where the layout places controls
// elsewhere, and every stop has a name.
TEST(KeyboardAccessTest, EveryWindowNamesItsControlsAndTabsInItsOwnOrder) {
  using Names = std::vector<std::string>;
  // A combo box's name: its label's text on Windows, its choice elsewhere.
#ifdef _WIN32
  const auto comboName = [](const char* label, const char*) { return std::string(label); };
#else
  const auto comboName = [](const char*, const char* choice) { return std::string(choice); };
#endif
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
  const std::vector<std::pair<QDialog*, std::vector<Names>>> windows = {
      {&main,
       {{"Save", "Exit", "General", "Select the first day of menstruation this month.",
         "Vessa next month", "Vessa forecast duration:"},
        {"Save", "Exit", "Statistics", "Statistics."},
        {"Save", "Exit", "Insights", "Insights"},
        // A list-only combo box says its choice; its label comes through the label's relation.
        // Windows has no relations: there Qt names the box after its label.
        {"Save", "Exit", "Calendar", "Previous month", "Next month", "Today", "Month",
         comboName("Flow", "None"), comboName("Mood", "None"), "Symptoms", "Another symptom", "Add",
         "Note", "A period started on this day", "Ovulation on this day"}}},
      {&login, {{"Login name:", "Password:", "Login", "Exit", "Register here"}}},
      {&registration, {{"Login name:", "Password:", "Confirm password:", "OK", "Cancel"}}},
      {&change, {{"Old password:", "New password:", "Confirm password:", "OK", "Cancel"}}},
      {&users, {{"Lunaret users.", "New user", "Change password", "Delete", "OK"}}},
      {&prompt, {{"R&D's password:", "OK", "Cancel"}}},
      {&picker, {{"Select date.", "OK", "Cancel"}}},
      {&about, {{"OK"}}}};
  for (const auto& [window, pages] : windows) {
    SCOPED_TRACE(window->metaObject()->className());
    window->show();
    auto* tabs = window->findChild<QTabWidget*>();
    for (std::size_t page = 0; page < pages.size(); ++page) {
      if (tabs != nullptr)
        tabs->setCurrentIndex(static_cast<int>(page));
      test::Settle();
      EXPECT_EQ(SpokenRing(window, pages[page].front()), pages[page]);
    }
  }
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
