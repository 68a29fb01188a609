#ifndef LUNARET_CORE_CYCLES_JOURNAL_INSIGHTS_TEXT_H
#define LUNARET_CORE_CYCLES_JOURNAL_INSIGHTS_TEXT_H

#include <string>
#include <vector>

namespace lunaret {

struct DayFigures;
struct JournalInsights;
struct SymptomPattern;

// The English texts of what the journal says (journal_insights.h).

// "Your period lasted 5.3 days on average over 4 periods (shortest 4, longest 7 days).", for
// one period "Your period lasted 5 days, the one period with its flow logged.", or how to get
// the figure.
std::string PeriodLengthText(const DayFigures& periodLength);

// "cramps: 14 times, mostly on days 1-2", "headache: once, on day 3", "acne: 3 times, spread
// over the cycle", "bloating: 2 times, before the first recorded period".
std::string SymptomPatternText(const SymptomPattern& pattern);

// The symptom lines, most logged first; one line telling there are none when she logs none.
std::vector<std::string> SymptomLines(const JournalInsights& insights);

}  // namespace lunaret

#endif  // LUNARET_CORE_CYCLES_JOURNAL_INSIGHTS_TEXT_H
