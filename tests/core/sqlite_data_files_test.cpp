// Backup of the store in use and its restore (refusals that leave every file as it was, the old
// store kept without its log reaching the new one); the forecast's calendar file via libical.
#include <libical/ical.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "core/forecast_calendar.h"
#include "core/store_backup.h"
#include "core/store_file.h"
#include "test_support.h"

namespace lunaret {
namespace {

class StoreBackupTest : public ::testing::Test {
 protected:
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
      std::ifstream in(entry.path(), std::ios::binary);
      files[entry.path().filename()].assign(std::istreambuf_iterator<char>(in), {});
    }
    return files;
  }
  std::vector<StatisticsRecord> Records(const std::string& path) {  // Anna's
    StoreOpenResult result;
    auto registry = OpenSqliteStore(path, &result);
    UserStore store(*registry);
    return LoadStatistics(store, "Anna");
  }
  RestoreOutcome Restore(const std::string& backup) {
    std::ofstream(backup_) << backup;
    return RestoreStore(backup_, live_, 1709288100);  // 2024-03-01 10:15:00 UTC
  }

  test::TempFolder folder_;
  const std::string live_ = folder_.path() + "/registry.db", backup_ = live_ + ".bak";
  std::string image_;
};

TEST_F(StoreBackupTest, RefusalsChangeNothingThenTheBackupRestoresAndTheOldStoreIsKept) {
  const std::vector<StatisticsRecord> saved = {{1078448461, 0}, {1080867661, 1082077261}};
  StoreOpenResult result;
  auto running = OpenSqliteStore(live_, &result);
  UserStore store(*running);
  SaveStatistics(store, "Anna", saved);
  ASSERT_TRUE(ReadStoreImage(live_, &image_));  // while the store is open
  const struct {
    const char* name;
    std::string backup;  // "-": none
    RestoreResult result;
  } cases[] = {
      {"the store in use", image_, RestoreResult::kInUse},
      {"no such file", "-", RestoreResult::kCannotRead},
      {"0 bytes", "", RestoreResult::kNotAStore},
      {"another program's", std::string(image_).replace(68, 4, "XXXX"), RestoreResult::kNotAStore},
      {"a damaged store", std::string(image_).replace(8192, 4096, 4096, 'U'),
       RestoreResult::kNotAStore},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(backup_);
    const auto before = Files();
    EXPECT_EQ((c.backup == "-" ? RestoreStore(backup_, live_, 0) : Restore(c.backup)).result,
              c.result);
    std::filesystem::remove(backup_);
    EXPECT_EQ(Files(), before);
    running.reset();
  }

  // A copy that ended without folding its log in, after it had removed everything.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(live_.c_str(), &db), SQLITE_OK);
  sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  ASSERT_EQ(sqlite3_exec(db, "DELETE FROM vals", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  ASSERT_TRUE(Files().contains("registry.db-wal"));
  const RestoreOutcome outcome = Restore(image_);
  ASSERT_EQ(outcome.result, RestoreResult::kRestored);
  EXPECT_EQ(outcome.keptAs, live_ + ".before-restore-20240301-101500");
  EXPECT_EQ(Files().size(), 3u);  // the backup, the store, the old one: no temporary, no log
  EXPECT_EQ(Files().at("registry.db.bak"), image_);
  struct stat info {};
  EXPECT_EQ(stat(live_.c_str(), &info) == 0 ? info.st_mode & 0777 : 0, 0600u);
  EXPECT_EQ(Records(live_), saved);
  EXPECT_TRUE(Records(outcome.keptAs).empty());
  EXPECT_EQ(Restore(image_).keptAs, outcome.keptAs + "-2");  // a second one in that second
}

// Each event as "UID SUMMARY DTSTART DTEND SEQUENCE | DESCRIPTION".
std::vector<std::string> Events(const std::string& text) {
  std::vector<std::string> events;
  icalcomponent* calendar = icalparser_parse_string(text.c_str());
  for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
       e != nullptr; e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
    const char* description = icalcomponent_get_description(e);
    events.push_back(std::string(icalcomponent_get_uid(e)) + " " + icalcomponent_get_summary(e) +
                     " " + icaltime_as_ical_string(icalcomponent_get_dtstart(e)) + " " +
                     icaltime_as_ical_string(icalcomponent_get_dtend(e)) + " " +
                     std::to_string(icalcomponent_get_sequence(e)) + " | " +
                     (description != nullptr ? description : ""));
  }
  icalcomponent_free(calendar);
  return events;
}

TEST(ForecastCalendarTest, AllDayEventsReadBackWithUidsKeptAcrossExports) {
  // Begun on 10 Jan, 28 days: seen on 12 Jan, the next periods begin 7 Feb, 6 Mar, ...
  ForecastSchedule january = ScheduleFromDuration(MakeDate(2024, 1, 10), 28, MakeDate(2024, 1, 12));
  january.periods[0].earlyDays = 2;
  january.periods[0].lateDays = 3;
  january.fertileWindows = {{MakeDate(2024, 1, 24), MakeDate(2024, 1, 29)}};
  const std::vector<std::string> first = Events(WriteForecastCalendar("Anna", january, 1.705e9));
  const std::string uid = ForecastEventUid("Anna", "period", 1).substr(8);  // "-<user>@lunaret"
  ASSERT_EQ(first.size(), 7u);
  EXPECT_EQ(first[0].substr(0, first[0].find(" | ")),
            "period-1" + uid + " Period expected 20240207 20240208 2119386");
  EXPECT_EQ(first[5].substr(0, 42 + uid.size()),
            "period-6" + uid + " Period expected 20240626 20240627");
  EXPECT_NE(first[0].find("Expected between 2024-02-05 and 2024-02-10."), std::string::npos);
  EXPECT_EQ(first[6], "fertile-1" + uid + " Fertile window 20240124 20240130 2119386 | " +
                          "Estimated from your history; not a method of contraception.");

  // Later, a new first day and length: the same six events, moved. 10 Mar is already past.
  const std::vector<std::string> second = Events(WriteForecastCalendar(
      "ANNA", ScheduleFromDuration(MakeDate(2024, 2, 9), 30, MakeDate(2024, 3, 20)), 1.708e9));
  EXPECT_EQ(second[0].substr(0, second[0].find(" | ")),
            "period-1" + uid + " Period expected 20240409 20240410 2169386");
  EXPECT_NE(ForecastEventUid("Bea", "period", 1).substr(8), uid);
}

}  // namespace
}  // namespace lunaret
