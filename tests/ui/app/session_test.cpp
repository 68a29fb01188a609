// The whole session from start-up, against real store files.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "app/calendar_app.h"
#include "app/login_dialog.h"
#include "app/main_dialog.h"
#include "app/register_dialog.h"
#include "app_test_support.h"
#include "controls/hover_button.h"
#include "controls/ui_support.h"
#include "core/store_file.h"

namespace lunaret {
namespace {

using test::MessageBoxRecorder;

// Points XDG_DATA_HOME at a fresh folder for its lifetime.
class DataHome {
 public:
  DataHome() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "lunaret-session-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr)
      dir_ = pattern;
    const char* old = std::getenv("XDG_DATA_HOME");
    old_ = old != nullptr ? old : "";
    setenv("XDG_DATA_HOME", dir_.c_str(), 1);
  }
  ~DataHome() {
    setenv("XDG_DATA_HOME", old_.c_str(), 1);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  std::filesystem::path StorePath() const {
    return std::filesystem::path(dir_) / "lunaret" / "registry.db";
  }

 private:
  std::string dir_;
  std::string old_;
};

TEST(SessionTest, AStoreFileThatIsNoStoreEndsTheProgramAndStaysUntouched) {
  DataHome home;
  std::filesystem::create_directories(home.StorePath().parent_path());
  const std::string garbage = "These are my notes, not a database.\n";
  std::ofstream(home.StorePath(), std::ios::binary) << garbage;
  ASSERT_EQ(DefaultStorePath(), home.StorePath().string());

  MessageBoxRecorder boxes;
  test::DialogWatcher<LoginDialog> logins;
  CalendarApp app;
  EXPECT_FALSE(app.InitInstance());
  test::ExpectOnlyMessage(boxes, "Unable to ran Lunaret", "Lunaret", 0x10);
  EXPECT_EQ(logins.shown, 0);
  std::ifstream in(home.StorePath(), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), garbage);
}

TEST(SessionTest, ExitAtTheLoginEndsTheProgramWithoutAMainWindow) {
  DataHome home;
  MessageBoxRecorder boxes;
  test::DialogWatcher<MainDialog> mains;
  test::DialogWatcher<LoginDialog> logins([](LoginDialog* login) {
    EXPECT_EQ(login->parentWidget(), nullptr);
    QTest::keyClick(login->UserNameBox()->lineEdit(), Qt::Key_Escape);
  });
  CalendarApp app;
  EXPECT_FALSE(app.InitInstance());
  EXPECT_EQ(logins.shown, 1);
  EXPECT_EQ(mains.shown, 0);
  EXPECT_TRUE(boxes.Calls().empty());
  EXPECT_TRUE(std::filesystem::exists(home.StorePath()));  // an empty store was created
}

// Start-up, registration, login, a change saved, log off, log in again: the data is there,
// and still there for the next run of the program.
TEST(SessionTest, RegisterLogInSaveLogOffLogInAgainKeepsTheData) {
  DataHome home;
  MessageBoxRecorder boxes;
  bool mainRan = false;

  test::WhenModalOf<LoginDialog>([&mainRan](LoginDialog* login) {
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(login->UserNameBox()->count(), 0);
    test::WhenModalOf<RegisterDialog>([](RegisterDialog* registration) {
      ASSERT_NE(registration, nullptr);
      test::Type(registration->UserNameField(), " Vessa ");
      test::Type(registration->PasswordField(), "moon");
      test::Type(registration->ConfirmationField(), "moon");
      QTest::mouseClick(registration->OkButton(), Qt::LeftButton);
    });
    QTest::mouseClick(login->RegisterButton(), Qt::LeftButton);
    EXPECT_EQ(login->UserNameBox()->currentText(), QStringLiteral("Vessa"));

    test::WhenModalOf<MainDialog>([&mainRan](MainDialog* main) {
      ASSERT_NE(main, nullptr);
      mainRan = true;
      EXPECT_EQ(main->windowTitle(), QStringLiteral("Vessa Calendar :) - Vessa"));
      auto* duration = FindControlAs<QLineEdit>(main, 1009);
      ASSERT_NE(duration, nullptr);
      EXPECT_EQ(duration->text(), QStringLiteral("29"));
      duration->setFocus();
      duration->selectAll();
      test::Type(duration, "27");
      QTest::mouseClick(main->SaveButton(), Qt::LeftButton);
      EXPECT_FALSE(main->IsModified());

      main->Command(MainDialog::kCmdLogOff)->trigger();
      EXPECT_EQ(main->windowTitle(), QStringLiteral("Vessa Calendar :)"));
      EXPECT_NE(duration->text(), QStringLiteral("27"));

      test::WhenModalOf<LoginDialog>([](LoginDialog* again) {
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(again->UserNameBox()->itemText(0), QStringLiteral("Vessa"));
        test::Type(again->UserNameBox()->lineEdit(), "v");  // completes to Vessa
        test::Type(again->PasswordField(), "moon");
        QTest::keyClick(again->PasswordField(), Qt::Key_Return);
      });
      main->Command(MainDialog::kCmdLogIn)->trigger();
      EXPECT_EQ(main->UserName(), QStringLiteral("Vessa"));
      EXPECT_EQ(duration->text(), QStringLiteral("27"));
      QTest::mouseClick(main->ExitButton(), Qt::LeftButton);
    });
    test::Type(login->PasswordField(), "moon");
    QTest::mouseClick(login->LoginButton(), Qt::LeftButton);
  });

  CalendarApp app;
  EXPECT_FALSE(app.InitInstance());
  EXPECT_TRUE(mainRan);
  EXPECT_TRUE(boxes.Calls().empty());

  // A later run of the program reads the same data.
  StoreOpenResult result = StoreOpenResult::kOk;
  std::unique_ptr<Registry> registry = OpenDefaultStore(&result);
  ASSERT_NE(registry, nullptr);
  UserStore store(*registry);
  std::string password;
  ASSERT_TRUE(store.GetPassword("Vessa", &password));
  EXPECT_EQ(password, "moon");
  EXPECT_EQ(store.GetDuration("Vessa"), "27");
}

}  // namespace
}  // namespace lunaret
