// A user's reminder settings and the days they were sent for, in two values of her key beside
// the rest.
#include "core/store/reminder_store.h"

#include <gmock/gmock.h>

#include "../test_support.h"
#include "core/store/statistics_store.h"
#include "core/store/user_snapshot.h"

namespace lunaret {
namespace {

class ReminderStoreTest : public test::StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    ASSERT_TRUE(store().SetPassword("Anna", "pw"));
    store().SetDuration("Anna", "29");
    SaveStatistics(store(), "Anna", {{100000, 0}, {2000000, 2100000}});
  }
};

TEST_F(ReminderStoreTest, SettingsAndSentDaysComeBackAsSavedAtTheirLimits) {
  EXPECT_EQ(LoadReminderSettings(store(), "Anna"), ReminderSettings());
  EXPECT_EQ(LoadRemindersSent(store(), "Anna"), RemindersSent());
  const ReminderSettings low{true, kMinDaysBefore, false, false, true, 0, false};
  const ReminderSettings high{false, kMaxDaysBefore, true, true, false, kMinutesPerDay - 1, true};
  const RemindersSent sent{DayNumberOf(2037, 12, 31), DayNumberOf(1970, 2, 1), 1, -1};
  for (const ReminderSettings& settings : {low, high}) {
    ASSERT_TRUE(SaveReminderSettings(store(), "Anna", settings));
    ASSERT_TRUE(SaveRemindersSent(store(), "Anna", sent));
    Reopen();
    EXPECT_EQ(LoadReminderSettings(store(), "Anna"), settings);
    EXPECT_EQ(LoadRemindersSent(store(), "Anna"), sent);
  }
  // Nobody's key is made for them.
  EXPECT_FALSE(SaveReminderSettings(store(), "Nobody", low));
  EXPECT_FALSE(SaveRemindersSent(store(), "Nobody", sent));
  EXPECT_FALSE(store().FindUser("Nobody"));
}

TEST_F(ReminderStoreTest, BytesOutsideTheFormatReadAsNothingSwitchedOn) {
  ReminderSettings settings{true};
  const std::string good = EncodeReminderSettings(settings);
  ASSERT_EQ(good, std::string("\x01\x01\x02\xB0\x04", 5));
  ReminderSettings read;
  EXPECT_TRUE(DecodeReminderSettings(good, &read));
  for (const std::string& bad :
       {good.substr(0, 4), good + '\0', std::string("\x02\x01\x02\xB0\x04", 5),
        std::string("\x01\x21\x02\xB0\x04", 5), std::string("\x01\x01\x00\xB0\x04", 5),
        std::string("\x01\x01\x08\xB0\x04", 5), std::string("\x01\x01\x02\xA0\x05", 5)}) {
    ReminderSettings untouched{false, 2, false, false, false, 7};
    EXPECT_FALSE(DecodeReminderSettings(bad, &untouched) || untouched.logMinute != 7)
        << testing::PrintToString(bad);
  }
  // 1439 is the last minute of the day.
  EXPECT_TRUE(DecodeReminderSettings(std::string("\x01\x01\x02\x9F\x05", 5), &read));
  EXPECT_EQ(read.logMinute, 1439);
  RemindersSent sent;
  std::string bytes = EncodeRemindersSent({});
  EXPECT_FALSE(DecodeRemindersSent(bytes.substr(0, 16), &sent));
  EXPECT_FALSE(DecodeRemindersSent((bytes[0] = '\x02', bytes), &sent));

  // Invalid settings are not saved; damaged and mistyped values read as none.
  settings.daysBefore = kMaxDaysBefore + 1;
  EXPECT_FALSE(SaveReminderSettings(store(), "Anna", settings));
  const RegKey key = Open(kCurrentUser, "Software\\Lunaret\\Anna", kKeyAllAccess);
  EXPECT_EQ(Read(key, kRemindersValue), "<absent>");
  ASSERT_EQ(Set(key, kRemindersValue, std::string("\x01\x01\x08\xB0\x04", 5), kRegBinary),
            kErrorSuccess);
  ASSERT_EQ(Set(key, kRemindersSentValue, EncodeRemindersSent({1, 2, 3, 4})), kErrorSuccess);
  EXPECT_EQ(LoadReminderSettings(store(), "Anna"), ReminderSettings());
  EXPECT_EQ(LoadRemindersSent(store(), "Anna"), RemindersSent());
}

TEST_F(ReminderStoreTest, TheValuesLiveBesideHerDataAndGoWithHer) {
  const UserSnapshot before = ReadUserSnapshot(store(), "Anna");
  const ReminderSettings settings{false, 2, true};
  ASSERT_TRUE(SaveReminderSettings(store(), "Anna", settings));
  ASSERT_TRUE(SaveRemindersSent(store(), "Anna", {5, 6, 7, 8}));
  // What the pages load and save is as it was, and saving it keeps the reminders.
  EXPECT_EQ(ReadUserSnapshot(store(), "Anna"), before);
  SaveStatistics(store(), "Anna", {{100000, 0}});
  store().DeleteStatistics("Anna");
  EXPECT_EQ(LoadReminderSettings(store(), "Anna"), settings);
  EXPECT_EQ(LoadRemindersSent(store(), "Anna"), RemindersSent({5, 6, 7, 8}));
  ASSERT_TRUE(store().DeleteUserKey("Anna"));
  ASSERT_TRUE(store().SetPassword("Anna", "pw"));
  EXPECT_EQ(LoadReminderSettings(store(), "Anna"), ReminderSettings());
  EXPECT_EQ(LoadRemindersSent(store(), "Anna"), RemindersSent());
}

}  // namespace
}  // namespace lunaret
