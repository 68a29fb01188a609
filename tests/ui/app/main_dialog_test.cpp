// The main window: its opening, the menu, and the session's state table walked transition by
// transition, with the prompts answered through the message-box hook and the dialogs it opens
// answered inside their real exec() loops.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTest>

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
#include "pages/statistics_page.h"

namespace lunaret {
namespace {

using test::DialogWatcher;
using test::MessageBoxRecorder;
using test::TempStore;

enum class State { kClean, kModified, kLoggedOff };

const QString kSaveBeforeLogIn = QStringLiteral("Save changes before Log In ?");
const QString kSaveBeforeLogOff = QStringLiteral("Save changes before Log Off ?");
const QString kSaveBeforeExit = QStringLiteral("Save changes before exit ?");

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

  MainDialog& Open(UserStore& store, const QString& user = QStringLiteral("Anna")) {
    main_ = std::make_unique<MainDialog>(store, user);
    main_->show();
    return *main_;
  }
  MainDialog& Open() { return Open(temp_.store()); }

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
  std::string Stored(const std::string& user = "Anna") { return temp_.store().GetDuration(user); }
  void Trigger(int command) {
    QAction* action = main_->Command(command);
    ASSERT_NE(action, nullptr);
    action->trigger();
  }
  // Answers the next prompt and runs the command; returns the prompts shown.
  std::vector<message_box_hook::Shown> Answered(int answer, int command) {
    boxes_.Clear();
    boxes_.Answer(answer);
    Trigger(command);
    return boxes_.Calls();
  }
  // Runs "Log In..." and answers the login dialog inside its exec(): with the name and password,
  // or with Exit when name is null. Returns how many login dialogs showed.
  int LogIn(const QString& name, const QString& password) {
    DialogWatcher<LoginDialog> logins([name, password](LoginDialog* login) {
      EXPECT_NE(login->parentWidget(), nullptr);
      if (name.isNull()) {
        login->ExitButton()->click();
        return;
      }
      login->UserNameBox()->lineEdit()->setText(name);
      login->PasswordField()->setText(password);
      login->LoginButton()->click();
    });
    Trigger(MainDialog::kCmdLogIn);
    return logins.shown;
  }

  void ExpectState(State state, const QString& user = QStringLiteral("Anna")) {
    MainDialog& main = *main_;
    const bool loggedIn = state != State::kLoggedOff;
    const bool modified = state == State::kModified;
    EXPECT_EQ(main.IsModified(), modified);
    EXPECT_EQ(main.UserName(), loggedIn ? user : QString());
    EXPECT_EQ(main.windowTitle(), loggedIn ? QStringLiteral("Vessa Calendar :) - ") + user
                                           : QStringLiteral("Vessa Calendar :)"));
    EXPECT_EQ(main.OkButton()->isEnabled(), loggedIn);
    EXPECT_FALSE(main.OkButton()->isVisible());
    EXPECT_EQ(main.SaveButton()->isEnabled(), modified);
    EXPECT_EQ(main.Command(MainDialog::kCmdLogOff)->isEnabled(), loggedIn);
    EXPECT_EQ(main.Command(MainDialog::kCmdChangePassword)->isEnabled(), loggedIn);
    EXPECT_EQ(main.Command(MainDialog::kCmdDiscardChanges)->isEnabled(), modified);
    for (int always : {MainDialog::kCmdLogIn, MainDialog::kCmdExit, MainDialog::kCmdUserManagement,
                       MainDialog::kCmdAbout})
      EXPECT_TRUE(main.Command(always)->isEnabled()) << always;
    EXPECT_TRUE(main.ExitButton()->isEnabled());
    EXPECT_EQ(Duration()->isEnabled(), loggedIn);
  }

  TempStore temp_;
  MessageBoxRecorder boxes_;
  std::unique_ptr<MainDialog> main_;
};

QStringList ItemTexts(const QMenu* menu) {
  QStringList texts;
  for (const QAction* action : menu->actions())
    texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
  return texts;
}

TEST_F(MainDialogTest, OpensLoggedInAndCleanWithItsTabsButtonsAndMenu) {
  MainDialog& main = Open();
  ExpectState(State::kClean);
  EXPECT_EQ(Duration()->text(), QStringLiteral("29"));
  EXPECT_TRUE(boxes_.Calls().empty());

  ASSERT_EQ(main.Tabs()->count(), 2);
  EXPECT_EQ(ControlId(main.Tabs()), 1039);
  EXPECT_EQ(main.Tabs()->tabText(0), QStringLiteral("General"));
  EXPECT_EQ(main.Tabs()->tabText(1), QStringLiteral("Statistics"));
  EXPECT_EQ(main.Tabs()->currentWidget(), main.General());
  EXPECT_EQ(main.Tabs()->widget(1), main.Statistics());

  EXPECT_EQ(main.SaveButton()->text(), QStringLiteral("&Save   "));
  EXPECT_EQ(main.ExitButton()->text(), QStringLiteral("E&xit   "));
  EXPECT_TRUE(main.SaveButton()->isDefault());
  EXPECT_EQ(main.OkButton()->toolTip(), QStringLiteral("Press OK to save changes and exit."));
  EXPECT_EQ(main.ExitButton()->toolTip(), QStringLiteral("Exit Lunaret."));
  EXPECT_EQ(main.SaveButton()->toolTip(), QStringLiteral("Save changes."));
  for (ThemedHoverButton* button : {main.OkButton(), main.SaveButton(), main.ExitButton()}) {
    EXPECT_NE(button->Theme(), nullptr);
    EXPECT_EQ(button->Color(0), HotBackgroundColor());
    EXPECT_EQ(button->font().family(), LabelFont().family());
  }

  const QList<QAction*> menus = main.MenuBar()->actions();
  ASSERT_EQ(menus.size(), 3);
  EXPECT_EQ(menus[0]->text(), QStringLiteral("&Login"));
  EXPECT_EQ(menus[1]->text(), QStringLiteral("&Tools"));
  EXPECT_EQ(menus[2]->text(), QStringLiteral("&Help"));
  EXPECT_EQ(ItemTexts(menus[0]->menu()), (QStringList{"Log &Off...", "Log &In...", "-", "E&xit"}));
  EXPECT_EQ(ItemTexts(menus[1]->menu()),
            (QStringList{" &Discard changes", "-", " &Change password", " &User Managment"}));
  EXPECT_EQ(ItemTexts(menus[2]->menu()), QStringList{"&About..."});
  EXPECT_EQ(main.Command(32777)->text(), QStringLiteral("Log &Off..."));
  EXPECT_EQ(main.Command(32771)->text(), QStringLiteral("Log &In..."));
  EXPECT_EQ(main.Command(32778)->text(), QStringLiteral("E&xit"));
  EXPECT_EQ(main.Command(32779)->text(), QStringLiteral(" &Discard changes"));
  EXPECT_EQ(main.Command(32772)->text(), QStringLiteral(" &Change password"));
  EXPECT_EQ(main.Command(32776)->text(), QStringLiteral(" &User Managment"));
  EXPECT_EQ(main.Command(32774)->text(), QStringLiteral("&About..."));
  EXPECT_EQ(main.Command(32779)->icon().isNull(), LoadPixmapResource(147).isNull());
  EXPECT_EQ(main.Command(32776)->icon().isNull(), LoadPixmapResource(157).isNull());
  EXPECT_EQ(main.Command(16)->text(), QStringLiteral("&About Lunaret..."));
  EXPECT_TRUE(main.actions().contains(main.Command(16)));
  EXPECT_EQ(main.contextMenuPolicy(), Qt::ActionsContextMenu);
}

TEST_F(MainDialogTest, APageChangeMarksModifiedAndSaveWritesIt) {
  Open();
  ChangeDuration("31");
  ExpectState(State::kModified);
  EXPECT_EQ(Stored(), "29");

  QTest::mouseClick(main_->SaveButton(), Qt::LeftButton);
  ExpectState(State::kClean);
  EXPECT_EQ(Stored(), "31");
  EXPECT_TRUE(boxes_.Calls().empty());
}

TEST_F(MainDialogTest, DiscardAsksOnlyWhenModifiedAndYesReloads) {
  Open();
  Trigger(MainDialog::kCmdDiscardChanges);
  EXPECT_TRUE(boxes_.Calls().empty());
  ExpectState(State::kClean);

  ChangeDuration("31");
  auto shown = Answered(kIdNo, MainDialog::kCmdDiscardChanges);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text,
            QStringLiteral("Are you sure you want to discard all changes and revert data ?"));
  EXPECT_EQ(shown[0].title, QStringLiteral("Lunaret discard changes..."));
  EXPECT_EQ(shown[0].flags, 0x34u);
  ExpectState(State::kModified);
  EXPECT_EQ(Duration()->text(), QStringLiteral("31"));

  EXPECT_EQ(Answered(kIdYes, MainDialog::kCmdDiscardChanges).size(), 1u);
  ExpectState(State::kClean);
  EXPECT_EQ(Duration()->text(), QStringLiteral("29"));
  EXPECT_EQ(Stored(), "29");
}

TEST_F(MainDialogTest, LogOffAsksWhenModifiedAndEachAnswerDoesItsPart) {
  struct Case {
    int answer;
    State after;
    std::string stored;
  };
  for (const Case& c :
       {Case{kIdCancel, State::kModified, "29"}, Case{kIdNo, State::kLoggedOff, "29"},
        Case{kIdYes, State::kLoggedOff, "31"}}) {
    SCOPED_TRACE(c.answer);
    temp_.store().SetDuration("Anna", "29");
    Open();
    ChangeDuration("31");
    const auto shown = Answered(c.answer, MainDialog::kCmdLogOff);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, kSaveBeforeLogOff);
    EXPECT_EQ(shown[0].title, QStringLiteral("Lunaret LogOff..."));
    EXPECT_EQ(shown[0].flags, 0x33u);
    ExpectState(c.after);
    EXPECT_EQ(Stored(), c.stored);
  }

  // Clean: no question at all.
  Open();
  boxes_.Clear();
  Trigger(MainDialog::kCmdLogOff);
  EXPECT_TRUE(boxes_.Calls().empty());
  ExpectState(State::kLoggedOff);
}

TEST_F(MainDialogTest, LogInAsksWhenModifiedAndCancelStopsEverything) {
  Open();
  ChangeDuration("31");
  boxes_.Answer(kIdCancel);
  EXPECT_EQ(LogIn("Bea", "b"), 0);
  ASSERT_EQ(boxes_.Calls().size(), 1u);
  EXPECT_EQ(boxes_.Calls()[0].text, kSaveBeforeLogIn);
  EXPECT_EQ(boxes_.Calls()[0].title, QStringLiteral("Lunaret LogOff..."));
  EXPECT_EQ(boxes_.Calls()[0].flags, 0x33u);
  ExpectState(State::kModified);
  EXPECT_EQ(Stored(), "29");
}

TEST_F(MainDialogTest, LogInWithYesSavesAndACancelledLoginLeavesSaveEnabled) {
  Open();
  ChangeDuration("31");
  boxes_.Answer(kIdYes);
  EXPECT_EQ(LogIn(QString(), QString()), 1);
  EXPECT_EQ(Stored(), "31");
  ExpectState(State::kModified);
  EXPECT_EQ(main_->parentWidget(), nullptr);
}

TEST_F(MainDialogTest, LogInWithNoDropsTheChangesAndLoadsTheNewUser) {
  Open();
  main_->Tabs()->setCurrentIndex(1);
  ChangeDuration("31");
  boxes_.Answer(kIdNo);
  EXPECT_EQ(LogIn("Bea", "b"), 1);
  ExpectState(State::kClean, "Bea");
  EXPECT_EQ(Stored("Anna"), "29");
  EXPECT_EQ(Duration()->text(), QStringLiteral("33"));
  EXPECT_EQ(main_->Tabs()->currentIndex(), 1);  // the tab shown stays

  // The same user again reloads from the store; a clean window asks nothing.
  ChangeDuration("40");
  boxes_.Clear();
  boxes_.Answer(kIdNo);
  EXPECT_EQ(LogIn("bea", "b"), 1);
  ExpectState(State::kClean, "bea");
  EXPECT_EQ(Duration()->text(), QStringLiteral("33"));
  boxes_.Clear();
  EXPECT_EQ(LogIn("Anna", "a"), 1);
  EXPECT_TRUE(boxes_.Calls().empty());
  ExpectState(State::kClean, "Anna");
}

TEST_F(MainDialogTest, FromLoggedOffLogInAsksNothingAndLoadsTheUser) {
  Open();
  Trigger(MainDialog::kCmdLogOff);
  ExpectState(State::kLoggedOff);
  EXPECT_EQ(LogIn(QString(), QString()), 1);  // cancelled: still logged off
  ExpectState(State::kLoggedOff);
  EXPECT_EQ(LogIn("Bea", "b"), 1);
  EXPECT_TRUE(boxes_.Calls().empty());
  ExpectState(State::kClean, "Bea");
  EXPECT_EQ(Duration()->text(), QStringLiteral("33"));
}

TEST_F(MainDialogTest, ExitCommandAsksWhenModifiedAndClosesWithOk) {
  Open();
  Trigger(MainDialog::kCmdExit);  // clean: closes at once
  EXPECT_TRUE(boxes_.Calls().empty());
  EXPECT_FALSE(main_->isVisible());
  EXPECT_EQ(main_->result(), QDialog::Accepted);

  struct Case {
    int answer;
    bool closed;
    std::string stored;
  };
  for (const Case& c :
       {Case{kIdCancel, false, "29"}, Case{kIdNo, true, "29"}, Case{kIdYes, true, "31"}}) {
    SCOPED_TRACE(c.answer);
    temp_.store().SetDuration("Anna", "29");
    Open();
    ChangeDuration("31");
    const auto shown = Answered(c.answer, MainDialog::kCmdExit);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, kSaveBeforeExit);
    EXPECT_EQ(shown[0].title, QStringLiteral("Exit Lunaret..."));
    EXPECT_EQ(shown[0].flags, 0x33u);
    EXPECT_EQ(main_->isVisible(), !c.closed);
    if (c.closed)
      EXPECT_EQ(main_->result(), QDialog::Accepted);
    else
      ExpectState(State::kModified);
    EXPECT_EQ(Stored(), c.stored);
  }
}

TEST_F(MainDialogTest, ExitButtonEscapeAndCloseBoxAskOnceAndCloseWithCancel) {
  Open();
  ChangeDuration("31");
  boxes_.Answer(kIdCancel);
  QTest::mouseClick(main_->ExitButton(), Qt::LeftButton);
  boxes_.Answer(kIdCancel);
  QTest::keyClick(main_.get(), Qt::Key_Escape);
  boxes_.Answer(kIdCancel);
  EXPECT_FALSE(main_->close());
  ASSERT_EQ(boxes_.Calls().size(), 3u);
  for (const auto& shown : boxes_.Calls())
    EXPECT_EQ(shown.text, kSaveBeforeExit);
  ExpectState(State::kModified);

  boxes_.Clear();
  boxes_.Answer(kIdNo);
  EXPECT_TRUE(main_->close());
  EXPECT_EQ(boxes_.Calls().size(), 1u);
  EXPECT_EQ(main_->result(), QDialog::Rejected);
  EXPECT_EQ(Stored(), "29");

  // Clean: Escape closes without a word.
  boxes_.Clear();
  Open();
  QTest::keyClick(main_.get(), Qt::Key_Escape);
  EXPECT_TRUE(boxes_.Calls().empty());
  EXPECT_FALSE(main_->isVisible());
  EXPECT_EQ(main_->result(), QDialog::Rejected);
}

TEST_F(MainDialogTest, EnterInsideAPageSavesAndClosesWithoutAPrompt) {
  Open();
  ChangeDuration("31");
  QTest::keyClick(Duration(), Qt::Key_Return);
  EXPECT_TRUE(boxes_.Calls().empty());
  EXPECT_FALSE(main_->isVisible());
  EXPECT_EQ(main_->result(), QDialog::Accepted);
  EXPECT_EQ(Stored(), "31");
}

TEST_F(MainDialogTest, TheOkCommandIsOffWhileLoggedOff) {
  Open();
  Trigger(MainDialog::kCmdLogOff);
  main_->OnOK();
  EXPECT_TRUE(main_->isVisible());
  EXPECT_FALSE(temp_.store().FindUser(""));
}

TEST_F(MainDialogTest, ASaveTheStoreDoesNotKeepIsReportedAndStaysUnsaved) {
  test::CommitRefusingRegistry refusing(temp_.registry());
  UserStore store(refusing);
  Open(store);
  ChangeDuration("31");
  refusing.refuseCommit = true;

  QTest::mouseClick(main_->SaveButton(), Qt::LeftButton);
  test::ExpectOnlyMessage(boxes_, "Unable to save changes for user Anna.", "Lunaret", 0x30);
  ExpectState(State::kModified);

  // Neither Yes of a prompt nor OK leaves with changes the store did not keep.
  boxes_.Clear();
  boxes_.Answer(kIdYes);
  Trigger(MainDialog::kCmdExit);
  EXPECT_EQ(boxes_.Calls().size(), 2u);
  EXPECT_TRUE(main_->isVisible());
  boxes_.Clear();
  boxes_.Answer(kIdYes);
  Trigger(MainDialog::kCmdLogOff);
  EXPECT_EQ(boxes_.Calls().size(), 2u);
  ExpectState(State::kModified);
  boxes_.Clear();
  main_->OnOK();
  EXPECT_EQ(boxes_.Calls().size(), 1u);
  EXPECT_TRUE(main_->isVisible());
  EXPECT_EQ(Stored(), "29");

  // Once the store keeps it again, Save goes through.
  refusing.refuseCommit = false;
  boxes_.Clear();
  QTest::mouseClick(main_->SaveButton(), Qt::LeftButton);
  EXPECT_TRUE(boxes_.Calls().empty());
  ExpectState(State::kClean);
  EXPECT_EQ(Stored(), "31");
  main_.reset();
}

TEST_F(MainDialogTest, BothPagesAreSavedInOneTransaction) {
  test::CommitRefusingRegistry counting(temp_.registry());
  UserStore store(counting);
  Open(store);
  ChangeDuration("31");
  counting.written.clear();
  counting.transactions = 0;
  QTest::mouseClick(main_->SaveButton(), Qt::LeftButton);
  // The General page's values come first, then the Statistics page's count.
  ASSERT_GE(counting.written.size(), 3u);
  EXPECT_EQ(counting.written[0], "data");
  EXPECT_EQ(counting.written[1], "duration");
  EXPECT_EQ(counting.written.back(), "StatisticsLength");
  EXPECT_EQ(counting.transactions, 1);
  main_.reset();
}

TEST_F(MainDialogTest, DeletingAnotherUserKeepsTheSession) {
  Open();
  ChangeDuration("31");
  {
    DialogWatcher<UserManagementDialog> managements([this](UserManagementDialog* management) {
      EXPECT_EQ(management->parentWidget(), main_.get());
      const auto items = management->UserList()->findItems("Bea", Qt::MatchExactly);
      ASSERT_EQ(items.size(), 1);
      management->UserList()->setCurrentItem(items.first());
      boxes_.Answer(kIdYes);
      DialogWatcher<PasswordPromptDialog> prompts([](PasswordPromptDialog* prompt) {
        prompt->PasswordField()->setText("b");
        prompt->OkButton()->click();
      });
      management->DeleteButton()->click();
      management->OkButton()->click();
    });
    Trigger(MainDialog::kCmdUserManagement);
    EXPECT_EQ(managements.shown, 1);
  }
  EXPECT_FALSE(temp_.store().FindUser("Bea"));
  ExpectState(State::kModified);
}

TEST_F(MainDialogTest, DeletingOnesOwnAccountLogsOffWithoutAPromptUnderAnySpelling) {
  for (const QString& loggedIn : {QStringLiteral("Anna"), QStringLiteral("aNNA")}) {
    SCOPED_TRACE(loggedIn.toStdString());
    temp_.AddUser("Anna", "a");
    Open(temp_.store(), loggedIn);
    ChangeDuration("31");
    boxes_.Clear();
    DialogWatcher<UserManagementDialog> managements([this](UserManagementDialog* management) {
      const auto items = management->UserList()->findItems("Anna", Qt::MatchExactly);
      ASSERT_EQ(items.size(), 1);
      management->UserList()->setCurrentItem(items.first());
      boxes_.Answer(kIdYes);
      DialogWatcher<PasswordPromptDialog> prompts([](PasswordPromptDialog* prompt) {
        prompt->PasswordField()->setText("a");
        prompt->OkButton()->click();
      });
      management->DeleteButton()->click();
      management->OkButton()->click();
    });
    Trigger(MainDialog::kCmdUserManagement);
    ASSERT_EQ(managements.shown, 1);
    // The question and the success message, and no "Save changes" prompt.
    ASSERT_EQ(boxes_.Calls().size(), 2u);
    EXPECT_EQ(boxes_.Calls()[1].title, QStringLiteral("Delete user"));
    ExpectState(State::kLoggedOff);
    EXPECT_FALSE(temp_.store().FindUser("Anna"));
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
    Trigger(MainDialog::kCmdChangePassword);
    EXPECT_EQ(changes.shown, 1);
  }
  DialogWatcher<AboutDialog> abouts;
  Trigger(MainDialog::kCmdAbout);
  Trigger(MainDialog::kCmdAboutBox);
  EXPECT_EQ(abouts.shown, 2);
  ExpectState(State::kClean, "bea");
}

}  // namespace
}  // namespace lunaret
