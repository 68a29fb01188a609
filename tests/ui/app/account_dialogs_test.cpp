// The account dialogs: registration, password change, the password prompt and user management.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <optional>

#include "app/change_password_dialog.h"
#include "app/password_prompt_dialog.h"
#include "app/register_dialog.h"
#include "app/user_management_dialog.h"
#include "controls/hover_button.h"
#include "controls/ui_support.h"
#include "ui_test_support.h"

namespace lunaret {
namespace {

// Passwords in the store's encoding: UTF-8, or the ANSI code page on Windows (1252 under the
// tests). One whose stored form holds a zero byte: "¿" ends in the byte 0xBF in both, and the
// store raises byte 66 of the reversed password by 65, to 0x100; as many a's follow it as put it
// there (65 in UTF-8, 66 in code page 1252).
const QString kZeroByte = [] {
  const QString mark = QString::fromUtf8("\xC2\xBF");
  return mark + QString(67 - static_cast<int>(ToStore(mark).size()), QLatin1Char('a'));
}();
// 128 characters that are 256 bytes in UTF-8: one byte more than a stored password may have, so
// the store refuses it. Code page 1252 has no "Ω": there the password cannot be stored as typed.
const QString kOverlong(128, QChar(0x03A9));
const bool kOverlongStored = StoresExactly(kOverlong);
const QString kMismatch =
    "The passwords you typed do not much. Type new passwords in both text boxes. | Register user "
    "| 0x30";
const QString kUnusable =
    "This password cannot be used. Type a different password. | Register user | 0x30";

TEST(RegisterDialogTest, ChecksRunInOrderAndOnlyAValidNameAndPasswordAreWrittenInOrder) {
  test::TempStore temp;
  temp.AddUser("Anna", "1");
  test::FaultyRegistry recording(temp.registry());
  UserStore store(recording);
  test::MessageBoxRecorder boxes;
  RegisterDialog dialog(store);
  dialog.show();
  EXPECT_EQ(dialog.focusWidget(), dialog.UserNameField());
  // Each row fails its check and, where it can, the later ones too: the first check wins. A
  // refused name is focused with its whole untrimmed text selected; refused passwords are
  // emptied and focused. Nobody is created, and the store refusing the password touches nobody.
  enum Refused { kName, kPasswords, kNeither };
  const std::tuple<QString, QString, QString, QString, Refused> cases[] = {
      {" \t ", "a", "b", "User name cannot be empty. | Register new user | 0x10", kName},
      {"  an.na ", "a", "b",
       "The name an.na cannot be used. Names may not consist entirely of periods and/or spaces, "
       "or contain these characters:\n\" \\ / [ ] : < > + = ; , . ? * @ '  | Register new user | "
       "0x10",
       kName},
      {" ANNA ", "a", "b",
       "This user already exists. Type different user name. | Register user | 0x30", kName},
      {"Bea", "secret", "Secret", kMismatch, kPasswords},
      {"Bea", kZeroByte, kZeroByte, kUnusable, kPasswords},
      {"Bea", kOverlong, kOverlong,
       kOverlongStored ? "Unable to register user Bea. | Register user | 0x30" : kUnusable,
       kOverlongStored ? kNeither : kPasswords},
  };
  auto submit = [&](const QString& name, const QString& password, const QString& confirmation) {
    dialog.UserNameField()->setText(name);
    dialog.PasswordField()->setText(password);
    dialog.ConfirmationField()->setText(confirmation);
    boxes.Clear();
    recording.written.clear();
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
  };
  for (const auto& [name, password, confirmation, shown, refused] : cases) {
    SCOPED_TRACE(shown.toStdString());
    submit(name, password, confirmation);
    EXPECT_EQ(boxes.Shown(), shown);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.UserNameField()->text(), name);
    if (refused == kName) {
      EXPECT_EQ(dialog.focusWidget(), dialog.UserNameField());
      EXPECT_EQ(dialog.UserNameField()->selectedText(), name);
    } else if (refused == kPasswords) {
      EXPECT_EQ(dialog.PasswordField()->text() + dialog.ConfirmationField()->text(), "");
      EXPECT_EQ(dialog.focusWidget(), dialog.PasswordField());
    }
    EXPECT_FALSE(temp.store().FindUser("Bea"));
    EXPECT_EQ(temp.store().GetCycleStart("Anna"), 0);
  }
  for (const QChar c : QStringLiteral("\"\\/[]:<>+=;,.?*@'")) {
    submit(QStringLiteral("a%1b").arg(c), "", "");
    EXPECT_TRUE(boxes.Shown().startsWith("The name a" + QString(c) + "b cannot be used."))
        << c.toLatin1();
  }

  const auto before = static_cast<TimeValue>(std::time(nullptr));
  submit("  Mary Ann\t", "", "");  // empty passwords are allowed
  EXPECT_EQ(boxes.Shown(), "");
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.RegisteredName(), QStringLiteral("Mary Ann"));
  EXPECT_EQ(recording.written, (std::vector<std::string>{"", "data", "duration"}));
  std::string password = "unread";
  EXPECT_TRUE(temp.store().GetPassword("Mary Ann", &password) && password.empty()) << password;
  EXPECT_EQ(temp.store().GetDuration("Mary Ann"), "29");
  EXPECT_GE(temp.store().GetCycleStart("Mary Ann"), before);
  EXPECT_LE(temp.store().GetCycleStart("Mary Ann"), static_cast<TimeValue>(std::time(nullptr)));
}

TEST(ChangePasswordTest, EachCheckRefusesWithItsMessageAndTheRightOneStores) {
  enum Emptied { kNone, kOld, kNew };  // the field emptied and focused
  const QString title = " | Lunaret Change password... | ";
  using Case = std::tuple<const char*, QString, QString, QString, QString, Emptied, const char*>;
  const Case cases[] = {
      {"Anna", "OLD", "new", "new", "Old password is incorrect!" + title + "0x10", kOld, "old"},
      {"Anna", "old", "new", "New", kMismatch, kNew, "old"},
      {"Anna", "old", kZeroByte, kZeroByte, kUnusable, kNew, "old"},
      {"Ghost", "", "a", "a", "Invalid user!" + title + "0x10", kNone, "old"},
      {"Anna", "old", kOverlong, kOverlong,
       kOverlongStored ? "Unable to change password for user Anna." + title + "0x30" : kUnusable,
       kOverlongStored ? kNone : kNew, "old"},
      // Stored under any spelling of the name; an empty password is allowed.
      {"anna", "old", "", "", "anna's password has been changed." + title + "0x40", kNone, ""},
  };
  for (const auto& [user, old, fresh, confirmation, shown, emptied, stored] : cases) {
    SCOPED_TRACE(shown.toStdString());
    test::TempStore temp;
    temp.AddUser("Anna", "old");
    test::MessageBoxRecorder boxes;
    ChangePasswordDialog dialog(temp.store(), user);
    dialog.show();
    test::Type(dialog.OldPasswordField(), old);
    test::Type(dialog.NewPasswordField(), fresh);
    test::Type(dialog.ConfirmationField(), confirmation);
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(boxes.Shown(), shown);
    EXPECT_EQ(dialog.isVisible(), !shown.endsWith("0x40"));
    if (emptied != kNone) {
      EXPECT_EQ(dialog.OldPasswordField()->text(), emptied == kOld ? QString() : old);
      EXPECT_EQ(dialog.NewPasswordField()->text() + dialog.ConfirmationField()->text(),
                emptied == kNew ? QString() : fresh + confirmation);
      EXPECT_EQ(dialog.focusWidget(),
                emptied == kOld ? dialog.OldPasswordField() : dialog.NewPasswordField());
    }
    std::string password;
    EXPECT_TRUE(temp.store().GetPassword("Anna", &password) && password == stored) << password;
  }
}

// Anna, Änne, bea and Carla, each with her initial as password, managed while Anna is logged
// in; the user's locale is English.
class UserManagementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"bea", "Anna", "Carla", "Änne"}) {  // in the store's encoding
      const QString text = QString::fromUtf8(name);
      temp_.AddUser(ToStore(text), ToStore(text.left(1).toLower()));
    }
    dialog_.emplace(temp_.store(), "Anna");
    dialog_->show();
  }

  QStringList Entries() {
    QStringList entries;
    for (int i = 0; i < dialog_->UserList()->count(); ++i)
      entries << dialog_->UserList()->item(i)->text();
    return entries;
  }
  void Select(const QString& name) {
    dialog_->UserList()->setCurrentItem(dialog_->UserList()->findItems(name, Qt::MatchExactly)[0]);
  }
  // Deletes the selected user, answering the question with `answer` and the prompt with
  // `password` (a null password cancels it). Returns how many prompts showed.
  int Delete(int answer, const QString& password) {
    boxes_.Clear();
    boxes_.Answer(answer);
    test::DialogWatcher<PasswordPromptDialog> prompts([password](PasswordPromptDialog* prompt) {
      if (password.isNull())
        return prompt->CancelButton()->click();
      EXPECT_EQ(prompt->Label()->text(), QStringLiteral("bea's password:"));
      test::Type(prompt->PasswordField(), password);
      QTest::keyClick(prompt->PasswordField(), Qt::Key_Return);
    });
    QTest::mouseClick(dialog_->DeleteButton(), Qt::LeftButton);
    return prompts.shown;
  }

  const test::ScopedDefaultLocale english_{QLocale(QLocale::English, QLocale::UnitedStates)};
  test::TempStore temp_;
  test::MessageBoxRecorder boxes_;
  std::optional<UserManagementDialog> dialog_;
};

// The list follows the user's locale, letter case aside: Ä beside A in English, after Z in
// Swedish, and by code in the C locale.
TEST_F(UserManagementTest, UsersAreListedInTheOrderOfTheUsersLocale) {
  const std::pair<QLocale, QStringList> orders[] = {
      {QLocale(QLocale::English, QLocale::UnitedStates), {"Anna", "Änne", "bea", "Carla"}},
      {QLocale(QLocale::Swedish, QLocale::Sweden), {"Anna", "bea", "Carla", "Änne"}},
      {QLocale::c(), {"Anna", "bea", "Carla", "Änne"}}};
  for (const auto& [locale, order] : orders) {
    const test::ScopedDefaultLocale scoped(locale);
    dialog_.emplace(temp_.store(), "bea");
    EXPECT_EQ(Entries(), order) << locale.name().toStdString();
  }
}

TEST_F(UserManagementTest, DeletingAsksPromptsAndRemovesTheUserAndTheOtherButtonsOpenDialogs) {
  EXPECT_EQ(dialog_->DeleteButton()->toolTip(), "Delete user.");
  EXPECT_FALSE(dialog_->ChangePasswordButton()->isEnabled() ||
               dialog_->DeleteButton()->isEnabled());
  Select("bea");
  EXPECT_TRUE(dialog_->ChangePasswordButton()->isEnabled() && dialog_->DeleteButton()->isEnabled());
  const QString question = "Are you sure you want to delete user \"bea\" ? | Manage users | 0x34\n";
  // No, then Yes with the prompt cancelled: nothing further, nothing deleted. Then a wrong
  // password, then the right one.
  const std::tuple<int, QString, int, QString> steps[] = {
      {kIdNo, "b", 0, ""},
      {kIdYes, QString(), 1, ""},
      {kIdYes, "B", 1, "The password is incorrect! | Delete user | 0x10"},
      {kIdYes, "b", 1, "The user \"bea\" was successfully deleted. | Delete user | 0x40"}};
  for (const auto& [answer, password, prompts, shown] : steps) {
    EXPECT_TRUE(temp_.store().FindUser("bea"));
    EXPECT_EQ(Delete(answer, password), prompts);
    EXPECT_EQ(boxes_.Shown(), (question + shown).trimmed());
  }
  EXPECT_FALSE(temp_.store().FindUser("bea"));
  EXPECT_EQ(Entries(), QStringList({"Anna", "Änne", "Carla"}));
  EXPECT_FALSE(dialog_->LoggedInUserDeleted());
  // Nothing is selected, yet the buttons stay as they were until the selection changes, and
  // pressing them does nothing; with a selection Change password opens for that user.
  EXPECT_TRUE(dialog_->UserList()->selectedItems().isEmpty());
  EXPECT_TRUE(dialog_->DeleteButton()->isEnabled());
  EXPECT_EQ(Delete(kIdYes, "a"), 0);
  EXPECT_TRUE(boxes_.Calls().empty());
  test::DialogWatcher<ChangePasswordDialog> changes([this](ChangePasswordDialog* change) {
    EXPECT_EQ(change->UserName(), QStringLiteral("Carla"));
    EXPECT_EQ(change->parentWidget(), &*dialog_);
    change->CancelButton()->click();
  });
  QTest::mouseClick(dialog_->ChangePasswordButton(), Qt::LeftButton);
  EXPECT_EQ(changes.shown, 0);
  Select("Carla");
  QTest::mouseClick(dialog_->ChangePasswordButton(), Qt::LeftButton);
  EXPECT_EQ(changes.shown, 1);
  // New user registers without a parent and lists the name in its place.
  test::DialogWatcher<RegisterDialog> registrations([](RegisterDialog* registration) {
    EXPECT_EQ(registration->parentWidget(), nullptr);
    test::Type(registration->UserNameField(), "Bella");
    registration->OkButton()->click();
  });
  QTest::mouseClick(dialog_->NewUserButton(), Qt::LeftButton);
  EXPECT_EQ(Entries(), QStringList({"Anna", "Änne", "Bella", "Carla"}));
  EXPECT_TRUE(temp_.store().FindUser("Bella"));
}

// The store keeps the user (another copy holds it): the wait cursor shows while it waits, the
// refusal is said, and she stays listed and logged in.
TEST_F(UserManagementTest, ADeletionTheStoreRefusesIsReportedAndChangesNothing) {
  test::FaultyRegistry refusing(temp_.registry());
  refusing.refuseDelete = true;
  UserStore store(refusing);
  dialog_.emplace(store, "bea");
  dialog_->show();
  Select("bea");
  EXPECT_EQ(Delete(kIdYes, "b"), 1);
  EXPECT_TRUE(boxes_.Shown().endsWith("\nUnable to delete user bea. | Delete user | 0x30"));
  EXPECT_EQ(refusing.cursorAtDelete, Qt::WaitCursor);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(temp_.store().FindUser("bea"));
  EXPECT_EQ(Entries(), QStringList({"Anna", "Änne", "bea", "Carla"}));
  EXPECT_FALSE(dialog_->LoggedInUserDeleted());
  dialog_.reset();  // before the store it works on
}

}  // namespace
}  // namespace lunaret
