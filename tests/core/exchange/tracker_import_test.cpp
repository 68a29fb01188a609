// Other trackers' exports in Lunaret's terms: drip's and a spreadsheet's CSV, gzip and its cap,
// the runs, flows and ovulations of a conversion, and its merge into a history.
#include "core/exchange/tracker_import.h"

#include "../test_support.h"
#include "core/cycles/dates.h"
#include "core/exchange/drip_csv.h"
#include "core/exchange/gzip_reader.h"
#include "core/exchange/history_merge.h"
#include "core/exchange/span_csv.h"

namespace lunaret {
namespace {

const auto Day = [](int y, int m, int d) { return MakeTimeValue(MakeDate(y, m, d), 1, 1, 1); };

JournalDay Logged(Flow flow, SymptomSet symptoms = 0, std::vector<std::string> own = {},
                  std::string note = {}) {
  JournalDay day;
  day.flow = flow;
  day.symptoms = symptoms;
  day.ownSymptoms = std::move(own);
  day.note = std::move(note);
  return day;
}

TEST(TrackerImportTest, DripRowsBecomeFlowsSymptomsNotesAndPeriodsThatCount) {
  const std::string drip =
      "date,bleeding.value,bleeding.exclude,temperature.value,pain.cramps,pain.tenderBreasts,"
      "pain.migraine,mood.happy,note.value,sex.solo\n"
      "2022-01-03,2,false,36.5,true,false,,,,\n"
      "2022-01-04,3,,,,true,true,,\"tired, cold\",\n"
      "2022-01-06,0,,,,,,,,\n"  // one day missing: the same period
      "2022-01-20,1,true,,,,,,,\n"
      "2022-02-01,1,,36.6,,,,true,,false\n";
  EXPECT_TRUE(IsDripCsv(drip));
  EXPECT_FALSE(IsSpanCsv(drip));
  const TrackerImport got = ConvertTrackerData(ReadDripCsv(drip), {});
  ASSERT_TRUE(got.ok());
  EXPECT_EQ(got.records,
            (std::vector<StatisticsRecord>{{Day(2022, 1, 3), 0}, {Day(2022, 2, 1), 0}}));
  const Journal days = {
      {DayNumberOf(2022, 1, 3), Logged(Flow::kMedium, SymptomBit(Symptom::kCramps))},
      {DayNumberOf(2022, 1, 4),
       Logged(Flow::kHeavy, SymptomBit(Symptom::kTenderBreasts), {"migraine"}, "tired, cold")},
      {DayNumberOf(2022, 1, 6), Logged(Flow::kSpotting)},
      {DayNumberOf(2022, 1, 20), Logged(Flow::kLight)},
      {DayNumberOf(2022, 2, 1), Logged(Flow::kLight)}};
  EXPECT_EQ(got.days, days);
  EXPECT_EQ(got.leftOut, (std::map<std::string, std::size_t>{{"\"mood\" entries", 1},
                                                             {"temperature readings", 2}}));

  const TrackerImport bad = ConvertTrackerData(
      ReadDripCsv("date,bleeding.value\n2022-01-03,4\n,1\n2022-02-30,1\n2022-03-01,1\n"), {});
  EXPECT_EQ(bad.problemCount, 3u);
  EXPECT_EQ(bad.problems,
            (std::vector<TrackerProblem>{{"line 3", TrackerProblemKind::kNotADate, ""},
                                         {"line 2", TrackerProblemKind::kUnknownFlow, "4"},
                                         {"line 4", TrackerProblemKind::kNotADate, "2022-02-30"}}));
  EXPECT_TRUE(bad.records.empty() && bad.days.empty());
}

TEST(TrackerImportTest, ASpreadsheetsStartAndEndColumnsAreItsPeriods) {
  const std::string sheet = "Start,End,Ovulation\n2022-01-03,2022-01-07,2022-01-17\n2022-01-31,,\n";
  EXPECT_TRUE(IsSpanCsv(sheet));
  const TrackerImport got = ConvertTrackerData(ReadSpanCsv(sheet), {});
  EXPECT_EQ(got.records, (std::vector<StatisticsRecord>{{Day(2022, 1, 3), Day(2022, 1, 17)},
                                                        {Day(2022, 1, 31), 0}}));
  EXPECT_TRUE(got.days.empty());
  const TrackerImport bad = ConvertTrackerData(
      ReadSpanCsv("start,end\n2022-01-03,2022-01-01\n1969-12-01,\n2022-01-09,soon\n"), {});
  EXPECT_EQ(bad.problems,
            (std::vector<TrackerProblem>{
                {"line 3", TrackerProblemKind::kOutOfRange, "1969-12-01"},
                {"line 2", TrackerProblemKind::kWrongShape, "the end is before the start"},
                {"line 4", TrackerProblemKind::kNotADate, "soon"}}));
}

// Periods before, between and after hers; ovulations fill in the cycle that holds them, hers
// or the file's, the first of a cycle only.
TEST(TrackerImportTest, PeriodsAndOvulationsMergeIntoHerHistory) {
  TrackerData clue;
  clue.source = "Clue";
  for (const char* date : {"2022-02-01", "2022-02-02", "2022-04-01", "2022-06-01"})
    clue.periodDays.push_back({date, date, "Heavy", true, false});
  clue.periodDays.push_back({"2022-02-02", "again", "spotting", true, false});  // the heavier
  clue.notes.push_back({"2022-02-01", "long", std::string(kMaxNoteChars + 1, 'a')});
  for (const char* date :
       {"2022-01-05", "2022-02-14", "2022-02-16", "2022-03-15", "2022-05-15", "2022-06-14"})
    clue.ovulations.push_back({date, date});
  const std::vector<StatisticsRecord> hers = {{Day(2022, 3, 1), 0},
                                              {Day(2022, 5, 1), Day(2022, 5, 14)}};
  const TrackerImport got = ConvertTrackerData(clue, hers);
  ASSERT_TRUE(got.ok());
  EXPECT_EQ(got.leftOut,
            (std::map<std::string, std::size_t>{{"notes longer than 2000 characters", 1},
                                                {"ovulations before the first period", 1},
                                                {"second ovulations of a cycle", 1}}));
  EXPECT_EQ(got.days.at(DayNumberOf(2022, 2, 2)).flow, Flow::kHeavy);
  const ImportPlan plan = PlanImport(hers, got.records);
  EXPECT_EQ(ApplyImport(hers, plan),
            (std::vector<StatisticsRecord>{{Day(2022, 2, 1), Day(2022, 2, 14)},
                                           {Day(2022, 3, 1), Day(2022, 3, 15)},
                                           {Day(2022, 4, 1), 0},
                                           {Day(2022, 5, 1), Day(2022, 5, 14)},
                                           {Day(2022, 6, 1), Day(2022, 6, 14)}}));
  clue.periodDays[1].flow = "gushing";
  EXPECT_EQ(
      ConvertTrackerData(clue, hers).problems,
      (std::vector<TrackerProblem>{{"2022-02-02", TrackerProblemKind::kUnknownFlow, "gushing"}}));
}

TEST(TrackerImportTest, GzipUnpacksWholeDataOnlyAndRefusesABomb) {
  std::string out;
  const std::string two = test::Gzip("[{\"version\":\"1\"}]") + test::Gzip("x", 3);
  EXPECT_EQ(Gunzip(two, &out), GzipResult::kOk);
  EXPECT_EQ(out, "[{\"version\":\"1\"}]xxx");
  EXPECT_EQ(Gunzip(two.substr(0, two.size() - 3), &out), GzipResult::kDamaged);
  EXPECT_EQ(Gunzip(two + "junk", &out), GzipResult::kDamaged);
  EXPECT_EQ(Gunzip("plain", &out), GzipResult::kDamaged);
  EXPECT_EQ(Gunzip(test::Gzip("hello"), &out, 5), GzipResult::kOk);
  EXPECT_EQ(Gunzip(test::Gzip("hello!"), &out, 5), GzipResult::kTooLarge);
  const std::string bomb = test::Gzip(std::string(1 << 20, '\0'), 101);  // 101 MB in 100 kB
  EXPECT_LT(bomb.size(), 200'000u);
  EXPECT_EQ(Gunzip(bomb, &out), GzipResult::kTooLarge);
  EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace lunaret
