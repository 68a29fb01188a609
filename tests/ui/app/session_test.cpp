// Start-up and login: the command line, the whole session against real store files, name
// completion, the login check and the dedication.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <filesystem>

#include "app/calendar_app.h"
#include "app/command_line.h"
#include "app/login_dialog.h"
#include "app/main_dialog.h"
#include "app/register_dialog.h"
#include "controls/dedication_dialog.h"
#include "controls/hover_button.h"
#include "core/store/store_file.h"
#include "ui_test_support.h"
#ifdef LUNARET_STORE_BACKUP
#include "app/restore_command.h"
#include "core/exchange/store_backup.h"
#endif

namespace lunaret {
namespace {

// Points XDG_DATA_HOME at a fresh folder; every message box is recorded.
class SessionTest : public ::testing::Test {
 protected:
  test::TempStore temp_;
  const std::filesystem::path home_ = std::filesystem::path(temp_.path()).parent_path();
  const test::ScopedEnv xdg_{"XDG_DATA_HOME", home_.string().c_str()};
  const std::filesystem::path file_ = home_ / "lunaret" / "registry.db";
  test::MessageBoxRecorder boxes_;
};

#ifdef LUNARET_STORE_FILE
TEST_F(SessionTest, AStoreThatCannotBeOpenedEndsTheProgramUntouchedAndExitAtTheLoginEndsIt) {
  std::filesystem::create_directories(file_.parent_path());
  test::WriteFile(file_.string(), "These are my notes.\n");
  test::DialogWatcher<LoginDialog> logins([](LoginDialog* login) {
    EXPECT_EQ(login->parentWidget(), nullptr);
    QTest::keyClick(login->UserNameBox()->lineEdit(), Qt::Key_Escape);
  });
  test::DialogWatcher<MainDialog> mains;
  EXPECT_FALSE(CalendarApp().InitInstance());
  EXPECT_EQ(boxes_.Shown(), "Unable to ran Lunaret | Lunaret | 0x10");
  EXPECT_EQ(logins.shown, 0);
  EXPECT_EQ(std::filesystem::file_size(file_), 20u);
  std::filesystem::remove(file_);
  EXPECT_FALSE(CalendarApp().InitInstance());  // an empty store is created; Escape at the login
  EXPECT_TRUE(std::filesystem::exists(file_));
  EXPECT_EQ(std::pair(logins.shown, mains.shown), std::pair(1, 0)) << "a login, no main window";
  // A login dialog whose store cannot be opened says so and ends before it shows.
  test::FaultyRegistry unreachable(temp_.registry());
  unreachable.refuseOpen = true;
  UserStore store(unreachable);
  LoginDialog dialog(store);
  boxes_.Clear();
  EXPECT_EQ(dialog.exec(), QDialog::Rejected);
  EXPECT_EQ(boxes_.Shown(), "Unable to ran Lunaret | Lunaret | 0x10");
  dialog.show();
  EXPECT_FALSE(dialog.isVisible());
}
#endif

// Start-up, registration, login, a change saved, log off, log in again: the data is there,
// and still there for the next run of the program.
TEST_F(SessionTest, RegisterLogInSaveLogOffLogInAgainKeepsTheData) {
  bool mainRan = false;
  test::WhenModal<LoginDialog>([&mainRan](LoginDialog* login) {
    EXPECT_EQ(login->UserNameBox()->count(), 0);
    test::WhenModal<RegisterDialog>([](RegisterDialog* registration) {
      test::Type(registration->UserNameField(), " Vessa ");
      test::Type(registration->PasswordField(), "moon");
      test::Type(registration->ConfirmationField(), "moon");
      QTest::mouseClick(registration->OkButton(), Qt::LeftButton);
    });
    QTest::mouseClick(login->RegisterButton(), Qt::LeftButton);
    EXPECT_EQ(login->UserNameBox()->currentText(), QStringLiteral("Vessa"));
    EXPECT_EQ(login->focusWidget(), login->PasswordField());
    test::WhenModal<MainDialog>([&mainRan](MainDialog* main) {
      mainRan = true;
      auto* duration = FindControlAs<QLineEdit>(main, 1009);
      EXPECT_EQ(duration->text(), QStringLiteral("29"));
      test::Retype(duration, "27");
      QTest::mouseClick(main->SaveButton(), Qt::LeftButton);
      main->Command(MainDialog::kCmdLogOff)->trigger();
      EXPECT_NE(duration->text(), QStringLiteral("27"));
      test::WhenModal<LoginDialog>([](LoginDialog* again) {
        test::Type(again->UserNameBox()->lineEdit(), "v");  // completes to Vessa
        test::Type(again->PasswordField(), "moon");
        QTest::keyClick(again->PasswordField(), Qt::Key_Return);
      });
      main->Command(MainDialog::kCmdLogIn)->trigger();
      EXPECT_EQ(main->UserName() + duration->text(), QStringLiteral("Vessa27"));
      QTest::mouseClick(main->ExitButton(), Qt::LeftButton);
    });
    test::Type(login->PasswordField(), "moon");
    QTest::mouseClick(login->LoginButton(), Qt::LeftButton);
  });
#ifdef LUNARET_STORE_FILE
  const std::string store = file_.string();  // the program's own store below XDG_DATA_HOME
  CalendarApp app;
#else
  // The registry's store is her real data: the program runs on the test's scratch key instead.
  const std::string store = temp_.path();
  CalendarApp app([&store](StoreOpenResult*) { return test::OpenStore(store); });
#endif
  EXPECT_FALSE(app.InitInstance());
  EXPECT_TRUE(mainRan);
  EXPECT_EQ(boxes_.Shown(), "");
  test::StoreRun later(store);
  std::string password;
  EXPECT_TRUE(later.store.GetPassword("Vessa", &password) && password == "moon");
  EXPECT_EQ(later.store.GetDuration("Vessa"), "27");
}

TEST_F(SessionTest, TypedNamesCompleteFromTheSortedListOnlyWhileTheyGrow) {
  const test::ScopedDefaultLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
  for (const char* name : {"Bob", "Änne", "Anna", "Alex"})
    temp_.AddUser(name, "2");
  LoginDialog dialog(temp_.store());
  dialog.show();
  QLineEdit* edit = dialog.UserNameBox()->lineEdit();
  // Each step: the keys typed, then the text with its selected part in brackets.
  const std::pair<const char*, const char*> steps[] = {
      {"a", "A[lex]"}, {"n", "An[na]"},  // replaces the selected tail
      {"\b", "An"},    {"\b", "A"},      // shorter: no completion
      {"L", "Al[ex]"}, {"\bX", "AlX"}};  // growing again completes, if anybody has the name
  for (const auto& [keys, shown] : steps) {
    QTest::keyClicks(edit, QString::fromLatin1(keys));  // '\b' is the Backspace key
    const QString text = edit->text(), tail = edit->selectedText();
    EXPECT_EQ(tail.isEmpty() ? text : text.chopped(tail.size()) + "[" + tail + "]", shown);
  }
  edit->setText("anna");  // no edit notification: no completion
  dialog.PasswordField()->setText(QStringLiteral("2"));
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.UserName(), QStringLiteral("anna")) << "logged in as typed";
}

// Each attempt on a fresh dialog over Anna ("Secret") and lumo (with the row's password). A
// refusal empties and focuses only the password; the dedication shows only for the built-in
// pair, and only once the store has admitted it.
TEST_F(SessionTest, LoginChecksTheStoreAndShowsTheDedicationOnlyForTheBuiltInPair) {
  // lumo's stored password (null: no such user), the name and password typed, what follows.
  const std::tuple<const char*, const char*, const char*, const char*> attempts[] = {
      {"corvel", "Anna", "secret", "refused"},  {"corvel", "Nobody", "Secret", "refused"},
      {"corvel", "", "Secret", "refused"},      {"corvel", "LUMO", "corvel", "dedication"},
      {"Corvel", "lumo", "Corvel", "admitted"}, {"Corvel", "lumo", "corvel", "refused"},
      {nullptr, "lumo", "corvel", "refused"}};
  for (const auto& [lumo, name, password, outcome] : attempts) {
    SCOPED_TRACE(testing::Message() << name << ' ' << password);
    test::TempStore temp;
    temp.AddUser("Anna", "Secret");
    if (lumo != nullptr)
      temp.AddUser("lumo", lumo);
    boxes_.Clear();
    test::DialogWatcher<DedicationDialog> dedications(
        [](DedicationDialog* dedication) { dedication->OkButton()->click(); });
    LoginDialog dialog(temp.store());
    dialog.show();
    dialog.UserNameBox()->lineEdit()->setText(name);
    QTest::keyClicks(dialog.PasswordField(), password);
    QTest::mouseClick(dialog.LoginButton(), Qt::LeftButton);
    const bool refused = std::string(outcome) == "refused";
    EXPECT_EQ(dedications.shown, std::string(outcome) == "dedication" ? 1 : 0);
    EXPECT_EQ(dialog.result(), refused ? 0 : QDialog::Accepted);
    EXPECT_EQ(boxes_.Shown(),
              refused ? "Invalid user or bad password! | Lunaret Login | 0x10" : "");
    EXPECT_EQ(dialog.UserNameBox()->currentText(), name);
    if (refused) {
      EXPECT_TRUE(dialog.PasswordField()->text().isEmpty());
      EXPECT_EQ(dialog.focusWidget(), dialog.PasswordField());
    }
  }
}

// The command line, read before any window: --help, --version and mistakes (status 2).
TEST(CommandLineTest, HelpVersionAndMistakes) {
  // The arguments, the exit status, a piece of standard output and one of standard error.
  const std::tuple<QStringList, std::optional<int>, const char*, const char*> cases[] = {
      {{}, std::nullopt, "", ""},
      {{"-platform", "offscreen", "--style=fusion"}, std::nullopt, "", ""},
      {{"--version"}, 0, "Lunaret " LUNARET_VERSION "\n", ""},
      {{"--help"}, 0, "Usage: lunaret [options]", ""},
      {{"--bogus"}, 2, "", "Unknown option 'bogus'"},
      {{"--help-all"}, 2, "", "Usage: lunaret [options]"},
      {{"stray"}, 2, "", "unexpected argument 'stray'"},
  };
  for (const auto& [arguments, status, output, errors] : cases) {
    SCOPED_TRACE(arguments.join(' ').toStdString());
    const CommandLine line(QStringList{QStringLiteral("lunaret")} + arguments);
    EXPECT_EQ(line.ExitStatus(), status);
    EXPECT_TRUE(line.Output().contains(QString::fromUtf8(output)));
    EXPECT_TRUE(line.Errors().contains(QString::fromUtf8(errors)));
    EXPECT_EQ(line.Output().isEmpty(), *output == '\0');
  }
}

#ifdef LUNARET_STORE_BACKUP
// "lunaret --restore FILE": what it did on standard output with status 0, or why nothing was
// changed on standard error with status 1.
TEST_F(SessionTest, RestoreSaysWhatItDidOrWhyNothingWasChanged) {
  ASSERT_TRUE(temp_.store().SetPassword("Anna", "pw"));
  std::string image;
  ASSERT_TRUE(ReadStoreImage(temp_.path(), &image));
  const QString backup = QString::fromStdString((home_ / "backup.db").string());
  const QString notes = QString::fromStdString((home_ / "notes.txt").string());
  test::WriteFile(backup.toStdString(), image);
  test::WriteFile(notes.toStdString(), "These are my notes.\n");
  const QString open = QString::fromStdString(temp_.path());
  const QString store = QString::fromStdString(file_.string());
  const std::tuple<QString, QString, int, QString> cases[] = {
      {backup, open, 1,
       "lunaret: the store " + open +
           " is in use by another copy of Lunaret; close it and try again. Nothing was changed.\n"},
      {backup + ".gone", store, 1,
       "lunaret: cannot read " + backup +
           ".gone: No such file or directory. Nothing was changed.\n"},
      {notes, store, 1,
       "lunaret: " + notes + " is not a Lunaret store, or it is damaged. Nothing was changed.\n"},
      {backup, store, 0, "Restored all data from " + backup + " into " + store + ".\n"},
      {backup, store, 0,
       "Restored all data from " + backup + " into " + store +
           ".\nThe data it replaced is kept as " + store + ".before-restore-20240301-101500.\n"},
  };
  for (const auto& [file, target, status, said] : cases) {
    SCOPED_TRACE(said.toStdString());
    const RestoreReport report =
        RunRestore(QFile::encodeName(file), target.toStdString(), 1709288100);
    EXPECT_EQ(report.status, status);
    EXPECT_EQ(status == 0 ? report.output : report.errors, said);
    EXPECT_TRUE((status == 0 ? report.errors : report.output).isEmpty());
  }
  EXPECT_TRUE(test::StoreRun(file_.string()).store.FindUser("anna"));
}

// A backup whose name is not text in the user's encoding is restored all the same, in every
// form of the option; a store in folders that are missing gets them.
TEST_F(SessionTest, RestoreTakesTheBackupsNameAsTheSystemsBytes) {
  ASSERT_TRUE(temp_.store().SetPassword("Anna", "pw"));
  std::string image;
  ASSERT_TRUE(ReadStoreImage(temp_.path(), &image));
  const QByteArray name =
      QFile::encodeName(QString::fromStdString(home_.string())) + "/b\xff\xfe.db";
  test::WriteFile(name.toStdString(), image);
  const QList<QByteArrayList> forms = {{"--restore", name},
                                       {"--restore=" + name},
                                       {"-restore", name},
                                       {"-platform", "offscreen", "--restore", name}};
  for (const QByteArrayList& form : forms) {
    SCOPED_TRACE(form.join(' ').toStdString());
    const QByteArrayList raw = QByteArrayList{"lunaret"} + form;
    QStringList arguments;
    for (const QByteArray& argument : raw)
      arguments.append(QFile::decodeName(argument));
    const CommandLine line(arguments, raw);
    ASSERT_TRUE(line.RestoreFile());
    EXPECT_EQ(*line.RestoreFile(), name);
    const std::filesystem::path store = home_ / "new" / "lunaret" / "registry.db";
    EXPECT_EQ(RunRestore(*line.RestoreFile(), store.string(), 1709288100).status, 0);
    EXPECT_TRUE(test::StoreRun(store.string()).store.FindUser("anna"));
  }
}

#endif

}  // namespace
}  // namespace lunaret
