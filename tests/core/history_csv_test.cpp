// History files: the written form, what the reader accepts and refuses with the line of each
// bad row, and the rules of merging imported records into a history.
#include "core/history_csv.h"

#include <gtest/gtest.h>

#include "core/dates.h"
#include "core/history_merge.h"
#include "test_store.h"
#include "test_support.h"

namespace lunaret {
namespace {

// A day picked in the date picker: 01:01:01 local time.
TimeValue Day(int year, int month, int day) {
  return MakeTimeValue(MakeDate(year, month, day), 1, 1, 1);
}

std::string Rows(int count, const std::string& row) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += row;
  return text;
}

TEST(HistoryCsvTest, WrittenFormReadsBackAsTheSameRecords) {
  const std::vector<StatisticsRecord> records = {{Day(2023, 1, 5), Day(2023, 1, 19)},
                                                 {Day(2023, 2, 2), 0},
                                                 {Day(2023, 3, 3), Day(2023, 3, 16)}};
  const std::string csv = WriteHistoryCsv(records);
  EXPECT_EQ(csv,
            "start,ovulation,cycle_days,ovulation_day\r\n"
            "2023-01-05,2023-01-19,28,14\r\n"
            "2023-02-02,,29,\r\n"
            "2023-03-03,2023-03-16,,13\r\n");
  const HistoryFile file = ReadHistoryCsv(csv);
  ASSERT_TRUE(file.ok());
  EXPECT_EQ(file.records, records);
  // Into an empty history: every record, in order.
  EXPECT_EQ(ApplyImport({}, PlanImport({}, file.records)), records);
}

TEST(HistoryCsvTest, AcceptedForms) {
  const std::vector<StatisticsRecord> two = {{Day(2020, 2, 1), Day(2020, 2, 14)},
                                             {Day(2037, 12, 31), 0}};
  const std::string big = "start\n" + Rows(10000, "2021-06-01\n");
  const struct {
    const char* name;
    std::string text;
  } cases[] = {
      {"LF, extra columns", "note,start,ovulation\nx,2020-02-01,2020-02-14\ny,2037-12-31,\n"},
      {"BOM, CRLF, any order",
       "\xEF\xBB\xBFovulation,START\r\n2020-02-14,2020-02-01\r\n,2037-12-31"},
      {"quotes, blanks, blank rows",
       "\"start\",\" Ovulation \",\"a \"\"note\"\"\"\n\n\"2020-02-01\", 2020-02-14 ,\"x,\ny\"\n"
       ",,\n2037-12-31\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const HistoryFile file = ReadHistoryCsv(c.text);
    ASSERT_TRUE(file.ok());
    EXPECT_EQ(file.records, two);
  }
  const HistoryFile large = ReadHistoryCsv(big);
  ASSERT_TRUE(large.ok());
  EXPECT_EQ(large.records.size(), 10000u);
}

TEST(HistoryCsvTest, RefusedFilesNameTheProblemAndLine) {
  std::string binary(512, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i)
    binary[i] = static_cast<char>(i * 7);
  const std::string header = "start,ovulation\n";
  const struct {
    const char* name;
    std::string text;
    HistoryFileError error;
    int line;  // of the first bad row, 0 for none
    RowProblem problem;
    const char* field;
  } cases[] = {
      {"0 bytes", "", HistoryFileError::kEmpty, 0, {}, ""},
      {"binary", binary, HistoryFileError::kNotText, 0, {}, ""},
      {"Latin-1", header + "2020-02-01\n\xE9t\xE9\n", HistoryFileError::kNotText, 0, {}, ""},
      {"overlong UTF-8", header + "\xC0\xAF\n", HistoryFileError::kNotText, 0, {}, ""},
      {"no start column",
       "begin,ovulation\n2020-02-01,\n",
       HistoryFileError::kNoStartColumn,
       0,
       {},
       ""},
      {"over 10 MB",
       "start\n" + Rows(1000000, "2021-06-01\n"),
       HistoryFileError::kTooLarge,
       0,
       {},
       ""},
      {"bad row at 9,999 of 10,000",
       header + Rows(9997, "2021-06-01,\n") + "2021-06-01x,\n" + "2021-06-01,\n",
       HistoryFileError::kNone, 9999, RowProblem::kNotADate, "2021-06-01x"},
      {"no such day", header + "2021-02-29,\n", {}, 2, RowProblem::kNotADate, "2021-02-29"},
      {"ovulation not a date", header + "2021-02-01,soon\n", {}, 2, RowProblem::kNotADate, "soon"},
      {"before the picker's range",
       header + "\n1970-01-31,\n",
       {},
       3,
       RowProblem::kOutOfRange,
       "1970-01-31"},
      {"after it",
       header + "2037-12-31,2038-01-01\n",
       {},
       2,
       RowProblem::kOutOfRange,
       "2038-01-01"},
      {"ovulation before start",
       header + "2021-02-10,2021-02-09\n",
       {},
       2,
       RowProblem::kOvulationBeforeStart,
       ""},
      {"missing start", "ovulation,start\n2021-02-10\n", {}, 2, RowProblem::kMissingStart, ""},
      {"open quote",
       header + "2021-02-10,\n\"2021-02-11\n",
       {},
       3,
       RowProblem::kUnterminatedQuote,
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const HistoryFile file = ReadHistoryCsv(c.text);
    EXPECT_FALSE(file.ok());
    EXPECT_EQ(file.error, c.error);
    ASSERT_EQ(file.badRows.size(), c.line == 0 ? 0u : 1u);
    if (c.line != 0) {
      EXPECT_EQ(file.badRows[0].line, c.line);
      EXPECT_EQ(file.badRows[0].problem, c.problem);
      EXPECT_EQ(file.badRows[0].text, c.field);
    }
  }
}

TEST(HistoryMergeTest, SkipsKnownDaysFillsOvulationsAndPlacesByDate) {
  // Central European time: a record kept at 00:30 local time lies on the previous UTC day.
  test::ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
  const TimeValue halfPastMidnight = MakeTimeValue(MakeDate(2022, 3, 1), 0, 30, 0);
  const StatisticsRecord jan{Day(2022, 1, 1), 0};
  const StatisticsRecord mar{halfPastMidnight, 0};
  const StatisticsRecord feb{Day(2022, 2, 1), Day(2022, 2, 15)};  // out of order, by hand
  const std::vector<StatisticsRecord> existing = {jan, mar, feb};
  const struct {
    const char* name;
    std::vector<StatisticsRecord> incoming;
    std::vector<StatisticsRecord> merged;
    std::size_t already;
  } cases[] = {
      {"same local day fills an empty ovulation",
       {{Day(2022, 3, 1), Day(2022, 3, 14)}},
       {jan, {halfPastMidnight, Day(2022, 3, 14)}, feb},
       1},
      {"an ovulation there stays", {{Day(2022, 2, 1), Day(2022, 2, 20)}}, existing, 1},
      {"before the first later start; date order among new ones",
       {{Day(2022, 5, 1), 0}, {Day(2021, 12, 1), 0}, {Day(2022, 2, 10), 0}, {Day(2022, 1, 20), 0}},
       {{Day(2021, 12, 1), 0},
        jan,
        {Day(2022, 1, 20), 0},
        {Day(2022, 2, 10), 0},
        mar,
        feb,
        {Day(2022, 5, 1), 0}},
       0},
      {"a day twice in the file: added once, the later ovulation fills it",
       {{Day(2022, 4, 1), 0}, {Day(2022, 4, 1), Day(2022, 4, 12)}},
       {jan, mar, feb, {Day(2022, 4, 1), Day(2022, 4, 12)}},
       1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ImportPlan plan = PlanImport(existing, c.incoming);
    EXPECT_EQ(plan.alreadyThere, c.already);
    EXPECT_EQ(ApplyImport(existing, plan), c.merged);
    EXPECT_EQ(plan.Changes(), c.merged != existing);
  }
}

}  // namespace
}  // namespace lunaret
