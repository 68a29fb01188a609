// Backup of the store in use and its restore (refusals that leave every file as it was, the old
// store kept without its log reaching the new one); the forecast's calendar file via libical.
#include <fcntl.h>
#include <libical/ical.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "../test_support.h"
#include "core/exchange/forecast_calendar.h"
#include "core/exchange/store_backup.h"
#include "core/store/journal_store.h"

// A rename from a name that ends so fails, as on a disk that has gone read-only.
static std::string failRenameFrom;
extern "C" int rename(const char* from, const char* to) {
  if (!failRenameFrom.empty() && std::string_view(from).ends_with(failRenameFrom)) {
    errno = EROFS;
    return -1;
  }
  return static_cast<int>(syscall(SYS_renameat, AT_FDCWD, from, AT_FDCWD, to));
}

namespace lunaret {
namespace {

std::vector<StatisticsRecord> AnnasRecords(const std::string& path) {
  test::StoreRun run(path);
  return LoadStatistics(run.store, "Anna");
}

class StoreBackupTest : public test::StoreTest {
 protected:
  RestoreOutcome Restore(const std::string& backup) {  // "-": no backup file
    if (backup != "-")
      test::WriteFile(backup_, backup);
    return RestoreStore(backup_, path_, 1709288100);  // 2024-03-01 10:15:00 UTC
  }
  std::map<std::string, std::string> Files() { return test::Files(folder_.path() + "/lunaret"); }

  const std::string backup_ = path_ + ".bak";
};

TEST_F(StoreBackupTest, RefusalsChangeNothingThenTheBackupRestoresAndTheOldStoreIsKept) {
  const std::vector<StatisticsRecord> saved = {{1078448461, 0}, {1080867661, 1082077261}};
  SaveStatistics(store(), "Anna", saved);
  JournalDay logged;
  logged.note = "\xCE\xB1";  // her journal comes back with the rest
  ASSERT_TRUE(SaveJournalChanges(store(), "Anna", {}, {{DayNumberOf(2004, 3, 5), logged}}));
  std::string image;
  ASSERT_TRUE(ReadStoreImage(path_, &image));  // while the store is open
  const std::tuple<const char*, std::string, RestoreResult> cases[] = {
      {"the store in use", image, RestoreResult::kInUse},
      {"no such file", "-", RestoreResult::kCannotRead},
      {"0 bytes", "", RestoreResult::kNotAStore},
      {"another program's", std::string(image).replace(68, 4, "XXXX"), RestoreResult::kNotAStore},
      {"a damaged store", std::string(image).replace(8192, 4096, 4096, 'U'),
       RestoreResult::kNotAStore},
  };
  for (const auto& [name, backup, result] : cases) {
    SCOPED_TRACE(name);
    std::filesystem::remove(backup_);
    const auto before = Files();
    EXPECT_EQ(Restore(backup).result, result);
    std::filesystem::remove(backup_);
    EXPECT_EQ(Files(), before);
    Close();
  }

  // A copy that ended without folding its log in, after it had removed everything.
  ASSERT_EQ(test::RunSql(path_, "DELETE FROM vals", true), SQLITE_OK);
  ASSERT_TRUE(Files().contains("registry.db-wal"));
  const RestoreOutcome outcome = Restore(image);
  ASSERT_EQ(outcome.result, RestoreResult::kRestored);
  EXPECT_EQ(outcome.keptAs, path_ + ".before-restore-20240301-101500");
  EXPECT_EQ(Files().size(), 3u);  // the backup, the store, the old one: no temporary, no log
  EXPECT_EQ(Files().at("registry.db.bak"), image);
  EXPECT_EQ(std::filesystem::status(path_).permissions(), std::filesystem::perms(0600));
  EXPECT_EQ(AnnasRecords(path_), saved);
  {
    test::StoreRun restored(path_);
    EXPECT_EQ(LoadJournal(restored.store, "Anna"), (Journal{{DayNumberOf(2004, 3, 5), logged}}));
  }
  EXPECT_TRUE(AnnasRecords(outcome.keptAs).empty());
  EXPECT_EQ(Restore(image).keptAs, outcome.keptAs + "-2");  // a second one in that second
  // A file that is no store is only moved aside, with its log.
  test::WriteFile(path_, "notes");
  test::WriteFile(path_ + "-wal", "their log");
  EXPECT_EQ(test::ReadFile(Restore(image).keptAs + "-wal"), "their log");
  EXPECT_FALSE(std::filesystem::exists(path_ + "-wal"));
}

// A restore that cannot take the store, or cannot move its logs aside, or gets a FIFO or a device
// for a backup, refuses and leaves every file as it was, the store's log included.
TEST_F(StoreBackupTest, EveryFailureRefusesAndLeavesEveryFileAsItWas) {
  SaveStatistics(store(), "Anna", {{1078448461, 0}});
  std::string image;
  ASSERT_TRUE(ReadStoreImage(path_, &image));
  Close();
  ASSERT_EQ(test::RunSql(path_, "DELETE FROM vals", true), SQLITE_OK);  // a copy that crashed
  std::string damaged = std::string(image).replace(16, 2, "\x12\x34");  // no page size
  const std::string fifo = folder_.path() + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    const char* name;
    std::string store, backup, failRename;  // store "": as it is; backup "": no file of ours
    RestoreResult result;
    const char* reason;
  } cases[] = {
      {"a backup that is no store", "", "notes", "", RestoreResult::kNotAStore, ""},
      {"a damaged store", damaged, image, "", RestoreResult::kCannotWrite,
       "file is not a database"},
      {"its log cannot move", "notes", image, "-wal", RestoreResult::kCannotWrite,
       "Read-only file system"},
      {"its journal cannot move", "notes", image, "-journal", RestoreResult::kCannotWrite,
       "Read-only file system"},
      {"a FIFO", "", fifo, "", RestoreResult::kNotAStore, ""},
      {"a device", "", "/dev/null", "", RestoreResult::kNotAStore, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.store.empty()) {
      test::WriteFile(path_, c.store);
      test::WriteFile(path_ + "-journal", "their journal");
    }
    const auto before = Files();
    failRenameFrom = c.failRename;
    const RestoreOutcome outcome =
        c.backup.starts_with('/') ? RestoreStore(c.backup, path_, 1709288100) : Restore(c.backup);
    failRenameFrom.clear();
    EXPECT_EQ(outcome.result, c.result);
    EXPECT_EQ(outcome.systemError, c.reason);
    std::filesystem::remove(backup_);
    EXPECT_EQ(Files(), before);
  }
}

// The copies that killed restores left, with their logs, go with the next restore that holds the
// store, or with the next start; names that only look like them stay.
TEST_F(StoreBackupTest, CopiesOfKilledRestoresGoWhenTheStoreIsFreeAndOnlyThey) {
  std::string image;
  ASSERT_TRUE(ReadStoreImage(path_, &image));
  const std::string copy = path_ + ".restore-AbC123";
  const std::vector<std::string> left = {copy, copy + "-wal", copy + "-shm", copy + "-journal"};
  const std::vector<std::string> kept = {path_ + ".restore-AbC12", copy + "-walx", copy + ".keep",
                                         path_ + "x.restore-AbC123"};
  for (const char* step : {"in use", "restore", "start"}) {
    SCOPED_TRACE(step);
    for (const std::string& name : left)
      test::WriteFile(name, "left");
    for (const std::string& name : kept)
      test::WriteFile(name, "kept");
    if (std::string_view(step) == "restore")
      Close();
    if (std::string_view(step) == "start")
      Reopen();
    else
      EXPECT_EQ(Restore(image).result,
                step[0] == 'i' ? RestoreResult::kInUse : RestoreResult::kRestored);
    for (const std::string& name : left)
      EXPECT_EQ(std::filesystem::exists(name), step[0] == 'i') << name;
    for (const std::string& name : kept)
      EXPECT_TRUE(std::filesystem::exists(name)) << name;
  }
}

TEST_F(StoreBackupTest, MissingFoldersAreMadeForTheOwnerAndGoWithARefusal) {
  std::string image;
  ASSERT_TRUE(ReadStoreImage(path_, &image));
  test::WriteFile(backup_, image);
  const std::string top = folder_.path() + "/new";
  const std::string store = top + "/deeper/registry.db";
  test::WriteFile(folder_.path() + "/notes", "notes");
  EXPECT_EQ(RestoreStore(folder_.path() + "/notes", store, 0).result, RestoreResult::kNotAStore);
  EXPECT_FALSE(std::filesystem::exists(top));
  const mode_t previous = umask(0);
  EXPECT_EQ(RestoreStore(backup_, store, 0).result, RestoreResult::kRestored);
  umask(previous);
  for (const std::string& made : {top, top + "/deeper"})
    EXPECT_EQ(std::filesystem::status(made).permissions(), std::filesystem::perms::owner_all);
  EXPECT_EQ(AnnasRecords(store), std::vector<StatisticsRecord>{});
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
