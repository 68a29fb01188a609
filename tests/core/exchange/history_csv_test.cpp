// History files: the written form, what is read and what refused with its line; the merge rules.
#include "core/exchange/history_csv.h"

#include <cstring>
#include <memory>
#include <string_view>
#include <tuple>

#include "../test_support.h"
#include "core/cycles/dates.h"
#include "core/exchange/history_merge.h"

namespace lunaret {
namespace {

// A day as the date picker keeps it.
const auto Day = [](int y, int m, int d) { return MakeTimeValue(MakeDate(y, m, d), 1, 1, 1); };

TEST(HistoryCsvTest, WrittenFormAndOtherFormsReadBackAndBadFilesNameTheirFirstBadLine) {
  const std::vector<StatisticsRecord> two = {{Day(2020, 2, 1), Day(2020, 2, 14)},
                                             {Day(2037, 12, 31), 0}};
  EXPECT_EQ(WriteHistoryCsv(two),
            "start,ovulation,cycle_days,ovulation_day\r\n2020-02-01,2020-02-14,6543,13\r\n"
            "2037-12-31,,,\r\n");
  std::string binary, good, tenMegabytes = "start\n";
  for (int i = 0; i < 1000000; ++i) {
    binary += static_cast<char>(i * 7);
    tenMegabytes += "2021-06-01\n";
    good += i < 9997 ? "2021-06-01,\n" : "";
  }
  const std::string head = "start,ovulation\n";
  using E = HistoryFileError;
  using P = RowProblem;
  const struct {
    std::string text;
    E error = E::kNone;
    int line = 0;  // of the first bad row; 0: none, and the file reads as 1 Feb and 31 Dec
    P problem = P::kMissingStart;
    const char* field = "";
  } cases[] = {
      {WriteHistoryCsv(two)},
      {"x,start,ovulation\n,2020-02-01,2020-02-14\n\ny,2037-12-31,\n"},
      {"\xEF\xBB\xBF\"ovulation\", START ,\"a "
       "\"\"b\"\"\"\r\n\"2020-02-14\",2020-02-01,\"x,\ny\"\r\n"
       ",,\r\n,2037-12-31"},
      {"", E::kEmpty},
      {binary, E::kNotText},
      {head + "2020-02-01,\n\xE9t\xE9\n", E::kNotText},
      {"begin,ovulation\n2020-02-01,\n", E::kNoStartColumn},
      {tenMegabytes, E::kTooLarge},
      {head + good + "2021-6-01,\n1990-01-01\n", E::kNone, 9999, P::kNotADate, "2021-6-01"},
      {head + "\n1970-01-31,\n", E::kNone, 3, P::kOutOfRange, "1970-01-31"},
      {head + "2037-12-31,2038-01-01\n", E::kNone, 2, P::kOutOfRange, "2038-01-01"},
      {head + "2021-02-10,2021-02-09\n", E::kNone, 2, P::kOvulationBeforeStart},
      {"ovulation,start\n2021-02-10\n", E::kNone, 2, P::kMissingStart},
      {head + "2021-02-10,\n\"2021-02-11\n", E::kNone, 3, P::kUnterminatedQuote},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    const HistoryFile file = ReadHistoryCsv(c.text);
    EXPECT_EQ(file.error, c.error);
    EXPECT_EQ(file.ok(), c.error == E::kNone && c.line == 0);
    if (file.ok())  // into an empty history, as they are
      EXPECT_EQ(ApplyImport({}, PlanImport({}, file.records)), two);
    else if (c.line != 0 && file.badRows.size() == 1)
      EXPECT_EQ(std::tuple(file.badRows[0].line, file.badRows[0].problem, file.badRows[0].text),
                std::tuple(c.line, c.problem, std::string(c.field)));
    else
      EXPECT_EQ(file.badRows.size(), c.line == 0 ? 0u : 1u);
  }
}

// Each text lies in a buffer of exactly its size, so that AddressSanitizer sees a read past it;
// the tricky field is followed by more of its row, and a bad row after it tells the line.
TEST(HistoryCsvTest, RowsEndWhereTheTextEndsAndTrickyFieldsWhereTheyEnd) {
  const StatisticsRecord jan{Day(2025, 1, 1), 0}, janOv{Day(2025, 1, 1), Day(2025, 1, 5)},
      feb{Day(2025, 2, 1), 0};
  const struct {
    const char* text;
    std::vector<StatisticsRecord> records;
    int badLine = 0;  // the first bad row's; 0: none
    RowProblem problem = RowProblem::kNotADate;
    const char* badText = "";
  } cases[] = {
      {"start\n2025-01-01,", {jan}},
      {"start\n2025-01-01,,", {jan}},
      {"start,ovulation\n2025-01-01,\"2025-01-05\"", {janOv}},
      {"start,ovulation\n\"2025-01-\"01,2025-01-05,x\n", {janOv}},
      {"start\r\n2025-01-01\r\n\r\nx,\r\n", {jan}, 4, RowProblem::kNotADate, "x"},
      {"start\n2025-01-01\r", {jan}},
      {"start,note,ovulation\n2025-01-01,\"a,\"\"b\"\"\nc\",2025-01-05\n2025-02-01\nx\n",
       {janOv, feb},
       5,
       RowProblem::kNotADate,
       "x"},
      {"start,ovulation,x\n,,\n2025-01-01,2025-01-05,\"\"\"\"\n2025-02-01\n", {janOv, feb}},
      {"start\n2025-01-01\n\"2025-02-01", {jan}, 3, RowProblem::kUnterminatedQuote},
      {"start\n\"", {}, 2, RowProblem::kUnterminatedQuote},
      {"start,ovulation\n2025-01-01,2025-1-05,x", {}, 2, RowProblem::kNotADate, "2025-1-05"},
      {"start,x\n\"20\"\"25\",x\n", {}, 2, RowProblem::kNotADate, "20\"25"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::size_t size = std::strlen(c.text);
    const auto buffer = std::make_unique<char[]>(size);
    std::memcpy(buffer.get(), c.text, size);
    const HistoryFile file = ReadHistoryCsv(std::string_view(buffer.get(), size));
    EXPECT_EQ(file.records, c.records);
    EXPECT_EQ(file.badRowCount, c.badLine == 0 ? 0u : 1u);
    if (c.badLine != 0 && !file.badRows.empty()) {
      EXPECT_EQ(std::tuple(file.badRows[0].line, file.badRows[0].problem, file.badRows[0].text),
                std::tuple(c.badLine, c.problem, std::string(c.badText)));
    }
  }
}

// In file order.
TEST(HistoryCsvTest, KeepsTheFirstFiveBadRowsAndCountsThemAll) {
  for (const std::size_t bad : {0u, 4u, 5u, 6u, 200000u}) {
    std::string text = "start\n2025-01-01\n";
    for (std::size_t i = 0; i < bad; ++i)
      text += "2025-02-" + std::to_string(30 + i % 2) + "\n";
    const HistoryFile file = ReadHistoryCsv(text);
    EXPECT_EQ(std::tuple(file.records.size(), file.badRowCount, file.badRows.size(), file.ok()),
              std::tuple(1u, bad, std::min<std::size_t>(bad, kBadRowsKept), bad == 0))
        << bad;
    for (std::size_t i = 0; i < file.badRows.size(); ++i)
      EXPECT_EQ(std::tuple(file.badRows[i].line, file.badRows[i].text),
                std::tuple(static_cast<int>(i) + 3, i % 2 ? "2025-02-31" : "2025-02-30"));
  }
}

TEST(HistoryMergeTest, SkipsKnownDaysFillsOvulationsAndPlacesByDate) {
  // Central European time: a record kept at 00:30 local time lies on the previous UTC day.
  test::ScopedEnv zone("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
  const TimeValue earlyMarch = MakeTimeValue(MakeDate(2022, 3, 1), 0, 30, 0);
  const StatisticsRecord jan{Day(2022, 1, 1), 0}, mar{earlyMarch, 0}, dec{Day(2021, 12, 1), 0},
      feb{Day(2022, 2, 1), Day(2022, 2, 15)}, jan20{Day(2022, 1, 20), 0},
      feb10{Day(2022, 2, 10), 0}, apr{Day(2022, 4, 1), 0}, may{Day(2022, 5, 1), 0};
  const StatisticsRecord aprOv{apr.mensesDate, Day(2022, 4, 12)},
      marOv{earlyMarch, Day(2022, 3, 14)}, marFile{Day(2022, 3, 1), marOv.ovulationDate},
      febFile{feb.mensesDate, Day(2022, 2, 20)};
  // By hand, February went in after March; the file repeats March, February and April.
  const ImportPlan plan =
      PlanImport({jan, mar, feb}, {may, marFile, febFile, apr, dec, feb10, aprOv, jan20});
  EXPECT_EQ(plan.alreadyThere, 3u);
  EXPECT_EQ(ApplyImport({jan, mar, feb}, plan),
            std::vector<StatisticsRecord>({dec, jan, jan20, feb10, marOv, feb, aprOv, may}));
  EXPECT_FALSE(PlanImport({jan, mar, feb}, {jan, mar, feb}).Changes());
}

}  // namespace
}  // namespace lunaret
