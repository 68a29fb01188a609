// The main window: its state table walked transition by transition (prompts answered through
// the message-box hook, the login dialog in its real exec() loop), saving, tooltips, and the
// Insights tab following the other two pages.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolTip>
#include <functional>
#ifdef LUNARET_INSIGHTS_CHART
#include <QBarSet>
#include <QChartView>
#include <QLegendMarker>
#include <QValueAxis>
#endif

#include "app/change_password_dialog.h"
#include "app/login_dialog.h"
#include "app/main_dialog.h"
#include "app/password_prompt_dialog.h"
#include "app/user_management_dialog.h"
#include "controls/about_dialog.h"
#include "controls/hover_button.h"
#include "core/store/journal_store.h"
#include "pages/calendar_page.h"
#include "pages/general_page.h"
#include "pages/insights_page.h"
#include "pages/pages_test_util.h"
#include "pages/statistics_list.h"
#include "pages/statistics_page.h"
#include "ui_test_support.h"

namespace lunaret {
namespace {

using M = MainDialog;

// Closed: the window has ended with that result.
enum class State { kClean, kModified, kLoggedOff, kClosedOk, kClosedCancel };
// The ways to save or leave besides the menu commands.
enum Way { kExitButton = -1, kEscape = -2, kCloseBox = -3, kEnter = -4, kOk = -5, kSave = -6 };

// The prompt a command shows while the pages hold changes.
QString PromptOf(int command) {
  switch (command) {
    case M::kCmdDiscardChanges:
      return "Are you sure you want to discard all changes and revert data ? | "
             "Lunaret discard changes... | 0x34";
    case M::kCmdLogIn:
    case M::kCmdLogOff:
      return QString("Save changes before %1 ? | Lunaret LogOff... | 0x33")
          .arg(command == M::kCmdLogIn ? "Log In" : "Log Off");
    default:
      return "Save changes before exit ? | Exit Lunaret... | 0x33";
  }
}

// Anna (one statistics record) and Bea (duration 33, none), each with her initial as password.
class MainDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    temp_.AddUser("Anna", "a", 1700000000);
    SaveStatistics(temp_.store(), "Anna", {{1690000000, 0}});
    temp_.AddUser("Bea", "b", 1700000000);
    temp_.store().SetDuration("Bea", "33");
  }

  void Open(UserStore& store, const QString& user = QStringLiteral("Anna")) {
    main_ = std::make_unique<MainDialog>(store, user);
    main_->show();
  }
  QLineEdit* Duration() { return FindControlAs<QLineEdit>(main_->General(), 1009); }
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
      case kEnter:
        return QTest::keyClick(Duration(), Qt::Key_Return);
      case kOk:
        return main_->OnOK();
      case kSave:
        return QTest::mouseClick(main_->SaveButton(), Qt::LeftButton);
      default:
        main_->Command(command)->trigger();
    }
  }
  // Runs a command with its prompt answered (0: none may show); the boxes shown meanwhile.
  QString Answered(int command, int answer = 0) {
    boxes_.Clear();
    if (answer != 0)
      boxes_.Answer(answer);
    Run(command);
    return boxes_.Shown();
  }

  void ExpectState(State state, const QString& user = QStringLiteral("Anna")) {
    const MainDialog& main = *main_;
    if (state == State::kClosedOk || state == State::kClosedCancel) {
      EXPECT_FALSE(main.isVisible());
      EXPECT_EQ(main.result(), state == State::kClosedOk ? QDialog::Accepted : QDialog::Rejected);
      return;
    }
    const bool in = state != State::kLoggedOff, modified = state == State::kModified;
    EXPECT_EQ(std::tuple(main.isVisible(), main.IsModified(), main.UserName(), main.windowTitle()),
              std::tuple(true, modified, in ? user : QString(),
                         in ? "Vessa Calendar :) - " + user : QString("Vessa Calendar :)")));
    // Enabled or not: OK, Save, Log Off, Change password, Discard; Log In, Exit, User
    // Managment, About; the pages' duration box and statistics list.
    QString enabled;
    for (const QObject* item : std::initializer_list<const QObject*>{
             main.OkButton(), main.SaveButton(), main.Command(M::kCmdLogOff),
             main.Command(M::kCmdChangePassword), main.Command(M::kCmdDiscardChanges),
             main.Command(M::kCmdLogIn), main.Command(M::kCmdExit),
             main.Command(M::kCmdUserManagement), main.Command(M::kCmdAbout), Duration(),
             main.Statistics()->List()})
      enabled += item->property("enabled").toBool() ? '1' : '0';
    const QString on = in ? "1" : "0", changed = modified ? "1" : "0";
    EXPECT_EQ(enabled, on + changed + on + on + changed + "1111" + on + on);
    // Anna's list holds her record and the trailing row, Bea's only the trailing row.
    EXPECT_EQ(main.Statistics()->List()->RowCount(),
              !in                                              ? 0
              : user.compare("anna", Qt::CaseInsensitive) == 0 ? 2
                                                               : 1);
  }

  test::TempStore temp_;
  test::MessageBoxRecorder boxes_;
  std::unique_ptr<MainDialog> main_;
};

// Each row starts from a fresh window in its state (modified: the duration typed as 31 over the
// stored 29) with the Statistics tab shown, runs one command, answers its prompt and the login
// dialog, and checks the state, the duration shown and what Anna has in the store.
TEST_F(MainDialogTest, StateTableWalkedTransitionByTransition) {
  struct Transition {
    State from;
    int command;
    int answer;        // to the prompt; 0: no prompt may show
    const char* name;  // logged in with (Exit for ""), or deleted by the user management
    State to;
    const char* user;   // logged in afterwards
    const char* shown;  // the duration on the General page; null: not looked at
    const char* stored;
  };
  using S = State;
  const Transition table[] = {
      // Clean: nothing asks.
      {S::kClean, M::kCmdDiscardChanges, 0, nullptr, S::kClean, "Anna", "29", "29"},
      {S::kClean, M::kCmdLogOff, 0, nullptr, S::kLoggedOff, "", nullptr, "29"},
      {S::kClean, M::kCmdLogIn, 0, "Bea", S::kClean, "Bea", "33", "29"},
      {S::kClean, M::kCmdExit, 0, nullptr, S::kClosedOk, "", nullptr, "29"},
      {S::kClean, kEscape, 0, nullptr, S::kClosedCancel, "", nullptr, "29"},
      // Modified: every answer does its part.
      {S::kModified, kSave, 0, nullptr, S::kClean, "Anna", "31", "31"},
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
      {S::kModified, kEnter, 0, nullptr, S::kClosedOk, "", nullptr, "31"},
      // Logged off: the OK command is off.
      {S::kLoggedOff, M::kCmdLogIn, 0, "", S::kLoggedOff, "", nullptr, "29"},
      {S::kLoggedOff, M::kCmdLogIn, 0, "Bea", S::kClean, "Bea", "33", "29"},
      {S::kLoggedOff, kOk, 0, nullptr, S::kLoggedOff, "", nullptr, "29"},
      // Change password and About change nothing ("-": their dialog shows).
      {S::kModified, M::kCmdChangePassword, 0, "-", S::kModified, "Anna", "31", "29"},
      {S::kClean, M::kCmdAbout, 0, "-", S::kClean, "Anna", "29", "29"},
      {S::kClean, M::kCmdAboutBox, 0, "-", S::kClean, "Anna", "29", "29"},
      // The user management, last: deleting another user changes nothing, deleting oneself logs
      // off at once.
      {S::kModified, M::kCmdUserManagement, 0, "Bea", S::kModified, "Anna", "31", "29"},
      {S::kModified, M::kCmdUserManagement, 0, "Anna", S::kLoggedOff, "", nullptr, ""},
  };
  for (const Transition& t : table) {
    SCOPED_TRACE(testing::Message() << "from " << static_cast<int>(t.from) << " command "
                                    << t.command << " answer " << t.answer);
    temp_.store().SetDuration("Anna", "29");
    Open(temp_.store());
    main_->Tabs()->setCurrentIndex(1);
    if (t.from == State::kModified)
      test::Retype(Duration(), "31");
    if (t.from == State::kLoggedOff)
      Run(M::kCmdLogOff);
    ExpectState(t.from);

    const QString name = QString::fromUtf8(t.name != nullptr ? t.name : "");
    test::DialogWatcher<LoginDialog> logins([this, name](LoginDialog* dialog) {
      EXPECT_EQ(dialog->parentWidget(), main_.get());
      if (name.isEmpty())
        return dialog->ExitButton()->click();
      dialog->UserNameBox()->lineEdit()->setText(name);
      dialog->PasswordField()->setText(name.left(1).toLower());
      dialog->LoginButton()->click();
    });
    test::DialogWatcher<UserManagementDialog> managements([&](UserManagementDialog* management) {
      EXPECT_EQ(management->parentWidget(), main_.get());
      management->UserList()->setCurrentItem(management->UserList()->findItems(name, {})[0]);
      boxes_.Answer(kIdYes);
      test::DialogWatcher<PasswordPromptDialog> prompts([&](PasswordPromptDialog* prompt) {
        prompt->PasswordField()->setText(name.left(1).toLower());
        prompt->OkButton()->click();
      });
      management->DeleteButton()->click();
      management->OkButton()->click();
    });
    test::DialogWatcher<ChangePasswordDialog> changes([this](ChangePasswordDialog* change) {
      EXPECT_EQ(change->UserName(), main_->UserName());
      EXPECT_EQ(change->parentWidget(), main_.get());
      change->reject();
    });
    test::DialogWatcher<AboutDialog> abouts;
    const QString shown = Answered(t.command, t.answer);

    EXPECT_EQ(logins.shown + managements.shown + changes.shown + abouts.shown,
              t.name != nullptr ? 1 : 0);
    if (t.command != M::kCmdUserManagement) {  // its own messages: the account dialogs' test
      EXPECT_EQ(shown, t.answer != 0 ? PromptOf(t.command) : QString());
    }
    ExpectState(t.to, t.user);
    if (t.shown != nullptr) {
      EXPECT_EQ(Duration()->text(), QString::fromUtf8(t.shown));
      EXPECT_EQ(main_->Tabs()->currentIndex(), 1);  // the tab shown stays
    }
    EXPECT_EQ(Stored(), t.stored);
  }
}

TEST_F(MainDialogTest, SavesBothPagesInOneTransactionAndKeepsChangesTheStoreRefused) {
  test::FaultyRegistry faulty(temp_.registry());
  UserStore store(faulty);
  Open(store);
  test::Retype(Duration(), "31");
  faulty.writingTransactions.clear();  // the load's
  Run(kSave);
  // The General page's values come first, then the Statistics page's.
  ASSERT_GE(faulty.written.size(), 3u);
  EXPECT_EQ(faulty.written[0] + faulty.written[1] + faulty.written[2],
            "datadurationStatisticsLength");
  EXPECT_EQ(faulty.writingTransactions, std::set<int>{faulty.transactions});

  test::Retype(Duration(), "32");
  faulty.refuseCommit = true;
  // Neither Save, nor Yes to a prompt, nor OK goes on with changes the store did not keep.
  for (int command : {int{kSave}, int{M::kCmdExit}, int{M::kCmdLogOff}, int{kOk}}) {
    SCOPED_TRACE(command);
    EXPECT_TRUE(Answered(command, kIdYes)
                    .endsWith("Unable to save changes for user Anna. | Lunaret | 0x30"));
    ExpectState(State::kModified);
  }
  EXPECT_EQ(Stored(), "31");
  faulty.refuseCommit = false;  // once the store keeps it again, Save goes through
  EXPECT_EQ(Answered(kSave), "");
  ExpectState(State::kClean);
  EXPECT_EQ(Stored(), "32");
  main_.reset();
}

// Another copy saved Anna's data since this window loaded it: Save asks before it replaces that;
// No keeps the window's changes unsaved, Yes saves them. Whatever the other copy changed counts.
TEST_F(MainDialogTest, SaveAsksBeforeItReplacesWhatAnotherCopySaved) {
  const std::function<void(UserStore&)> otherCopies[] = {
      [](UserStore& other) { other.SetDuration("Anna", "40"); },
      [](UserStore& other) { other.SetCycleStart("Anna", 1700086400); },
      [](UserStore& other) {
        SaveStatistics(other, "Anna", {{1690000000, 1691000000}});
      },
      [](UserStore& other) {
        JournalDay day;
        day.note = "x";
        SaveJournalChanges(other, "Anna", LoadJournal(other, "Anna"), {{19000, day}});
      }};
  const QString question =
      "Your data was changed by another copy of Lunaret since you logged in. Replace it with "
      "what this window shows? | Lunaret | 0x34";
  for (const auto& otherCopy : otherCopies) {
    Open(temp_.store());
    test::Retype(Duration(), "31");
    otherCopy(temp_.store());
    EXPECT_EQ(Answered(kSave, kIdNo), question);
    ExpectState(State::kModified);
    EXPECT_NE(Stored(), "31");
    EXPECT_EQ(Answered(kSave, kIdYes), question);
    ExpectState(State::kClean);
    EXPECT_EQ(Stored(), "31");
    EXPECT_EQ(LoadJournal(temp_.store(), "Anna"), main_->Calendar()->CurrentJournal());
    // What this window saved is what it compares with next.
    test::Retype(Duration(), "29");
    EXPECT_EQ(Answered(kSave), "");
    EXPECT_EQ(Stored(), "29");
    // Discard loads the store anew, and with it what the next save compares with.
    otherCopy(temp_.store());
    test::Retype(Duration(), "30");
    Answered(M::kCmdDiscardChanges, kIdYes);
    test::Retype(Duration(), "28");
    EXPECT_EQ(Answered(kSave), "");
    EXPECT_EQ(Stored(), "28");
    main_.reset();
  }
}

// While the main window is not the active one, the General page's tips show, its own do not;
// the login dialog's show whether it is active or not.
TEST_F(MainDialogTest, WhileTheWindowIsInactiveOnlyTheGeneralPageShowsItsTips) {
  Open(temp_.store());
  LoginDialog login(temp_.store());
  login.show();
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  auto tipOver = [](const QWidget* control) {
    QWidget* window = control->window();
    QTest::mouseMove(window->windowHandle(), control->mapTo(window, control->rect().center()));
    (void)QTest::qWaitFor([]() { return QToolTip::isVisible(); }, 1000);
    const QString text = QToolTip::isVisible() ? QToolTip::text() : QString();
    QToolTip::hideText();
    (void)QTest::qWaitFor([]() { return !QToolTip::isVisible(); }, 1000);
    return text;
  };
  EXPECT_EQ(tipOver(FindControl(main_->General(), GeneralPage::kFirstDayCalendarId)),
            QStringLiteral("Select the first day of menstruation this month."));
  EXPECT_EQ(tipOver(main_->SaveButton()), QString());
  EXPECT_EQ(tipOver(login.PasswordField()), QStringLiteral("Enter password"));
}

#ifdef LUNARET_INSIGHTS_CHART
// At the window's default size (here its size hint, which it opens at where the screen has room)
// the chart shows 24 bars in a plot of at least 220 pixels without a scroll bar; its axis starts
// a few days below the shortest bar shown, and its mean is that of the bars shown.
TEST_F(MainDialogTest, TheChartHasRoomAndAnAxisNearTheBarsShown) {
  std::vector<StatisticsRecord> records;
  QDate start(2020, 1, 1);
  for (int i = 0; i < 31; ++i) {  // 30 cycles: six of 40 days, then 26 and 34 days in turn
    records.push_back({test::PickedTime(start), 0});
    start = start.addDays(i < 6 ? 40 : i % 2 == 0 ? 26 : 34);
  }
  SaveStatistics(temp_.store(), "Anna", records);
  temp_.AddUser("Anna", "a", test::PickedTime(start.addDays(-28)));
  Open(temp_.store());
  const QSize screen = main_->screen()->availableSize();
  const QSize opened = main_->sizeHint().boundedTo(screen - QSize(16, 48));
  EXPECT_EQ(main_->width(), opened.width());
  EXPECT_NEAR(main_->height(), opened.height(), 2);  // the hint settles once the window shows
  main_->resize(main_->sizeHint());
  main_->Tabs()->setCurrentIndex(2);
  test::Settle();
  auto* view = qobject_cast<QChartView*>(main_->Insights()->Chart());
  ASSERT_NE(view, nullptr);
  EXPECT_GE(view->chart()->plotArea().height(), 220);
  EXPECT_FALSE(main_->Insights()->findChild<QScrollArea*>()->verticalScrollBar()->isVisible());
  EXPECT_EQ(view->chart()->findChild<QBarSet*>()->count(), 24);
  const auto* axis = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Vertical).front());
  EXPECT_GT(axis->min(), 15);
  EXPECT_LE(axis->min(), 25);
  EXPECT_GE(axis->max(), 34);
  QStringList legend;
  for (QLegendMarker* marker : view->chart()->legend()->markers())
    legend << marker->label();
  EXPECT_TRUE(legend.contains("Mean 30.0 days")) << legend.join(" | ").toStdString();
}
#endif

// The other pages as they stand, saved or not.
TEST_F(MainDialogTest, TheInsightsTabFollowsEveryChangeOfTheOtherPagesAndEmptiesAtLogOff) {
  const auto day = [](int month, int day) { return test::PickedTime(QDate(2024, month, day)); };
  temp_.AddUser("Anna", "a", day(5, 28));  // forecast duration 29; cycles of 28 28 28 and 64
  SaveStatistics(temp_.store(), "Anna",
                 {{day(1, 1), 0}, {day(1, 29), 0}, {day(2, 26), 0}, {day(3, 25), 0}});
  Open(temp_.store());
  InsightsPage* page = main_->Insights();
  const auto text = [page](int id) { return FindControlAs<QLabel>(page, id)->text(); };
  const int cycles = InsightsPage::kFirstValueId, lengths = cycles + 1;  // the figures shown
#ifdef LUNARET_INSIGHTS_CHART
  const auto chartShows = [page](int bars) {  // bars in the chart the page loaded from its module
    const int count =
        qobject_cast<QChartView*>(page->Chart())->chart()->findChild<QBarSet*>()->count();
    return count == bars ? ::testing::AssertionSuccess()
                         : ::testing::AssertionFailure() << count << " bars";
  };
#else
  const auto chartShows = [page](int) {  // a build without the chart says so in its place
    const auto* missing = FindControlAs<QLabel>(page, InsightsPage::kChartMissingId);
    return missing->isVisible() && missing->text() == "This build of Lunaret has no chart."
               ? ::testing::AssertionSuccess()
               : ::testing::AssertionFailure() << "no word of the missing chart";
  };
#endif
  StatisticsList* list = main_->Statistics()->List();
  const auto pickMenses = [list](int row, const QDate& day) {  // by a double click on the cell
    test::PickNext(day);
    const QRect cell = list->visualRect(list->Model()->index(row, StatisticsList::kMensesColumn));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
  };
  EXPECT_EQ(page->Chart(), nullptr) << "no chart before the tab is first shown";
  main_->Tabs()->setCurrentIndex(2);
  EXPECT_TRUE(chartShows(4));

  main_->Tabs()->setCurrentIndex(0);
  test::Retype(Duration(), "30");
  EXPECT_TRUE(text(InsightsPage::kAccuracyId).contains("a fixed 30-day cycle by 34.0 days;"));
  test::ClickCalendarDay(
      FindControlAs<QCalendarWidget>(main_->General(), GeneralPage::kFirstDayCalendarId),
      QDate(2024, 4, 22));
  EXPECT_EQ(text(lengths), "mean 28.0, median 28, 28 days, SD 0.0");

  main_->Tabs()->setCurrentIndex(1);
  pickMenses(4, QDate(2024, 4, 20));  // a new row: 26 days, then 2 to the first day
  EXPECT_EQ(text(cycles), "5");
  main_->Tabs()->setCurrentIndex(2);
  EXPECT_TRUE(chartShows(5));
  main_->Tabs()->setCurrentIndex(1);
  pickMenses(0, QDate(2024, 1, 5));  // 24 days instead of 28
  EXPECT_EQ(text(lengths), "mean 21.6, median 26, 2 to 28 days, SD 11.1");
  list->SelectRow(4);
  QTest::keyClick(list, Qt::Key_Delete);  // 24 28 28 28
  EXPECT_EQ(text(lengths), "mean 27.0, median 28, 24 to 28 days, SD 2.0");
  main_->Tabs()->setCurrentIndex(2);
  EXPECT_TRUE(chartShows(4));

  Answered(M::kCmdLogOff, kIdNo);  // without saving
  EXPECT_EQ(text(cycles), "");
#ifdef LUNARET_INSIGHTS_CHART
  EXPECT_FALSE(page->Chart()->isVisible());
#else
  EXPECT_FALSE(FindControlAs<QLabel>(page, InsightsPage::kChartMissingId)->isVisible());
#endif
}

}  // namespace
}  // namespace lunaret
