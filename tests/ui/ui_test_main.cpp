#include <QApplication>
#include <clocale>
#include <ctime>

#include "ui_test_support.h"

// Deferred deletions and timers of a test are run before the next test begins.
class SettleAfterEachTest : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo&) override { lunaret::test::Settle(); }
};

namespace {

// Sets name to value; unless replace, only when it is not set yet.
void SetEnv(const char* name, const char* value, bool replace) {
  if (replace || !qEnvironmentVariableIsSet(name))
    qputenv(name, value);
}

}  // namespace

// Every UI suite runs on the offscreen platform with a pinned time zone and locale, also when
// started by hand or by test discovery.
int main(int argc, char** argv) {
  SetEnv("QT_QPA_PLATFORM", "offscreen", false);
  SetEnv("TZ", "UTC", false);
  SetEnv("LC_ALL", "C", false);
#ifdef _WIN32
  _tzset();
#else
  tzset();
#endif
  const lunaret::test::TempFolder home;  // nothing a test does may reach the real store
  SetEnv("XDG_DATA_HOME", home.path().c_str(), true);
  std::setlocale(LC_ALL, "");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new SettleAfterEachTest);  // owned there
  return RUN_ALL_TESTS();
}
