// The account dialogs: registration, password change, user management and the password prompt.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <ctime>

#include <gtest/gtest.h>

#include "app/change_password_dialog.h"
#include "app/password_prompt_dialog.h"
#include "app/register_dialog.h"
#include "app/user_management_dialog.h"
#include "app_test_support.h"
#include "controls/hover_button.h"
#include "controls/ui_support.h"
#include "core/scramble.h"

namespace lunaret {
namespace {

using test::ExpectOnlyMessage;
using test::MessageBoxRecorder;
using test::TempStore;

// A password of 66 characters whose stored form holds a zero byte.
QString ZeroBytePassword() {
  return QString::fromUtf8("\xC2\xBF") + QString(65, QLatin1Char('a'));
}

// 128 characters, 256 bytes in the store's encoding: one byte more than a stored password may have.
QString OverlongPassword() {
  return QString(128, QChar(0x03A9));
}

const QString kMismatch =
    QStringLiteral("The passwords you typed do not much. Type new passwords in both text boxes.");

class RegisterDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ScrambledFormHasZeroByte(ToStore(ZeroBytePassword())));
    ASSERT_FALSE(ScrambledFormHasZeroByte(ToStore(OverlongPassword())));
    ASSERT_GT(ToStore(OverlongPassword()).size(), UserStore::kMaxPasswordBytes);
    temp_.AddUser("Anna", "1");
    dialog_ = std::make_unique<RegisterDialog>(temp_.store());
    dialog_->show();
  }
  void TearDown() override {
    dialog_.reset();
    test::Settle();
  }

  void Fill(const QString& name, const QString& password, const QString& confirmation) {
    for (QLineEdit* field :
         {dialog_->UserNameField(), dialog_->PasswordField(), dialog_->ConfirmationField()})
      field->clear();
    test::Type(dialog_->UserNameField(), name);
    test::Type(dialog_->PasswordField(), password);
    test::Type(dialog_->ConfirmationField(), confirmation);
  }
  void PressOk() {
    boxes_.Clear();
    QTest::mouseClick(dialog_->OkButton(), Qt::LeftButton);
  }
  // The name field is focused with its whole (untrimmed) text selected.
  void ExpectNameSelected() {
    EXPECT_EQ(dialog_->focusWidget(), dialog_->UserNameField());
    EXPECT_EQ(dialog_->UserNameField()->selectedText(), dialog_->UserNameField()->text());
    EXPECT_TRUE(dialog_->isVisible());
  }
  void ExpectPasswordsEmptiedAndFocused() {
    EXPECT_EQ(dialog_->PasswordField()->text(), QString());
    EXPECT_EQ(dialog_->ConfirmationField()->text(), QString());
    EXPECT_EQ(dialog_->focusWidget(), dialog_->PasswordField());
    EXPECT_TRUE(dialog_->isVisible());
  }

  TempStore temp_;
  MessageBoxRecorder boxes_;
  std::unique_ptr<RegisterDialog> dialog_;
};

TEST_F(RegisterDialogTest, OpensWithItsFieldsTipsAndButtons) {
  EXPECT_EQ(dialog_->windowTitle(), QStringLiteral("Register Lunaret user..."));
  for (QLineEdit* field :
       {dialog_->UserNameField(), dialog_->PasswordField(), dialog_->ConfirmationField()})
    EXPECT_EQ(field->maxLength(), 255);
  EXPECT_EQ(dialog_->UserNameField()->echoMode(), QLineEdit::Normal);
  EXPECT_EQ(dialog_->PasswordField()->echoMode(), QLineEdit::Password);
  EXPECT_EQ(dialog_->ConfirmationField()->echoMode(), QLineEdit::Password);
  EXPECT_EQ(dialog_->UserNameField()->toolTip(), QStringLiteral("Enter user name, please."));
  EXPECT_EQ(dialog_->ConfirmationField()->toolTip(), QStringLiteral("Confirm password, please."));
  EXPECT_EQ(dialog_->OkButton()->OwnTooltip(), QStringLiteral(" OK! "));
  EXPECT_EQ(dialog_->CancelButton()->OwnTooltip(), QStringLiteral("Cancel"));
  EXPECT_TRUE(dialog_->OkButton()->isDefault());
  EXPECT_FALSE(dialog_->windowIcon().isNull());
}

TEST_F(RegisterDialogTest, ChecksRunInOrderAndEachKeepsTheDialogOpen) {
  // Empty after trimming comes first, whatever else is wrong.
  Fill(" \t ", "a", "b");
  PressOk();
  ExpectOnlyMessage(boxes_, "User name cannot be empty.", "Register new user", 0x10);
  ExpectNameSelected();

  // A forbidden character comes before the duplicate check and the passwords.
  Fill("  an.na ", "a", "b");
  PressOk();
  ExpectOnlyMessage(boxes_,
                    "The name an.na cannot be used. Names may not consist entirely of periods "
                    "and/or spaces, or contain these characters:\n\" \\ / [ ] : < > + = ; , . ? "
                    "* @ ' ",
                    "Register new user", 0x10);
  ExpectNameSelected();
  EXPECT_EQ(dialog_->UserNameField()->text(), QStringLiteral("  an.na "));

  // An existing name in any letter case, before the passwords.
  Fill(" ANNA ", "a", "b");
  PressOk();
  ExpectOnlyMessage(boxes_, "This user already exists. Type different user name.", "Register user",
                    0x30);
  ExpectNameSelected();

  // Passwords that differ only in letter case do not match.
  Fill("Bea", "secret", "Secret");
  PressOk();
  ExpectOnlyMessage(boxes_, kMismatch, "Register user", 0x30);
  ExpectPasswordsEmptiedAndFocused();
  EXPECT_EQ(dialog_->UserNameField()->text(), QStringLiteral("Bea"));
  EXPECT_FALSE(temp_.store().FindUser("Bea"));
  EXPECT_EQ(dialog_->result(), 0);
}

TEST_F(RegisterDialogTest, EveryForbiddenCharacterIsRefusedAnywhereInTheName) {
  for (const char* c = RegisterDialog::kForbiddenCharacters; *c != '\0'; ++c) {
    const QString name = QStringLiteral("a") + QLatin1Char(*c) + QStringLiteral("b");
    Fill(name, "", "");
    PressOk();
    ASSERT_EQ(boxes_.Calls().size(), 1u) << *c;
    EXPECT_EQ(boxes_.Calls()[0].text, RegisterDialog::ForbiddenNameMessage(name));
    EXPECT_FALSE(temp_.store().FindUser(ToStore(name)));
  }
  EXPECT_EQ(std::string(RegisterDialog::kForbiddenCharacters).size(), 17u);
}

TEST_F(RegisterDialogTest, ATrimmedNewUserIsWrittenWithPasswordFirstDayAndDuration) {
  test::CommitRefusingRegistry recording(temp_.registry());
  UserStore store(recording);
  RegisterDialog dialog(store);
  dialog.show();
  test::Type(dialog.UserNameField(), "  Mary Ann\t");
  test::Type(dialog.PasswordField(), "pw");
  test::Type(dialog.ConfirmationField(), "pw");
  const auto before = static_cast<TimeValue>(std::time(nullptr));
  QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
  const auto after = static_cast<TimeValue>(std::time(nullptr));

  EXPECT_TRUE(boxes_.Calls().empty());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.RegisteredName(), QStringLiteral("Mary Ann"));
  EXPECT_EQ(recording.written, (std::vector<std::string>{"", "data", "duration"}));
  std::string password;
  ASSERT_TRUE(temp_.store().GetPassword("Mary Ann", &password));
  EXPECT_EQ(password, "pw");
  EXPECT_EQ(temp_.store().GetDuration("Mary Ann"), "29");
  EXPECT_GE(temp_.store().GetCycleStart("Mary Ann"), before);
  EXPECT_LE(temp_.store().GetCycleStart("Mary Ann"), after);
  EXPECT_EQ(temp_.store().GetStatisticsLength("Mary Ann"), 0u);
}

TEST_F(RegisterDialogTest, EmptyPasswordsAreAccepted) {
  Fill("Bea", "", "");
  PressOk();
  EXPECT_TRUE(boxes_.Calls().empty());
  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
  std::string password = "unread";
  ASSERT_TRUE(temp_.store().GetPassword("Bea", &password));
  EXPECT_EQ(password, "");
}

TEST_F(RegisterDialogTest, APasswordWhoseStoredFormHoldsAZeroByteIsRefused) {
  Fill("Bea", ZeroBytePassword(), ZeroBytePassword());
  PressOk();
  ExpectOnlyMessage(boxes_, "This password cannot be used. Type a different password.",
                    "Register user", 0x30);
  ExpectPasswordsEmptiedAndFocused();
  EXPECT_FALSE(temp_.store().FindUser("Bea"));
}

TEST_F(RegisterDialogTest, APasswordTheStoreCannotTakeIsReportedAndCreatesNobody) {
  Fill("Bea", OverlongPassword(), OverlongPassword());
  PressOk();
  ExpectOnlyMessage(boxes_, "Unable to register user Bea.", "Register user", 0x30);
  EXPECT_TRUE(dialog_->isVisible());
  EXPECT_EQ(dialog_->result(), 0);
  EXPECT_FALSE(temp_.store().FindUser("Bea"));
  EXPECT_EQ(temp_.store().GetCycleStart("Anna"), 0);  // nobody else touched either

  // A usable password then registers her.
  Fill("Bea", "pw", "pw");
  PressOk();
  EXPECT_TRUE(boxes_.Calls().empty());
  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
}

TEST_F(RegisterDialogTest, CancelWritesNothing) {
  Fill("Bea", "pw", "pw");
  QTest::mouseClick(dialog_->CancelButton(), Qt::LeftButton);
  EXPECT_EQ(dialog_->result(), QDialog::Rejected);
  EXPECT_FALSE(temp_.store().FindUser("Bea"));
}

class ChangePasswordTest : public ::testing::Test {
 protected:
  void SetUp() override { temp_.AddUser("Anna", "old"); }
  void TearDown() override { test::Settle(); }

  void Fill(ChangePasswordDialog& dialog, const QString& old, const QString& fresh,
            const QString& confirmation) {
    test::Type(dialog.OldPasswordField(), old);
    test::Type(dialog.NewPasswordField(), fresh);
    test::Type(dialog.ConfirmationField(), confirmation);
    boxes_.Clear();
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
  }
  std::string Stored(const std::string& user) {
    std::string password;
    EXPECT_TRUE(temp_.store().GetPassword(user, &password));
    return password;
  }

  TempStore temp_;
  MessageBoxRecorder boxes_;
};

TEST_F(ChangePasswordTest, AWrongOldPasswordEmptiesOnlyTheOldField) {
  ChangePasswordDialog dialog(temp_.store(), "Anna");
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Change Lunaret password..."));
  Fill(dialog, "OLD", "new", "new");
  ExpectOnlyMessage(boxes_, "Old password is incorrect!", "Lunaret Change password...", 0x10);
  EXPECT_EQ(dialog.OldPasswordField()->text(), QString());
  EXPECT_EQ(dialog.NewPasswordField()->text(), QStringLiteral("new"));
  EXPECT_EQ(dialog.ConfirmationField()->text(), QStringLiteral("new"));
  EXPECT_EQ(dialog.focusWidget(), dialog.OldPasswordField());
  EXPECT_EQ(Stored("Anna"), "old");
}

TEST_F(ChangePasswordTest, MismatchAndZeroByteEmptyBothNewFields) {
  ChangePasswordDialog dialog(temp_.store(), "Anna");
  dialog.show();
  Fill(dialog, "old", "new", "New");
  ExpectOnlyMessage(boxes_, kMismatch, "Register user", 0x30);
  EXPECT_EQ(dialog.OldPasswordField()->text(), QStringLiteral("old"));
  EXPECT_EQ(dialog.NewPasswordField()->text(), QString());
  EXPECT_EQ(dialog.ConfirmationField()->text(), QString());
  EXPECT_EQ(dialog.focusWidget(), dialog.NewPasswordField());

  dialog.OldPasswordField()->clear();
  Fill(dialog, "old", ZeroBytePassword(), ZeroBytePassword());
  ExpectOnlyMessage(boxes_, "This password cannot be used. Type a different password.",
                    "Register user", 0x30);
  EXPECT_EQ(dialog.NewPasswordField()->text(), QString());
  EXPECT_EQ(dialog.focusWidget(), dialog.NewPasswordField());
  EXPECT_EQ(Stored("Anna"), "old");
  EXPECT_TRUE(dialog.isVisible());
}

TEST_F(ChangePasswordTest, UnknownUserAndUnwritablePasswordAreReported) {
  {
    ChangePasswordDialog dialog(temp_.store(), "Ghost");
    dialog.show();
    Fill(dialog, "", "a", "a");
    ExpectOnlyMessage(boxes_, "Invalid user!", "Lunaret Change password...", 0x10);
    EXPECT_TRUE(dialog.isVisible());
  }
  ChangePasswordDialog dialog(temp_.store(), "Anna");
  dialog.show();
  Fill(dialog, "old", OverlongPassword(), OverlongPassword());
  ExpectOnlyMessage(boxes_, "Unable to change password for user Anna.",
                    "Lunaret Change password...", 0x30);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(Stored("Anna"), "old");
}

TEST_F(ChangePasswordTest, TheNewPasswordIsStoredUnderAnySpellingOfTheName) {
  ChangePasswordDialog dialog(temp_.store(), "anna");
  dialog.show();
  Fill(dialog, "old", "", "");  // empty is allowed
  ExpectOnlyMessage(boxes_, "anna's password has been changed.", "Lunaret Change password...",
                    0x40);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Stored("Anna"), "");
}

TEST(PasswordPromptTest, AsksForTheNamedUserAndKeepsWhatWasTyped) {
  {
    PasswordPromptDialog prompt("anna");
    prompt.show();
    EXPECT_EQ(prompt.windowTitle(), QStringLiteral("Insert user password..."));
    EXPECT_EQ(prompt.Label()->text(), QStringLiteral("anna's password:"));
    EXPECT_EQ(prompt.PasswordField()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(prompt.PasswordField()->maxLength(), 255);
    EXPECT_TRUE(prompt.OkButton()->isDefault());
    test::Type(prompt.PasswordField(), "Secret");
    QTest::keyClick(prompt.PasswordField(), Qt::Key_Return);
    EXPECT_EQ(prompt.result(), QDialog::Accepted);
    EXPECT_EQ(prompt.EnteredPassword(), QStringLiteral("Secret"));
  }
  PasswordPromptDialog prompt("bea");
  prompt.show();
  test::Type(prompt.PasswordField(), "x");
  QTest::keyClick(prompt.PasswordField(), Qt::Key_Escape);
  EXPECT_EQ(prompt.result(), QDialog::Rejected);
  EXPECT_EQ(prompt.EnteredPassword(), QStringLiteral("x"));
  test::Settle();
}

class UserManagementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    temp_.AddUser("bea", "b");
    temp_.AddUser("Anna", "a");
    temp_.AddUser("Carla", "c");
  }
  void TearDown() override { test::Settle(); }

  QStringList Entries(const UserManagementDialog& dialog) {
    QStringList entries;
    for (int i = 0; i < dialog.UserList()->count(); ++i)
      entries << dialog.UserList()->item(i)->text();
    return entries;
  }
  void Select(UserManagementDialog& dialog, const QString& name) {
    const auto items = dialog.UserList()->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    const QRect rect = dialog.UserList()->visualItemRect(items.first());
    QTest::mouseClick(dialog.UserList()->viewport(), Qt::LeftButton, {}, rect.center());
    ASSERT_TRUE(items.first()->isSelected());
  }
  // Deletes the selected user, answering the question with `answer` and the prompt with
  // `password` (a null password cancels it). Returns how many prompts showed.
  int Delete(UserManagementDialog& dialog, int answer, const QString& password) {
    boxes_.Clear();
    boxes_.Answer(answer);
    test::DialogWatcher<PasswordPromptDialog> prompts([password](PasswordPromptDialog* prompt) {
      if (password.isNull()) {
        prompt->CancelButton()->click();
        return;
      }
      test::Type(prompt->PasswordField(), password);
      prompt->OkButton()->click();
    });
    QTest::mouseClick(dialog.DeleteButton(), Qt::LeftButton);
    return prompts.shown;
  }

  TempStore temp_;
  MessageBoxRecorder boxes_;
};

TEST_F(UserManagementTest, ListsUsersSortedAndEnablesCommandsOnSelection) {
  UserManagementDialog dialog(temp_.store(), "Anna");
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Lunaret User Managment"));
  EXPECT_EQ(Entries(dialog), (QStringList{"Anna", "bea", "Carla"}));
  EXPECT_TRUE(dialog.NewUserButton()->isEnabled());
  EXPECT_FALSE(dialog.ChangePasswordButton()->isEnabled());
  EXPECT_FALSE(dialog.DeleteButton()->isEnabled());
  EXPECT_EQ(dialog.UserList()->toolTip(), QStringLiteral("Lunaret users."));
  EXPECT_EQ(dialog.DeleteButton()->toolTip(), QStringLiteral("Delete user."));
  EXPECT_EQ(dialog.OkButton()->OwnTooltip(), QStringLiteral(" OK! "));

  Select(dialog, "bea");
  EXPECT_TRUE(dialog.ChangePasswordButton()->isEnabled());
  EXPECT_TRUE(dialog.DeleteButton()->isEnabled());
  dialog.UserList()->clearSelection();
  EXPECT_FALSE(dialog.DeleteButton()->isEnabled());
}

TEST_F(UserManagementTest, DeletingAnotherUserAsksThenPromptsThenRemovesHer) {
  UserManagementDialog dialog(temp_.store(), "Anna");
  dialog.show();
  Select(dialog, "bea");

  // No: nothing further, nothing deleted.
  EXPECT_EQ(Delete(dialog, kIdNo, "b"), 0);
  ExpectOnlyMessage(boxes_, "Are you sure you want to delete user \"bea\" ?", "Manage users", 0x34);
  EXPECT_TRUE(temp_.store().FindUser("bea"));

  // Yes, then the prompt cancelled.
  EXPECT_EQ(Delete(dialog, kIdYes, QString()), 1);
  EXPECT_EQ(boxes_.Calls().size(), 1u);
  EXPECT_TRUE(temp_.store().FindUser("bea"));

  // A wrong password.
  EXPECT_EQ(Delete(dialog, kIdYes, "B"), 1);
  ASSERT_EQ(boxes_.Calls().size(), 2u);
  EXPECT_EQ(boxes_.Calls()[1].text, QStringLiteral("The password is incorrect!"));
  EXPECT_EQ(boxes_.Calls()[1].title, QStringLiteral("Delete user"));
  EXPECT_EQ(boxes_.Calls()[1].flags, 0x10u);
  EXPECT_EQ(Entries(dialog), (QStringList{"Anna", "bea", "Carla"}));

  // The right one.
  EXPECT_EQ(Delete(dialog, kIdYes, "b"), 1);
  ASSERT_EQ(boxes_.Calls().size(), 2u);
  EXPECT_EQ(boxes_.Calls()[1].text, QStringLiteral("The user \"bea\" was successfully deleted."));
  EXPECT_EQ(boxes_.Calls()[1].title, QStringLiteral("Delete user"));
  EXPECT_EQ(boxes_.Calls()[1].flags, 0x40u);
  EXPECT_FALSE(temp_.store().FindUser("bea"));
  EXPECT_EQ(Entries(dialog), (QStringList{"Anna", "Carla"}));
  EXPECT_FALSE(dialog.LoggedInUserDeleted());

  // Nothing is selected, yet the buttons stay as they were until the selection changes, and
  // pressing them does nothing.
  EXPECT_TRUE(dialog.UserList()->selectedItems().isEmpty());
  EXPECT_TRUE(dialog.DeleteButton()->isEnabled());
  EXPECT_EQ(Delete(dialog, kIdYes, "a"), 0);
  EXPECT_TRUE(boxes_.Calls().empty());
  EXPECT_TRUE(temp_.store().FindUser("Anna"));
}

TEST_F(UserManagementTest, DeletingTheLoggedInUserIsReportedUnderAnySpelling) {
  {
    UserManagementDialog dialog(temp_.store(), "Anna");
    dialog.show();
    Select(dialog, "Anna");
    EXPECT_EQ(Delete(dialog, kIdYes, "a"), 1);
    EXPECT_TRUE(dialog.LoggedInUserDeleted());
  }
  {
    // Logged in as "carla", her key spelled "Carla": the account is gone all the same.
    UserManagementDialog dialog(temp_.store(), "carla");
    dialog.show();
    Select(dialog, "Carla");
    EXPECT_EQ(Delete(dialog, kIdYes, "c"), 1);
    EXPECT_FALSE(temp_.store().FindUser("Carla"));
    EXPECT_TRUE(dialog.LoggedInUserDeleted());
  }
}

TEST_F(UserManagementTest, NewUserAndChangePasswordOpenTheirDialogs) {
  UserManagementDialog dialog(temp_.store(), "Anna");
  dialog.show();
  {
    test::DialogWatcher<RegisterDialog> registrations([](RegisterDialog* registration) {
      EXPECT_EQ(registration->parentWidget(), nullptr);
      test::Type(registration->UserNameField(), "Bella");
      registration->OkButton()->click();
    });
    QTest::mouseClick(dialog.NewUserButton(), Qt::LeftButton);
    EXPECT_EQ(registrations.shown, 1);
  }
  EXPECT_EQ(Entries(dialog), (QStringList{"Anna", "bea", "Bella", "Carla"}));
  EXPECT_TRUE(temp_.store().FindUser("Bella"));

  // Without a selection Change password does nothing; with one it opens for that user.
  {
    test::DialogWatcher<ChangePasswordDialog> changes;
    dialog.ChangePasswordButton()->setEnabled(true);
    QTest::mouseClick(dialog.ChangePasswordButton(), Qt::LeftButton);
    EXPECT_EQ(changes.shown, 0);
  }
  Select(dialog, "Carla");
  test::DialogWatcher<ChangePasswordDialog> changes([&dialog](ChangePasswordDialog* change) {
    EXPECT_EQ(change->UserName(), QStringLiteral("Carla"));
    EXPECT_EQ(change->parentWidget(), &dialog);
    change->CancelButton()->click();
  });
  QTest::mouseClick(dialog.ChangePasswordButton(), Qt::LeftButton);
  EXPECT_EQ(changes.shown, 1);
}

}  // namespace
}  // namespace lunaret
