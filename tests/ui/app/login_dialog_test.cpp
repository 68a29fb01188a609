// The login dialog: a store it cannot open, name completion, the login check, the dedication
// and registration from the dialog.
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "app/login_dialog.h"
#include "app/register_dialog.h"
#include "app_test_support.h"
#include "controls/dedication_dialog.h"
#include "controls/hover_button.h"

namespace lunaret {
namespace {

using test::ExpectOnlyMessage;

class LoginDialogTest : public ::testing::Test {
 protected:
  void TearDown() override { test::Settle(); }

  QStringList Entries(const LoginDialog& dialog) {
    QStringList entries;
    for (int i = 0; i < dialog.UserNameBox()->count(); ++i)
      entries << dialog.UserNameBox()->itemText(i);
    return entries;
  }

  test::TempStore temp_;
  test::MessageBoxRecorder boxes_;
};

TEST_F(LoginDialogTest, AStoreThatCannotBeOpenedEndsTheDialogBeforeItShows) {
  test::FaultyRegistry unreachable(temp_.registry());
  unreachable.refuseOpen = true;
  UserStore store(unreachable);
  LoginDialog dialog(store);

  EXPECT_EQ(dialog.exec(), QDialog::Rejected);
  EXPECT_FALSE(dialog.isVisible());
  ExpectOnlyMessage(boxes_, "Unable to ran Lunaret", "Lunaret", 0x10);
  dialog.show();
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(LoginDialogTest, TypedNamesCompleteFromTheListAndOnlyWhileTheyGrow) {
  temp_.AddUser("Alex", "1");
  temp_.AddUser("Anna", "2");
  LoginDialog dialog(temp_.store());
  dialog.show();
  QLineEdit* edit = dialog.UserNameBox()->lineEdit();
  EXPECT_EQ(dialog.focusWidget(), dialog.UserNameBox());

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

  // Enter in the name field logs in under the completed spelling.
  edit->clear();
  QTest::keyClicks(edit, "anna");
  dialog.PasswordField()->setText(QStringLiteral("2"));
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.UserName(), QStringLiteral("Anna"));
}

// Each attempt on a fresh dialog over Anna ("Secret") and lumo (with the row's password). The
// name logs in as typed; a refusal empties and focuses only the password; the dedication shows
// only for the built-in pair, and only once the store has admitted it.
TEST_F(LoginDialogTest, LoginChecksTheStoreAndShowsTheDedicationOnlyForTheBuiltInPair) {
  struct Attempt {
    const char* lumo;  // lumo's stored password; null: no such user
    const char* name;
    const char* password;
    bool admitted;
    bool dedication;
  };
  for (const Attempt& a : {Attempt{"corvel", "aNNA", "Secret", true, false},   // typed spelling
                           Attempt{"corvel", "Anna", "secret", false, false},  // case counts
                           Attempt{"corvel", "Nobody", "Secret", false, false},
                           Attempt{"corvel", "", "Secret", false, false},
                           Attempt{"corvel", "LUMO", "corvel", true, true},
                           Attempt{"Corvel", "lumo", "Corvel", true, false},
                           Attempt{"Corvel", "lumo", "corvel", false, false},
                           Attempt{nullptr, "lumo", "corvel", false, false}}) {
    SCOPED_TRACE(testing::Message()
                 << (a.lumo != nullptr ? a.lumo : "no lumo") << ' ' << a.name << ' ' << a.password);
    test::TempStore temp;
    temp.AddUser("Anna", "Secret");
    if (a.lumo != nullptr)
      temp.AddUser("lumo", a.lumo);
    boxes_.Clear();
    test::DialogWatcher<DedicationDialog> dedications(
        [](DedicationDialog* dedication) { dedication->OkButton()->click(); });
    LoginDialog dialog(temp.store());
    dialog.show();
    // Without an edit notification nothing completes; the focus then moves on.
    dialog.UserNameBox()->lineEdit()->setText(QString::fromUtf8(a.name));
    dialog.PasswordField()->setFocus();
    QTest::keyClicks(dialog.PasswordField(), a.password);
    QTest::mouseClick(dialog.LoginButton(), Qt::LeftButton);

    EXPECT_EQ(dedications.shown, a.dedication ? 1 : 0);
    EXPECT_EQ(dialog.UserNameBox()->currentText(), QString::fromUtf8(a.name));
    if (a.admitted) {
      EXPECT_TRUE(boxes_.Calls().empty());
      EXPECT_EQ(dialog.result(), QDialog::Accepted);
      EXPECT_EQ(dialog.UserName(), QString::fromUtf8(a.name));
    } else {
      ExpectOnlyMessage(boxes_, "Invalid user or bad password!", "Lunaret Login", 0x10);
      EXPECT_TRUE(dialog.isVisible());
      EXPECT_EQ(dialog.PasswordField()->text(), QString());
      EXPECT_EQ(dialog.focusWidget(), dialog.PasswordField());
    }
  }
}

// The list is sorted by the user's locale without regard to letter case.
TEST_F(LoginDialogTest, RegistrationPutsTheNewNameInPlaceAndWaitsForThePassword) {
  const test::ScopedDefaultLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
  temp_.AddUser("Anna", "1");
  temp_.AddUser("Carla", "2");
  temp_.AddUser("Änne", "3");
  LoginDialog dialog(temp_.store());
  dialog.show();

  // Cancelled: nothing changes.
  dialog.UserNameBox()->lineEdit()->setText(QStringLiteral("Ann"));
  dialog.PasswordField()->setText(QStringLiteral("typed before"));
  test::WhenModalOf<RegisterDialog>([](RegisterDialog* registration) {
    ASSERT_NE(registration, nullptr);
    QTest::keyClicks(registration->UserNameField(), "Zoe");
    QTest::mouseClick(registration->CancelButton(), Qt::LeftButton);
  });
  QTest::mouseClick(dialog.RegisterButton(), Qt::LeftButton);
  EXPECT_EQ(Entries(dialog), QStringList({"Anna", "Änne", "Carla"}));
  EXPECT_EQ(dialog.UserNameBox()->currentText(), QStringLiteral("Ann"));
  EXPECT_EQ(dialog.PasswordField()->text(), QStringLiteral("typed before"));
  EXPECT_FALSE(temp_.store().FindUser("Zoe"));

  test::WhenModalOf<RegisterDialog>([](RegisterDialog* registration) {
    ASSERT_NE(registration, nullptr);
    EXPECT_EQ(registration->parentWidget(), nullptr);
    QTest::keyClicks(registration->UserNameField(), "  bea ");
    QTest::keyClicks(registration->PasswordField(), "pw");
    QTest::keyClicks(registration->ConfirmationField(), "pw");
    QTest::mouseClick(registration->OkButton(), Qt::LeftButton);
  });
  QTest::mouseClick(dialog.RegisterButton(), Qt::LeftButton);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(Entries(dialog), QStringList({"Anna", "Änne", "bea", "Carla"}));
  EXPECT_EQ(dialog.UserNameBox()->currentIndex(), 2);
  EXPECT_EQ(dialog.UserNameBox()->currentText(), QStringLiteral("bea"));
  EXPECT_EQ(dialog.PasswordField()->text(), QString());
  EXPECT_EQ(dialog.focusWidget(), dialog.PasswordField());
  EXPECT_TRUE(temp_.store().FindUser("bea"));
  EXPECT_EQ(dialog.result(), 0);  // not logged in yet
}

}  // namespace
}  // namespace lunaret
