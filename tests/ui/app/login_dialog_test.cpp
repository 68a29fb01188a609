// The login dialog: its opening, name completion, the login check, the dedication and
// registration from the dialog.
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "app/login_dialog.h"
#include "app/register_dialog.h"
#include "app_test_support.h"
#include "controls/dedication_dialog.h"
#include "controls/hover_button.h"
#include "controls/ui_support.h"
#include "core/user_store.h"

namespace lunaret {
namespace {

using test::MessageBoxRecorder;
using test::TempStore;

class LoginDialogTest : public ::testing::Test {
 protected:
  void TearDown() override { test::Settle(); }

  QStringList Entries(const LoginDialog& dialog) {
    QStringList entries;
    for (int i = 0; i < dialog.UserNameBox()->count(); ++i)
      entries << dialog.UserNameBox()->itemText(i);
    return entries;
  }

  // Types the name and the password as a user would and presses Login.
  void LogIn(LoginDialog& dialog, const QString& name, const QString& password) {
    QTest::keyClicks(dialog.UserNameBox()->lineEdit(), name);
    QTest::keyClicks(dialog.PasswordField(), password);
    QTest::mouseClick(dialog.LoginButton(), Qt::LeftButton);
  }

  TempStore temp_;
  MessageBoxRecorder boxes_;
};

TEST_F(LoginDialogTest, OpeningListsTheUsersSortedWithoutRegardToCaseAndSetsUpTheControls) {
  temp_.AddUser("bea", "1");
  temp_.AddUser("Anna", "2");
  temp_.AddUser("Carla", "3");
  temp_.AddUser("alex", "4");
  LoginDialog dialog(temp_.store());
  dialog.show();

  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Lunaret Login..."));
  EXPECT_EQ(Entries(dialog), (QStringList{"alex", "Anna", "bea", "Carla"}));
  EXPECT_EQ(dialog.UserNameBox()->currentText(), QString());
  EXPECT_TRUE(dialog.UserNameBox()->isEditable());
  EXPECT_EQ(dialog.PasswordField()->echoMode(), QLineEdit::Password);
  EXPECT_EQ(dialog.PasswordField()->maxLength(), 255);
  EXPECT_EQ(dialog.focusWidget(), dialog.UserNameBox());
  EXPECT_TRUE(dialog.testAttribute(Qt::WA_AlwaysShowToolTips));
  EXPECT_EQ(dialog.UserNameBox()->toolTip(), QStringLiteral("Select LogIn name"));
  EXPECT_EQ(dialog.PasswordField()->toolTip(), QStringLiteral("Enter password"));
  EXPECT_EQ(dialog.RegisterButton()->toolTip(), QStringLiteral("Register new user here!"));
  EXPECT_EQ(dialog.LoginButton()->toolTip(), QStringLiteral("LogIn"));
  EXPECT_EQ(dialog.ExitButton()->toolTip(), QStringLiteral("Exit"));
  for (ThemedHoverButton* button :
       {dialog.LoginButton(), dialog.ExitButton(), dialog.RegisterButton()}) {
    EXPECT_EQ(button->Theme(), &dialog.Theme());
    EXPECT_EQ(button->Color(0), HotBackgroundColor());
    EXPECT_FALSE(button->isDefault());
    EXPECT_EQ(button->font().family(), LabelFont().family());
  }
  EXPECT_EQ(dialog.LoginButton()->text(), QStringLiteral("&Login"));
  EXPECT_EQ(dialog.ExitButton()->text(), QStringLiteral("&Exit"));
  EXPECT_EQ(dialog.RegisterButton()->text(), QStringLiteral("&Register here"));
  EXPECT_EQ(FindControl(&dialog, LoginDialog::kIdExistingGroup)->font().family(),
            LabelFont().family());
  EXPECT_TRUE(boxes_.Calls().empty());
}

TEST_F(LoginDialogTest, AStoreThatCannotBeOpenedEndsTheDialogBeforeItShows) {
  test::UnreachableRegistry unreachable;
  UserStore store(unreachable);
  LoginDialog dialog(store);

  EXPECT_EQ(dialog.exec(), QDialog::Rejected);
  EXPECT_FALSE(dialog.isVisible());
  test::ExpectOnlyMessage(boxes_, "Unable to ran Lunaret", "Lunaret", 0x10);
  dialog.show();
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(LoginDialogTest, TypedNamesCompleteFromTheListAndOnlyWhileTheyGrow) {
  temp_.AddUser("Alex", "1");
  temp_.AddUser("Anna", "2");
  LoginDialog dialog(temp_.store());
  dialog.show();
  QLineEdit* edit = dialog.UserNameBox()->lineEdit();

  QTest::keyClicks(edit, "a");
  EXPECT_EQ(edit->text(), QStringLiteral("Alex"));
  EXPECT_EQ(edit->selectedText(), QStringLiteral("lex"));

  QTest::keyClicks(edit, "n");  // replaces the selected tail
  EXPECT_EQ(edit->text(), QStringLiteral("Anna"));
  EXPECT_EQ(edit->selectedText(), QStringLiteral("na"));

  QTest::keyClick(edit, Qt::Key_Backspace);  // removes the selection: shorter, no completion
  EXPECT_EQ(edit->text(), QStringLiteral("An"));
  EXPECT_EQ(edit->selectedText(), QString());
  QTest::keyClick(edit, Qt::Key_Backspace);
  EXPECT_EQ(edit->text(), QStringLiteral("A"));

  // Growing again completes again; a name nobody has stays as typed.
  QTest::keyClicks(edit, "L");
  EXPECT_EQ(edit->text(), QStringLiteral("Alex"));
  EXPECT_EQ(edit->selectedText(), QStringLiteral("ex"));
  edit->clear();
  QTest::keyClicks(edit, "Zoe");
  EXPECT_EQ(edit->text(), QStringLiteral("Zoe"));
}

TEST_F(LoginDialogTest, ANameInAnotherLetterCaseLogsInUnderTheTypedSpelling) {
  LoginDialog dialog(temp_.store());
  dialog.show();
  // Registered by another copy of the program after the list was filled: nothing completes.
  temp_.AddUser("Anna", "Secret");
  QTest::keyClicks(dialog.UserNameBox()->lineEdit(), "aNNA");
  QTest::keyClicks(dialog.PasswordField(), "Secret");
  QTest::keyClick(dialog.PasswordField(), Qt::Key_Return);

  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.UserName(), QStringLiteral("aNNA"));
  EXPECT_TRUE(boxes_.Calls().empty());
}

TEST_F(LoginDialogTest, EnterInTheNameFieldLogsInWithTheCompletedName) {
  temp_.AddUser("Anna", "pw");
  LoginDialog dialog(temp_.store());
  dialog.show();
  dialog.PasswordField()->setText(QStringLiteral("pw"));
  QLineEdit* edit = dialog.UserNameBox()->lineEdit();
  QTest::keyClicks(edit, "anna");  // each growing prefix takes the listed spelling
  ASSERT_EQ(edit->text(), QStringLiteral("Anna"));
  QTest::keyClick(edit, Qt::Key_Return);

  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.UserName(), QStringLiteral("Anna"));
}

TEST_F(LoginDialogTest, LeavingTheNameFieldKeepsTheNameAsTyped) {
  temp_.AddUser("Anna", "pw");
  LoginDialog dialog(temp_.store());
  dialog.show();
  // Set without an edit notification: the box itself must not swap it
  // for the listed spelling when the focus moves on or Login is pressed.
  dialog.UserNameBox()->lineEdit()->setText(QStringLiteral("ANNA"));
  dialog.PasswordField()->setFocus();
  QTest::keyClicks(dialog.PasswordField(), "pw");
  QTest::mouseClick(dialog.LoginButton(), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.UserName(), QStringLiteral("ANNA"));
}

TEST_F(LoginDialogTest, AWrongPasswordOrUnknownNameEmptiesOnlyThePassword) {
  temp_.AddUser("Anna", "Secret");
  LoginDialog dialog(temp_.store());
  dialog.show();
  QTest::keyClicks(dialog.PasswordField(), "secret");  // letter case counts
  dialog.UserNameBox()->lineEdit()->setText(QStringLiteral("Anna"));
  QTest::mouseClick(dialog.LoginButton(), Qt::LeftButton);

  test::ExpectOnlyMessage(boxes_, "Invalid user or bad password!", "Lunaret Login", 0x10);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.UserNameBox()->currentText(), QStringLiteral("Anna"));
  EXPECT_EQ(dialog.PasswordField()->text(), QString());
  EXPECT_EQ(dialog.focusWidget(), dialog.PasswordField());

  boxes_.Clear();
  dialog.UserNameBox()->lineEdit()->setText(QStringLiteral("Nobody"));
  QTest::keyClicks(dialog.PasswordField(), "Secret");
  QTest::mouseClick(dialog.LoginButton(), Qt::LeftButton);
  test::ExpectOnlyMessage(boxes_, "Invalid user or bad password!", "Lunaret Login", 0x10);
  EXPECT_EQ(dialog.UserNameBox()->currentText(), QStringLiteral("Nobody"));
  EXPECT_TRUE(dialog.isVisible());

  // Any number of attempts; the right one gets in.
  boxes_.Clear();
  dialog.UserNameBox()->lineEdit()->setText(QStringLiteral("Anna"));
  QTest::keyClicks(dialog.PasswordField(), "Secret");
  QTest::mouseClick(dialog.LoginButton(), Qt::LeftButton);
  EXPECT_TRUE(boxes_.Calls().empty());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(LoginDialogTest, EmptyStoreRefusesEveryLogin) {
  LoginDialog dialog(temp_.store());
  dialog.show();
  EXPECT_EQ(dialog.UserNameBox()->count(), 0);
  QTest::keyClicks(dialog.UserNameBox()->lineEdit(), "a");
  EXPECT_EQ(dialog.UserNameBox()->currentText(), QStringLiteral("a"));
  QTest::mouseClick(dialog.LoginButton(), Qt::LeftButton);
  test::ExpectOnlyMessage(boxes_, "Invalid user or bad password!", "Lunaret Login", 0x10);
  EXPECT_TRUE(dialog.isVisible());
}

TEST_F(LoginDialogTest, ExitAndEscapeEndTheDialogWithoutAUser) {
  temp_.AddUser("Anna", "pw");
  {
    LoginDialog dialog(temp_.store());
    dialog.show();
    QTest::mouseClick(dialog.ExitButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
  }
  {
    LoginDialog dialog(temp_.store());
    dialog.show();
    QTest::keyClicks(dialog.UserNameBox()->lineEdit(), "An");
    QTest::keyClick(dialog.UserNameBox()->lineEdit(), Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
  }
  EXPECT_TRUE(boxes_.Calls().empty());
}

class DedicationTest : public LoginDialogTest {
 protected:
  // Logs in and reports whether the dedication dialog appeared (and was closed).
  bool LogInShowsDedication(const QString& name, const QString& password) {
    test::DialogWatcher<DedicationDialog> watcher(
        [](DedicationDialog* dedication) { dedication->OkButton()->click(); });
    LoginDialog dialog(temp_.store());
    dialog.show();
    dialog.UserNameBox()->lineEdit()->setText(name);
    dialog.PasswordField()->setText(password);
    QTest::mouseClick(dialog.LoginButton(), Qt::LeftButton);
    lastResult = dialog.result();
    return watcher.shown > 0;
  }
  int lastResult = -1;
};

TEST_F(DedicationTest, TheBuiltInPairShowsTheDedicationAfterTheStoreAdmittedIt) {
  temp_.AddUser("lumo", "corvel");
  EXPECT_TRUE(LogInShowsDedication("LUMO", "corvel"));
  EXPECT_EQ(lastResult, QDialog::Accepted);
  EXPECT_TRUE(boxes_.Calls().empty());
}

TEST_F(DedicationTest, OtherPasswordsAndUnregisteredPairsShowNoDedication) {
  {
    ::testing::ScopedTrace trace(__FILE__, __LINE__, "built-in pair not registered");
    test::TempStore empty;
    LoginDialog dialog(empty.store());
    dialog.show();
    dialog.UserNameBox()->lineEdit()->setText("lumo");
    dialog.PasswordField()->setText("corvel");
    QTest::mouseClick(dialog.LoginButton(), Qt::LeftButton);
    test::ExpectOnlyMessage(boxes_, "Invalid user or bad password!", "Lunaret Login", 0x10);
    EXPECT_TRUE(dialog.isVisible());
  }
  boxes_.Clear();
  temp_.AddUser("lumo", "Corvel");
  EXPECT_FALSE(LogInShowsDedication("lumo", "Corvel"));  // registered with a capital C
  EXPECT_EQ(lastResult, QDialog::Accepted);
  EXPECT_FALSE(LogInShowsDedication("lumo", "corvel"));  // wrong password for this user
  test::ExpectOnlyMessage(boxes_, "Invalid user or bad password!", "Lunaret Login", 0x10);
}

TEST_F(LoginDialogTest, RegistrationPutsTheNewNameInPlaceAndWaitsForThePassword) {
  temp_.AddUser("Anna", "1");
  temp_.AddUser("Carla", "2");
  LoginDialog dialog(temp_.store());
  dialog.show();
  test::WhenModalOf<RegisterDialog>([](RegisterDialog* registration) {
    ASSERT_NE(registration, nullptr);
    EXPECT_EQ(registration->parentWidget(), nullptr);
    QTest::keyClicks(registration->UserNameField(), "  bea ");
    QTest::keyClicks(registration->PasswordField(), "pw");
    QTest::keyClicks(registration->ConfirmationField(), "pw");
    QTest::mouseClick(registration->OkButton(), Qt::LeftButton);
  });
  QTest::keyClicks(dialog.PasswordField(), "typed before");
  QTest::mouseClick(dialog.RegisterButton(), Qt::LeftButton);

  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(Entries(dialog), (QStringList{"Anna", "bea", "Carla"}));
  EXPECT_EQ(dialog.UserNameBox()->currentIndex(), 1);
  EXPECT_EQ(dialog.UserNameBox()->currentText(), QStringLiteral("bea"));
  EXPECT_EQ(dialog.PasswordField()->text(), QString());
  EXPECT_EQ(dialog.focusWidget(), dialog.PasswordField());
  EXPECT_TRUE(temp_.store().FindUser("bea"));
  EXPECT_EQ(dialog.result(), 0);  // not logged in yet

  QTest::keyClicks(dialog.PasswordField(), "pw");
  QTest::keyClick(dialog.PasswordField(), Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.UserName(), QStringLiteral("bea"));
}

TEST_F(LoginDialogTest, ACancelledRegistrationChangesNothing) {
  temp_.AddUser("Anna", "1");
  LoginDialog dialog(temp_.store());
  dialog.show();
  dialog.UserNameBox()->lineEdit()->setText(QStringLiteral("Ann"));
  dialog.PasswordField()->setText(QStringLiteral("x"));
  test::WhenModalOf<RegisterDialog>([](RegisterDialog* registration) {
    ASSERT_NE(registration, nullptr);
    QTest::keyClicks(registration->UserNameField(), "Zoe");
    QTest::mouseClick(registration->CancelButton(), Qt::LeftButton);
  });
  QTest::mouseClick(dialog.RegisterButton(), Qt::LeftButton);

  EXPECT_EQ(Entries(dialog), QStringList{"Anna"});
  EXPECT_EQ(dialog.UserNameBox()->currentText(), QStringLiteral("Ann"));
  EXPECT_EQ(dialog.PasswordField()->text(), QStringLiteral("x"));
  EXPECT_FALSE(temp_.store().FindUser("Zoe"));
}

}  // namespace
}  // namespace lunaret
