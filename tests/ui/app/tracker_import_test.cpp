// Import history with other trackers' exports in the real main window: what each becomes, asked
// first, and a damaged file of each refused with nothing changed.
#include <zlib.h>

#include <QTabWidget>
#include <QTemporaryDir>

#include "app/data_commands.h"
#include "app/file_chooser.h"
#include "app/main_dialog.h"
#include "controls/hover_button.h"
#include "core/exchange/history_csv.h"
#include "pages/calendar_page.h"
#include "pages/statistics_list.h"
#include "pages/statistics_page.h"
#include "ui_test_support.h"

namespace lunaret {
namespace {

// text repeated times, gzipped.
QByteArray Gzip(const QByteArray& text, int times = 1) {
  z_stream stream{};
  deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  QByteArray out, buffer(1 << 16, '\0');
  for (int i = 0; i < times; ++i) {
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.constData()));
    stream.avail_in = static_cast<uInt>(text.size());
    do {
      stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
      stream.avail_out = static_cast<uInt>(buffer.size());
      deflate(&stream, i + 1 == times ? Z_FINISH : Z_NO_FLUSH);
      out.append(buffer.constData(), buffer.size() - stream.avail_out);
    } while (stream.avail_out == 0);
  }
  deflateEnd(&stream);
  return out;
}

// Anna's window with her periods of 1 January and 1 March 2022, files answered by path_.
class TrackerImportTest : public ::testing::Test, public FileChooser {
 protected:
  void SetUp() override {
    SetCurrent(this);
    temp_.AddUser("Anna", "a", 1646096461);
    SaveStatistics(temp_.store(), "Anna", {{1641000000, 0}, {1646096461, 0}});
    main_ = std::make_unique<MainDialog>(temp_.store(), QStringLiteral("Anna"));
    main_->show();
  }
  void TearDown() override { SetCurrent(nullptr); }
  QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
    return path_;
  }
  QString OpenFileName(QWidget*, const QString&, const QString&) override { return path_; }
  void Import(const QString& name, const QByteArray& bytes, int answer = kIdOk) {
    path_ = folder_.filePath(name);
    QFile file(path_);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    boxes_.Clear();
    boxes_.Answer(answer);
    main_->Command(DataCommands::kCmdImportHistory)->trigger();
  }
  std::string History() const {
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
  QString path_;
  std::unique_ptr<MainDialog> main_;
};

struct Source {
  const char* name;
  QByteArray bytes;
  const char* question;
  const char* history;  // after Yes
  const char* days;
};

TEST_F(TrackerImportTest, EachTrackersExportBecomesPeriodsDaysAndOvulations) {
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
  const std::string stored = History();
  for (const Source& source : sources) {
    SCOPED_TRACE(source.name);
    Import(source.name, source.bytes, kIdNo);
    EXPECT_EQ(boxes_.Shown(), QString(source.question) + " | Lunaret import history... | 0x34");
    EXPECT_EQ(History(), stored);
    Import(source.name, source.bytes, kIdYes);
    EXPECT_EQ(History(), source.history);
    EXPECT_EQ(Days(), source.days);
    EXPECT_TRUE(main_->SaveButton()->isEnabled());
    main_->Command(MainDialog::kCmdDiscardChanges)->trigger();  // answered Yes
    EXPECT_EQ(History(), stored);
  }
}

TEST_F(TrackerImportTest, ADamagedExportChangesNothingAndNamesItsFirstProblem) {
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
  const std::string stored = History();
  for (const auto& [message, bytes] : files) {
    SCOPED_TRACE(message);
    Import("export", bytes, kIdYes);
    EXPECT_TRUE(boxes_.Shown().startsWith("Nothing was imported from " + path_ +
                                          ": it looks like " + message))
        << boxes_.Shown().toStdString();
    EXPECT_TRUE(boxes_.Shown().endsWith(" | Lunaret import history... | 0x30"));
    EXPECT_EQ(History(), stored);
    EXPECT_TRUE(main_->Calendar()->CurrentJournal().empty());
    EXPECT_FALSE(main_->SaveButton()->isEnabled());
  }
}

}  // namespace
}  // namespace lunaret
