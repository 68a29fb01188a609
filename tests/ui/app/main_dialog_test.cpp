// The main window: the session's state table walked transition by transition with the prompts
// answered through the message-box hook and the dialogs it opens answered inside their real
// exec() loops, saving, and the account commands.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>
#include <tuple>

#include <gtest/gtest.h>

#include "app/change_password_dialog.h"
#include "app/login_dialog.h"
#include "app/main_dialog.h"
#include "app/password_prompt_dialog.h"
#include "app/user_management_dialog.h"
#include "app_test_support.h"
#include "controls/about_dialog.h"
#include "controls/hover_button.h"
#include "controls/ui_support.h"
#include "pages/general_page.h"

namespace lunaret {
namespace {

using test::DialogWatcher;

// kClosedOk and kClosedCancel: the window has ended with Accepted or Rejected.
enum class State { kClean, kModified, kLoggedOff, kClosedOk, kClosedCancel };

// The ways to save or leave besides the menu commands.
constexpr int kExitButton = -1;
constexpr int kEscape = -2;
constexpr int kCloseBox = -3;
constexpr int kEnterInPage = -4;
constexpr int kOkCommand = -5;
constexpr int kSaveButton = -6;

// The question a command asks while the pages hold changes: text, title and flags.
std::tuple<QString, QString, unsigned> PromptOf(int command) {
  if (command == MainDialog::kCmdDiscardChanges)
    return {"Are you sure you want to discard all changes and revert data ?",
            "Lunaret discard changes...", 0x34};
  if (command == MainDialog::kCmdLogIn)
    return {"Save changes before Log In ?", "Lunaret LogOff...", 0x33};
  if (command == MainDialog::kCmdLogOff)
    return {"Save changes before Log Off ?", "Lunaret LogOff...", 0x33};
  return {"Save changes before exit ?", "Exit Lunaret...", 0x33};
}

class MainDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    temp_.AddUser("Anna", "a", 1700000000);
    temp_.AddUser("Bea", "b", 1700000000);
    temp_.store().SetDuration("Bea", "33");
  }
  void TearDown() override {
    main_.reset();
    test::Settle();
  }

  void Open(UserStore& store, const QString& user = QStringLiteral("Anna")) {
    main_ = std::make_unique<MainDialog>(store, user);
    main_->show();
  }
  QLineEdit* Duration() { return FindControlAs<QLineEdit>(main_->General(), 1009); }
  // The user types a new forecast duration on the General page.
  void ChangeDuration(const QString& text) {
    QLineEdit* box = Duration();
    ASSERT_NE(box, nullptr);
    box->setFocus();
    box->selectAll();
    test::Type(box, text);
    ASSERT_EQ(box->text(), text);
  }
  std::string Stored() { return temp_.store().GetDuration("Anna"); }
  void Run(int command) {
    switch (command) {
      case kExitButton:
        return QTest::mouseClick(main_->ExitButton(), Qt::LeftButton);
      case kEscape:
        return QTest::keyClick(main_.get(), Qt::Key_Escape);
      case kCloseBox:
        main_->close();
        return;
      case kEnterInPage:
        return QTest::keyClick(Duration(), Qt::Key_Return);
      case kOkCommand:
        return main_->OnOK();
      case kSaveButton:
        return QTest::mouseClick(main_->SaveButton(), Qt::LeftButton);
      default:
        main_->Command(command)->trigger();
    }
  }

  void ExpectState(State state, const QString& user = QStringLiteral("Anna")) {
    MainDialog& main = *main_;
    if (state == State::kClosedOk || state == State::kClosedCancel) {
      EXPECT_FALSE(main.isVisible());
      EXPECT_EQ(main.result(), state == State::kClosedOk ? QDialog::Accepted : QDialog::Rejected);
      return;
    }
    const bool loggedIn = state != State::kLoggedOff;
    const bool modified = state == State::kModified;
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(main.IsModified(), modified);
    EXPECT_EQ(main.UserName(), loggedIn ? user : QString());
    EXPECT_EQ(main.windowTitle(), loggedIn ? QStringLiteral("Vessa Calendar :) - ") + user
                                           : QStringLiteral("Vessa Calendar :)"));
    EXPECT_EQ(main.OkButton()->isEnabled(), loggedIn);
    EXPECT_EQ(main.SaveButton()->isEnabled(), modified);
    EXPECT_EQ(main.Command(MainDialog::kCmdLogOff)->isEnabled(), loggedIn);
    EXPECT_EQ(main.Command(MainDialog::kCmdChangePassword)->isEnabled(), loggedIn);
    EXPECT_EQ(main.Command(MainDialog::kCmdDiscardChanges)->isEnabled(), modified);
    for (int always : {MainDialog::kCmdLogIn, MainDialog::kCmdExit, MainDialog::kCmdUserManagement,
                       MainDialog::kCmdAbout})
      EXPECT_TRUE(main.Command(always)->isEnabled()) << always;
    EXPECT_EQ(Duration()->isEnabled(), loggedIn);
  }

  test::TempStore temp_;
  test::MessageBoxRecorder boxes_;
  std::unique_ptr<MainDialog> main_;
};

// Each row starts from a fresh window in its state (modified: the duration typed as 31 over the
// stored 29), runs one command, answers its prompt and the login dialog, and checks the state,
// what the General page shows and what Anna has in the store.
TEST_F(MainDialogTest, StateTableWalkedTransitionByTransition) {
  struct Transition {
    State from;
    int command;
    int answer;         // to the prompt; 0: no prompt may show
    const char* login;  // the name the login dialog is answered with, "" for Exit; null: none
    State to;
    const char* user;   // logged in afterwards
    const char* shown;  // the duration on the General page; null: not looked at
    const char* stored;
  };
  using S = State;
  using M = MainDialog;
  const Transition table[] = {
      // Clean: nothing asks.
      {S::kClean, M::kCmdDiscardChanges, 0, nullptr, S::kClean, "Anna", "29", "29"},
      {S::kClean, M::kCmdLogOff, 0, nullptr, S::kLoggedOff, "", nullptr, "29"},
      {S::kClean, M::kCmdLogIn, 0, "Bea", S::kClean, "Bea", "33", "29"},
      {S::kClean, M::kCmdExit, 0, nullptr, S::kClosedOk, "", nullptr, "29"},
      {S::kClean, kEscape, 0, nullptr, S::kClosedCancel, "", nullptr, "29"},
      // Modified: every answer does its part.
      {S::kModified, kSaveButton, 0, nullptr, S::kClean, "Anna", "31", "31"},
      {S::kModified, M::kCmdDiscardChanges, kIdNo, nullptr, S::kModified, "Anna", "31", "29"},
      {S::kModified, M::kCmdDiscardChanges, kIdYes, nullptr, S::kClean, "Anna", "29", "29"},
      {S::kModified, M::kCmdLogOff, kIdCancel, nullptr, S::kModified, "Anna", "31", "29"},
      {S::kModified, M::kCmdLogOff, kIdNo, nullptr, S::kLoggedOff, "", nullptr, "29"},
      {S::kModified, M::kCmdLogOff, kIdYes, nullptr, S::kLoggedOff, "", nullptr, "31"},
      {S::kModified, M::kCmdLogIn, kIdCancel, nullptr, S::kModified, "Anna", "31", "29"},
      // Yes saves; the login then cancelled leaves Save enabled.
      {S::kModified, M::kCmdLogIn, kIdYes, "", S::kModified, "Anna", "31", "31"},
      {S::kModified, M::kCmdLogIn, kIdNo, "bea", S::kClean, "bea", "33", "29"},
      {S::kModified, M::kCmdLogIn, kIdNo, "anna", S::kClean, "anna", "29", "29"},  // reloads
      {S::kModified, M::kCmdExit, kIdCancel, nullptr, S::kModified, "Anna", "31", "29"},
      {S::kModified, M::kCmdExit, kIdNo, nullptr, S::kClosedOk, "", nullptr, "29"},
      {S::kModified, M::kCmdExit, kIdYes, nullptr, S::kClosedOk, "", nullptr, "31"},
      {S::kModified, kExitButton, kIdCancel, nullptr, S::kModified, "Anna", "31", "29"},
      {S::kModified, kEscape, kIdNo, nullptr, S::kClosedCancel, "", nullptr, "29"},
      {S::kModified, kCloseBox, kIdYes, nullptr, S::kClosedCancel, "", nullptr, "31"},
      {S::kModified, kEnterInPage, 0, nullptr, S::kClosedOk, "", nullptr, "31"},
      // Logged off: the OK command is off.
      {S::kLoggedOff, M::kCmdLogIn, 0, "", S::kLoggedOff, "", nullptr, "29"},
      {S::kLoggedOff, M::kCmdLogIn, 0, "Bea", S::kClean, "Bea", "33", "29"},
      {S::kLoggedOff, kOkCommand, 0, nullptr, S::kLoggedOff, "", nullptr, "29"},
  };
  for (const Transition& t : table) {
    SCOPED_TRACE(testing::Message()
                 << "from " << static_cast<int>(t.from) << " command " << t.command << " answer "
                 << t.answer << " login " << (t.login != nullptr ? t.login : "-"));
    temp_.store().SetDuration("Anna", "29");
    Open(temp_.store());
    main_->Tabs()->setCurrentIndex(1);
    if (t.from == State::kModified)
      ChangeDuration("31");
    if (t.from == State::kLoggedOff)
      Run(MainDialog::kCmdLogOff);
    ExpectState(t.from);

    boxes_.Clear();
    if (t.answer != 0)
      boxes_.Answer(t.answer);
    const QString login = QString::fromUtf8(t.login != nullptr ? t.login : "");
    DialogWatcher<LoginDialog> logins([this, login](LoginDialog* dialog) {
      EXPECT_EQ(dialog->parentWidget(), main_.get());
      if (login.isEmpty())
        return dialog->ExitButton()->click();
      dialog->UserNameBox()->lineEdit()->setText(login);
      dialog->PasswordField()->setText(login.left(1).toLower());
      dialog->LoginButton()->click();
    });
    Run(t.command);

    EXPECT_EQ(logins.shown, t.login != nullptr ? 1 : 0);
    if (t.answer != 0) {
      const auto [text, title, flags] = PromptOf(t.command);
      test::ExpectOnlyMessage(boxes_, text, title, flags);
    } else {
      EXPECT_TRUE(boxes_.Calls().empty());
    }
    ExpectState(t.to, t.user);
    if (t.shown != nullptr) {
      EXPECT_EQ(Duration()->text(), QString::fromUtf8(t.shown));
    }
    if (main_->isVisible()) {
      EXPECT_EQ(main_->Tabs()->currentIndex(), 1);  // the tab shown stays
    }
    EXPECT_EQ(Stored(), t.stored);
    EXPECT_FALSE(temp_.store().FindUser(""));
  }
}

TEST_F(MainDialogTest, SavesBothPagesInOneTransactionAndKeepsChangesTheStoreRefused) {
  test::FaultyRegistry faulty(temp_.registry());
  UserStore store(faulty);
  Open(store);
  ChangeDuration("31");
  faulty.written.clear();
  faulty.transactions = 0;
  Run(kSaveButton);
  // The General page's values come first, then the Statistics page's count.
  ASSERT_GE(faulty.written.size(), 3u);
  EXPECT_EQ(faulty.written[0], "data");
  EXPECT_EQ(faulty.written[1], "duration");
  EXPECT_EQ(faulty.written.back(), "StatisticsLength");
  EXPECT_EQ(faulty.transactions, 1);

  ChangeDuration("32");
  faulty.refuseCommit = true;
  Run(kSaveButton);
  test::ExpectOnlyMessage(boxes_, "Unable to save changes for user Anna.", "Lunaret", 0x30);
  ExpectState(State::kModified);
  // Neither Yes to a prompt nor OK leaves with changes the store did not keep.
  for (int command : {static_cast<int>(MainDialog::kCmdExit),
                      static_cast<int>(MainDialog::kCmdLogOff), kOkCommand}) {
    SCOPED_TRACE(command);
    boxes_.Clear();
    if (command != kOkCommand)
      boxes_.Answer(kIdYes);
    Run(command);
    EXPECT_EQ(boxes_.Calls().size(), command == kOkCommand ? 1u : 2u);
    ExpectState(State::kModified);
  }
  EXPECT_EQ(Stored(), "31");

  // Once the store keeps it again, Save goes through.
  faulty.refuseCommit = false;
  boxes_.Clear();
  Run(kSaveButton);
  EXPECT_TRUE(boxes_.Calls().empty());
  ExpectState(State::kClean);
  EXPECT_EQ(Stored(), "32");
  main_.reset();
}

// Another user's deletion leaves the session as it was; deleting one's own account logs off
// without a prompt, also when the logged-in spelling differs from the stored one.
TEST_F(MainDialogTest, DeletingAUserLogsOffOnlyForOnesOwnAccount) {
  struct Case {
    const char* loggedIn;
    const char* deleted;
    const char* password;
    State after;
  };
  for (const Case& c :
       {Case{"Anna", "Bea", "b", State::kModified}, Case{"Anna", "Anna", "a", State::kLoggedOff},
        Case{"aNNA", "Anna", "a", State::kLoggedOff}}) {
    SCOPED_TRACE(testing::Message() << c.loggedIn << " deletes " << c.deleted);
    temp_.AddUser(c.deleted, c.password);
    Open(temp_.store(), c.loggedIn);
    ChangeDuration("31");
    boxes_.Clear();
    DialogWatcher<UserManagementDialog> managements([this, &c](UserManagementDialog* management) {
      EXPECT_EQ(management->parentWidget(), main_.get());
      const auto items = management->UserList()->findItems(c.deleted, Qt::MatchExactly);
      ASSERT_EQ(items.size(), 1);
      management->UserList()->setCurrentItem(items.first());
      boxes_.Answer(kIdYes);
      DialogWatcher<PasswordPromptDialog> prompts([&c](PasswordPromptDialog* prompt) {
        prompt->PasswordField()->setText(c.password);
        prompt->OkButton()->click();
      });
      management->DeleteButton()->click();
      management->OkButton()->click();
    });
    Run(MainDialog::kCmdUserManagement);
    ASSERT_EQ(managements.shown, 1);
    // The question and the success message, and no "Save changes" prompt.
    ASSERT_EQ(boxes_.Calls().size(), 2u);
    EXPECT_EQ(boxes_.Calls()[1].title, QStringLiteral("Delete user"));
    ExpectState(c.after, c.loggedIn);
    EXPECT_FALSE(temp_.store().FindUser(c.deleted));
  }
}

TEST_F(MainDialogTest, ChangePasswordAndAboutOpenTheirDialogs) {
  Open(temp_.store(), "bea");
  {
    DialogWatcher<ChangePasswordDialog> changes([this](ChangePasswordDialog* change) {
      EXPECT_EQ(change->UserName(), QStringLiteral("bea"));
      EXPECT_EQ(change->parentWidget(), main_.get());
      change->reject();
    });
    Run(MainDialog::kCmdChangePassword);
    EXPECT_EQ(changes.shown, 1);
  }
  DialogWatcher<AboutDialog> abouts;
  Run(MainDialog::kCmdAbout);
  Run(MainDialog::kCmdAboutBox);
  EXPECT_EQ(abouts.shown, 2);
  ExpectState(State::kClean, "bea");
}

// While the main window is not the active one, the General page's tips show, its own do not.
TEST_F(MainDialogTest, WhileTheWindowIsInactiveOnlyTheGeneralPageShowsItsTips) {
  Open(temp_.store());
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  auto tipOver = [this](const QWidget* control) {
    QTest::mouseMove(main_->windowHandle(), control->mapTo(main_.get(), control->rect().center()));
    for (int i = 0; i < 100 && !QToolTip::isVisible(); ++i)
      QTest::qWait(10);
    const QString text = QToolTip::isVisible() ? QToolTip::text() : QString();
    QToolTip::hideText();
    for (int i = 0; i < 100 && QToolTip::isVisible(); ++i)
      QTest::qWait(10);
    return text;
  };
  EXPECT_EQ(tipOver(FindControl(main_->General(), GeneralPage::kFirstDayCalendarId)),
            QStringLiteral("Select the first day of menstruation this month."));
  EXPECT_EQ(tipOver(main_->SaveButton()), QString());
}

}  // namespace
}  // namespace lunaret
