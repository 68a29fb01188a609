#include "core/statistics.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/dates.h"
#include "recording_registry.h"
#include "test_store.h"
#include "test_support.h"

namespace lunaret {
namespace {

using test::ScopedTimeZone;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr TimeValue kDay = 86400;
constexpr TimeValue kMarch5 = 1078448461;  // Friday 5 March 2004, 01:01:01 UTC

// Cycles of 28 days from first; every other one with an ovulation on its day 15.
std::vector<StatisticsRecord> Records(int count, TimeValue first = kMarch5) {
  std::vector<StatisticsRecord> records;
  for (int i = 0; i < count; ++i)
    records.push_back({first + i * 28 * kDay, i % 2 == 0 ? first + (i * 28 + 14) * kDay : 0});
  return records;
}

using StatisticsStoreTest = test::StoreTest;

TEST_F(StatisticsStoreTest, SavedRecordsLoadBackInOrderAfterAReopen) {
  EXPECT_THAT(LoadStatistics(store(), "Anna"), IsEmpty());
  SaveStatistics(store(), "Anna", {});
  EXPECT_EQ(store().CountValues("Anna"), 1u);  // the count 0

  const auto records = Records(12);
  SaveStatistics(store(), "Anna", records);
  EXPECT_EQ(store().CountValues("Anna"), 25u);  // the count and 12 pairs, also ovulations of 0
  EXPECT_EQ(store().GetStatisticsDate("Anna", 10), records[10].mensesDate);
  EXPECT_EQ(store().GetStatisticsOvulationDate("Anna", 10), records[10].ovulationDate);
  backend_.Reopen();
  ASSERT_TRUE(backend_.ok());
  EXPECT_EQ(LoadStatistics(store(), "anna"), records);
}

TEST_F(StatisticsStoreTest, SavingTwoRecordsOverFiveRemovesIndicesTwoToFour) {
  SaveStatistics(store(), "Anna", Records(5));
  const auto two = Records(2, kMarch5 + 400 * kDay);
  SaveStatistics(store(), "Anna", two);
  EXPECT_EQ(LoadStatistics(store(), "Anna"), two);
  EXPECT_EQ(store().CountValues("Anna"), 5u);  // the count and two pairs
  EXPECT_EQ(store().GetStatisticsDate("Anna", 2), 0);
}

// A count with its top bit set loads no records; one far above what the key holds is cut to
// the number of values there, so that the load ends at once; saving over it leaves exactly the
// new records.
TEST_F(StatisticsStoreTest, DamagedCountsNeitherHangNorExhaustMemory) {
  const auto records = Records(3);
  SaveStatistics(store(), "Anna", records);
  for (std::uint32_t count : {0xFFFFFFFFu, 0x80000000u}) {
    store().SetStatisticsLength("Anna", count);
    EXPECT_THAT(LoadStatistics(store(), "Anna"), IsEmpty()) << count;
  }
  store().SetStatisticsLength("Anna", 0x7FFFFFFFu);
  const auto loaded = LoadStatistics(store(), "Anna");
  ASSERT_GE(loaded.size(), 3u);
  EXPECT_LE(loaded.size(), store().CountValues("Anna"));
  EXPECT_EQ(std::vector<StatisticsRecord>(loaded.begin(), loaded.begin() + 3), records);
  SaveStatistics(store(), "Anna", Records(1));
  EXPECT_EQ(LoadStatistics(store(), "Anna"), Records(1));
  EXPECT_EQ(store().CountValues("Anna"), 3u);
}

// Save deletes the stored records in index order and writes the count 0, then the new count and
// each record's date before its ovulation, all in one transaction; load reads in that order.
TEST_F(StatisticsStoreTest, SaveAndLoadGoInTheOrderOfTheirSteps) {
  SaveStatistics(store(), "Anna", Records(3));
  test::RecordingRegistry recording(backend_.registry());
  UserStore watched(recording);
  SaveStatistics(watched, "Anna", Records(2));
  EXPECT_EQ(recording.calls.front(), "BeginTransaction");
  EXPECT_EQ(recording.calls.back(), "CommitTransaction");
  EXPECT_THAT(recording.CallsStartingWith("DeleteValue"),
              ElementsAre("DeleteValue StatisticsDate0", "DeleteValue StatisticsOvalDate0",
                          "DeleteValue StatisticsDate1", "DeleteValue StatisticsOvalDate1",
                          "DeleteValue StatisticsDate2", "DeleteValue StatisticsOvalDate2"));
  EXPECT_THAT(recording.CallsStartingWith("SetValue"),
              ElementsAre("SetValue StatisticsLength", "SetValue StatisticsLength",
                          "SetValue StatisticsDate0", "SetValue StatisticsOvalDate0",
                          "SetValue StatisticsDate1", "SetValue StatisticsOvalDate1"));
  recording.calls.clear();
  LoadStatistics(watched, "Anna");
  EXPECT_THAT(recording.CallsStartingWith("QueryValue "),
              ElementsAre("QueryValue StatisticsLength", "QueryValue StatisticsDate0",
                          "QueryValue StatisticsOvalDate0", "QueryValue StatisticsDate1",
                          "QueryValue StatisticsOvalDate1"));
  EXPECT_EQ(recording.openKeys, 0);
}

TEST(DurationDays, CountsWholeDaysAcrossTheStartOfSummerTime) {
  if (!ScopedTimeZone::kRulesSupported)
    GTEST_SKIP() << "no POSIX time zone rules here";
  ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
  const StatisticsRecord before{MakeTimeValue(MakeDate(2024, 3, 20), 1, 1, 1), 0};
  const StatisticsRecord after{MakeTimeValue(MakeDate(2024, 4, 17), 1, 1, 1), 0};
  ASSERT_EQ(after.mensesDate - before.mensesDate, 28 * kDay - 3600);
  EXPECT_EQ(DurationDays(&before, &after), 28);
  const StatisticsRecord ovulation{before.mensesDate, after.mensesDate};
  EXPECT_EQ(OvulationOffsetDays(ovulation), 28);
  EXPECT_EQ(OvulationTextPicked(ovulation), "17 Apr. 2024, Wednesday (day 28)");
}

TEST(RowTexts, CountDaysAndFollowHowTheRowCameAbout) {
  ScopedTimeZone zone("UTC0");
  const StatisticsRecord a{kMarch5, 0}, b{kMarch5 + 28 * kDay, 0}, c{kMarch5 + 58 * kDay, 0};
  EXPECT_EQ(DurationDays(&a, &b), 28);
  EXPECT_EQ(DurationDays(&b, &c), 30);
  EXPECT_EQ(DurationDays(&c, &a), -58);
  EXPECT_EQ(DurationDays(nullptr, &a), -1);
  EXPECT_EQ(DurationDays(&a, nullptr), -1);
  EXPECT_EQ(IdText(0), "1.");
  EXPECT_EQ(IdText(9), "10.");
  const StatisticsRecord record{kMarch5, kMarch5 + 14 * kDay};
  EXPECT_EQ(MensesText(record), "5 Mar. 2004, Friday");
  EXPECT_EQ(OvulationTextLoaded(record), "19 Mar. 2004, Friday (14 days)");
  EXPECT_EQ(OvulationTextPicked(record), "19 Mar. 2004, Friday (day 14)");
  EXPECT_EQ(OvulationTextLoaded({kMarch5, kMarch5 - 3 * kDay}), "2 Mar. 2004, Tuesday (-3 days)");
  EXPECT_EQ(OvulationTextLoaded({kMarch5, 0}), "");
  EXPECT_EQ(OvulationTextPicked({kMarch5, 0}), "");
  // "Duration": any sign as loaded, only a positive one after a change.
  EXPECT_EQ(DurationTextLoaded(28), "28 days");
  EXPECT_EQ(DurationTextLoaded(0), "0 days");
  EXPECT_EQ(DurationTextLoaded(-2), "-2 days");
  EXPECT_EQ(DurationTextRecomputed(28), "28 days");
  EXPECT_EQ(DurationTextRecomputed(0), "");
  EXPECT_EQ(DurationTextRecomputed(-2), "");
}

}  // namespace
}  // namespace lunaret
