#include <QApplication>
#include <clocale>

#include "ui_test_support.h"

// Deferred deletions and timers of a test are run before the next test begins.
class SettleAfterEachTest : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo&) override { lunaret::test::Settle(); }
};

// Every UI suite runs on the offscreen platform with a pinned time zone and locale, also when
// started by hand or by test discovery.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("TZ", "UTC", 0);
  setenv("LC_ALL", "C", 0);
  tzset();
  const lunaret::test::TempFolder home;  // nothing a test does may reach the real store
  setenv("XDG_DATA_HOME", home.path().c_str(), 1);
  std::setlocale(LC_ALL, "");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new SettleAfterEachTest);  // owned there
  return RUN_ALL_TESTS();
}
