// The Insights figures for small histories worked out by hand, and histories that make no sense.
#include "core/cycles/cycle_insights.h"

#include <tuple>

#include "../test_support.h"
#include "core/cycles/cycle_insights_text.h"
#include "core/cycles/forecast_source.h"

namespace lunaret {
namespace {

CalendarDate Day(int yyyymmdd) {  // 0: no date
  return yyyymmdd ? MakeDate(yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100)
                  : CalendarDate{};
}
// A day as the pages store it, 01:01:01 local time; a small number is a time value as it is.
TimeValue At(int yyyymmdd) {
  return yyyymmdd > 19000000 ? MakeTimeValue(Day(yyyymmdd), 1, 1, 1) : yyyymmdd;
}

struct Row {
  int menses, ovulation = 0;
};

std::vector<StatisticsRecord> Records(const std::vector<Row>& rows) {
  std::vector<StatisticsRecord> records;
  for (const Row& row : rows)
    records.push_back({At(row.menses), At(row.ovulation)});
  return records;
}

// By hand: the figures table; next start, range, ovulation (next 0: none); cycles replayed and
// the mean errors of the history and the fixed rule.
struct Golden {
  const char *name, *zone;
  std::vector<Row> rows;
  int firstDay, duration;
  std::vector<std::string> figures;
  int next, range, ovulation, predicted;
  double historyError, fixedError;
  std::string notes;
};
void PrintTo(const Golden& golden, std::ostream* out) {
  *out << golden.name;
}

const char* const kNoOvulation = "No ovulation recorded inside a cycle";
const char* const kNoLuteal = "Needs an ovulation recorded inside a cycle";
const char* const kNoCycle = "No completed cycle yet";
const char* const kTooFew = "Needs at least 2 cycles";
const char* const kNotAfter =
    "The first day on the General page is not after your last recorded period, so it ends no "
    "cycle.";

// clang-format off
const Golden kGoldens[] = {
    // Lengths 26 34 30 35 23: mean 148/5, SD sqrt(105.2/4) = 5.13; median 30 from May 28, 14 days
    // before. Replayed: 35 from 26 34 30 (30), 23 from 26 34 30 35 (32): off by 5, 9; 28 by 7, 5.
    {"Irregular", "UTC", {{20240101}, {20240127}, {20240301}, {20240331}, {20240505}}, 20240528, 28,
     {"5", "mean 29.6, median 30, 23 to 35 days, SD 5.1", kNoOvulation, kNoLuteal,
      "12 days: irregular"}, 20240627, 5, 20240613, 2, 7.0, 6.0, ""},
    // Lengths 28 28 120 28 29: the 120 counts in the figures, not in the forecast (28 28 28 29:
    // median 28, SD 0.5) nor in what a later cycle is predicted from: only the 29 is predicted.
    {"Gap", "UTC", {{20230101}, {20230129}, {20230226}, {20230626}, {20230724}}, 20230822, 29,
     {"5", "mean 46.6, median 28, 28 to 120 days, SD 41.0", kNoOvulation, kNoLuteal,
      "92 days: irregular"}, 20230919, 1, 20230905, 1, 1.0, 0.0, ""},
    // Lengths 28 29 29 28, ovulation days 15 13 15, luteal 14 17 15 (mean 15.3); the last
    // ovulation falls on the next start, outside its cycle. Median 28.5 rounds to 29.
    {"Ovulations", "UTC",
     {{20240101, 20240115}, {20240129, 20240210}, {20240227, 20240312}, {20240327, 20240424}},
     20240424, 28,
     {"4", "mean 28.5, median 28.5, 28 to 29 days, SD 0.6",
      "mean day 13.3, median 14, day 12 to 14, SD 1.2 (3 cycles)",
      "mean 15.3, median 15, 14 to 17 days, SD 1.5 (3 cycles)", "1 day: regular"},
     20240523, 1, 20240508, 1, 1.0, 0.0, "1 ovulation date lies outside its cycle and is left out."},
    // Row order counts: Mar 1 -> Jan 31 and Feb 28 -> Feb 28 are no cycles; the first day lies
    // before the last record and ends none.
    {"OutOfOrder", "UTC", {{20240301}, {20240131}, {20240228}, {20240228}, {20240327}}, 20240320, 29,
     {"2", "mean 28.0, median 28, 28 days, SD 0.0", kNoOvulation, kNoLuteal,
      "0 days: regular"}, 0, 0, 0, 0, 0, 0,
     std::string("2 pairs of neighbouring dates are out of order or on the same day and count as no "
                 "cycle. ") + kNotAfter},
    // Mar 10 -> Apr 7 crosses the change to summer time: 28 calendar days, not 27; the
    // ovulation on Apr 1 is day 23. Lengths 28 28 27.
    {"SummerTime", "CET-1CEST,M3.5.0,M10.5.0/3", {{20240310, 20240401}, {20240407}, {20240505}}, 20240601, 28,
     {"3", "mean 27.7, median 28, 27 to 28 days, SD 0.6", "day 22 (one cycle)",
      "6 days (one cycle)", "1 day: regular"}, 20240629, 1, 20240615, 0, 0, 0, ""},
    // Too little or wrong data: texts instead of figures.
    {"OneRecordOnTheFirstDay", "UTC", {{20240101}}, 20240101, 28,
     {"0", kNoCycle, kNoOvulation, kNoLuteal, kTooFew}, 0, 0, 0, 0, 0, 0, kNotAfter},
    {"TwoRecordsAfterTheFirstDay", "UTC", {{20240101}, {20240130}}, 20231201, 28,
     {"1", "29 days (one cycle)", kNoOvulation, kNoLuteal, kTooFew}, 0, 0, 0, 0, 0, 0, kNotAfter},
    // No local date before 1970 (the plain seconds count), and a missing date (0) twice.
    {"BeforeAndAt1970", "UTC", {{-864000}, {0, -5}, {0}}, 19700112, 28,
     {"2", "mean 10.5, median 10.5, 10 to 11 days, SD 0.7", kNoOvulation, kNoLuteal,
      "1 day: regular"}, 0, 0, 0, 0, 0, 0,
     "1 pair of neighbouring dates is out of order or on the same day and counts as no cycle."},
};
// clang-format on

class GoldenTest : public ::testing::TestWithParam<Golden> {};

TEST_P(GoldenTest, FiguresForecastAndAccuracyAreTheHandWorkedOnes) {
  const Golden& golden = GetParam();
#ifdef _WIN32  // the C library of Windows reads no rules of summer time
  if (std::string(golden.zone) != "UTC")
    GTEST_SKIP() << "no POSIX time zone rules here";
#endif
  test::ScopedEnv zone("TZ", golden.zone);
  const CycleInsights insights =
      ComputeInsights(Records(golden.rows), Day(golden.firstDay), golden.duration);
  std::vector<std::string> values;
  for (const FigureRow& row : FigureRows(insights))
    values.push_back(row.value);
  EXPECT_EQ(values, golden.figures);
  const HistoryForecast& forecast = insights.forecast;
  EXPECT_EQ(std::tuple(forecast.available, forecast.nextStart, forecast.range, forecast.ovulation),
            std::tuple(golden.next != 0, Day(golden.next), golden.range, Day(golden.ovulation)));
  const ForecastAccuracy& accuracy = insights.accuracy;
  EXPECT_EQ(std::tuple(accuracy.cycles, accuracy.historyError, accuracy.fixedError),
            std::tuple(golden.predicted, golden.historyError, golden.fixedError));
  EXPECT_EQ(HistoryNotesText(insights.history), golden.notes);
}

INSTANTIATE_TEST_SUITE_P(Histories, GoldenTest, ::testing::ValuesIn(kGoldens),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CycleInsightsTest, SentencesAndLaterPeriodsOfAForecast) {
  const CycleInsights insights = ComputeInsights(Records(kGoldens[0].rows), Day(20240528), 28);
  EXPECT_EQ(ForecastText(insights.forecast, 28),
            "Next period from your history: 27 Jun. 2024, Thursday, give or take 5 days (median "
            "of your last 5 cycles: 30 days). Estimated ovulation: 13 Jun. 2024, Thursday; fertile "
            "window 8 Jun. 2024, Saturday to 14 Jun. 2024, Friday. These are estimates, not a "
            "method of contraception.");
  EXPECT_EQ(AccuracyText(insights.accuracy),
            "Over your last 2 cycles the forecast from your history was off by 7.0 days on "
            "average, a fixed 28-day cycle by 6.0 days; none of the 2 periods began within the "
            "range given.");
  EXPECT_EQ(ForecastText(ComputeInsights({}, Day(20240101), 29).forecast, 29),
            "A forecast from your history needs at least 3 completed cycles of up to 90 days; you "
            "have 0. Your forecast duration of 29 days stands.");
  const ForecastPeriod second =
      ForecastPeriodAt(ForecastFromHistory(Records(kGoldens[2].rows), Day(20240424)), 1);
  EXPECT_EQ(std::tuple(second.start, second.fertileStart, second.fertileEnd),
            std::tuple(Day(20240621), Day(20240601), Day(20240607)));
  // Lengths 28 28 28: no spread, still give or take a day. Lengths 20 40 20 90: the 90 days
  // count, median 30, and the range stops at 7 days.
  const HistoryForecast flat =
      ForecastFromHistory(Records({{20240101}, {20240129}, {20240226}}), Day(20240325));
  const HistoryForecast wide =
      ForecastFromHistory(Records({{20240101}, {20240121}, {20240301}, {20240321}}), Day(20240619));
  EXPECT_EQ(std::tuple(flat.range, wide.length, wide.range), std::tuple(1L, 30L, 7L));
  // Lengths 26 and 33: a spread of 7 days is still regular.
  const CycleInsights two = ComputeInsights(Records({{20240101}, {20240127}}), Day(20240229), 28);
  EXPECT_EQ(FigureRows(two).back().value, "7 days: regular");
}

// The fertile window by hand: the luteal lengths of the cycles the forecast learns from, each
// shorter than its cycle, their mean rounded; the ovulation and the window inside the cycle.
TEST(CycleInsightsTest, FertileWindowsLieInTheCycleBeforeTheirPeriod) {
  const struct {
    const char* name;
    std::vector<Row> rows;
    int firstDay;
    long luteal;
    int ovulation, fertileStart, fertileEnd;
  } cases[] = {
      // clang-format off
      // Imported 2025 (28-day cycles, luteal 12 13 14), then a pause of 290 days to the first
      // day: its luteal length of 276 days is no cycle's. Next 7 Feb. 2026.
      {"pause", {{20250101, 20250117}, {20250129, 20250213}, {20250226, 20250312},
                 {20250326, 20250409}}, 20260110, 13, 20260125, 20260120, 20260126},
      // Lengths 91 (luteal 40) 28 (12) 90 (14) 28 (13): the 91 days are a pause, the 90 count.
      {"90 days", {{20240101, 20240122}, {20240401, 20240417}, {20240429, 20240713},
                   {20240728, 20240812}}, 20240825, 13, 20240909, 20240904, 20240910},
      // Thirteen 28-day cycles: luteal 2 in the first, outside the last 12; 14 14 11 in the
      // last three, and the whole cycle where the ovulation is on the first day.
      {"last 12", {{20240101, 20240127}, {20240129}, {20240226}, {20240325}, {20240422},
                   {20240520}, {20240617}, {20240715}, {20240812}, {20240909, 20240909},
                   {20241007, 20241021}, {20241104, 20241118}, {20241202, 20241219}},
       20241230, 13, 20250114, 20250109, 20250115},
      // Cycles of 6 days and no luteal lengths: 14 days would lie before the cycle.
      {"short", {{20240101}, {20240107}, {20240113}}, 20240119, 6, 20240119, 20240119, 20240120},
      // Ovulations on the last day of 10-day cycles: the window ends with the cycle.
      {"luteal 1", {{20240101, 20240110}, {20240111, 20240120}, {20240121, 20240130}}, 20240131,
       1, 20240209, 20240204, 20240209},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const HistoryForecast forecast = ForecastFromHistory(Records(c.rows), Day(c.firstDay));
    ASSERT_TRUE(forecast.available);
    EXPECT_EQ(std::tuple(forecast.lutealDays, forecast.ovulation, forecast.fertileStart,
                         forecast.fertileEnd),
              std::tuple(c.luteal, Day(c.ovulation), Day(c.fertileStart), Day(c.fertileEnd)));
    for (int n = 0; n < kForecastPeriods; ++n) {
      const ForecastPeriod period = ForecastPeriodAt(forecast, n);
      EXPECT_GE(DaysSince(ForecastNextStart(period.start, -forecast.length), period.fertileStart),
                0);
      EXPECT_GT(DaysSince(period.fertileEnd, period.start), 0) << n;
    }
  }
}

// The replay's range is the forecast's: the rounded SD of the cycles learnt from, 1 to 7 days.
TEST(CycleInsightsTest, AccuracyTellsHowOftenThePeriodBeganWithinTheRange) {
  const struct {
    std::vector<Row> rows;
    int firstDay, within;
    const char* text;
  } cases[] = {
      // clang-format off
      // 28 28 28, then 29: no spread, still a day either side.
      {{{20240101}, {20240129}, {20240226}, {20240325}}, 20240423, 1,
       "Over your last cycle the forecast from your history was off by 1.0 days, a fixed 28-day "
       "cycle by 1.0 days; the period began within the range given."},
      // 28 30 32: median 30, SD 2; 32 is just inside. 28 30 32 32: median 31, SD 1.9; 34 is not.
      {{{20240101}, {20240129}, {20240228}, {20240331}, {20240502}}, 20240605, 1,
       "Over your last 2 cycles the forecast from your history was off by 2.5 days on average, a "
       "fixed 28-day cycle by 5.0 days; 1 of 2 periods began within the range given."},
      // 20 40 20: median 20, SD 11.5, so 7 days; 28 is 8 off.
      {{{20240101}, {20240121}, {20240301}, {20240321}}, 20240418, 0,
       "Over your last cycle the forecast from your history was off by 8.0 days, a fixed 28-day "
       "cycle by 0.0 days; the period began outside the range given."},
      // clang-format on
  };
  for (const auto& c : cases) {
    const CycleInsights insights = ComputeInsights(Records(c.rows), Day(c.firstDay), 28);
    EXPECT_EQ(insights.accuracy.withinRange, c.within);
    EXPECT_EQ(AccuracyText(insights.accuracy), c.text);
  }
}

// The Insights tab counts an ovulation's day as the Statistics list's "(day N)" does, the first
// day of the cycle included; the chart's figures are those of the bars it shows.
TEST(CycleInsightsTest, OvulationDaysAndChartFiguresMatchWhatIsShownBesideThem) {
  for (const int ovulation : {20240101, 20240115}) {
    const std::vector<StatisticsRecord> records = Records({{20240101, ovulation}, {20240129}});
    const CycleInsights insights = ComputeInsights(records, Day(20240226), 28);
    const std::string picked = OvulationTextPicked(records[0]);
    const std::string day = picked.substr(picked.rfind("(day ") + 1);
    EXPECT_EQ(FigureRows(insights)[2].value, day.substr(0, day.size() - 1) + " (one cycle)");
    EXPECT_EQ(insights.history.cycles[0].ovulationDay, OvulationOffsetDays(records[0]));
  }
  // Lengths 28 30 32 30 30: all mean 30, SD 1.4; the last two alike, the last one alone.
  const CycleInsights insights = ComputeInsights(
      Records({{20240101}, {20240129}, {20240228}, {20240331}, {20240430}}), Day(20240530), 0);
  const std::vector<Cycle>& cycles = insights.history.cycles;
  EXPECT_EQ(LengthFiguresFrom(cycles, 1), FiguresOf({30, 32, 30, 30}));
  EXPECT_EQ(LengthFiguresFrom(cycles, 5).count, 0);
  EXPECT_EQ(ChartDescription(insights, 1),
            "Bar chart of cycle length in days per cycle, 4 cycles from 29 Jan. 2024, Monday to "
            "30 Apr. 2024, Tuesday, shortest 30, longest 32 days. Solid line: the mean of these "
            "cycles, 30.5 days. Shaded band: one standard deviation either side, 1.0 days.");
  EXPECT_EQ(ChartDescription(insights, 3),
            "Bar chart of cycle length in days per cycle, 2 cycles from 31 Mar. 2024, Sunday to "
            "30 Apr. 2024, Tuesday, each 30 days. Solid line: the mean of these cycles, 30.0 days. "
            "Shaded band: one standard deviation either side, 0.0 days.");
  EXPECT_EQ(ChartDescription(insights, 4),
            "Bar chart of cycle length in days: 1 cycle, from 30 Apr. 2024, Tuesday, 30 days. "
            "Solid line: its length.");
}

// The calendar file carries the history forecast from today on, and the duration's without one.
TEST(CycleInsightsTest, TheCalendarFileTakesTheHistoryForecastWhereItApplies) {
  const std::vector<StatisticsRecord> history = Records(kGoldens[0].rows);
  const ForecastSchedule later = NextForecast(history, Day(20240528), 28, Day(20240710));
  ASSERT_EQ(std::tuple(later.periods.size(), later.fertileWindows.size()), std::tuple(6u, 6u));
  EXPECT_EQ(std::tuple(later.periods[0].start, later.periods[0].earlyDays,
                       later.fertileWindows[0].first, later.periods[5].start),
            std::tuple(Day(20240727), 5, Day(20240708), Day(20241224)));
  EXPECT_EQ(NextForecast(history, Day(20240528), 28, Day(20240601)).periods[0].start,
            Day(20240627));
  const ForecastSchedule fixed = NextForecast({}, Day(20240528), 28, Day(20240601));
  EXPECT_EQ(
      std::tuple(fixed.periods[0].start, fixed.periods[0].earlyDays, fixed.fertileWindows.size()),
      std::tuple(Day(20240625), 0, 0u));
}

}  // namespace
}  // namespace lunaret
