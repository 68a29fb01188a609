// Reminders for real: the settings dialog from the main window's Tools menu, and
// "lunaret --remind" run as its own process against a private session bus on which a small fake
// notification service records what it receives.
#include "app/main_dialog.h"

#ifdef LUNARET_HAS_REMINDERS

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QTimer>

#include "app/reminder_command.h"
#include "app/reminders_dialog.h"
#include "app/systemd_reminder_schedule.h"
#include "core/store/reminder_store.h"
#include "core/store/statistics_store.h"
#include "fake_notifications.h"
#include "pages/pages_test_util.h"
#include "ui_test_support.h"

namespace lunaret {
namespace {

// A user whose first day was `ago` days ago, with a 28-day forecast duration and, with history,
// four cycles of 28 days before it.
void AddUser(UserStore& store, const std::string& name, int ago, bool history,
             const ReminderSettings& settings) {
  store.SetPassword(name, "a");
  store.SetCycleStart(name, test::PickedTime(QDate::currentDate().addDays(-ago)));
  store.SetDuration(name, "28");
  std::vector<StatisticsRecord> records;
  for (int cycle = 4; history && cycle >= 0; --cycle)
    records.push_back({test::PickedTime(QDate::currentDate().addDays(-ago - 28 * cycle)), 0});
  SaveStatistics(store, name, records);
  SaveReminderSettings(store, name, settings);
}

class RemindCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home_.isValid());
    ASSERT_TRUE(bus_.Started()) << "no session bus of its own";
    registry_ = test::OpenStore(home_.filePath("data/lunaret/registry.db").toStdString());
    store_ = std::make_unique<UserStore>(test::Got(registry_, "the store"));
  }
  // Runs "lunaret --remind" as the timer would, in locale; its exit status and standard error.
  std::pair<int, QString> Remind(const QString& locale = QStringLiteral("C")) {
    QProcess lunaret;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus_.Address());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home_.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("LC_ALL"), locale);
    environment.remove(QStringLiteral("DISPLAY"));
    lunaret.setProcessEnvironment(environment);
    // The fake service answers on this thread's event loop while the program runs.
    QEventLoop loop;
    QObject::connect(&lunaret, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    lunaret.start(QCoreApplication::applicationDirPath() + "/lunaret", {"--remind"});
    loop.exec();
    EXPECT_TRUE(lunaret.state() == QProcess::NotRunning || (lunaret.kill(), false))
        << "lunaret --remind did not end";
    lunaret.waitForFinished();
    return {lunaret.exitStatus() == QProcess::NormalExit ? lunaret.exitCode() : -1,
            QString::fromLocal8Bit(lunaret.readAllStandardError())};
  }

  QTemporaryDir home_;
  test::PrivateSessionBus bus_{home_.filePath(QStringLiteral("bus.conf"))};
  QStringList& calls_ = bus_.Service().calls;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<UserStore> store_;
};

TEST_F(RemindCommandTest, EachUserDueGetsOneNotificationOnceAndNothingIsRecordedWithoutAService) {
  AddUser(*store_, "Anna", 26, false, {true});  // two days before, no details
  // On the day and the log, with details.
  AddUser(*store_, "Beth", 28, true, {false, 2, true, false, true, 0, true});
  AddUser(*store_, "Cara", 26, false, {});  // due, but nothing switched on
  AddUser(*store_, "Dora", 26, false, {true, 7, false, false, false, 0, true});

  EXPECT_EQ(Remind(), std::pair(0, QString()));
  const auto sent = [](const QString& summary, const QString& body) {
    return "Lunaret | 0 | org.lunaret.Lunaret | " + summary + " | " + body +
           " |  | desktop-entry=org.lunaret.Lunaret | -1";
  };
  const QString dora = QStringLiteral("A reminder for Dora");
  const QString inTwoDays = "Your next period is expected in 2 days, on %1.";
  const QDate twoDays = QDate::currentDate().addDays(2);
  EXPECT_EQ(calls_, QStringList({sent("Lunaret", "A reminder for Anna"),
                                 sent("A reminder for Beth",
                                      "Your next period is expected today (give or take 1 day)."
                                      "\nTime to log your day in Lunaret's calendar."),
                                 sent(dora, inTwoDays.arg(QLocale::c().toString(
                                                twoDays, QStringLiteral("dddd d MMMM"))))}));
  EXPECT_EQ(LoadRemindersSent(*store_, "Cara"), RemindersSent());
  EXPECT_NE(LoadRemindersSent(*store_, "Beth").logDay, kNeverSent);

  // A second run on the same day sends nothing.
  calls_.clear();
  EXPECT_EQ(Remind(), std::pair(0, QString()));
  EXPECT_EQ(calls_, QStringList());

  // Sent afresh, the day is in the words of her locale.
  ASSERT_TRUE(SaveRemindersSent(*store_, "Dora", {}));
  EXPECT_EQ(Remind(QStringLiteral("de_DE.UTF-8")), std::pair(0, QString()));
  EXPECT_EQ(
      calls_,
      QStringList(sent(
          dora, inTwoDays.arg(
                    QLocale(QLocale::German).toString(twoDays, QStringLiteral("dddd d MMMM"))))));

  // Nobody answers: one line, status 1, and nothing recorded as sent.
  ASSERT_TRUE(bus_.StopService());
  ASSERT_TRUE(SaveRemindersSent(*store_, "Dora", {}));
  const auto [status, errors] = Remind();
  EXPECT_EQ(status, 1);
  EXPECT_TRUE(errors.startsWith("lunaret: no notification service answered") &&
              errors.count('\n') == 1)
      << errors.toStdString();
  EXPECT_EQ(LoadRemindersSent(*store_, "Dora"), RemindersSent());
}

// Records the schedule's switches; answers with works.
struct FakeSchedule final : ReminderSchedule {
  FakeSchedule(QStringList* calls, bool works) : calls(calls), works(works) {}
  bool SetDaily(bool on) override { return *calls << (on ? "on" : "off"), works; }
  QStringList* calls;
  bool works;
};

class RemindersDialogTest : public ::testing::Test {
 protected:
  // Anna's window, logged in anew; the schedule works or not.
  void Open(bool scheduleWorks = true) {
    main_ = std::make_unique<MainDialog>(temp_.store(), QStringLiteral("Anna"));
    main_->show();
    main_->Reminders()->SetSchedule(std::make_unique<FakeSchedule>(&schedule_, scheduleWorks));
  }
  // Opens the dialog from the menu, acts on it and presses OK.
  void Edit(const std::function<void(RemindersDialog*)>& action) {
    test::WhenModal<RemindersDialog>([&](RemindersDialog* dialog) {
      ASSERT_NE(dialog, nullptr);
      action(dialog);
      dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    main_->Command(MainDialog::kCmdReminders)->trigger();
  }

  test::TempStore temp_;
  test::MessageBoxRecorder boxes_;
  QStringList schedule_;
  std::unique_ptr<MainDialog> main_;
};

TEST_F(RemindersDialogTest, SettingsAreSavedOnOkReadBackAtTheNextLogInAndSwitchTheTimer) {
  AddUser(temp_.store(), "Anna", 26, false, {});
  AddUser(temp_.store(), "Beth", 26, false, {});
  Open();
  EXPECT_TRUE(main_->Command(MainDialog::kCmdReminders)->isEnabled());
  Edit([](RemindersDialog* dialog) {
    EXPECT_FALSE(dialog->BeforeBox()->isChecked());
    EXPECT_FALSE(dialog->DaysBeforeBox()->isEnabled());
    // Four cycles are needed for a fertile window; she has none.
    EXPECT_FALSE(dialog->FertileBox()->isEnabled());
    EXPECT_TRUE(dialog->FertileBox()->toolTip().contains("needs at least 3 completed cycles"))
        << dialog->FertileBox()->toolTip().toStdString();
    QTest::mouseClick(dialog->BeforeBox(), Qt::LeftButton);
    EXPECT_TRUE(dialog->DaysBeforeBox()->isEnabled());
    dialog->DaysBeforeBox()->setValue(kMaxDaysBefore);
    dialog->LogBox()->setChecked(true);
    dialog->LogTimeEdit()->setTime(QTime(21, 30));
  });
  const ReminderSettings saved{true, kMaxDaysBefore, false, false, true, 21 * 60 + 30, false};
  EXPECT_EQ(LoadReminderSettings(temp_.store(), "Anna"), saved);
  EXPECT_EQ(LoadReminderSettings(temp_.store(), "Beth"), ReminderSettings());
  EXPECT_FALSE(main_->IsModified());
  EXPECT_EQ(schedule_, QStringList{"on"});

  Open();  // logged in anew
  Edit([](RemindersDialog* dialog) {
    EXPECT_TRUE(dialog->BeforeBox()->isChecked());
    EXPECT_EQ(dialog->DaysBeforeBox()->value(), kMaxDaysBefore);
    EXPECT_EQ(dialog->LogTimeEdit()->time(), QTime(21, 30));
    dialog->DetailsBox()->setChecked(true);
  });
  EXPECT_TRUE(LoadReminderSettings(temp_.store(), "Anna").showDetails);

  // Everything off: the daily runs stop, as no other user has a reminder.
  Edit([](RemindersDialog* dialog) {
    dialog->BeforeBox()->setChecked(false);
    dialog->LogBox()->setChecked(false);
  });
  EXPECT_EQ(schedule_, QStringList({"on", "on", "off"}));
  // While another user of the account has one, they go on.
  SaveReminderSettings(temp_.store(), "Beth", {false, 2, true});
  Edit([](RemindersDialog*) {});
  EXPECT_EQ(schedule_.last(), "on");
  EXPECT_EQ(boxes_.Shown(), QString());
  main_->Command(MainDialog::kCmdLogOff)->trigger();
  EXPECT_FALSE(main_->Command(MainDialog::kCmdReminders)->isEnabled());

  // With a history the fertile window is offered; a timer that cannot be started is said.
  AddUser(temp_.store(), "Anna", 10, true, {});
  Open(false);
  Edit([](RemindersDialog* dialog) {
    EXPECT_TRUE(dialog->FertileBox()->isEnabled());
    EXPECT_EQ(dialog->FertileBox()->toolTip(), QString());
    dialog->FertileBox()->setChecked(true);
  });
  EXPECT_TRUE(LoadReminderSettings(temp_.store(), "Anna").fertileWindow);
  EXPECT_EQ(boxes_.Shown(),
            "Lunaret could not start its daily reminders with systemctl, so they will come when "
            "you log in. | Lunaret reminders | 0x30");
}

// The timer is switched by "systemctl --user", here a stand-in that records its arguments.
TEST(SystemdReminderScheduleTest, SwitchesTheUserTimerAndTellsWhenSystemctlFails) {
  QTemporaryDir bin;
  const QByteArray path = qgetenv("PATH"), log = bin.filePath("calls").toUtf8();
  qputenv("PATH", bin.path().toUtf8() + ':' + path);
  for (const char* status : {"0", "1"}) {
    test::WriteFile(bin.filePath("systemctl").toStdString(),
                    "#!/bin/sh\necho \"$*\" >> '" + log.toStdString() + "'\nexit " + status);
    QFile(bin.filePath("systemctl")).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    SystemdReminderSchedule schedule;
    const bool on = schedule.SetDaily(true);
    EXPECT_EQ(std::pair(on, schedule.SetDaily(false)), std::pair(*status == '0', *status == '0'));
  }
  qputenv("PATH", path);
  EXPECT_EQ(test::ReadFile(log.toStdString()),
            "--user enable --now lunaret-reminders.timer\n"
            "--user disable --now lunaret-reminders.timer\n"
            "--user enable --now lunaret-reminders.timer\n"
            "--user disable --now lunaret-reminders.timer\n");
}

}  // namespace
}  // namespace lunaret

#endif
