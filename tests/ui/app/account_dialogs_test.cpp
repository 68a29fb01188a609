// The account dialogs: registration, password change, the password prompt and user management.
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
const QString kUnusable =
    QStringLiteral("This password cannot be used. Type a different password.");

class RegisterDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ScrambledFormHasZeroByte(ToStore(ZeroBytePassword())));
    ASSERT_FALSE(ScrambledFormHasZeroByte(ToStore(OverlongPassword())));
    ASSERT_GT(ToStore(OverlongPassword()).size(), UserStore::kMaxPasswordBytes);
    temp_.AddUser("Anna", "1");
    dialog_ = std::make_unique<RegisterDialog>(store_);
    dialog_->show();
  }
  void TearDown() override {
    dialog_.reset();
    test::Settle();
  }

  // Fills the fields anew and presses OK.
  void Submit(const QString& name, const QString& password, const QString& confirmation) {
    dialog_->UserNameField()->setText(name);
    dialog_->PasswordField()->setText(password);
    dialog_->ConfirmationField()->setText(confirmation);
    boxes_.Clear();
    recording_.written.clear();
    QTest::mouseClick(dialog_->OkButton(), Qt::LeftButton);
  }

  TempStore temp_;
  test::FaultyRegistry recording_{temp_.registry()};
  UserStore store_{recording_};
  MessageBoxRecorder boxes_;
  std::unique_ptr<RegisterDialog> dialog_;
};

// Each row fails its check and, where it can, the later ones too: the first check wins. A refused
// name is focused with its whole untrimmed text selected; refused passwords are emptied and
// focused. Nobody is created, and the store refusing the password touches nobody else either.
TEST_F(RegisterDialogTest, ChecksRunInOrderAndEachKeepsTheDialogOpen) {
  enum Refused { kName, kPasswords, kNeither };
  struct Case {
    QString name, password, confirmation, text;
    const char* title;
    unsigned flags;
    Refused refused;
  };
  const Case cases[] = {
      {" \t ", "a", "b", "User name cannot be empty.", "Register new user", 0x10, kName},
      {"  an.na ", "a", "b",
       "The name an.na cannot be used. Names may not consist entirely of periods and/or spaces, "
       "or contain these characters:\n\" \\ / [ ] : < > + = ; , . ? * @ ' ",
       "Register new user", 0x10, kName},
      {" ANNA ", "a", "b", "This user already exists. Type different user name.", "Register user",
       0x30, kName},
      {"Bea", "secret", "Secret", kMismatch, "Register user", 0x30, kPasswords},
      {"Bea", ZeroBytePassword(), ZeroBytePassword(), kUnusable, "Register user", 0x30, kPasswords},
      {"Bea", OverlongPassword(), OverlongPassword(), "Unable to register user Bea.",
       "Register user", 0x30, kNeither},
  };
  EXPECT_EQ(dialog_->focusWidget(), dialog_->UserNameField());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    Submit(c.name, c.password, c.confirmation);
    ExpectOnlyMessage(boxes_, c.text, c.title, c.flags);
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(dialog_->UserNameField()->text(), c.name);
    if (c.refused == kName) {
      EXPECT_EQ(dialog_->focusWidget(), dialog_->UserNameField());
      EXPECT_EQ(dialog_->UserNameField()->selectedText(), c.name);
    } else if (c.refused == kPasswords) {
      EXPECT_EQ(dialog_->PasswordField()->text(), QString());
      EXPECT_EQ(dialog_->ConfirmationField()->text(), QString());
      EXPECT_EQ(dialog_->focusWidget(), dialog_->PasswordField());
    }
    EXPECT_FALSE(temp_.store().FindUser("Bea"));
    EXPECT_EQ(temp_.store().GetCycleStart("Anna"), 0);
  }
}

TEST_F(RegisterDialogTest, EveryForbiddenCharacterIsRefusedAnywhereInTheName) {
  for (const char* c = RegisterDialog::kForbiddenCharacters; *c != '\0'; ++c) {
    const QString name = QStringLiteral("a") + QLatin1Char(*c) + QStringLiteral("b");
    Submit(name, "", "");
    ASSERT_EQ(boxes_.Calls().size(), 1u) << *c;
    EXPECT_EQ(boxes_.Calls()[0].text, RegisterDialog::ForbiddenNameMessage(name));
    EXPECT_FALSE(temp_.store().FindUser(ToStore(name)));
  }
}

TEST_F(RegisterDialogTest, TheTrimmedNameIsWrittenWithPasswordFirstDayAndDurationInOrder) {
  const auto before = static_cast<TimeValue>(std::time(nullptr));
  Submit("  Mary Ann\t", "", "");  // empty passwords are allowed
  const auto after = static_cast<TimeValue>(std::time(nullptr));
  EXPECT_TRUE(boxes_.Calls().empty());
  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
  EXPECT_EQ(dialog_->RegisteredName(), QStringLiteral("Mary Ann"));
  EXPECT_EQ(recording_.written, (std::vector<std::string>{"", "data", "duration"}));
  std::string password = "unread";
  ASSERT_TRUE(temp_.store().GetPassword("Mary Ann", &password));
  EXPECT_EQ(password, "");
  EXPECT_EQ(temp_.store().GetDuration("Mary Ann"), "29");
  EXPECT_GE(temp_.store().GetCycleStart("Mary Ann"), before);
  EXPECT_LE(temp_.store().GetCycleStart("Mary Ann"), after);
  EXPECT_EQ(temp_.store().GetStatisticsLength("Mary Ann"), 0u);
}

TEST(ChangePasswordTest, EachCheckRefusesWithItsMessageAndTheRightOneStores) {
  enum Emptied { kNone, kOld, kNew };
  struct Case {
    const char* user;
    QString old, fresh, confirmation;
    QString text;
    const char* title;
    unsigned flags;
    Emptied emptied;  // the field emptied and focused
    const char* stored;
  };
  const char* const kTitle = "Lunaret Change password...";
  const Case cases[] = {
      {"Anna", "OLD", "new", "new", "Old password is incorrect!", kTitle, 0x10, kOld, "old"},
      {"Anna", "old", "new", "New", kMismatch, "Register user", 0x30, kNew, "old"},
      {"Anna", "old", ZeroBytePassword(), ZeroBytePassword(), kUnusable, "Register user", 0x30,
       kNew, "old"},
      {"Ghost", "", "a", "a", "Invalid user!", kTitle, 0x10, kNone, "old"},
      {"Anna", "old", OverlongPassword(), OverlongPassword(),
       "Unable to change password for user Anna.", kTitle, 0x30, kNone, "old"},
      // Stored under any spelling of the name; an empty password is allowed.
      {"anna", "old", "", "", "anna's password has been changed.", kTitle, 0x40, kNone, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    TempStore temp;
    temp.AddUser("Anna", "old");
    MessageBoxRecorder boxes;
    ChangePasswordDialog dialog(temp.store(), c.user);
    dialog.show();
    test::Type(dialog.OldPasswordField(), c.old);
    test::Type(dialog.NewPasswordField(), c.fresh);
    test::Type(dialog.ConfirmationField(), c.confirmation);
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);

    ExpectOnlyMessage(boxes, c.text, c.title, c.flags);
    EXPECT_EQ(dialog.isVisible(), c.flags != 0x40);
    if (c.emptied != kNone) {
      EXPECT_EQ(dialog.OldPasswordField()->text(), c.emptied == kOld ? QString() : c.old);
      EXPECT_EQ(dialog.NewPasswordField()->text(), c.emptied == kNew ? QString() : c.fresh);
      EXPECT_EQ(dialog.ConfirmationField()->text(), c.emptied == kNew ? QString() : c.confirmation);
      EXPECT_EQ(dialog.focusWidget(),
                c.emptied == kOld ? dialog.OldPasswordField() : dialog.NewPasswordField());
    }
    std::string password;
    EXPECT_TRUE(temp.store().GetPassword("Anna", &password));
    EXPECT_EQ(password, c.stored);
  }
  test::Settle();
}

TEST(PasswordPromptTest, AsksForTheNamedUserAndKeepsWhatWasTyped) {
  PasswordPromptDialog prompt("anna");
  prompt.show();
  EXPECT_EQ(prompt.Label()->text(), QStringLiteral("anna's password:"));
  EXPECT_EQ(prompt.PasswordField()->echoMode(), QLineEdit::Password);
  EXPECT_NE(prompt.OkButton()->Theme(), nullptr);
  test::Type(prompt.PasswordField(), "Secret");
  QTest::keyClick(prompt.PasswordField(), Qt::Key_Return);
  EXPECT_EQ(prompt.result(), QDialog::Accepted);
  EXPECT_EQ(prompt.EnteredPassword(), QStringLiteral("Secret"));
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
    dialog.UserList()->setCurrentItem(items.first());
  }
  // Deletes the selected user, answering the question with `answer` and the prompt with
  // `password` (a null password cancels it). Returns how many prompts showed.
  int Delete(UserManagementDialog& dialog, int answer, const QString& password) {
    boxes_.Clear();
    boxes_.Answer(answer);
    test::DialogWatcher<PasswordPromptDialog> prompts([password](PasswordPromptDialog* prompt) {
      if (password.isNull())
        return prompt->CancelButton()->click();
      test::Type(prompt->PasswordField(), password);
      prompt->OkButton()->click();
    });
    QTest::mouseClick(dialog.DeleteButton(), Qt::LeftButton);
    return prompts.shown;
  }

  TempStore temp_;
  MessageBoxRecorder boxes_;
};

// Sorted by the user's locale without regard to letter case: Ä beside A, not after Z.
TEST_F(UserManagementTest, ListsUsersSortedAndEnablesCommandsOnSelection) {
  const test::ScopedDefaultLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
  for (const char* name : {"Zoe", "Änne", "Bob"})
    temp_.AddUser(name, "z");
  UserManagementDialog dialog(temp_.store(), "Anna");
  dialog.show();
  EXPECT_EQ(Entries(dialog), QStringList({"Anna", "Änne", "bea", "Bob", "Carla", "Zoe"}));
  EXPECT_TRUE(dialog.NewUserButton()->isEnabled());
  EXPECT_FALSE(dialog.ChangePasswordButton()->isEnabled());
  EXPECT_FALSE(dialog.DeleteButton()->isEnabled());

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

  // A wrong password, then the right one.
  struct Step {
    const char* password;
    const char* text;
    unsigned flags;
  };
  for (const Step& step : {Step{"B", "The password is incorrect!", 0x10},
                           Step{"b", "The user \"bea\" was successfully deleted.", 0x40}}) {
    EXPECT_EQ(Delete(dialog, kIdYes, step.password), 1);
    ASSERT_EQ(boxes_.Calls().size(), 2u);
    EXPECT_EQ(boxes_.Calls()[1].text, QString::fromUtf8(step.text));
    EXPECT_EQ(boxes_.Calls()[1].title, QStringLiteral("Delete user"));
    EXPECT_EQ(boxes_.Calls()[1].flags, step.flags);
  }
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

// The store keeps the user (another copy holds it): said so, and she stays listed and logged in.
TEST_F(UserManagementTest, ADeletionTheStoreRefusesIsReportedAndChangesNothing) {
  test::FaultyRegistry refusing(temp_.registry());
  refusing.refuseDelete = true;
  UserStore store(refusing);
  UserManagementDialog dialog(store, "bea");
  dialog.show();
  Select(dialog, "bea");
  EXPECT_EQ(Delete(dialog, kIdYes, "b"), 1);
  ASSERT_EQ(boxes_.Calls().size(), 2u);
  EXPECT_EQ(boxes_.Calls()[1].text, QStringLiteral("Unable to delete user bea."));
  EXPECT_EQ(boxes_.Calls()[1].title, QStringLiteral("Delete user"));
  EXPECT_EQ(boxes_.Calls()[1].flags, 0x30u);
  EXPECT_TRUE(temp_.store().FindUser("bea"));
  EXPECT_EQ(Entries(dialog), (QStringList{"Anna", "bea", "Carla"}));
  EXPECT_FALSE(dialog.LoggedInUserDeleted());
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
  test::DialogWatcher<ChangePasswordDialog> changes([&dialog](ChangePasswordDialog* change) {
    EXPECT_EQ(change->UserName(), QStringLiteral("Carla"));
    EXPECT_EQ(change->parentWidget(), &dialog);
    change->CancelButton()->click();
  });
  dialog.ChangePasswordButton()->setEnabled(true);
  QTest::mouseClick(dialog.ChangePasswordButton(), Qt::LeftButton);
  EXPECT_EQ(changes.shown, 0);
  Select(dialog, "Carla");
  QTest::mouseClick(dialog.ChangePasswordButton(), Qt::LeftButton);
  EXPECT_EQ(changes.shown, 1);
}

}  // namespace
}  // namespace lunaret
