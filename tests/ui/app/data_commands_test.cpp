// The data commands in the real main window: the import's question and its rows as unsaved
// changes, files written whole for their owner or not at all, and other trackers' exports: what
// each becomes, asked first, and a damaged file of each refused with nothing changed.
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#endif
#include <QDate>
#include <QTabWidget>
#include <QTemporaryDir>
#include <csignal>

#include "app/data_commands.h"
#include "app/file_chooser.h"
#include "app/main_dialog.h"
#include "controls/hover_button.h"
#include "core/exchange/history_csv.h"
#include "core/exchange/journal_csv.h"
#include "core/store/journal_store.h"
#include "pages/calendar_page.h"
#include "pages/statistics_list.h"
#include "pages/statistics_page.h"
#include "ui_test_support.h"

namespace lunaret {
namespace {

QByteArray Gzip(const QByteArray& text, int times = 1) {
  return QByteArray::fromStdString(test::Gzip(text.toStdString(), times));
}

// Anna's window, with the file dialogs answered by path_; the name a command offered is kept.
class DataCommandsTest : public ::testing::Test, public FileChooser {
 protected:
  void SetUp() override {
    SetCurrent(this);
    temp_.AddUser("Anna", "a", 1646096461);
    SaveStatistics(temp_.store(), "Anna", {{1641000000, 0}, {1646096461, 0}});  // 1 Jan, 1 Mar
    Open();
  }
  void TearDown() override { SetCurrent(nullptr); }
  QString SaveFileName(QWidget*, const QString&, const QString& name, const QString&) override {
    offered_ = name;
    return path_;
  }
  QString OpenFileName(QWidget*, const QString&, const QString&) override { return path_; }
  void Open() {
    main_ = std::make_unique<MainDialog>(temp_.store(), QStringLiteral("Anna"));
    main_->show();
    main_->Data()->SetStorePath(QString::fromStdString(temp_.path()));
  }
  // Runs a command on a file of the folder that holds bytes (none for a null array), on a disk
  // full past sizeLimit bytes (-1: not full; only where a process's files can be limited).
  void Run(int command, const QString& name, const QByteArray& bytes, int answer = kIdOk,
           long long sizeLimit = -1) {
    path_ = name.startsWith('/') ? name : folder_.filePath(name);
    QFile file(path_);
    if (!bytes.isNull() && file.open(QIODevice::WriteOnly))
      file.write(bytes);
    file.close();
    boxes_.Clear();
    boxes_.Answer(answer);
#ifdef _WIN32
    EXPECT_EQ(sizeLimit, -1) << "no limit to the size of files here";
    main_->Command(command)->trigger();
#else
    const rlim_t limit = sizeLimit < 0 ? RLIM_INFINITY : static_cast<rlim_t>(sizeLimit);
    const rlimit full{limit, RLIM_INFINITY}, unlimited{RLIM_INFINITY, RLIM_INFINITY};
    signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the test
    setrlimit(RLIMIT_FSIZE, &full);
    main_->Command(command)->trigger();
    setrlimit(RLIMIT_FSIZE, &unlimited);
#endif
  }
  std::string Shown() const {  // the list's records as a history file
    return WriteHistoryCsv(main_->Statistics()->List()->Records()).substr(42);
  }
  // The journal's days as "YYYY-MM-DD flow symptoms+own note;".
  std::string Days() const {
    std::string text;
    for (const auto& [day, logged] : main_->Calendar()->CurrentJournal()) {
      text += DayNumberText(day) + " " + std::to_string(static_cast<int>(logged.flow)) + " " +
              std::to_string(logged.symptoms) + " " + logged.note + ";";
    }
    return text;
  }

  test::TempStore temp_;
  test::MessageBoxRecorder boxes_;
  QTemporaryDir folder_;
  QString path_, offered_;
  std::unique_ptr<MainDialog> main_;
  const std::string stored_ = "2022-01-01,,59,\r\n2022-03-01,,,\r\n";
};

TEST_F(DataCommandsTest, ImportedRowsAreUnsavedChangesThatDiscardDropsAndSaveWrites) {
  const std::string merged =
      "2022-01-01,,31,\r\n2022-02-01,2022-02-14,28,13\r\n2022-03-01,"
      "2022-03-15,31,14\r\n2022-04-01,,,\r\n";
  for (int answer : {kIdNo, kIdYes, kIdYes}) {  // No; Yes then Discard; Yes then Save
    Run(DataCommands::kCmdImportHistory, "in.csv",
        "start,ovulation\r\n2022-02-01,2022-02-14\r\n2022-03-01,2022-03-15\r\n2022-04-01,", answer);
    EXPECT_EQ(boxes_.Shown(),
              "2 rows to add, 1 already there, 1 ovulation to fill in. Import? | "
              "Lunaret import history... | 0x34");
    const bool yes = answer == kIdYes;
    EXPECT_EQ(Shown(), yes ? merged : stored_);
    EXPECT_EQ(main_->SaveButton()->isEnabled(), yes);
    // January measured again to the new February; the trailing row stays last.
    StatisticsList* list = main_->Statistics()->List();
    EXPECT_EQ(list->CellText(0, StatisticsList::kDurationColumn), yes ? "31 days" : "59 days");
    EXPECT_EQ(list->CellText(4, StatisticsList::kIdColumn), yes ? "5." : "");
    main_->Command(MainDialog::kCmdDiscardChanges)->trigger();  // answered Yes
    EXPECT_EQ(Shown(), stored_);
  }
  Run(DataCommands::kCmdImportHistory, "in.csv", {}, kIdYes);
  main_->SaveButton()->click();
  Open();
  EXPECT_EQ(Shown(), merged);
  main_->Command(MainDialog::kCmdLogOff)->trigger();  // greys all but the backup
  // What a build leaves out is not in the menu ("-").
  QString enabled;
  for (int id : {DataCommands::kCmdExportHistory, DataCommands::kCmdExportJournal,
                 DataCommands::kCmdImportHistory, DataCommands::kCmdExportForecast,
                 DataCommands::kCmdBackUp})
    enabled += !main_->Command(id) ? '-' : main_->Command(id)->isEnabled() ? '1' : '0';
#if defined(LUNARET_FORECAST_CALENDAR) && defined(LUNARET_STORE_BACKUP)
  EXPECT_EQ(enabled, "00001");
#else
  EXPECT_EQ(enabled, "000--");
#endif
}

// Her journal goes out as a journal file; Import knows one by its header and merges its days,
// asked first: new days at the start and the end, a logged day gaining its note; a bad row
// refuses the file whole.
TEST_F(DataCommandsTest, AJournalFileGoesOutAndComesBackMergedIntoTheCalendar) {
  const auto log = [](Flow flow, Mood mood, SymptomSet symptoms = 0, std::string note = {}) {
    JournalDay day;
    day.flow = flow;
    day.mood = mood;
    day.symptoms = symptoms;
    day.note = std::move(note);
    return day;
  };
  const DayNumber jan = DayNumberOf(2022, 1, 10), feb = DayNumberOf(2022, 2, 10);
  Journal logged = {{jan, log(Flow::kHeavy, Mood::kNone)}, {feb, log(Flow::kNone, Mood::kCalm)}};
  ASSERT_TRUE(SaveJournalChanges(temp_.store(), "Anna", {}, logged));
  Open();
  Run(DataCommands::kCmdExportJournal, "out.csv", {});
  EXPECT_EQ(offered_, "lunaret-Anna-journal.csv");
  QFile written(path_);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(written.readAll().toStdString(), WriteJournalCsv(logged));

  Run(DataCommands::kCmdImportHistory, "in.csv",
      "date,flow,symptoms,mood,note\r\n2022-01-05,light,,,\r\n2022-02-10,,cramps,sad,"
      "\"\xCE\xB1, \"\"\xCE\xB2\"\"\"\r\n2022-03-01,,,happy,\r\n",
      kIdYes);
  EXPECT_EQ(boxes_.Shown(),
            "2 days to add, 1 logged already, of which 1 gains what it lacks. Import? | "
            "Lunaret import history... | 0x34");
  logged[DayNumberOf(2022, 1, 5)] = log(Flow::kLight, Mood::kNone);
  logged[feb] =
      log(Flow::kNone, Mood::kCalm, SymptomBit(Symptom::kCramps), "\xCE\xB1, \"\xCE\xB2\"");
  logged[DayNumberOf(2022, 3, 1)] = log(Flow::kNone, Mood::kHappy);
  EXPECT_EQ(main_->Calendar()->CurrentJournal(), logged);
  EXPECT_TRUE(main_->IsModified());
  EXPECT_EQ(main_->Tabs()->currentWidget(), main_->Calendar());

  Run(DataCommands::kCmdImportHistory, "bad.csv",
      "date,flow\r\n2022-04-01,\r\n2022-04-02,gushing,x\r\n");
  EXPECT_EQ(boxes_.Shown(), "Nothing was imported from " + path_ +
                                ": 1 bad line:\nline 3: not a flow: \"gushing\" | "
                                "Lunaret import history... | 0x30");
  EXPECT_EQ(main_->Calendar()->CurrentJournal(), logged);
}

#ifndef _WIN32
// A FIFO or a device to import from is refused at once, as a file that cannot be read is.
TEST_F(DataCommandsTest, ImportRefusesWhatIsNotAFileWithoutWaiting) {
  const QString fifo = folder_.filePath("fifo.csv");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  for (const QString& path : {fifo, QStringLiteral("/dev/null")}) {
    SCOPED_TRACE(path.toStdString());
    Run(DataCommands::kCmdImportHistory, path, {});
    EXPECT_EQ(boxes_.Shown(), "Unable to read " + path +
                                  ":\nIt is not a regular file (a FIFO or a device). | "
                                  "Lunaret import history... | 0x10");
    EXPECT_EQ(Shown(), stored_);
  }
}
#endif

TEST_F(DataCommandsTest, FilesAreWrittenWholeForTheirOwnerOrNotAtAllAndBadFilesChangeNothing) {
  using D = DataCommands;
  const QString unable = "Unable to write %1:\n";
  const QByteArray none;
  const struct {
    int command;
    QString file, message;
    unsigned flags;
    QByteArray before, after;  // the file's bytes (null: none), and how it starts afterwards
    long long sizeLimit = -1;  // a disk full past that many bytes
  } cases[] = {
      {D::kCmdImportHistory, "bad.csv",
       "Nothing was imported from %1: 2 bad lines:\nline 3: not a "
       "date: \"2022-13-01\"\nline 5: 1961-06-01 is outside 1970-02-01 to 2037-12-31",
       0x30, "start\n2022-05-01\n2022-13-01\n\n1961-06-01\n", "start"},
      {D::kCmdExportHistory, "lunaret-Anna-history.csv", "Exported 2 rows to %1.", 0x40,
       "an older, longer file", "start,ovulation,cycle_days,ovulation_day\r\n2022-01-01,,59,\r\n"},
#ifdef LUNARET_FORECAST_CALENDAR
      {D::kCmdExportForecast, "lunaret-Anna-forecast.ics", "Exported 6 expected periods to %1.",
       0x40, none, "BEGIN:VCALENDAR\r\n"},
#endif
#ifdef LUNARET_STORE_BACKUP
      {D::kCmdBackUp, "lunaret-backup-" + QDate::currentDate().toString(Qt::ISODate) + ".db",
       "All data was backed up to %1.", 0x40, none, QByteArray("SQLite format 3", 16)},
#endif
      {D::kCmdExportHistory, "folder.csv", unable, 0x10, none, "-"},
#ifndef _WIN32
      {D::kCmdExportHistory, "/proc/no-permission.csv", unable, 0x10, none, "-"},
      {D::kCmdExportHistory, "full.csv", unable, 0x10, "old", "old", 20},
#endif
  };
  QDir(folder_.path()).mkdir("folder.csv");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.toStdString());
    Run(c.command, c.file, c.before, kIdOk, c.sizeLimit);
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_TRUE(boxes_.Calls()[0].text.startsWith(c.message.arg(path_)));
    EXPECT_EQ(boxes_.Calls()[0].flags, c.flags);
    QFile file(path_);
    EXPECT_TRUE((file.open(QIODevice::ReadOnly) ? file.readAll() : "-").startsWith(c.after));
    if (c.flags == 0x40) {  // the name offered, and the file for its owner alone
      EXPECT_EQ(offered_, c.file);
#ifndef _WIN32  // Windows has no file modes
      EXPECT_EQ(file.permissions() & 0x7077, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
#endif
    }
    EXPECT_TRUE(QDir(folder_.path()).entryList(QDir::Files | QDir::Hidden).filter("csv.").empty());
    EXPECT_EQ(Shown(), stored_);
    EXPECT_FALSE(main_->IsModified());
  }
}

struct Source {
  const char* name;
  QByteArray bytes;
  const char* question;
  const char* history;  // after Yes
  const char* days;
};

TEST_F(DataCommandsTest, EachTrackersExportBecomesPeriodsDaysAndOvulations) {
  const Source sources[] = {
      {"measurements.json",
       R"([{"type":"period","date":"2022-02-01","value":{"option":"heavy"}},
           {"type":"period","date":"2022-02-02","value":{"option":"light"}},
           {"type":"pain","date":"2022-02-01","value":{"option":"period_cramps"}},
           {"type":"ovulation_test","date":"2022-02-15","value":{"option":"ovulation_positive"}},
           {"type":"bbt","date":"2022-02-03","value":{"celsius":36.5}}])",
       "A Clue export: 1 period to add, 2 days to log, 1 ovulation to fill in; not imported: 1 "
       "temperature reading. Import?",
       "2022-01-01,,31,\r\n2022-02-01,2022-02-15,28,14\r\n2022-03-01,,,\r\n",
       "2022-02-01 4 1 ;2022-02-02 2 0 ;"},
      {"flo.json",
       R"({"operationalData":{"cycles":[
           {"period_start_date":"2022-03-01 00:00:00.0","period_end_date":"2022-03-05 00:00:00.0"},
           {"period_start_date":"2022-04-02 00:00:00.0"}],
         "point_events_manual_v2":[
           {"category":"OvulationTest","subcategory":"Positive","date":"2022-03-14 00:00:00.0"},
           {"category":"OvulationTest","subcategory":"Negative","date":"2022-03-12 00:00:00.0"},
           {"category":"Ovulation","date":"2022-04-16 00:00:00.0"}],"notes":[{},{}]}})",
       "A Flo export: 1 period to add, 0 days to log, 2 ovulations to fill in; not imported: 1 "
       "\"OvulationTest\" entry, 2 \"notes\" entries. Import?",
       "2022-01-01,,59,\r\n2022-03-01,2022-03-14,32,13\r\n2022-04-02,2022-04-16,,14\r\n", ""},
      {"Periodical-backup.json.gz", Gzip(R"([{"version":"1"},{"data":[
           {"eventtype":"1","eventdate":"20220201","intensity":"4"},
           {"eventtype":"2","eventdate":"20220202","intensity":"1"},
           {"eventtype":"1","eventdate":"20220401","intensity":"2"},
           {"eventtype":"1","eventdate":"20220403","intensity":"2"}]},{"options":[]},
           {"notes":[{"eventdate":"20220201","content":"Ouch"}]},{"symptoms":[{}]}])"),
       "A Periodical export: 3 periods to add, 4 days to log, 0 ovulations to fill in; not "
       "imported: 1 symptom entry. Import?",
       "2022-01-01,,31,\r\n2022-02-01,,28,\r\n2022-03-01,,31,\r\n2022-04-01,,2,\r\n"
       "2022-04-03,,,\r\n",
       "2022-02-01 4 0 Ouch;2022-02-02 1 0 ;2022-04-01 2 0 ;2022-04-03 2 0 ;"},
      {"mensinator.json",
       R"({"periods":[{"date":"2022-04-01","period_id":7},{"date":"2022-04-02","period_id":7},
           {"date":"2022-04-03","period_id":8}],"ovulations":[{"date":"2022-04-14"}],
           "symptoms":[],"symptom_date":[{},{},{}]})",
       "A Mensinator export: 2 periods to add, 0 days to log, 1 ovulation to fill in; not "
       "imported: 3 symptom entries. Import?",
       "2022-01-01,,59,\r\n2022-03-01,,31,\r\n2022-04-01,,2,\r\n2022-04-03,2022-04-14,,11\r\n", ""},
  };
  const std::string stored = Shown();
  for (const Source& source : sources) {
    SCOPED_TRACE(source.name);
    Run(DataCommands::kCmdImportHistory, source.name, source.bytes, kIdNo);
    EXPECT_EQ(boxes_.Shown(), QString(source.question) + " | Lunaret import history... | 0x34");
    EXPECT_EQ(Shown(), stored);
    Run(DataCommands::kCmdImportHistory, source.name, source.bytes, kIdYes);
    EXPECT_EQ(Shown(), source.history);
    EXPECT_EQ(Days(), source.days);
    EXPECT_TRUE(main_->SaveButton()->isEnabled());
    main_->Command(MainDialog::kCmdDiscardChanges)->trigger();  // answered Yes
    EXPECT_EQ(Shown(), stored);
  }
}

TEST_F(DataCommandsTest, ADamagedExportChangesNothingAndNamesItsFirstProblem) {
  const std::pair<const char*, QByteArray> files[] = {
      {"a Clue export, but it has 2 problems:\n[0]: not a date: \"2022-13-01\"\n[1]: not a "
       "flow: \"gushing\"",
       R"([{"type":"period","date":"2022-13-01","value":{"option":"heavy"}},
           {"type":"period","date":"2022-02-02","value":{"option":"gushing"}}])"},
      {"a Flo export, but it has 1 problem:\noperationalData.cycles: not an array",
       R"({"operationalData":{"cycles":{}}})"},
      {"a Periodical export, but it has 1 problem:\nthe file: damaged gzip data",
       Gzip("[{\"version\":\"1\"}]").chopped(4)},
      {"a Periodical export, but it has 1 problem:\nthe file: unpacks to more than 100 MB",
       Gzip(QByteArray(1 << 20, '\0'), 101)},
      {"a Mensinator export, but it has 1 problem:\nperiods[0].date: 2038-01-05 is outside "
       "1970-02-01 to 2037-12-31",
       R"({"periods":[{"date":"2038-01-05","period_id":1}]})"},
      {"a drip export, but it has 1 problem:\nline 2: not a flow: \"5\"",
       "date,bleeding.value\n2022-02-01,5\n"},
      {"a spreadsheet of periods, but it has 1 problem:\nline 2: the end is before the start",
       "start,end\n2022-02-05,2022-02-01\n"},
      {"a JSON file, but it has 1 problem:\nthe file: larger than 10 MB",
       "[" + QByteArray(10 * 1024 * 1024, ' ') + "]"},
      {"a Flo export, but it has 1 problem:\nthe file: not JSON (", R"({"operationalData": [)"},
  };
  const std::string stored = Shown();
  for (const auto& [message, bytes] : files) {
    SCOPED_TRACE(message);
    Run(DataCommands::kCmdImportHistory, "export", bytes, kIdYes);
    EXPECT_TRUE(boxes_.Shown().startsWith("Nothing was imported from " + path_ +
                                          ": it looks like " + message))
        << boxes_.Shown().toStdString();
    EXPECT_TRUE(boxes_.Shown().endsWith(" | Lunaret import history... | 0x30"));
    EXPECT_EQ(Shown(), stored);
    EXPECT_TRUE(main_->Calendar()->CurrentJournal().empty());
    EXPECT_FALSE(main_->SaveButton()->isEnabled());
  }
}

}  // namespace
}  // namespace lunaret
