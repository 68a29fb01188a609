// The journal's insights for months worked out by hand.
#include "core/cycles/journal_insights.h"

#include <gmock/gmock.h>

#include "../test_support.h"
#include "core/cycles/journal_insights_text.h"

namespace lunaret {
namespace {

const DayNumber kJan3 = DayNumberOf(2024, 1, 3);

// A day as the pages store it: 01:01:01 local time, the day before in UTC east of Greenwich.
TimeValue At(DayNumber day) {
  const StoredDay civil = CivilDayOf(day);
  return MakeTimeValue(MakeDate(civil.year, civil.month, civil.day), 1, 1, 1);
}

// Flow letters from the day on: - none, s spotting, L light, M medium, H heavy.
void LogFlow(Journal* journal, DayNumber from, const std::string& letters) {
  for (std::size_t i = 0; i < letters.size(); ++i) {
    const auto flow = static_cast<Flow>(std::string("-sLMH").find(letters[i]));
    if (flow != Flow::kNone)
      (*journal)[from + static_cast<DayNumber>(i)].flow = flow;
  }
}

class JournalInsightsTest : public ::testing::Test {
 protected:
  test::ScopedEnv zone_{"TZ", "NZST-12NZDT,M9.5.0,M4.1.0/3"};
};

// Starts 3 Jan, 31 Jan, 28 Feb (records) and 27 Mar (first day), the days 1 Jan to 27 Mar:
//   3 Jan  s M H L s       3 days: spotting at both ends left out
//   31 Jan L L M M L s     5 days
//   28 Feb - H             unknown: nothing logged on the start day
//   27 Mar s s s           unknown: spotting only
// cramps 7 times on cycle days 1, 2, 1, 2, 1, 2 and 18; acne 4 times on days 2, 2, 13 and 21
// (three of them span days 2-13); headache 3 times, each on day 14; bloating twice on day 8;
// "Migraine aura" twice before the first start; nausea once, sixth and left out.
TEST_F(JournalInsightsTest, PeriodLengthsAndSymptomDaysOfThreeMonths) {
  Journal journal;
  LogFlow(&journal, kJan3, "sMHLs");
  LogFlow(&journal, kJan3 + 28, "LLMMLs");
  LogFlow(&journal, kJan3 + 56, "-H");
  LogFlow(&journal, kJan3 + 84, "sss");
  const auto log = [&journal](std::initializer_list<int> offsets, Symptom symptom) {
    for (const int offset : offsets)
      journal[kJan3 + offset].symptoms |= SymptomBit(symptom);
  };
  log({0, 1, 28, 29, 56, 57, 17}, Symptom::kCramps);
  log({1, 29, 12, 48}, Symptom::kAcne);
  log({13, 41, 69}, Symptom::kHeadache);
  log({7, 35}, Symptom::kBloating);
  log({85}, Symptom::kNausea);
  journal[kJan3 - 2].ownSymptoms = {"Migraine aura"};
  journal[kJan3 - 1].ownSymptoms = {"Migraine aura"};
  const std::vector<StatisticsRecord> records = {
      {At(kJan3 + 28), 0}, {At(kJan3), 0}, {At(kJan3 + 56), 0}, {At(kJan3 + 28), 0}};

  const JournalInsights insights = ComputeJournalInsights(journal, records, MakeDate(2024, 3, 27));
  EXPECT_THAT(insights.periods,
              ::testing::ElementsAre(PeriodLength{kJan3, 3}, PeriodLength{kJan3 + 28, 5},
                                     PeriodLength{kJan3 + 56, 0}, PeriodLength{kJan3 + 84, 0}));
  EXPECT_EQ(PeriodLengthText(insights.periodLength),
            "Your period lasted 4 days on average over 2 periods (shortest 3, longest 5 days).");
  EXPECT_THAT(SymptomLines(insights),
              ::testing::ElementsAre(
                  "cramps: 7 times, mostly on days 1-2", "acne: 4 times, spread over the cycle",
                  "headache: 3 times, mostly on day 14", "bloating: 2 times, mostly on day 8",
                  "Migraine aura: 2 times, before the first recorded period"));
  EXPECT_EQ(insights.topSymptoms[1].lastCycleDay - insights.topSymptoms[1].firstCycleDay, 11);
}

// Two starts three days apart share one run of flow; the figures of none and of one period.
TEST_F(JournalInsightsTest, ARunOfFlowEndsAtTheNextStart) {
  Journal journal;
  const DayNumber may1 = DayNumberOf(2024, 5, 1);
  LogFlow(&journal, may1, "LLLLLL");
  journal[may1 + 40].symptoms = SymptomBit(Symptom::kNausea);
  const JournalInsights insights =
      ComputeJournalInsights(journal, {{At(may1 + 3), 0}}, MakeDate(2024, 5, 1));
  EXPECT_THAT(insights.periods,
              ::testing::ElementsAre(PeriodLength{may1, 3}, PeriodLength{may1 + 3, 3}));
  EXPECT_THAT(SymptomLines(insights), ::testing::ElementsAre("nausea: once, on day 38"));
  EXPECT_EQ(PeriodLengthText(FiguresOf({6})),
            "Your period lasted 6 days, the one period with its flow logged.");
  EXPECT_EQ(PeriodLengthText(FiguresOf({})),
            "Log the flow of each day of your period to learn how long your periods last.");
  EXPECT_THAT(SymptomLines(ComputeJournalInsights({}, {}, {})),
              ::testing::ElementsAre("No symptoms logged yet."));
  SymptomPattern eight{"acne", 5, 5, 3, 10};
  EXPECT_EQ(SymptomPatternText(eight), "acne: 5 times, spread over the cycle");
  eight.lastCycleDay = 9;
  EXPECT_EQ(SymptomPatternText(eight), "acne: 5 times, mostly on days 3-9");
}

}  // namespace
}  // namespace lunaret
